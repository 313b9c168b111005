#pragma once
// The small exam database and registration texts shared by the tests that drive whole exams
// through AppCore.

#include "app/appcore.h"
#include "coreaccess.h"
#include "testdata.h"

#include <QDate>

#include <memory>

namespace zet::testing {

inline const QDate kToday(2010, 12, 3);

inline void setQuestion(Database& db, int t, int q, const QString& flags) {
    db.questions(t, q, 0) = flags + QStringLiteral("Вопрос %1.%2").arg(t).arg(q);
    db.questions(t, q, 1) = QStringLiteral("верно %1.%2").arg(t).arg(q);
    for (int p = 2; p <= 5; ++p)
        db.questions(t, q, p) = QStringLiteral("неверно %1.%2.%3").arg(t).arg(q).arg(p);
}

// Theme 1: six questions of group 0; theme 2: three of group 1; theme 3: question 1 holds
// only its flags. Profile 1 asks three questions (themes 1, 1, 2) in 600 s with thresholds
// 3, 2, 1; profile 2 asks three questions of theme 1.
inline std::unique_ptr<AppCore> makeModule(const QString& programFolder, std::uint32_t seed = 77) {
    auto m = std::make_unique<AppCore>(std::make_unique<SeededRandom>(seed), [] { return kToday; });
    Database& db = coreDatabase(*m);
    db.newDatabase();
    db.databaseHeader[1] = kVersionMarker; // as after a load or a save
    db.programFolder = programFolder;
    for (int q = 1; q <= 6; ++q)
        setQuestion(db, 1, q, QStringLiteral("1000000000"));
    for (int q = 1; q <= 3; ++q)
        setQuestion(db, 2, q, QStringLiteral("0100000000"));
    setQuestion(db, 3, 1, QStringLiteral("1000000000"));
    db.questions(3, 1, 0) = QStringLiteral("1000000000");
    setQuestion(db, 3, 2, QStringLiteral("0000000000"));

    ExamProfile& p1 = db.profiles[1];
    p1.name = QStringLiteral("Основной");
    p1.questionCount = 3;
    p1.slotTheme = {0, 1, 1, 2};
    p1.groups = {QStringLiteral("1Слесари"), QStringLiteral("1Электрики"), QStringLiteral("0Прочие")};
    for (int k = 3; k < kGroupCount; ++k)
        p1.groups[k] = QStringLiteral("0");
    p1.excellentMin = 3;
    p1.goodMin = 2;
    p1.fairMin = 1;
    p1.timeLimit = 600;

    ExamProfile& p2 = db.profiles[2];
    p2 = p1;
    p2.number = 2;
    p2.slotTheme = {0, 1, 1, 1};

    if (!coreArchive(*m).prepare(db.programFolder, m->today(), coreExam(*m).dayRegister).ok)
        return nullptr;
    coreExam(*m).findFreeSlot();
    coreExam(*m).currentProfile = 1;
    coreExam(*m).questionNo = 1;
    coreSelection(*m).shuffleAllThemes();
    return m;
}

inline RegistrationTexts registrationTexts(const QString& profile = QStringLiteral("1")) {
    RegistrationTexts t;
    t.fullName = QStringLiteral("Иванов И.И.");
    t.birthYear = QStringLiteral("1970");
    t.jobTitle = QStringLiteral("слесарь");
    t.seniority = QStringLiteral("12");
    t.personnelNo = QStringLiteral("А-15");
    t.profileNo = profile;
    t.profileName = QStringLiteral("Основной");
    t.askedCount = QStringLiteral("3");
    return t;
}

} // namespace zet::testing
