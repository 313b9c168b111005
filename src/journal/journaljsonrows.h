#pragma once
// Rows handed to the journal server as one JSON text, which the server turns back into typed
// rows with json_populate_recordset(): one parameter for a whole chunk of exams or answers
// instead of one per value. A statement with thousands of parameters costs the server more to
// take in than to carry out, and the driver more to write out than the rows themselves.

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

namespace zet {

// The column names of a list such as "id, workstation, exam_date".
QStringList columnNames(const QString& columnList);

// Appends one row as a JSON object of columns[i] → values[i]: numbers and booleans as such,
// days as "yyyy-MM-dd", time stamps in UTC with milliseconds, texts as strings, and a null
// value (or a null text, day or time) as null, as the driver would bind them. A NUL character,
// which no text on the server can hold, is left out.
void appendJsonRow(QString& out, const QStringList& columns, const QVariantList& values);

// A JSON array of rows, each added with row().
class JsonRows {
public:
    explicit JsonRows(const QStringList& columns) : m_columns(columns) {}
    void row(const QVariantList& values);
    QString text() const { return m_text + QLatin1Char(']'); }
    bool isEmpty() const { return m_rows == 0; }

private:
    QStringList m_columns;
    QString m_text = QStringLiteral("[");
    int m_rows = 0;
};

} // namespace zet
