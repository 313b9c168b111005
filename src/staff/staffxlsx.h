#pragma once
// The staff list from an Excel .xlsx workbook (its first sheet), unpacked with libzip.

#include "staff/staffrecord.h"

#include <QByteArrayView>
#include <QString>

namespace zet {

// The workbook's bytes; false with a Russian message in error when they are no workbook or
// hold no staff list.
bool parseStaffXlsx(QByteArrayView bytes, StaffFile& result, QString& error);

} // namespace zet
