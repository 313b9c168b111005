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

QString Database::SettingsPath() const {
    return ProgramFolder + QStringLiteral("zetr100.sys");
}

SettingsResult Database::LoadSettings() {
    DatabasePath.clear();
    QFile file(SettingsPath());
    if (!file.exists())
        return {};
    QString error;
    if (!OpenRegularFile(file, &error))
        return {false, error};
    const QByteArray record = file.read(kSettingsRecord);
    if (record.size() < 2)
        return {};
    qsizetype len = qFromLittleEndian<quint16>(record.constData());
    len = std::min({len, kMaxPathBytes, record.size() - 2});
    DatabasePath = DecodeCp1251(QByteArrayView(record.constData() + 2, len));
    return {};
}

SettingsResult Database::SaveSettings() const {
    const EncodedText enc = EncodeCp1251(DatabasePath);
    if (enc.replaced)
        return {false,
                QStringLiteral("Путь «%1» содержит символы, которые нельзя сохранить в файле настроек.")
                    .arg(QDir::toNativeSeparators(DatabasePath))};
    if (enc.bytes.size() > kMaxPathBytes)
        return {false,
                QStringLiteral("Путь «%1» длиннее %2 символов и не может быть сохранён в файле настроек.")
                    .arg(QDir::toNativeSeparators(DatabasePath))
                    .arg(kMaxPathBytes)};
    QByteArray record(kSettingsRecord, '\0');
    qToLittleEndian<quint16>(static_cast<quint16>(enc.bytes.size()), record.data());
    std::memcpy(record.data() + 2, enc.bytes.constData(), static_cast<std::size_t>(enc.bytes.size()));
    SettingsResult result;
    result.ok = WriteFileAtomically(SettingsPath(), record, &result.error);
    return result;
}

} // namespace zet
