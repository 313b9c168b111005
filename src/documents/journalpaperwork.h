#pragma once
// The journal window's paperwork without widgets: the exams of the window's list or
// selection, the protocol over them, the list written to a spreadsheet file, the question
// statistics and the due list of a program folder. Errors are Russian texts for the caller.

#include "documents/protocoldocument.h"
#include "journal/journalquery.h"
#include "journal/journalreports.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QUuid>

namespace zet {

// Every exam the filter lets through, in the order of sort, with the examinee's data
// (answers not loaded). readLocally: set when journal.ini names a server that could not be
// reached, so the exams came from this workstation's journal.
JournalResult readFilteredExams(const QString& folder, const JournalFilter& filter, const JournalSort& sort,
                                QList<JournalEntry>& exams, bool* readLocally = nullptr);

// The protocol's content for the selected exams, or for the filtered list when none is
// selected; the exams are listed oldest first, the commission is read from protocol.ini, the
// number comes from the journal (numberProtocol). When the server named in journal.ini could
// not be reached, sourceNote says so. warning gets what the examiner should know about a
// protocol that was made all the same (no number taken).
JournalResult protocolContent(const QString& folder, const QList<QUuid>& selected, const JournalFilter& filter,
                              ProtocolContent& content, QString* warning = nullptr);

// Gives the protocol over content.exams its number from the journal reader reads: the one these
// exams were given before, else the next of the journal's sequence; requested > 0 sets it by
// hand. When journal.ini names a server that did not answer, no number is taken from this
// computer's journal (it would clash with the centre's): the number stays blank, or as
// requested without being kept, and warning says so.
JournalResult numberProtocol(JournalReader& reader, int requested, ProtocolContent& content, QString* warning);

// Exams in the order every protocol lists them: date, protocol number of the day, name.
bool protocolOrder(const JournalEntry& a, const JournalEntry& b);

// The filtered list in the order shown, to .xlsx or .csv by the extension of path.
JournalResult exportFilteredExams(const QString& folder, const JournalFilter& filter, const JournalSort& sort,
                                  const QString& path);

// Question statistics over the days and the profile of the filter (the name and grade
// filters do not apply to questions); caption says what was counted.
JournalResult readQuestionStatistics(const QString& folder, const JournalFilter& filter,
                                     QList<QuestionStatistic>& statistics, QString* caption = nullptr);

// The register of knowledge checks of department for the days from .. until (null: open) to
// an .xlsx file; count gets the number of exams written.
JournalResult exportDepartmentRegister(const QString& folder, const QString& department, const QDate& from,
                                       const QDate& until, const QString& path, int* count = nullptr);

// Who is due for a re-check on the day today, under the periods kept in protocol.ini.
JournalResult readDueList(const QString& folder, const QDate& today, QList<DueEntry>& due);

} // namespace zet
