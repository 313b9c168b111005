#pragma once
// Properties that must hold for any bytes handed to the readers of outside data: the
// database file, the day file, the settings file, the archive viewer's reading of a day
// file, and the numeric value of a text. The fuzz targets call these with generated input;
// the corpus test calls them with every committed seed, so a fixed fault stays fixed.
//
// Each check returns an empty string when every property holds, otherwise a description of
// the first one that failed. workFolder is an existing, writable folder ending in "/"; the
// day file and day view checks take an empty one to check the bytes in memory only (the
// fuzzer's way), and with a folder also read and write the same bytes through a file.

#include <QByteArrayView>
#include <QString>

namespace zet::fuzz {

QString checkDatabaseBytes(QByteArrayView data, const QString& workFolder);
QString checkDayFileBytes(QByteArrayView data, const QString& workFolder);
QString checkSettingsBytes(QByteArrayView data, const QString& workFolder);
QString checkDayViewBytes(QByteArrayView data, const QString& workFolder);
QString checkTextValueBytes(QByteArrayView data);
// Question banks: GIFT, Aiken and Moodle XML read and imported into a new database.
QString checkGiftBytes(QByteArrayView data, const QString& workFolder);
QString checkAikenBytes(QByteArrayView data, const QString& workFolder);
QString checkMoodleXmlBytes(QByteArrayView data, const QString& workFolder);
// The staff list reader (CSV and .xlsx), in memory.
QString checkStaffBytes(QByteArrayView data, const QString& workFolder);

// The check for a corpus folder name ("database", "dayfile", "settings", "dayview",
// "textvalue", "gift", "aiken", "moodlexml", "staff"); empty function for an unknown name.
using Check = QString (*)(QByteArrayView data, const QString& workFolder);
Check checkFor(const QString& target);

} // namespace zet::fuzz
