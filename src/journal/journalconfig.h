#pragma once
// journal.ini in the program folder: where the results journal is kept.
//
//   [journal]
//   driver=postgresql    ; sqlite (default) or postgresql
//   host=127.0.0.1
//   port=5432
//   database=razividerur
//   user=examiner
//   password=...         ; or leave out and use ~/.pgpass
//   sslmode=verify-full  ; disable, allow, prefer, require, verify-ca or verify-full
//   sslrootcert=/etc/razividerur/centre-ca.crt ; the centre's certificate authority
//   workstation=Класс-1  ; optional, defaults to the host name

#include <QString>

namespace zet {

struct JournalConfig {
    enum class Driver { Sqlite, Postgresql };

    Driver driver = Driver::Sqlite;
    QString host;
    int port = 5432;
    QString database;
    QString user;
    QString password; // never shown in messages or logs
    QString workstation;
    QString sslMode;     // empty: the driver's default
    QString sslRootCert; // empty: the driver's default

    // The options passed to the PostgreSQL driver: the connect timeout and the TLS settings.
    QString connectOptions(int timeoutSeconds) const;

    bool usesServer() const { return driver == Driver::Postgresql; }
    // "host:port/database" for messages; never the password.
    QString serverText() const;

    static QString fileName() { return QStringLiteral("journal.ini"); }
    // Reads <folder>/journal.ini; a missing file or key keeps the default. An unknown driver
    // name is reported in error (Russian) and the local journal alone is used; so are an
    // unknown sslmode (left out) and a password in a file other users can read.
    static JournalConfig read(const QString& folder, QString* error = nullptr);
};

// The host name of this machine, used as the workstation when none is configured.
QString defaultWorkstationName();

// The identifier of a program folder: made once (a random id in <folder>/journal.id) and kept
// there, so that archive rows imported in two folders under the same workstation name never
// share a key. Empty when it can neither be read nor made.
QString programFolderId(const QString& folder);

} // namespace zet
