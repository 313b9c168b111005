#pragma once
// The local results journal: journal.sqlite in the program folder (Qt SQL, QSQLITE).
// Created on first use and upgraded from older layouts in place. Every operation reports
// failures to the caller as Russian text; nothing is thrown.
//
// A store owns its own database connection and must be used from the thread that made it.

#include "journal/journalchain.h"
#include "journal/journalentry.h"
#include "journal/journalfile.h"
#include "journal/journaloutbox.h"

#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

#include <optional>

namespace zet {

// What became of one exam given to the journal.
struct JournalRecordResult : JournalResult {
    enum class Kept {
        Journal, // written (ok)
        Outbox,  // waits in the outbox file; error says why it is not in the journal
        Nowhere, // neither could be written; the caller holds the only copy
    };
    Kept kept = Kept::Journal;
};

class JournalStore {
public:
    // Version of the table layout this program writes; kept in the file (PRAGMA user_version).
    static constexpr int kSchemaVersion = 6;

    static QString fileName() { return QStringLiteral("journal.sqlite"); }
    static QString outboxFileName() { return QStringLiteral("journal.outbox.json"); }

    // A text as the journal searches it: lower case (Cyrillic too) with «ё» read as «е».
    static QString foldForSearch(const QString& text);
    // The exam's search text kept beside it: the folded name and personnel number.
    static QString searchText(const QString& fullName, const QString& personnelNo);

    // folder: the program folder; nothing is opened yet.
    explicit JournalStore(const QString& folder);
    ~JournalStore();
    JournalStore(const JournalStore&) = delete;
    JournalStore& operator=(const JournalStore&) = delete;

    QString path() const;
    QString outboxPath() const;

    // Opens the journal, creating it or upgrading an older layout. Every operation below
    // opens it when needed, so calling this first is optional.
    JournalResult open();
    bool isOpen() const { return m_open; }
    // The layout version found in the file (0 when it cannot be read).
    int schemaVersion();

    // Writes the exam and its answers in one transaction. First the exams waiting in the
    // outbox are written. An exam whose id is already in the journal is left as it is.
    // When the exam cannot be written it goes to the outbox and the error says so; when the
    // outbox cannot be written either, kept says that the caller holds the only copy.
    JournalRecordResult record(const JournalEntry& entry);
    // Writes the exams waiting in the outbox; those that still cannot be written stay there.
    // A damaged outbox is copied aside untouched and read as far as it goes (see takeNotes).
    JournalResult flushOutbox();
    // Number of exams waiting in the outbox (0 when there is none or it cannot be read).
    int outboxCount() const;
    // The exams of the outbox that can be read.
    QList<JournalEntry> waitingInOutbox() const;
    // What the examiner should hear of once and that is no failure of an operation: a damaged
    // outbox set aside, a journal file that was gone and is made anew. Cleared by the call.
    QString takeNotes();

    // Archive rows: each written unless an exam of the same workstation, date and protocol
    // number is there already; all of them or none in one transaction. added gets the number written.
    JournalResult recordImported(const QList<JournalEntry>& entries, int* added = nullptr);
    bool hasExam(const QString& workstation, const QDate& date, int protocolNo);
    // The exam of that workstation, date and protocol number written first (answers not loaded).
    std::optional<JournalEntry> findOnDay(const QString& workstation, const QDate& date, int protocolNo);
    // Bulk writing (archive import): commits without waiting for the disk. Off again restores
    // the full wait, which every finished exam gets.
    void setBulkWrites(bool on);

    // Exams not yet sent to the server, oldest first, with their answers; the first skip of
    // them are passed over, and links gets the link of each. Exams still waiting for their
    // links are sent once they have them.
    QList<JournalEntry> unsent(int limit, QString* error = nullptr, int skip = 0,
                               QList<ChainLink>* links = nullptr);
    int unsentCount();
    JournalResult markSent(const QList<QUuid>& ids);

    std::optional<JournalEntry> find(const QUuid& id);
    // Exams of one personnel number, newest first (answers not loaded).
    QList<JournalEntry> findByPersonnelNo(const QString& personnelNo);
    int examCount();

    // The chain (journalchain.h). Every exam is linked as it is written; the rows of an older
    // journal wait for their links until linkPending() has made them, and so do the exams
    // written meanwhile. Number of exams waiting:
    int pendingLinks();
    // Links up to batch waiting exams, oldest first, in one transaction; left gets the number
    // still waiting.
    JournalResult linkPending(int batch, int* left = nullptr);
    // Checks the chain of every workstation in this journal.
    IntegrityReport verify();
    // The open connection (after open()), for readers of the same thread.
    QSqlDatabase database() const { return m_db; }

private:
    void close();
    // The prepared statement of this text, made once per connection.
    QSqlQuery& statement(const QString& sql);
    JournalResult upgrade();
    bool beginWriting(QSqlError* error);
    // Before each write: the journal on disk must still be the file that was opened. A file
    // deleted or replaced meanwhile is opened anew (or made), and a note says so.
    void reopenWhenReplaced();
    void addNote(const QString& text);
    JournalResult writeEntry(const JournalEntry& entry, bool* written);
    bool linksWaiting();
    // The last linked exam of workstation (an unlinked one when there is none).
    bool chainTail(const QString& workstation, ChainLink* tail, QString* reason);
    QList<JournalEntry> selectEntries(const QString& where, const QVariantList& values, bool withAnswers,
                                      QString* error, QList<ChainLink>* links = nullptr);
    QString describe(const QString& what, const QString& reason) const;

    QString m_folder;
    QString m_connection;
    QSqlDatabase m_db;
    QHash<QString, QSqlQuery> m_statements;
    JournalOutbox m_outbox;
    bool m_open = false;
    // The journal file as it was opened.
    JournalFileIdentity m_file;
    QStringList m_notes;
    // A damaged outbox that could not be copied aside has been told of.
    bool m_damagedOutboxTold = false;
};

} // namespace zet
