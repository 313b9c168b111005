#include "journal/paperworksettings.h"

#include "model/regularfile.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace zet {

namespace {

// A value with a comma in it comes back from an INI file as a list; joined again it is the
// text as written.
QString textValue(const QSettings& ini, const QString& key) {
    const QVariant v = ini.value(key);
    return v.typeId() == QMetaType::QStringList ? v.toStringList().join(QStringLiteral(", ")) : v.toString();
}

// Why the file could not be read or written: a folder or a FIFO in its place is said as such.
QString statusText(const QString& path, QSettings::Status status) {
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) {
        if (const QString problem = regularFileProblem(path); !problem.isEmpty())
            return problem;
    }
    return status == QSettings::FormatError ? QStringLiteral("файл повреждён")
                                            : QStringLiteral("нет доступа к файлу");
}

} // namespace

PaperworkSettings::PaperworkSettings(const QString& folder) : m_folder(folder) {}

QString PaperworkSettings::path() const {
    return QDir(m_folder).filePath(fileName());
}

JournalResult PaperworkSettings::readProtocol(ProtocolSettings& settings) const {
    settings = {};
    if (!QFileInfo::exists(path()))
        return {};
    QSettings ini(path(), QSettings::IniFormat);
    if (ini.status() != QSettings::NoError)
        return JournalResult::failure(QStringLiteral("Не удалось прочитать настройки протокола «%1»: %2")
                                          .arg(QDir::toNativeSeparators(path()), statusText(path(), ini.status())));
    ini.beginGroup(QStringLiteral("protocol"));
    settings.organisation = textValue(ini, QStringLiteral("organisation"));
    settings.order = textValue(ini, QStringLiteral("order"));
    settings.chair.fullName = textValue(ini, QStringLiteral("chair/name"));
    settings.chair.jobTitle = textValue(ini, QStringLiteral("chair/jobTitle"));
    const int count = ini.beginReadArray(QStringLiteral("members"));
    for (int i = 0; i < count; ++i) {
        ini.setArrayIndex(i);
        settings.members.append({textValue(ini, QStringLiteral("name")), textValue(ini, QStringLiteral("jobTitle"))});
    }
    ini.endArray();
    ini.beginGroup(QStringLiteral("programme"));
    for (const QString& key : ini.childKeys()) {
        bool numberOk = false;
        const int profileNo = key.toInt(&numberOk);
        const QString programme = textValue(ini, key).trimmed();
        if (numberOk && profileNo > 0 && !programme.isEmpty())
            settings.programmes.insert(profileNo, programme);
    }
    ini.endGroup();
    ini.endGroup();
    return {};
}

JournalResult PaperworkSettings::writeProtocol(const ProtocolSettings& settings) const {
    QSettings ini(path(), QSettings::IniFormat);
    ini.remove(QStringLiteral("protocol"));
    ini.beginGroup(QStringLiteral("protocol"));
    ini.setValue(QStringLiteral("organisation"), settings.organisation);
    ini.setValue(QStringLiteral("order"), settings.order);
    ini.setValue(QStringLiteral("chair/name"), settings.chair.fullName);
    ini.setValue(QStringLiteral("chair/jobTitle"), settings.chair.jobTitle);
    ini.beginWriteArray(QStringLiteral("members"), int(settings.members.size()));
    for (int i = 0; i < settings.members.size(); ++i) {
        ini.setArrayIndex(i);
        ini.setValue(QStringLiteral("name"), settings.members.at(i).fullName);
        ini.setValue(QStringLiteral("jobTitle"), settings.members.at(i).jobTitle);
    }
    ini.endArray();
    for (auto it = settings.programmes.cbegin(); it != settings.programmes.cend(); ++it) {
        if (!it.value().trimmed().isEmpty())
            ini.setValue(QStringLiteral("programme/%1").arg(it.key()), it.value().trimmed());
    }
    ini.endGroup();
    ini.sync(); // QSettings writes the whole file anew through a temporary file
    if (ini.status() != QSettings::NoError)
        return JournalResult::failure(QStringLiteral("Не удалось сохранить настройки протокола «%1»: %2")
                                          .arg(QDir::toNativeSeparators(path()), statusText(path(), ini.status())));
    return {};
}

JournalResult PaperworkSettings::readPeriods(RecheckPeriods& periods) const {
    periods = {};
    if (!QFileInfo::exists(path()))
        return {};
    QSettings ini(path(), QSettings::IniFormat);
    if (ini.status() != QSettings::NoError)
        return JournalResult::failure(QStringLiteral("Не удалось прочитать сроки повторной проверки «%1»: %2")
                                          .arg(QDir::toNativeSeparators(path()), statusText(path(), ini.status())));
    ini.beginGroup(QStringLiteral("recheck"));
    const QStringList keys = ini.childKeys();
    for (const QString& key : keys) {
        const bool failed = key.startsWith(QLatin1String("failed"));
        if (!failed && !key.startsWith(QLatin1String("profile")))
            continue;
        bool numberOk = false, valueOk = false;
        const int profileNo = key.mid(failed ? 6 : 7).toInt(&numberOk);
        const int value = textValue(ini, key).trimmed().toInt(&valueOk);
        const int most = failed ? RecheckPeriods::kMaxFailedDays : RecheckPeriods::kMaxMonths;
        if (numberOk && valueOk && profileNo > 0 && value >= 1 && value <= most)
            (failed ? periods.failedDays : periods.months).insert(profileNo, value);
    }
    ini.endGroup();
    return {};
}

JournalResult PaperworkSettings::writePeriods(const RecheckPeriods& periods) const {
    // message: the refusal, with the profile number (%1) and the greatest value (%2).
    const auto outOfRange = [](const QMap<int, int>& values, int most, const QString& message) -> QString {
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            if (it.value() < 1 || it.value() > most)
                return message.arg(it.key()).arg(most);
        }
        return {};
    };
    QString refusal = outOfRange(periods.months, RecheckPeriods::kMaxMonths,
                                 QStringLiteral("Срок повторной проверки для профиля %1 должен быть от 1 до %2 месяцев."));
    if (refusal.isEmpty())
        refusal = outOfRange(
            periods.failedDays, RecheckPeriods::kMaxFailedDays,
            QStringLiteral("Срок повторной проверки после несдачи для профиля %1 должен быть от 1 до %2 дней."));
    if (!refusal.isEmpty())
        return JournalResult::failure(refusal);
    QSettings ini(path(), QSettings::IniFormat);
    ini.remove(QStringLiteral("recheck"));
    ini.beginGroup(QStringLiteral("recheck"));
    for (auto it = periods.months.cbegin(); it != periods.months.cend(); ++it)
        ini.setValue(QStringLiteral("profile%1").arg(it.key()), it.value());
    for (auto it = periods.failedDays.cbegin(); it != periods.failedDays.cend(); ++it)
        ini.setValue(QStringLiteral("failed%1").arg(it.key()), it.value());
    ini.endGroup();
    ini.sync();
    if (ini.status() != QSettings::NoError)
        return JournalResult::failure(QStringLiteral("Не удалось сохранить сроки повторной проверки «%1»: %2")
                                          .arg(QDir::toNativeSeparators(path()), statusText(path(), ini.status())));
    return {};
}

} // namespace zet
