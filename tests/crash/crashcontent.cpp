#include "crashcontent.h"

namespace zet::crashtest {

bool kindFromName(const QString& name, Kind* kind) {
    if (name == QLatin1String("database"))
        *kind = Kind::Database;
    else if (name == QLatin1String("dayfile"))
        *kind = Kind::DayFile;
    else if (name == QLatin1String("settings"))
        *kind = Kind::Settings;
    else
        return false;
    return true;
}

void fillDatabase(Database& db, int variant) {
    db.newDatabase();
    const QString v = QString::number(variant);
    db.databaseHeader[2] = QStringLiteral("Тест, вариант ") + v;
    db.databaseHeader[3] = QStringLiteral("Автор ") + v;
    db.databaseHeader[4] = variant == 0 ? QStringLiteral("01-31-2025") : QStringLiteral("02-28-2025");
    for (int t = 1; t <= kThemeCount; ++t) {
        db.questions(t, 0, 0) = QStringLiteral("Тема %1 (%2)").arg(t).arg(v);
        for (int q = 1; q <= kQuestionSlots; ++q) {
            db.questions(t, q, 0) = QStringLiteral("1111111111Вопрос %1.%2, вариант %3").arg(t).arg(q).arg(v);
            for (int p = 1; p < kParts; ++p)
                db.questions(t, q, p) = QStringLiteral("Ответ %1 на %2.%3 (%4)").arg(p).arg(t).arg(q).arg(v);
        }
    }
    for (int i = 1; i <= kProfileCount; ++i) {
        ExamProfile& pr = db.profiles[i];
        pr.name = QStringLiteral("Профиль %1/%2").arg(i).arg(v);
        pr.timeLimit = static_cast<int16>(600 + 60 * variant);
        pr.questionCount = static_cast<int16>(10 + variant);
        for (int s = 1; s <= kSlotCount; ++s)
            pr.slotTheme[s] = static_cast<int16>(1 + (s + variant) % kThemeCount);
    }
}

DayRegisterArray Register(int variant) {
    DayRegisterArray reg{};
    const int filled = 3 + 5 * variant;
    for (int n = 1; n <= filled; ++n) {
        ExamineeRecord& r = reg[n];
        r.protocolNo = static_cast<int16>(n);
        r.profileNo = static_cast<int16>(1 + variant);
        r.profileName = QStringLiteral("Профиль %1").arg(1 + variant);
        r.fullName = QStringLiteral("Сотрудник №%1").arg(n);
        r.birthYear = static_cast<int16>(1960 + n);
        r.jobTitle = variant == 0 ? QStringLiteral("слесарь") : QStringLiteral("электромонтёр");
        r.seniority = static_cast<int16>(n - 2);
        r.grade = static_cast<int16>(2 + n % 4);
        r.askedCount = 10;
        r.rightCount = static_cast<int16>(n % 11);
        r.timeSpent = static_cast<int16>(100 + n);
        r.personnelNo = QStringLiteral("Т-%1").arg(n);
    }
    return reg;
}

QString rememberedPath(int variant) {
    return variant == 0 ? QStringLiteral("/home/user/Data.zet")
                        : QStringLiteral("/srv/экзамены/Пожарная безопасность/Вторая база.zet");
}

QString databaseFile(const QString& folder) {
    return folder + QStringLiteral("/Data.zet");
}

QString dayFileFolder(const QString& folder) {
    return folder + QStringLiteral("/2025/Февраль");
}

QString dayFileName() {
    return QStringLiteral("03.02.2025.txt");
}

bool sameStored(const Database& a, const Database& b) {
    if (a.databaseHeader != b.databaseHeader)
        return false;
    for (int t = 1; t <= kThemeCount; ++t) {
        for (int q = 0; q <= kQuestionSlots; ++q) {
            for (int p = 0; p < kParts; ++p) {
                if (a.questions(t, q, p) != b.questions(t, q, p))
                    return false;
            }
        }
    }
    for (int i = 1; i <= kProfileCount; ++i) {
        if (!(a.profiles[i] == b.profiles[i]))
            return false;
    }
    return true;
}

} // namespace zet::crashtest
