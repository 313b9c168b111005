#pragma once
// Test fixtures shared by several test programs.

#include "app/appcore.h"
#include "coreaccess.h"
#include "exam/dayregister.h"

#include <QDate>
#include <QTemporaryDir>

#include <memory>

namespace zet::testing {

// The record of the archive example: examinee No. slot, Иванов И.И., слесарь, А-15, …
inline ExamineeRecord sampleRecord(int slot, const QString& fullName = QStringLiteral("Иванов И.И.")) {
    ExamineeRecord r;
    r.protocolNo = static_cast<int16>(slot);
    r.profileNo = 2;
    r.profileName = QStringLiteral("Основной");
    r.fullName = fullName;
    r.birthYear = 1970;
    r.jobTitle = QStringLiteral("слесарь");
    r.seniority = 12;
    r.grade = 4;
    r.askedCount = 10;
    r.rightCount = 8;
    r.timeSpent = 245;
    r.personnelNo = QStringLiteral("А-15");
    return r;
}

// A AppCore with a seeded generator and a fixed date, holding a new database "Новый тест"
// saved as Data.zet in the temporary program folder.
inline std::unique_ptr<AppCore> newTestCore(const QTemporaryDir& dir, std::uint32_t seed, QDate today) {
    auto core = std::make_unique<AppCore>(std::make_unique<SeededRandom>(seed), [today] { return today; });
    Database& db = coreDatabase(*core);
    db.programFolder = dir.path() + QLatin1Char('/');
    db.databasePath = dir.filePath(QStringLiteral("Data.zet"));
    db.newDatabase();
    db.databaseHeader[2] = QStringLiteral("Новый тест");
    if (!db.saveDatabase().ok())
        return nullptr;
    return core;
}

} // namespace zet::testing
