#pragma once
// The staff list kept in the results journal: the people of the organisation by personnel
// number, and which profiles a job title or a department must pass and how often.
//
// A store works over any open connection to a journal, the local journal.sqlite or the exam
// centre's PostgreSQL server (both have the staff and staff_assignments tables). With a server
// the server holds the list every workstation shares; each workstation keeps a copy in its
// local journal (copyFrom), which the registration's completer and the finish of an exam read,
// so that neither ever waits for the network.

#include "journal/journalentry.h"
#include "staff/staffrecord.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <optional>

namespace zet {

// One person of the stored list.
struct StaffPerson {
    QString personnelNo;
    QString fullName;
    QString jobTitle;
    QString department;
    QDate birthDate; // invalid when the list gave none
    QDate hireDate;  // invalid when the list gave none
    bool dismissed = false; // «уволен»: no longer in the list last loaded
    QDate dismissedOn;

    // 0 when unknown.
    int birthYear() const { return birthDate.isValid() ? birthDate.year() : 0; }
    // Full years from the hire date to today; 0 when unknown.
    int seniorityOn(const QDate& today) const;

    bool operator==(const StaffPerson&) const = default;
};

// Which profile the people of one job title or one department must pass, and how often.
struct StaffAssignment {
    enum class Kind { JobTitle, Department };
    Kind kind = Kind::JobTitle;
    QString name; // the job title or department as in the staff list (letter case and «ё» aside)
    int profileNo = 0;
    int periodMonths = 12;

    // Does it apply to person? Names compare trimmed, without letter case, «ё» as «е».
    bool appliesTo(const StaffPerson& person) const;
    bool operator==(const StaffAssignment&) const = default;
};

// What loading a staff list changed.
struct StaffImportReport {
    int added = 0;
    int changed = 0;   // name, job title, department or dates differ, or back from «уволен»
    int dismissed = 0; // not in the list any more: marked «уволен»
    int unchanged = 0;
    QList<StaffSkip> skipped; // the reader's and the merge's, by line

    // Russian, one line per figure and one per skipped line.
    QStringList lines() const;
};

class StaffStore {
public:
    static constexpr int kMaxPeriodMonths = 120;
    // Rows the completer asks for at most.
    static constexpr int kSuggestions = 20;

    // db: an open connection to a journal of the current layout (QSQLITE or QPSQL).
    explicit StaffStore(QSqlDatabase db);

    // The form a name is looked up by: folded like the journal's search, blanks made single.
    static QString searchName(const QString& fullName);

    // Number of people not marked «уволен» (-1 when it cannot be read).
    int activeCount(QString* error = nullptr) const;
    // People not marked «уволен» whose personnel number or full name begins with typed (letter
    // case and «ё» aside), at most limit, by name. Reads an index; nothing for an empty text.
    JournalResult find(const QString& typed, int limit, QList<StaffPerson>& result) const;
    // One person, dismissed or not; nullopt when the number is not in the list or on error.
    std::optional<StaffPerson> person(const QString& personnelNo, QString* error = nullptr) const;
    // Every person, dismissed too, by personnel number.
    JournalResult people(QList<StaffPerson>& result) const;

    // Merges a file read from the HR export: people are matched by personnel number, new ones
    // added, the others updated; those of the store missing from the file are marked «уволен»
    // on today and never deleted. A file without anyone changes nothing (a failure).
    // One transaction: all or nothing.
    JournalResult import(const StaffFile& file, const QDate& today, StaffImportReport& report);

    JournalResult assignments(QList<StaffAssignment>& result) const;
    // Adds the assignment or changes the period of the one with the same kind, name and profile.
    JournalResult setAssignment(const StaffAssignment& assignment);
    JournalResult removeAssignment(const StaffAssignment& assignment);

    // A short text that changes whenever the list or the assignments change (a copy with the
    // same text is up to date); empty on error.
    QString revision(QString* error = nullptr) const;
    // Replaces this store's list and assignments by those of source (the server), in one
    // transaction, unless the revisions already agree.
    JournalResult copyFrom(const StaffStore& source);

    // Fills the department of the exams that have none from the list, by personnel number;
    // updated gets the number of exams filled.
    JournalResult fillExamDepartments(int* updated = nullptr);

private:
    bool server() const;
    QVariant dateValue(const QDate& date) const;
    QVariant flagValue(bool flag) const;
    QVariant nowValue() const;
    // Writes people over the rows of the same numbers; stamps[i] is the update time of
    // people[i] (now for those without one).
    JournalResult writePeople(const QList<StaffPerson>& people, const QList<QVariant>& stamps);
    JournalResult failure(const QString& what, const QString& reason) const;

    QSqlDatabase m_db;
};

} // namespace zet
