// The settings file "zetr100.sys": one 256-byte record holding the last database path as a
// 2-byte little-endian length followed by Windows-1251 text.

#include "model/cp1251.h"
#include "model/database.h"
#include "model/regularfile.h"
#include "model/savefile.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

namespace zet {

namespace {
constexpr qsizetype kSettingsRecord = 256;
constexpr qsizetype kMaxPathBytes = kSettingsRecord - 2;
} // namespace

QString settingsFilePath(const QString& programFolder) {
    return programFolder + QStringLiteral("zetr100.sys");
}

QString Database::settingsPath() const {
    return settingsFilePath(programFolder);
}

QString databasePathFromSettingsBytes(QByteArrayView bytes) {
    const QByteArrayView record = bytes.first(std::min(bytes.size(), kSettingsRecord));
    if (record.size() < 2)
        return {};
    qsizetype len = qFromLittleEndian<quint16>(record.data());
    len = std::min({len, kMaxPathBytes, record.size() - 2});
    return decodeCp1251(record.sliced(2, len));
}

SettingsResult readSettingsFile(const QString& settingsPath, QString* databasePath) {
    databasePath->clear();
    QFile file(settingsPath);
    if (!file.exists())
        return {};
    QString error;
    if (!openRegularFile(file, &error))
        return {false, error};
    *databasePath = databasePathFromSettingsBytes(file.read(kSettingsRecord));
    return {};
}

SettingsResult Database::loadSettings() {
    return readSettingsFile(settingsPath(), &databasePath);
}

SettingsResult settingsBytes(const QString& databasePath, QByteArray* record) {
    const EncodedText enc = encodeCp1251(databasePath);
    if (enc.replaced)
        return {false,
                QStringLiteral("Путь «%1» содержит символы, которые нельзя сохранить в файле настроек.")
                    .arg(QDir::toNativeSeparators(databasePath))};
    if (enc.bytes.size() > kMaxPathBytes)
        return {false,
                QStringLiteral("Путь «%1» длиннее %2 символов и не может быть сохранён в файле настроек.")
                    .arg(QDir::toNativeSeparators(databasePath))
                    .arg(kMaxPathBytes)};
    *record = QByteArray(kSettingsRecord, '\0');
    qToLittleEndian<quint16>(static_cast<quint16>(enc.bytes.size()), record->data());
    std::memcpy(record->data() + 2, enc.bytes.constData(), static_cast<std::size_t>(enc.bytes.size()));
    return {};
}

SettingsResult Database::saveSettings() const {
    QByteArray record;
    SettingsResult result = settingsBytes(databasePath, &record);
    if (result.ok)
        result.ok = writeFileAtomically(settingsPath(), record, &result.error);
    return result;
}

} // namespace zet
