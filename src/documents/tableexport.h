#pragma once
// A table of the journal written for spreadsheet programs: an .xlsx workbook (libxlsxwriter)
// with typed cells, a header row, an autofilter and fitted column widths, or a .csv file in
// UTF-8 with a byte order mark and ';' between fields (what a spreadsheet program with
// Russian settings opens without asking).
//
// Files are written under a temporary name beside the target and put in place only when
// complete; a failure leaves the target as it was. Errors are Russian texts for the caller.

#include "journal/journalentry.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

namespace zet {

struct ExportColumn {
    enum class Kind {
        Text,     // QString
        Integer,  // int
        Percent,  // double, a share 0 .. 1
        Date,     // QDate
        DateTime, // QDateTime, shown in local time
    };
    QString title;
    Kind kind = Kind::Text;
};

// Rows are asked for one cell at a time, in order, so that a large selection is not copied.
// A null QVariant is an empty cell.
struct ExportTable {
    QString sheetName; // the workbook's sheet name (at most 31 characters are kept)
    QList<ExportColumn> columns;
    int rowCount = 0;
    std::function<QVariant(int row, int column)> cell;
    // Lines above the header row (a title, the period), the first in bold; none for a plain list.
    QStringList heading;
};

// The file kind by its extension (.xlsx or .csv, any letter case).
enum class ExportFormat { Unknown, Xlsx, Csv };
ExportFormat exportFormatOf(const QString& path);

JournalResult writeXlsx(const ExportTable& table, const QString& path);
JournalResult writeCsv(const ExportTable& table, const QString& path);
// By the extension of path; another extension is refused.
JournalResult writeTable(const ExportTable& table, const QString& path);

// One CSV field: quoted when it holds ';', '"', a line break or starts or ends with a blank.
QString csvField(const QString& text);
// A text cell as a CSV file holds it: a text a spreadsheet program would take for a formula
// (beginning with '=', '+', '-', '@', a tab or a carriage return) gets a leading apostrophe.
QString csvText(const QString& text);

} // namespace zet
