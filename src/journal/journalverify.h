#pragma once
// Whether the results of a program folder are still as they were written: the chain of the
// local journal, the day files of the archive against the journal's copies of their exams,
// and the chain on the exam centre's server when journal.ini names one.

#include "exam/dayregister.h"
#include "journal/journalchain.h"

#include <QDate>
#include <QList>
#include <QString>

namespace zet {

class JournalStore;

// The records of reg (the day file of date, written at workstation) whose exam the journal
// keeps with other values: one finding each. Records the journal does not hold are passed over.
QList<IntegrityFinding> editedDayRecords(JournalStore& store, const QString& workstation, const QDate& date,
                                         const DayRegisterArray& reg, const QString& where);

// Every day file of folder against the journal; report.dayRecords counts the records compared.
IntegrityReport verifyDayFiles(JournalStore& store, const QString& folder, const QString& workstation);

// The whole check of folder: the local journal, its day files and, when configured, the server.
IntegrityReport verifyJournal(const QString& folder);

} // namespace zet
