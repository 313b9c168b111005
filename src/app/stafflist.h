#pragma once
// The staff list as the program uses it: the registration's completer, the department stored
// with a finished exam, loading an HR export and the assignments of profiles.
//
// Nothing is read before it is first needed. The workstation's copy in the local journal is
// what the completer and the finish read, so they never wait for a network. When journal.ini
// names a server, the server holds the list every workstation shares: loading a list and
// changing an assignment go to the server (and fail when it does not answer), and the local
// copy is brought up to date from it right after, and by the journal's sending thread every
// time it sends (Journal::refreshStaff).

#include "journal/journalentry.h"
#include "journal/staffstore.h"

#include <QDate>
#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace zet {

class JournalStore;

class StaffList {
public:
    // folder: the program folder (asked each time, as it may be chosen after the start);
    // today: the clock of seniority and of the dismissal date.
    StaffList(std::function<QString()> folder, std::function<QDate()> today);
    ~StaffList();
    StaffList(const StaffList&) = delete;
    StaffList& operator=(const StaffList&) = delete;

    // True when the local copy holds nobody who is not «уволен»: the completer offers nothing.
    bool isEmpty();
    // The completer's people for a typed beginning of a personnel number or a name.
    QList<StaffPerson> matching(const QString& typed, int limit = StaffStore::kSuggestions);
    std::optional<StaffPerson> person(const QString& personnelNo);
    // The department stored with an exam: empty when the number is not in the list. One
    // indexed lookup.
    QString departmentOf(const QString& personnelNo);
    // Every person, «уволен» too, by personnel number (the «Персонал» window).
    JournalResult people(QList<StaffPerson>& result);

    // Reads an HR export (.csv or .xlsx) and merges it into the list (StaffStore::import).
    JournalResult importFile(const QString& path, StaffImportReport& report);
    JournalResult importRecords(const StaffFile& file, StaffImportReport& report);

    JournalResult assignments(QList<StaffAssignment>& result);
    JournalResult setAssignment(const StaffAssignment& assignment);
    JournalResult removeAssignment(const StaffAssignment& assignment);

    // Where the list is kept, for messages: the server or this workstation's journal.
    QString whereText();

private:
    struct Connections;
    // The local copy (opened when first needed); null with error set when it cannot be opened.
    // create: false for the lookups, which never make a journal; a journal file deleted or
    // replaced since it was opened is opened anew.
    StaffStore* local(QString* error = nullptr, bool create = true);
    // Runs change on the store of record: the server when one is configured, else the local
    // journal; with a server the local copy is refreshed after.
    JournalResult change(const std::function<JournalResult(StaffStore&)>& change);

    std::function<QString()> m_folder;
    std::function<QDate()> m_today;
    std::unique_ptr<Connections> m_connections;
};

} // namespace zet
