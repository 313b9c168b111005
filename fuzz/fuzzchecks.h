#pragma once
// Properties that must hold for any bytes handed to the readers of outside data: the
// database file, the day file, the settings file, the archive viewer's reading of a day
// file, and the numeric value of a text. The fuzz targets call these with generated input;
// the corpus test calls them with every committed seed, so a fixed fault stays fixed.
//
// Each check returns an empty string when every property holds, otherwise a description of
// the first one that failed. workFolder is an existing, writable folder ending in "/".

#include <QByteArrayView>
#include <QString>

namespace zet::fuzz {

QString CheckDatabaseBytes(QByteArrayView data, const QString& workFolder);
QString CheckDayFileBytes(QByteArrayView data, const QString& workFolder);
QString CheckSettingsBytes(QByteArrayView data, const QString& workFolder);
QString CheckDayViewBytes(QByteArrayView data, const QString& workFolder);
QString CheckTextValueBytes(QByteArrayView data);
// Question banks: GIFT, Aiken and Moodle XML read and imported into a new database.
QString CheckGiftBytes(QByteArrayView data, const QString& workFolder);
QString CheckAikenBytes(QByteArrayView data, const QString& workFolder);
QString CheckMoodleXmlBytes(QByteArrayView data, const QString& workFolder);

// The check for a corpus folder name ("database", "dayfile", "settings", "dayview",
// "textvalue", "gift", "aiken", "moodlexml"); empty function for an unknown name.
using Check = QString (*)(QByteArrayView data, const QString& workFolder);
Check CheckFor(const QString& target);

} // namespace zet::fuzz
