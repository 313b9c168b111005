#pragma once
// Reading a day file for the archive viewer: the records of the day as text, line by line,
// up to the first empty record, at most one whole day.

#include <QByteArrayView>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace zet {

// The viewer never shows more lines than a full day holds: 100 records of 13 lines. A longer
// file (edited by hand or foreign) shows its first full day's worth.
constexpr int kDayViewLineLimit = 100 * 13;
// Nor a longer line than this: a day file of one huge line (damaged or foreign) would
// take the text box minutes to lay out. A longer line is cut and says so.
constexpr qsizetype kDayViewLineWidth = 2000;

// The lines the viewer shows from the bytes of a day file (Windows-1251, lines ended by
// CR LF; a bare LF or CR also ends a line, and a last line without an end counts). Reading
// stops before the end marker line, after kDayViewLineLimit lines, or at the end of the bytes.
// A line longer than kDayViewLineWidth shows its beginning and a note of its length.
QStringList dayViewLines(QByteArrayView bytes);

// The text of the viewer's box: every line followed by a line end, the last one included.
QString dayViewText(const QStringList& lines);

struct DayView {
    enum Status { Shown, Missing, Unreadable };
    Status status = Shown;
    QStringList lines; // what to show when Shown
    QString error;     // Russian reason when Unreadable
};

// The archive viewer's reading of the day file at path. A path that names no file is Missing.
DayView loadDayView(const QString& path);

// The days (1..31) of a month whose day file exists in the archive of programFolder.
QList<int> daysWithDayFile(const QString& programFolder, int year, int month);

} // namespace zet
