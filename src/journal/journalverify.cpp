#include "journal/journalverify.h"

#include "archive/dayfile.h"
#include "journal/archiveimport.h"
#include "journal/journalconfig.h"
#include "journal/journalserver.h"
#include "journal/journalstore.h"

#include "model/cp1251.h"

#include <QDir>
#include <QFile>

namespace zet {

namespace {

// A text as a day file keeps it: characters Windows-1251 lacks read back as '?'.
QString asInDayFile(const QString& text) {
    const EncodedText encoded = encodeCp1251(text);
    return encoded.replaced ? decodeCp1251(encoded.bytes) : text;
}

} // namespace

QList<IntegrityFinding> editedDayRecords(JournalStore& store, const QString& workstation, const QDate& date,
                                         const DayRegisterArray& reg, const QString& where) {
    QList<IntegrityFinding> found;
    for (int n = 1; n <= kRegisterSlots; ++n) {
        const ExamineeRecord& r = reg[n];
        if (r.profileNo == 0)
            continue;
        std::optional<JournalEntry> kept = store.findOnDay(workstation, date, r.protocolNo);
        if (!kept)
            continue;
        for (QString* text : {&kept->profileName, &kept->fullName, &kept->jobTitle, &kept->personnelNo})
            *text = asInDayFile(*text);
        JournalEntry asInFile = *kept;
        copyRecordInto(r, asInFile);
        if (asInFile != *kept) {
            found.append({IntegrityFinding::Kind::DayFile, where, workstation, date, r.protocolNo, r.fullName,
                          QStringLiteral("в журнале: %1, оценка %2").arg(kept->fullName).arg(kept->grade)});
        }
    }
    return found;
}

IntegrityReport verifyDayFiles(JournalStore& store, const QString& folder, const QString& workstation) {
    IntegrityReport report;
    for (const DayFileInArchive& day : findDayFiles(folder)) {
        const QString where = QStringLiteral("файл дня %1").arg(QDir::toNativeSeparators(day.path));
        QFile file(day.path);
        DayRegisterArray reg{};
        if (!file.open(QIODevice::ReadOnly)) {
            report.errors << QStringLiteral("Не удалось прочитать %1: %2").arg(where, file.errorString());
            continue;
        }
        // Read as the program reads a day file, so that a record edited out of shape still counts.
        parseDayFile(file.readAll(), reg);
        for (int n = 1; n <= kRegisterSlots; ++n)
            report.dayRecords += reg[n].profileNo != 0 ? 1 : 0;
        report.findings += editedDayRecords(store, workstation, day.date, reg, where);
    }
    return report;
}

IntegrityReport verifyJournal(const QString& folder) {
    QString configError;
    const JournalConfig config = JournalConfig::read(folder, &configError);
    JournalStore store(folder);
    IntegrityReport report = store.verify();
    if (report.errors.isEmpty())
        report.add(verifyDayFiles(store, folder, config.workstation));
    if (!configError.isEmpty())
        report.errors.prepend(configError);
    if (config.usesServer()) {
        JournalServer server(config);
        report.add(server.verify());
    }
    return report;
}

} // namespace zet
