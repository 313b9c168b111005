#pragma once
// One exam row of the journal's exams table as every reader selects it: id, workstation,
// date, protocol number, profile number and name, test name, database path, full name, birth
// year, job title, seniority, personnel number, grade, asked, right, seconds, start, finish,
// imported — in this order. The values come as SQLite stores them (text) or as PostgreSQL
// types them (dates, time stamps, booleans).

#include "journal/journalentry.h"

#include <QSqlQuery>

namespace zet {

// The columns of that row, each with prefix in front (e.g. "e." for a table alias).
QString examColumns(const QString& prefix = {});

// The exam of the query's current row (answers not read).
JournalEntry examFromRow(const QSqlQuery& query);

} // namespace zet
