#pragma once
// Reading the results journal for the journal window: a filter, a sort order, the number of
// exams found, the exams page by page and one exam with its answers. Reads the exam centre's
// server when journal.ini names one, else the local journal.sqlite.
//
// Pages follow each other by the sort key of the last row shown (no OFFSET), so the thousandth
// page costs what the first one does. Every sort order has an index of its own.
//
// A query owns its database connection and must be used from the thread that made it.

#include "journal/journalconfig.h"
#include "journal/journalentry.h"
#include "journal/journalfile.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <QVariant>

#include <memory>
#include <optional>
#include <utility>

namespace zet {

class JournalServer;

// Which exams are shown. Empty or invalid fields do not filter.
struct JournalFilter {
    enum class Period { All, Today, ThisMonth, ThisYear, Dates };

    QDate from;  // first day, inclusive
    QDate until; // last day, inclusive
    QString text; // part of the full name or of the personnel number; any case, «ё» = «е»
    QString profileName;
    int grade = 0; // 2 .. 5; 0 for every grade
    QString fullName;    // part of the full name only; compared like text
    QString personnelNo; // part of the personnel number only; compared like text
    int profileNo = 0;   // 0 for every profile
    QString workstation; // the workstation's name as journal.ini gives it; exact
    QString department;  // the department stored with the exam; exact

    // The days of a period as seen on the day today; Dates and All give invalid dates
    // (the caller fills in chosen dates).
    static std::pair<QDate, QDate> periodDays(Period period, const QDate& today);

    bool operator==(const JournalFilter&) const = default;
};

// The orders the journal can be read in; each has an index. Equal values go on by date and
// protocol number.
enum class JournalSortKey { Date, FullName, PersonnelNo, Profile, Grade };

struct JournalSort {
    JournalSortKey key = JournalSortKey::Date; // Date: the day, then the protocol number
    Qt::SortOrder order = Qt::DescendingOrder; // newest first

    bool operator==(const JournalSort&) const = default;
};

// One exam as a row of the list (no answers).
struct JournalRow {
    QUuid id;
    QDate date;
    int protocolNo = 0;
    QString fullName;
    QString personnelNo;
    QString jobTitle;
    int profileNo = 0;
    QString profileName;
    int grade = 0;
    int asked = 0;
    int right = 0;
    int secondsSpent = 0;
    QString workstation;
    bool imported = false;
    QString department;
};

class JournalQuery {
public:
    // The conditions of the filter over the exams table, joined by AND (empty when it lets
    // everything through), with their values appended. server: the PostgreSQL server, which
    // has no folded search column and keeps dates as dates.
    static QString conditions(const JournalFilter& filter, bool server, QVariantList& values);

    // Rows read at a time by callers that do not say otherwise.
    static constexpr int kPageSize = 200;

    // folder: the program folder; journal.ini there says where the journal is.
    explicit JournalQuery(const QString& folder);
    JournalQuery(const QString& folder, const JournalConfig& config);
    ~JournalQuery();
    JournalQuery(const JournalQuery&) = delete;
    JournalQuery& operator=(const JournalQuery&) = delete;

    // Opens the journal: the server when one is configured, else the local journal (created or
    // upgraded when needed). When the server cannot be reached the local journal is opened and
    // the result still says why the server is not used; isOpen() tells whether reading works.
    JournalResult open();
    bool isOpen() const { return m_open; }
    // True when the rows come from the exam centre's server.
    bool readsServer() const { return m_readsServer; }
    // Where the rows come from, for the window: the journal file or "host:port/database".
    QString sourceText() const;

    // Number of exams the filter lets through; -1 when the journal cannot be read.
    int count(const JournalFilter& filter, QString* error = nullptr);
    // Up to limit exams in the sort order, starting after the row `after` (the last row of
    // the previous page) or from the first when there is none.
    QList<JournalRow> page(const JournalFilter& filter, const JournalSort& sort, const JournalRow* after,
                           int limit = kPageSize, QString* error = nullptr);
    // One exam with every question asked; nullopt when it is not in the journal.
    std::optional<JournalEntry> exam(const QUuid& id, QString* error = nullptr);
    // The profile names found in the journal, sorted.
    QStringList profileNames(QString* error = nullptr);
    // The names of the workstations found in the journal, sorted.
    QStringList workstationNames(QString* error = nullptr);
    // The departments stored with exams, sorted; exams without one give none.
    QStringList departmentNames(QString* error = nullptr);

private:
    QString localPath() const;
    // Opens the journal when needed; a local journal deleted or replaced since it was opened is
    // opened anew, so that the rows come from the file on disk now.
    bool ready(QString* error);
    QStringList distinctValues(const QString& column, QString* error);
    // Runs sql with each ? bound to the next of values.
    bool run(QSqlQuery& q, const QString& sql, const QVariantList& values);
    QString whereClause(const JournalFilter& filter, QVariantList& values) const {
        return conditions(filter, m_readsServer, values);
    }
    QString describe(const QString& what, const QString& reason) const;

    QString m_folder;
    JournalConfig m_config;
    QString m_configError;
    QString m_connection;
    QSqlDatabase m_db;
    std::unique_ptr<JournalServer> m_server;
    bool m_open = false;
    bool m_readsServer = false;
    JournalFileIdentity m_file; // the local journal as it was opened
};

} // namespace zet
