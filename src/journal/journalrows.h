#pragma once
// One exam row of the journal's exams table as every reader selects it and both writers
// bind it: id, workstation,
// date, protocol number, profile number and name, test name, database path, full name, birth
// year, job title, seniority, personnel number, grade, asked, right, seconds, start, finish,
// imported, department — in this order. The values come as SQLite stores them (text) or as PostgreSQL
// types them (dates, time stamps, booleans).

#include "journal/journalentry.h"

#include <QSqlQuery>
#include <QVariantList>

namespace zet {

// Where a row is written: the local journal keeps days and time stamps as ISO texts and flags
// as 0/1; the server keeps them as its own types.
enum class JournalDialect { Local, Server };

// An exam id as both journals keep it: the UUID without braces.
QString idText(const QUuid& id);

// A value read back from either journal: a day, a time stamp or a flag as SQLite keeps it
// (ISO text, 0/1) or as PostgreSQL types it. Null gives an invalid date or time.
QDate columnDate(const QVariant& v);
QDateTime columnTime(const QVariant& v);
bool columnFlag(const QVariant& v);

// The columns of that row, each with prefix in front (e.g. "e." for a table alias).
QString examColumns(const QString& prefix = {});
// How many they are: the columns a query selects after them start at this index.
constexpr int kExamColumnCount = 21;

// The exam of the query's current row (answers not read).
JournalEntry examFromRow(const QSqlQuery& query);

// The values of examColumns() for e, in that order.
QVariantList examValues(const JournalEntry& e, JournalDialect dialect);
// The columns of one answer row as every reader selects it and both writers bind it: exam_id
// (written only), position, theme, question_no, question_text, answer_text, is_right, seconds,
// right_answer_text.
QString answerInsertColumns();
QString answerSelectColumns();

// The values of answerInsertColumns() for one answer of the exam examId.
QVariantList answerValues(const QUuid& examId, const JournalAnswer& answer, JournalDialect dialect);
// The answer of the query's current row, selected as answerSelectColumns().
JournalAnswer answerFromRow(const QSqlQuery& query);

} // namespace zet
