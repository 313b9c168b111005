#pragma once
// The journal's lists as tables for writeTable(): exams, question statistics, the due list.
// The tables refer to the lists given; those must outlive the table.

#include "documents/tableexport.h"
#include "journal/journalreports.h"

namespace zet {

// Date, protocol number, full name, birth year, job title, department, seniority, personnel
// number, profile number and name, test, grade, right, asked, seconds, result, start, finish,
// workstation.
ExportTable examsTable(const QList<JournalEntry>& exams);
// Theme, question number, question text, asked, wrong, wrong share.
ExportTable statisticsTable(const QList<QuestionStatistic>& statistics);
// Personnel number, full name, job title, department, profile, last passed, grade, period, due,
// days left, status.
ExportTable dueTable(const QList<DueEntry>& due);
// The register of knowledge checks of a department for a period (null dates leave that end
// open): a heading, then per exam the date, name, job title, personnel number, the programme
// (or the profile), grade, result, protocol number and a column to sign.
ExportTable registerTable(const QList<JournalEntry>& exams, const QString& department, const QDate& from,
                          const QDate& until, const ProtocolSettings& settings);

// «сдал» for a grade above 2, «не сдал» otherwise.
QString resultText(int grade);
// «не проверялся», «просрочено», «скоро» (within JournalReports::kSoonDays), with «не сдал»
// after a fail, or empty.
QString dueStatusText(const DueEntry& entry);

} // namespace zet
