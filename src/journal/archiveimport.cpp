#include "journal/archiveimport.h"

#include "archive/dayfile.h"
#include "archive/monthnames.h"
#include "journal/journalconfig.h"
#include "journal/journalstore.h"
#include "journal/staffstore.h"
#include "model/cp1251.h"
#include "model/linesplit.h"
#include "model/regularfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace zet {

namespace {

constexpr int kFieldLines = 12;
constexpr int kRecordLines = kFieldLines + 1;
constexpr int kFilesPerTransaction = 50;
constexpr bool kNumberLine[kFieldLines] = {true, true, false, false, true, false,
                                           true, true, true,  true,  true, false};

} // namespace

QList<DayFileInArchive> findDayFiles(const QString& folder) {
    static const QRegularExpression yearName(QStringLiteral("^\\d{4}$"));
    static const QRegularExpression dayName(QStringLiteral("^\\d{2}\\.\\d{2}\\.\\d{4}\\.txt$"));
    QList<DayFileInArchive> found;
    const QDir root(folder);
    for (const QString& year : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (!yearName.match(year).hasMatch())
            continue;
        for (int month = 1; month <= 12; ++month) {
            const QDir monthDir(root.filePath(year + QLatin1Char('/') + monthNominative(month)));
            if (!monthDir.exists())
                continue;
            for (const QString& name : monthDir.entryList(QDir::Files)) {
                if (!dayName.match(name).hasMatch())
                    continue;
                // A file whose name is no real date, or a date of another month, is still
                // reported (as damaged) so that nothing is passed over in silence.
                const QDate date = QDate::fromString(name.left(10), QStringLiteral("dd.MM.yyyy"));
                found.append({monthDir.filePath(name), date});
            }
        }
    }
    std::sort(found.begin(), found.end(), [](const DayFileInArchive& a, const DayFileInArchive& b) {
        return a.date != b.date ? a.date < b.date : a.path < b.path;
    });
    return found;
}

bool readDayFileForImport(const QByteArray& bytes, DayRegisterArray& reg, QString* reason) {
    static const QRegularExpression number(QStringLiteral("^ ?-?\\d+$"));
    const QStringList& labels = dayFileLabels();
    const QString separator = dayFileSeparator();
    const QStringList lines = splitLines(decodeCp1251(bytes));
    const int expected = kRegisterSlots * kRecordLines;
    if (lines.size() != expected) {
        *reason = QStringLiteral("%1 строк вместо %2").arg(lines.size()).arg(expected);
        return false;
    }
    for (int i = 0; i < expected; ++i) {
        const int k = i % kRecordLines;
        const QString& line = lines.at(i);
        bool ok = true;
        if (k == kFieldLines)
            ok = line == separator;
        else
            ok = line.startsWith(labels.at(k)) &&
                 (!kNumberLine[k] || number.match(QStringView(line).mid(labels.at(k).size())).hasMatch());
        if (!ok) {
            *reason = QStringLiteral("строка %1 не по образцу: «%2»").arg(i + 1).arg(line.left(60));
            return false;
        }
    }
    parseDayFile(bytes, reg);
    return true;
}

QUuid importedExamId(const QString& workstation, const QDate& date, int protocolNo, const QString& folderId) {
    // A fixed namespace of this program's archive imports.
    static const QUuid space = QUuid::fromString(QStringLiteral("6c1f0e52-58f4-4b8e-9d8b-2a4e7a0e5f31"));
    QString key = QStringLiteral("%1\n%2\n%3").arg(workstation, date.toString(Qt::ISODate)).arg(protocolNo);
    if (!folderId.isEmpty())
        key += QLatin1Char('\n') + folderId;
    return QUuid::createUuidV5(space, key);
}

void copyRecordInto(const ExamineeRecord& r, JournalEntry& e) {
    e.protocolNo = r.protocolNo;
    e.profileNo = r.profileNo;
    e.profileName = r.profileName;
    e.fullName = r.fullName;
    e.birthYear = r.birthYear;
    e.jobTitle = r.jobTitle;
    e.seniority = r.seniority;
    e.personnelNo = r.personnelNo;
    e.grade = r.grade;
    e.asked = r.askedCount;
    e.right = r.rightCount;
    e.secondsSpent = r.timeSpent;
}

QList<JournalEntry> importedEntries(const DayRegisterArray& reg, const QString& workstation,
                                    const QDate& date, const QString& folderId) {
    QList<JournalEntry> entries;
    for (int n = 1; n <= kRegisterSlots; ++n) {
        const ExamineeRecord& r = reg[n];
        if (r.profileNo == 0)
            continue;
        JournalEntry e;
        e.id = importedExamId(workstation, date, r.protocolNo, folderId);
        e.workstation = workstation;
        e.date = date;
        copyRecordInto(r, e);
        e.imported = true;
        entries.append(e);
    }
    return entries;
}

ArchiveImportReport importArchive(JournalStore& store, const QString& folder, const QString& workstation,
                                  const ArchiveImportProgress& progress) {
    ArchiveImportReport report;
    const QList<DayFileInArchive> files = findDayFiles(folder);
    report.filesFound = int(files.size());
    // Exams waiting in the outbox go in first, so that a live exam is not taken for an archive row.
    store.flushOutbox();
    report.result = store.open();
    if (!report.result.ok)
        return report;
    store.setBulkWrites(true);
    // Several whole files share one transaction: a file is checked completely before any of
    // its rows is queued, so a file is in the journal entirely or not at all.
    QList<JournalEntry> queued;
    int queuedFiles = 0;
    auto commitQueued = [&]() {
        if (queuedFiles == 0)
            return true;
        int added = 0;
        report.result = store.recordImported(queued, &added);
        if (report.result.ok) {
            report.filesImported += queuedFiles;
            report.examsAdded += added;
            report.examsAlreadyThere += int(queued.size()) - added;
        }
        queued.clear();
        queuedFiles = 0;
        return report.result.ok;
    };
    const QString programFolder = QDir(folder).absolutePath() + QLatin1Char('/');
    const QString folderId = programFolderId(folder);
    for (int i = 0; i < files.size(); ++i) {
        const DayFileInArchive& day = files.at(i);
        if (progress && !progress(i, report.filesFound, day.path)) {
            report.cancelled = true;
            break;
        }
        const QString shown = QDir::toNativeSeparators(day.path);
        if (!day.date.isValid() || QFileInfo(dayFilePathFor(programFolder, day.date)).absoluteFilePath() !=
                                       QFileInfo(day.path).absoluteFilePath()) {
            report.damaged.append(QStringLiteral("%1: имя файла не совпадает с датой его папки").arg(shown));
            continue;
        }
        QFile file(day.path);
        QString openError;
        if (!openRegularFile(file, &openError)) {
            report.damaged.append(QStringLiteral("%1: %2").arg(shown, openError));
            continue;
        }
        const QByteArray bytes = file.readAll();
        DayRegisterArray reg{};
        QString reason;
        if (!readDayFileForImport(bytes, reg, &reason)) {
            report.damaged.append(QStringLiteral("%1: %2").arg(shown, reason));
            continue;
        }
        queued += importedEntries(reg, workstation, day.date, folderId);
        if (++queuedFiles == kFilesPerTransaction && !commitQueued())
            break;
    }
    if (report.result.ok)
        commitQueued();
    if (report.result.ok && !report.cancelled)
        report.result = StaffStore(store.database()).fillExamDepartments(&report.departmentsFilled);
    store.setBulkWrites(false);
    if (progress && !report.cancelled && report.result.ok)
        progress(report.filesFound, report.filesFound, QString());
    return report;
}

} // namespace zet
