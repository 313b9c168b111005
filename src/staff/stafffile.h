#pragma once
// Reading the staff list an HR system exports: CSV (UTF-8 with or without a BOM, or
// Windows-1251; ";", "," or tab between fields; quoted fields) or an Excel .xlsx workbook
// (its first sheet). The columns are found by their headers, wherever they stand.

#include "staff/staffrecord.h"

#include <QByteArrayView>
#include <QDate>
#include <QString>

#include <functional>

namespace zet {

// A staff list of 50,000 people is a few megabytes; a larger file is refused.
constexpr qint64 kMaxStaffFileBytes = 64 * 1024 * 1024;
// What one part of an .xlsx workbook may unpack to (a sheet, the shared strings).
constexpr qint64 kMaxStaffXlsxPartBytes = 256 * 1024 * 1024;

// What reads an .xlsx workbook: parseStaffXlsx (staff/staffxlsx.h), which needs libzip and so
// lives in a library of its own; the program reaches it through its paperwork library.
using StaffWorkbookReader = std::function<bool(QByteArrayView bytes, StaffFile& result, QString& error)>;

// Reads the file at path, a workbook through workbook. On failure returns false with a
// Russian message in error (no file, no access, too large, not a staff list) and leaves
// result empty.
bool readStaffFile(const QString& path, StaffFile& result, QString& error, const StaffWorkbookReader& workbook);

// The same over the bytes of a file: an .xlsx workbook when they are a zip archive, CSV
// otherwise. error does not name a file.
bool parseStaffBytes(QByteArrayView bytes, StaffFile& result, QString& error, const StaffWorkbookReader& workbook);
bool parseStaffCsv(QByteArrayView bytes, StaffFile& result, QString& error);

// A date as staff lists write it: dd.MM.yyyy (one-digit day and month too) or yyyy-MM-dd,
// optionally followed by a time; an invalid date for anything else.
QDate parseStaffDate(QStringView text);
// The day an Excel serial number stands for (the 1900 date system, with its nonexistent
// 29 February 1900, or the 1904 one); invalid outside 1900..9999.
QDate excelSerialDate(double serial, bool system1904 = false);

} // namespace zet
