#pragma once
// Reports read from the results journal: the exams of a period, how often each question was
// answered wrong, and who is due for the next periodic check. They read a journal through
// any open connection to it, the local SQLite file or the exam centre's PostgreSQL server
// (both have the same exams and answers tables).

#include "journal/journalentry.h"
#include "journal/journalquery.h"
#include "journal/paperworksettings.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <memory>

namespace zet {

class JournalServer;
class JournalStore;

// Which exams a report reads. Null dates leave that end open; both ends are included.
struct ReportFilter {
    QDate from;
    QDate until;
    int profileNo = 0;  // 0: every profile
    QString testName;   // empty: every test
};

// Which part of the due list is wanted; empty fields do not filter.
struct DueFilter {
    QString department; // letter case, blanks and «ё» aside
    int profileNo = 0;
};

// One question as it was asked in the exams of a filter.
struct QuestionStatistic {
    int theme = 0;
    int questionNo = 0;
    QString questionText; // as shown; a question whose text was changed counts as another one
    int asked = 0;
    int wrong = 0;        // answered wrong or not answered

    double wrongShare() const { return asked > 0 ? double(wrong) / asked : 0.0; }
    bool operator==(const QuestionStatistic&) const = default;
};

// One person's standing for one profile: the latest exam and when the next is due.
struct DueEntry {
    QString personnelNo; // empty when the person was examined without one
    QString fullName;    // from the staff list, else as typed in the latest exam
    QString jobTitle;
    QString department;  // from the staff list, else as stored with the latest exam
    int profileNo = 0;
    QString profileName; // empty for someone never examined in the profile
    QDate lastExam;      // the date of the latest exam; invalid: «не проверялся»
    int lastGrade = 0;
    int periodMonths = 12;
    QDate due;           // lastExam + periodMonths after a pass, + the re-check days after a fail;
                         // today for someone never examined
    int daysLeft = 0;    // from today to due; negative when overdue

    // Someone of the staff list with an assignment who has no exam of the profile.
    bool neverChecked() const { return !lastExam.isValid(); }
    bool failed() const { return !neverChecked() && lastGrade <= 2; }
    bool overdue() const { return daysLeft < 0; }
    bool operator==(const DueEntry&) const = default;
};

class JournalReports {
public:
    // Days ahead within which a coming check is counted as urgent.
    static constexpr int kSoonDays = 30;

    // db: an open connection to a journal (QSQLITE or QPSQL).
    explicit JournalReports(QSqlDatabase db);

    // Exams of the filter, oldest first (by date, then protocol number, then name); answers not loaded.
    JournalResult exams(const ReportFilter& filter, QList<JournalEntry>& result) const;
    // The same for the journal window's filter (sort order and all).
    JournalResult exams(const JournalFilter& filter, QList<JournalEntry>& result) const;

    // Every question asked in the exams of the filter, worst first: the highest share of wrong
    // answers, then the most wrong answers, then theme and question number.
    JournalResult questionStatistics(const ReportFilter& filter, QList<QuestionStatistic>& result) const;

    // Per person (personnel number, or the full name where there is none; letter case, extra
    // blanks and «ё»/«е» do not make two people) and profile: the latest exam and the date the
    // next check is due under periods: after a pass the profile's period in months, after a
    // fail its re-check days. Everyone of the staff list whose job title or department has an
    // assignment is in it for each assigned profile, examined or not («не проверялся», due
    // today), with the assignment's period; people marked «уволен» are left out. The latest
    // exams are found by the database (one row per person and profile), not read one by one.
    // Ordered by the due date, so the overdue come first, then those due within kSoonDays,
    // then the rest.
    JournalResult dueList(const RecheckPeriods& periods, const QDate& today, QList<DueEntry>& result,
                          const DueFilter& filter = {}) const;

    // The register of knowledge checks of a department: its exams of the period (null dates
    // leave that end open), oldest first; answers not loaded.
    JournalResult departmentRegister(const QString& department, const QDate& from, const QDate& until,
                                     QList<JournalEntry>& result) const;

private:
    // The latest exam of each personnel number (of each name without one) and profile, with
    // its finish time (UTC ISO text) and number, straight from the database; profileNo 0: every
    // profile.
    JournalResult latestExams(int profileNo, QList<DueEntry>& result, QList<QString>& finished,
                              QList<int>& protocolNos) const;
    // where: empty or " WHERE ..." over the exams table aliased e.
    JournalResult examsWhere(const QString& where, const QVariantList& values, QList<JournalEntry>& result) const;

    QSqlDatabase m_db;
};

// Entries of a due list due within days of today (overdue ones included).
QList<DueEntry> dueWithin(const QList<DueEntry>& entries, int days);

// A read connection to the journal of a program folder: the exam centre's server when
// journal.ini names one and it answers, otherwise the local journal (created when missing).
class JournalReader {
public:
    explicit JournalReader(const QString& folder);
    ~JournalReader();
    JournalReader(const JournalReader&) = delete;
    JournalReader& operator=(const JournalReader&) = delete;

    // Where a reader reads when journal.ini names a server.
    enum class Source {
        ServerOrLocal, // the server; when it cannot be reached the local journal, and warning() says why
        ServerOnly,    // the server; when it cannot be reached, a failure
        Local,         // this workstation's journal only
    };
    JournalResult open(Source source = Source::ServerOrLocal);
    // True when journal.ini names a server (read by open()).
    bool serverConfigured() const { return m_serverConfigured; }
    QSqlDatabase database() const;
    bool usesServer() const { return m_server != nullptr; }
    // True when journal.ini names a server that did not answer, so the local journal was opened.
    bool serverMissed() const { return m_serverMissed; }
    QString warning() const { return m_warning; }
    // "журнал …/journal.sqlite" or "сервер журнала host:port/db", for messages.
    QString description() const { return m_description; }

private:
    QString m_folder;
    QString m_connection;
    QSqlDatabase m_local;
    std::unique_ptr<JournalServer> m_server;
    QString m_warning;
    QString m_description;
    bool m_serverConfigured = false;
    bool m_serverMissed = false;
};

// The line a document made from this workstation's journal carries under its title while the
// exam centre has a server (workstation: this one's name).
QString localJournalNote(const QString& workstation);

} // namespace zet
