#pragma once
// The outbox: exams that could not be written to the journal wait in a JSON file beside it
// until the journal can take them. Each exam appears in it at most once (by id).

#include "journal/journalentry.h"

#include <QList>
#include <QString>

namespace zet {

class JournalOutbox {
public:
    explicit JournalOutbox(const QString& path) : m_path(path) {}

    QString path() const { return m_path; }
    bool exists() const;

    // Every waiting exam. A file that is not an outbox gives false and a Russian reason;
    // it is then never overwritten, so whatever it holds stays for a person to look at.
    bool read(QList<JournalEntry>& entries, QString* error) const;
    // Adds the exam unless one with its id is waiting already.
    JournalResult add(const JournalEntry& entry) const;
    // Keeps only these exams; removes the file when none are left.
    JournalResult keepOnly(const QList<JournalEntry>& entries) const;

private:
    QString m_path;
};

} // namespace zet
