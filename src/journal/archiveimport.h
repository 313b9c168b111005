#pragma once
// Import of the day-file archive (<folder>/<year>/<month name>/<dd.MM.yyyy>.txt) into the
// journal. Each occupied slot becomes one imported exam without answers, keyed by
// workstation, date and protocol number, so the import can be run again and adds only
// what is new. A damaged day file is reported and skipped as a whole.

#include "exam/dayregister.h"
#include "journal/journalentry.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace zet {

class JournalStore;

struct DayFileInArchive {
    QString path;
    QDate date;
};

// Every day file of the archive, by date. Files whose names are not dates are not day files.
QList<DayFileInArchive> findDayFiles(const QString& folder);

// The one place that decides whether a day file read cleanly: the register is filled only
// when the whole file has the day-file layout; otherwise reason says what is wrong.
bool readDayFileForImport(const QByteArray& bytes, DayRegisterArray& reg, QString* reason);

// The id of an imported exam: the same program folder (programFolderId), workstation, date and
// protocol number give the same id. Without a folder id, the id rows imported before it had.
QUuid importedExamId(const QString& workstation, const QDate& date, int protocolNo,
                     const QString& folderId = {});
// Copies what a day-register record holds of an exam into e (number, profile, examinee,
// grade, counts and time); the rest of e is left as it is.
void copyRecordInto(const ExamineeRecord& r, JournalEntry& e);
// The occupied slots of a day register as imported journal entries.
QList<JournalEntry> importedEntries(const DayRegisterArray& reg, const QString& workstation,
                                    const QDate& date, const QString& folderId = {});

// Called before each file and once at the end (done == total); returning false stops the
// import after the files already done.
using ArchiveImportProgress = std::function<bool(int done, int total, const QString& file)>;

struct ArchiveImportReport {
    int filesFound = 0;
    int filesImported = 0;
    int examsAdded = 0;
    int examsAlreadyThere = 0;
    int departmentsFilled = 0; // exams, old ones too, given their department from the staff list
    QStringList damaged; // "path: reason" for each file skipped
    bool cancelled = false;
    JournalResult result; // a journal that could not be written stops the import
};

// Imports every day file, then gives each exam without a department the one the staff list
// has for its personnel number.
ArchiveImportReport importArchive(JournalStore& store, const QString& folder, const QString& workstation,
                                  const ArchiveImportProgress& progress = {});

} // namespace zet
