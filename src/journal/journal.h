#pragma once
// The results journal as the program uses it: the local journal in the program folder and,
// when journal.ini names one, the exam centre's server that every exam is sent on to.

#include "exam/dayregister.h"
#include "journal/journalconfig.h"
#include "journal/journalentry.h"
#include "journal/journalserver.h"
#include "journal/journalstore.h"

#include <memory>

namespace zet {

class Journal {
public:
    // Exams sent to the server in one transaction.
    static constexpr int kSendBatch = 200;

    // Reads <folder>/journal.ini; see configError().
    explicit Journal(const QString& folder);
    Journal(const QString& folder, const JournalConfig& config);
    ~Journal();

    const JournalConfig& config() const { return m_config; }
    // A problem found in journal.ini (Russian), empty when none.
    QString configError() const { return m_configError; }
    JournalStore& store() { return m_store; }

    // A new exam's entry: a fresh id and this workstation; the caller fills in the rest.
    JournalEntry newEntry() const;

    // Writes the exam to the local journal (see JournalStore::record); never waits for a server.
    // An exam that neither the journal nor its outbox can take is kept here, with its answers,
    // until writeUnwritten() or saveUnwrittenTo() succeeds.
    JournalRecordResult record(const JournalEntry& entry);
    // The catch-up at the start of a session: writes the exams waiting in the outbox, then adds
    // every record of the day file of day (its register reg) that the journal lacks as an
    // imported exam, unless it waits in the outbox still. A journal not made yet is made only
    // when there is such a record. Returns what the examiner should hear (Russian), or nothing.
    QString catchUp(const DayRegisterArray& reg, const QDate& day);
    // Exams kept in memory only.
    int unwrittenCount() const { return int(m_unwritten.size()); }
    // Gives the exams kept in memory to the journal again; ok when none is left in memory.
    JournalResult writeUnwritten();
    // Writes the exams kept in memory to a file in the form of the outbox (which the program
    // reads when the file is put in place of its outbox); on success none is kept any more.
    JournalResult saveUnwrittenTo(const QString& path);
    // Sends every exam the server has not got yet, oldest first. Does nothing without a server.
    // Waits at most about two seconds for a server that does not answer. sent gets the number sent.
    JournalResult sendPending(int* sent = nullptr);
    // Brings the local copy of the staff list up to the server's (StaffStore::copyFrom); reads
    // only two counts when nothing changed. Does nothing without a server.
    JournalResult refreshStaff();

private:
    QString m_folder;
    JournalConfig m_config;
    QString m_configError;
    JournalStore m_store;
    std::unique_ptr<JournalServer> m_server;
    QList<JournalEntry> m_unwritten;
};

} // namespace zet
