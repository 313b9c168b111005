#include "journal/journalconfig.h"

#include "model/savefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <QSysInfo>
#include <QUuid>

namespace zet {

QString defaultWorkstationName() {
    const QString name = QSysInfo::machineHostName();
    return name.isEmpty() ? QStringLiteral("localhost") : name;
}

QString JournalConfig::serverText() const {
    return QStringLiteral("%1:%2/%3")
        .arg(host.isEmpty() ? QStringLiteral("localhost") : host)
        .arg(port)
        .arg(database);
}

QString programFolderId(const QString& folder) {
    const QString path = QDir(folder).filePath(QStringLiteral("journal.id"));
    QFile file(path);
    if (QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly)) {
        const QUuid id = QUuid::fromString(QString::fromLatin1(file.read(64)).trimmed());
        if (!id.isNull())
            return id.toString(QUuid::WithoutBraces);
    }
    const QString made = QUuid::createUuid().toString(QUuid::WithoutBraces);
    if (QFileInfo::exists(path) || !writeFileAtomically(path, made.toLatin1() + '\n', nullptr))
        return {};
    return made;
}

QString JournalConfig::connectOptions(int timeoutSeconds) const {
    // A value in single quotes, with quotes and backslashes escaped, may hold blanks.
    auto quoted = [](QString value) {
        value.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('\''), QStringLiteral("\\'"));
        return QStringLiteral("'%1'").arg(value);
    };
    QStringList options{QStringLiteral("connect_timeout=%1").arg(timeoutSeconds)};
    if (!sslMode.isEmpty())
        options << QStringLiteral("sslmode=%1").arg(sslMode);
    if (!sslRootCert.isEmpty())
        options << QStringLiteral("sslrootcert=%1").arg(quoted(sslRootCert));
    return options.join(QLatin1Char(';'));
}

JournalConfig JournalConfig::read(const QString& folder, QString* error) {
    JournalConfig config;
    config.workstation = defaultWorkstationName();
    const QString path = QDir(folder).filePath(fileName());
    if (!QFileInfo::exists(path))
        return config;

    QSettings ini(path, QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("journal"));
    // A value with a comma in it comes back as a list: joined again, it is the text as written.
    auto raw = [&ini](const char* key) {
        const QVariant v = ini.value(QLatin1String(key));
        return v.typeId() == QMetaType::QStringList ? v.toStringList().join(QStringLiteral(", "))
                                                    : v.toString();
    };
    auto value = [&raw](const char* key) { return raw(key).trimmed(); };
    const QString driver = value("driver").toLower();
    if (driver == QLatin1String("postgresql") || driver == QLatin1String("postgres")) {
        config.driver = Driver::Postgresql;
    } else if (!driver.isEmpty() && driver != QLatin1String("sqlite") && error) {
        *error =
            QStringLiteral("В файле %1 указан неизвестный вид журнала «%2»; журнал ведётся только на этом "
                           "компьютере.")
                .arg(QDir::toNativeSeparators(path), driver);
    }
    config.host = value("host");
    bool portOk = false;
    const int port = value("port").toInt(&portOk);
    if (portOk && port > 0 && port < 65536)
        config.port = port;
    config.database = value("database");
    config.user = value("user");
    config.password = raw("password");
    const QString workstation = value("workstation");
    if (!workstation.isEmpty())
        config.workstation = workstation;
    QStringList problems;
    if (error && !error->isEmpty())
        problems << *error;
    static const QStringList sslModes = {QStringLiteral("disable"), QStringLiteral("allow"),
                                         QStringLiteral("prefer"),  QStringLiteral("require"),
                                         QStringLiteral("verify-ca"), QStringLiteral("verify-full")};
    const QString sslMode = value("sslmode").toLower();
    if (sslModes.contains(sslMode))
        config.sslMode = sslMode;
    else if (!sslMode.isEmpty())
        problems << QStringLiteral("В файле %1 указан неизвестный режим sslmode «%2»; он не учитывается.")
                        .arg(QDir::toNativeSeparators(path), sslMode);
    config.sslRootCert = value("sslrootcert");
    if (!config.password.isEmpty() &&
        (QFile::permissions(path) & (QFileDevice::ReadGroup | QFileDevice::ReadOther))) {
        problems << QStringLiteral("Файл %1 хранит пароль сервера журнала, но его могут читать другие "
                                   "пользователи этого компьютера. Закройте его для них: chmod 600 %1")
                        .arg(QDir::toNativeSeparators(path));
    }
    if (error)
        *error = problems.join(QStringLiteral("\n"));
    return config;
}

} // namespace zet
