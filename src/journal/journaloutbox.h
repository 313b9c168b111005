#pragma once
// The outbox: exams that could not be written to the journal wait in a JSON file beside it
// until the journal can take them. Each exam appears in it at most once (by id).

#include "journal/journalentry.h"

#include <QList>
#include <QString>

namespace zet {

// What an outbox file holds.
struct OutboxContents {
    QList<JournalEntry> entries; // every exam that could be read
    bool damaged = false;        // part of the file (or all of it) is no outbox
    QString error;               // the file could not be read at all (Russian); empty otherwise
};

class JournalOutbox {
public:
    explicit JournalOutbox(const QString& path) : m_path(path) {}

    QString path() const { return m_path; }
    bool exists() const;

    // Every exam that can be read from the file; a damaged file is read as far as it goes.
    OutboxContents read() const;
    // Every waiting exam. A damaged file gives false and a Russian reason; it is then never
    // overwritten, so whatever it holds stays for a person to look at.
    bool read(QList<JournalEntry>& entries, QString* error) const;
    // Adds the exam unless one with its id is waiting already.
    JournalResult add(const JournalEntry& entry) const;
    // Keeps only these exams; removes the file when none are left.
    JournalResult keepOnly(const QList<JournalEntry>& entries) const;
    // A damaged outbox: copies the file aside untouched (".bak", ".bak2", …), then keeps only
    // the exams that could be read. copy gets the name of the copy.
    JournalResult setAside(const QList<JournalEntry>& readable, QString* copy) const;

    // The exams in the form of an outbox file (for keeping them elsewhere).
    static QByteArray fileBytes(const QList<JournalEntry>& entries);

private:
    QString m_path;
};

} // namespace zet
