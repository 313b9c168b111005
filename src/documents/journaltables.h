#pragma once
// The journal's lists as tables for writeTable(): exams, question statistics, the due list.
// The tables refer to the lists given; those must outlive the table.

#include "documents/tableexport.h"
#include "journal/journalreports.h"

namespace zet {

// Date, protocol number, full name, birth year, job title, seniority, personnel number,
// profile number and name, test, grade, right, asked, seconds, result, start, finish, workstation.
ExportTable examsTable(const QList<JournalEntry>& exams);
// Theme, question number, question text, asked, wrong, wrong share.
ExportTable statisticsTable(const QList<QuestionStatistic>& statistics);
// Personnel number, full name, job title, profile, last passed, grade, period, due, days left, status.
ExportTable dueTable(const QList<DueEntry>& due);

// «сдал» for a grade above 2, «не сдал» otherwise.
QString resultText(int grade);
// «просрочено», «скоро» (within JournalReports::kSoonDays) or empty.
QString dueStatusText(const DueEntry& entry);

} // namespace zet
