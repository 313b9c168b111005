#pragma once
// Journal entries for tests: a finished exam with answers, distinguishable by its number.

#include "journal/journalentry.h"

#include <QTimeZone>

namespace zet::test {

inline JournalEntry finishedExam(const QString& workstation, int n, int questions = 3) {
    JournalEntry e;
    e.id = QUuid::createUuid();
    e.workstation = workstation;
    e.date = QDate(2024, 3, 1 + n % 28);
    e.testName = QString(); // a database without a test name
    e.protocolNo = 1 + n % 100;
    e.profileNo = 2;
    e.profileName = QStringLiteral("Основной");
    e.databasePath = QStringLiteral("/srv/exam/Data.zet");
    e.fullName = QStringLiteral("Иванов И.И. %1").arg(n);
    e.birthYear = 1970;
    e.jobTitle = QStringLiteral("слесарь");
    e.seniority = -2;
    e.personnelNo = QStringLiteral("А-%1").arg(n);
    e.grade = 4;
    e.asked = questions;
    e.right = questions - 1;
    e.secondsSpent = 245;
    e.startedAt = QDateTime(e.date, QTime(9, 0, 0, 125), Qt::UTC);
    e.finishedAt = e.startedAt.addSecs(245);
    for (int i = 1; i <= questions; ++i) {
        e.answers.append({i, i, 10 + i, QStringLiteral("Вопрос %1; «кавычки» и 'апостроф'").arg(i),
                          i == questions ? QString() : QStringLiteral("Ответ %1").arg(i), i != 1, 20 + i,
                          QStringLiteral("Верный ответ %1").arg(i)});
    }
    return e;
}

} // namespace zet::test
