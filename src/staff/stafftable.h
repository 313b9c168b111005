#pragma once
// The rows of a staff list file before their columns are known: what the CSV and the .xlsx
// readers give, and the step that finds the header and makes people of the rows below it.

#include "staff/staffrecord.h"

#include <QList>
#include <QString>

namespace zet::staff {

struct TableCell {
    int column = 0; // 0 for column A or the first field
    QString text;
    bool numeric = false; // an .xlsx number: a date column holds an Excel serial number
};

struct TableRow {
    int line = 0; // of the file, counted from 1
    QList<TableCell> cells;
};

struct Table {
    QList<TableRow> rows;
    bool date1904 = false; // the workbook counts its serial dates from 1904
};

// Finds the header row among the first rows and reads every row below it. Returns false
// with a Russian message when no row names the personnel number and the name.
bool staffFromTable(const Table& table, StaffFile& result, QString& error);

// The header a text would match: lower case, «ё» as «е», dots dropped, blanks collapsed.
QString headerKey(QStringView text);

} // namespace zet::staff
