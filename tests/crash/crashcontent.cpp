#include "crashcontent.h"

namespace zet::crashtest {

bool KindFromName(const QString& name, Kind* kind) {
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

void FillDatabase(Database& db, int variant) {
    db.NewDatabase();
    const QString v = QString::number(variant);
    db.DatabaseHeader[2] = QStringLiteral("Тест, вариант ") + v;
    db.DatabaseHeader[3] = QStringLiteral("Автор ") + v;
    db.DatabaseHeader[4] = variant == 0 ? QStringLiteral("01-31-2025") : QStringLiteral("02-28-2025");
    for (int t = 1; t <= kThemeCount; ++t) {
        db.Questions(t, 0, 0) = QStringLiteral("Тема %1 (%2)").arg(t).arg(v);
        for (int q = 1; q <= kQuestionSlots; ++q) {
            db.Questions(t, q, 0) = QStringLiteral("1111111111Вопрос %1.%2, вариант %3").arg(t).arg(q).arg(v);
            for (int p = 1; p < kParts; ++p)
                db.Questions(t, q, p) = QStringLiteral("Ответ %1 на %2.%3 (%4)").arg(p).arg(t).arg(q).arg(v);
        }
    }
    for (int i = 1; i <= kProfileCount; ++i) {
        ExamProfile& pr = db.Profiles[i];
        pr.Name = QStringLiteral("Профиль %1/%2").arg(i).arg(v);
        pr.TimeLimit = static_cast<int16>(600 + 60 * variant);
        pr.QuestionCount = static_cast<int16>(10 + variant);
        for (int s = 1; s <= kSlotCount; ++s)
            pr.SlotTheme[s] = static_cast<int16>(1 + (s + variant) % kThemeCount);
    }
}

DayRegisterArray Register(int variant) {
    DayRegisterArray reg{};
    const int filled = 3 + 5 * variant;
    for (int n = 1; n <= filled; ++n) {
        ExamineeRecord& r = reg[n];
        r.ProtocolNo = static_cast<int16>(n);
        r.ProfileNo = static_cast<int16>(1 + variant);
        r.ProfileName = QStringLiteral("Профиль %1").arg(1 + variant);
        r.FullName = QStringLiteral("Сотрудник №%1").arg(n);
        r.BirthYear = static_cast<int16>(1960 + n);
        r.JobTitle = variant == 0 ? QStringLiteral("слесарь") : QStringLiteral("электромонтёр");
        r.Seniority = static_cast<int16>(n - 2);
        r.Grade = static_cast<int16>(2 + n % 4);
        r.AskedCount = 10;
        r.RightCount = static_cast<int16>(n % 11);
        r.TimeSpent = static_cast<int16>(100 + n);
        r.PersonnelNo = QStringLiteral("Т-%1").arg(n);
    }
    return reg;
}

QString RememberedPath(int variant) {
    return variant == 0 ? QStringLiteral("/home/user/Data.zet")
                        : QStringLiteral("/srv/экзамены/Пожарная безопасность/Вторая база.zet");
}

QString DatabaseFile(const QString& folder) {
    return folder + QStringLiteral("/Data.zet");
}

QString DayFileFolder(const QString& folder) {
    return folder + QStringLiteral("/2025/Февраль");
}

QString DayFileName() {
    return QStringLiteral("03.02.2025.txt");
}

bool SameStored(const Database& a, const Database& b) {
    if (a.DatabaseHeader != b.DatabaseHeader)
        return false;
    for (int t = 1; t <= kThemeCount; ++t) {
        for (int q = 0; q <= kQuestionSlots; ++q) {
            for (int p = 0; p < kParts; ++p) {
                if (a.Questions(t, q, p) != b.Questions(t, q, p))
                    return false;
            }
        }
    }
    for (int i = 1; i <= kProfileCount; ++i) {
        if (!(a.Profiles[i] == b.Profiles[i]))
            return false;
    }
    return true;
}

} // namespace zet::crashtest
