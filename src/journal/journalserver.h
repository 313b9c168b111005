#pragma once
// The exam centre's journal on a PostgreSQL server (Qt SQL, QPSQL). Exams are sent from
// the local journal; the exam's id makes a repeated send do nothing.
//
// A server connection belongs to the thread that made it.

#include "journal/journalchain.h"
#include "journal/journalconfig.h"
#include "journal/journalentry.h"

#include <QList>
#include <QSet>
#include <QSqlQuery>
#include <QSqlDatabase>
#include <QString>

#include <memory>

namespace zet {

class JournalServer {
public:
    // Seconds the program waits for the server to answer a connection attempt.
    static constexpr int kConnectTimeoutSeconds = 2;

    // A text column as the journal searches it: lower case, Cyrillic too, «ё» read as «е».
    // The server keeps no folded column, so the folding is done in the query; translate()
    // lowers Cyrillic whatever the server's locale, lower() the Latin letters. The search
    // indexes are made on exactly these expressions.
    static QString folded(const QString& column);

    explicit JournalServer(const JournalConfig& config);
    ~JournalServer();
    JournalServer(const JournalServer&) = delete;
    JournalServer& operator=(const JournalServer&) = delete;

    // Connects (when not connected) and creates the tables on an empty database.
    // Failures name the server and the reason, never the password.
    JournalResult connect();
    void disconnect();

    // Sends the exams with their answers and links (links[i] is that of entries[i]; missing
    // ones are sent empty) in one transaction. Exams already on the server are left as they
    // are, except that one sent without its link gets it. An exam whose id the server holds
    // for another exam (other person, day or number) is not sent: it goes to clashes, and the
    // rest are sent.
    JournalResult send(const QList<JournalEntry>& entries, const QList<ChainLink>& links = {},
                       QList<JournalEntry>* clashes = nullptr);
    // Checks the chain of every workstation on the server.
    IntegrityReport verify();

    // Number of exams on the server (-1 when it cannot be asked).
    int examCount();
    // Number of exams of one personnel number on the server (-1 when it cannot be asked).
    int countByPersonnelNo(const QString& personnelNo);
    QSqlDatabase database() const { return m_db; }

private:
    JournalResult sendOnce(const QList<JournalEntry>& entries, const QList<ChainLink>& links,
                           QList<JournalEntry>* clashes);
    JournalResult sendHeldAnswers(const QList<JournalEntry>& entries, const QSet<QString>& taken,
                                  QList<JournalEntry>* clashes);
    int recordedSchemaVersion();
    JournalResult ensureSchema();
    bool ensureSearchIndexes(QSqlQuery& q);
    JournalResult failure(const QString& what, const QString& reason);

    JournalConfig m_config;
    QString m_connection;
    QSqlDatabase m_db;
    std::unique_ptr<QSqlQuery> m_sendStatement; // prepared on the first send of a connection
    bool m_ready = false;
};

} // namespace zet
