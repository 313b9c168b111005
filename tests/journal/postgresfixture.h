#pragma once
// A PostgreSQL server of the test's own: initdb and pg_ctl on a temporary folder, listening
// on no TCP address at all, only on a Unix socket in that folder. Run as root, the server
// runs as the "postgres" user.

#include "journal/journalconfig.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUuid>

#include <unistd.h>

namespace zet::test {

class PostgresFixture {
public:
    PostgresFixture() : m_dir(QDir::tempPath() + QStringLiteral("/zetpg-XXXXXX")) {}
    ~PostgresFixture() { stop(); }

    // Empty when the server runs; otherwise what went wrong.
    QString init() {
        m_bin = binFolder();
        if (m_bin.isEmpty())
            return QStringLiteral("no PostgreSQL server programs (initdb, pg_ctl) found");
        if (!m_dir.isValid())
            return QStringLiteral("no temporary folder");
        m_asRoot = ::geteuid() == 0;
        if (m_asRoot && run(QStringLiteral("chown"), {QStringLiteral("postgres"), m_dir.path()}, false) != 0)
            return QStringLiteral("cannot hand the temporary folder to the postgres user");
        if (asServerUser(QStringLiteral("initdb"),
                         {QStringLiteral("-D"), dataFolder(), QStringLiteral("-A"), QStringLiteral("trust"),
                          QStringLiteral("-U"), QStringLiteral("postgres"), QStringLiteral("-E"),
                          QStringLiteral("UTF8"), QStringLiteral("--locale=C"),
                          QStringLiteral("--no-sync")}) != 0)
            return QStringLiteral("initdb failed: ") + m_output;
        return start();
    }

    // Server settings given after the fixture's own (a later -c wins), e.g. "-c fsync=on".
    void setServerOptions(const QString& options) { m_serverOptions = options; }

    QString start() {
        const QString options = QStringLiteral("-c listen_addresses='' -c unix_socket_directories='%1' -p %2 "
                                               "-c fsync=off -c max_connections=40 %3")
                                    .arg(m_dir.path())
                                    .arg(port())
                                    .arg(m_serverOptions);
        if (asServerUser(QStringLiteral("pg_ctl"),
                         {QStringLiteral("-D"), dataFolder(), QStringLiteral("-l"),
                          m_dir.filePath(QStringLiteral("server.log")), QStringLiteral("-o"), options,
                          QStringLiteral("-w"), QStringLiteral("start")}) != 0)
            return QStringLiteral("pg_ctl start failed: ") + m_output;
        m_running = true;
        return {};
    }

    void stop() {
        if (!m_running)
            return;
        asServerUser(QStringLiteral("pg_ctl"),
                     {QStringLiteral("-D"), dataFolder(), QStringLiteral("-m"), QStringLiteral("fast"),
                      QStringLiteral("-w"), QStringLiteral("stop")});
        m_running = false;
    }

    // A fresh, empty database on the server; options go after CREATE DATABASE name.
    QString createDatabase(const QString& options = {}) {
        const QString name = QStringLiteral("journal_") + QUuid::createUuid().toString(QUuid::Id128).left(12);
        const QString connection = QStringLiteral("fixture-") + name;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
            db.setHostName(m_dir.path());
            db.setPort(port());
            db.setUserName(QStringLiteral("postgres"));
            db.setDatabaseName(QStringLiteral("postgres"));
            if (db.open())
                QSqlQuery(db).exec(QStringLiteral("CREATE DATABASE %1 %2").arg(name, options));
            db.close();
        }
        QSqlDatabase::removeDatabase(connection);
        return name;
    }

    JournalConfig config(const QString& database, const QString& workstation) const {
        JournalConfig c;
        c.driver = JournalConfig::Driver::Postgresql;
        c.host = m_dir.path();
        c.port = port();
        c.database = database;
        c.user = QStringLiteral("postgres");
        c.password = QStringLiteral("тайное-слово-42");
        c.workstation = workstation;
        return c;
    }

    QString socketFolder() const { return m_dir.path(); }
    static int port() { return 5433; }

private:
    static QString binFolder() {
        const QString fromPath = QStandardPaths::findExecutable(QStringLiteral("pg_ctl"));
        if (!fromPath.isEmpty())
            return QFileInfo(fromPath).absolutePath();
        QDir lib(QStringLiteral("/usr/lib/postgresql"));
        QStringList versions = lib.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed);
        for (const QString& v : versions) {
            if (QFileInfo::exists(lib.filePath(v + QStringLiteral("/bin/pg_ctl"))))
                return lib.filePath(v + QStringLiteral("/bin"));
        }
        return {};
    }

    QString dataFolder() const { return m_dir.filePath(QStringLiteral("data")); }

    int asServerUser(const QString& program, const QStringList& args) {
        const QString path = QDir(m_bin).filePath(program);
        if (!m_asRoot)
            return run(path, args, true);
        return run(QStringLiteral("runuser"),
                   QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--"), path} +
                       args,
                   true);
    }

    int run(const QString& program, const QStringList& args, bool keepOutput) {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.setWorkingDirectory(m_dir.path());
        p.start(program, args);
        if (!p.waitForFinished(120000))
            return -1;
        if (keepOutput)
            m_output = QString::fromLocal8Bit(p.readAll());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

    QTemporaryDir m_dir;
    QString m_bin;
    QString m_output;
    QString m_serverOptions;
    bool m_asRoot = false;
    bool m_running = false;
};

// Writes journal.ini into folder naming the server of config (no password: the fixture trusts).
inline bool writeServerIni(const QString& folder, const JournalConfig& config) {
    QFile ini(QDir(folder).filePath(JournalConfig::fileName()));
    if (!ini.open(QIODevice::WriteOnly))
        return false;
    ini.write(QStringLiteral("[journal]\ndriver=postgresql\nhost=%1\nport=%2\ndatabase=%3\nuser=%4\n"
                             "workstation=%5\n")
                  .arg(config.host)
                  .arg(config.port)
                  .arg(config.database, config.user, config.workstation)
                  .toUtf8());
    return ini.flush();
}

} // namespace zet::test
