#pragma once
// Test fixtures shared by several test programs.

#include "app/module1.h"
#include "exam/dayregister.h"

#include <QDate>
#include <QTemporaryDir>

#include <memory>

namespace zet::testing {

// The record of the archive example: examinee No. slot, Иванов И.И., слесарь, А-15, …
inline ExamineeRecord SampleRecord(int slot, const QString& fullName = QStringLiteral("Иванов И.И.")) {
    ExamineeRecord r;
    r.ProtocolNo = static_cast<int16>(slot);
    r.ProfileNo = 2;
    r.ProfileName = QStringLiteral("Основной");
    r.FullName = fullName;
    r.BirthYear = 1970;
    r.JobTitle = QStringLiteral("слесарь");
    r.Seniority = 12;
    r.Grade = 4;
    r.AskedCount = 10;
    r.RightCount = 8;
    r.TimeSpent = 245;
    r.PersonnelNo = QStringLiteral("А-15");
    return r;
}

// A Module1 with a seeded generator and a fixed date, holding a new database "Новый тест"
// saved as Data.zet in the temporary program folder.
inline std::unique_ptr<Module1> NewTestCore(const QTemporaryDir& dir, std::uint32_t seed, QDate today) {
    auto core = std::make_unique<Module1>(std::make_unique<SeededRandom>(seed), [today] { return today; });
    Database& db = core->db;
    db.ProgramFolder = dir.path() + QLatin1Char('/');
    db.DatabasePath = dir.filePath(QStringLiteral("Data.zet"));
    db.NewDatabase();
    db.DatabaseHeader[2] = QStringLiteral("Новый тест");
    if (!db.SaveDatabase().ok())
        return nullptr;
    return core;
}

} // namespace zet::testing
