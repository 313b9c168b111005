#include "journal/journalreports.h"
#include "journal/journalerror.h"

#include "journal/journalconfig.h"
#include "journal/journalrows.h"
#include "journal/journalserver.h"
#include "journal/journalstore.h"
#include "journal/staffstore.h"

#include <QCollator>
#include <QDir>
#include <QHash>
#include <QMap>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include <algorithm>
#include <vector>

namespace zet {

namespace {

// The conditions of a filter over the exams table (aliased e) and their values.
struct Where {
    QString sql;
    QVariantList values;
};

Where whereOf(const ReportFilter& filter) {
    QStringList parts;
    Where where;
    // Dates are compared as ISO text in SQLite and as DATE on the server; an ISO text literal
    // is read as a date there.
    if (filter.from.isValid()) {
        parts << QStringLiteral("e.exam_date >= ?");
        where.values << filter.from.toString(Qt::ISODate);
    }
    if (filter.until.isValid()) {
        parts << QStringLiteral("e.exam_date <= ?");
        where.values << filter.until.toString(Qt::ISODate);
    }
    if (filter.profileNo > 0) {
        parts << QStringLiteral("e.profile_no = ?");
        where.values << filter.profileNo;
    }
    if (!filter.testName.isEmpty()) {
        parts << QStringLiteral("e.test_name = ?");
        where.values << filter.testName;
    }
    if (!parts.isEmpty())
        where.sql = QStringLiteral(" WHERE ") + parts.join(QStringLiteral(" AND "));
    return where;
}

JournalResult queryFailure(const QString& what, const QSqlQuery& q) {
    return JournalResult::failure(QStringLiteral("%1: %2").arg(what, russianDatabaseError(q.lastError(), q.driver() && q.driver()->dbmsType() == QSqlDriver::PostgreSQL)));
}

// The same person across exams: letter case, blanks and «ё» do not count.
QString personKey(const QString& personnelNo, const QString& fullName) {
    const QString number = personnelNo.simplified();
    if (!number.isEmpty())
        return QStringLiteral("№") + number.toCaseFolded();
    QString name = fullName.simplified().toCaseFolded();
    name.replace(QChar(0x0451), QChar(0x0435)); // ё -> е
    return QStringLiteral("ФИО") + name;
}

} // namespace

JournalReports::JournalReports(QSqlDatabase db) : m_db(std::move(db)) {}

JournalResult JournalReports::exams(const ReportFilter& filter, QList<JournalEntry>& result) const {
    const Where where = whereOf(filter);
    return examsWhere(where.sql, where.values, result);
}

JournalResult JournalReports::exams(const JournalFilter& filter, QList<JournalEntry>& result) const {
    QVariantList values;
    const bool server = m_db.driver() && m_db.driver()->dbmsType() == QSqlDriver::PostgreSQL;
    const QString conditions = JournalQuery::conditions(filter, server, values);
    return examsWhere(conditions.isEmpty() ? QString() : QStringLiteral(" WHERE ") + conditions, values, result);
}

JournalResult JournalReports::examsWhere(const QString& where, const QVariantList& values,
                                         QList<JournalEntry>& result) const {
    result.clear();
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %1 FROM exams e%2 ORDER BY e.exam_date, e.protocol_no, e.full_name, e.id")
                  .arg(examColumns(QStringLiteral("e.")), where));
    for (const QVariant& v : values)
        q.addBindValue(v);
    if (!q.exec())
        return queryFailure(QStringLiteral("Не удалось прочитать экзамены из журнала"), q);
    while (q.next())
        result.append(examFromRow(q));
    return {};
}

JournalResult JournalReports::questionStatistics(const ReportFilter& filter,
                                                 QList<QuestionStatistic>& result) const {
    result.clear();
    const Where where = whereOf(filter);
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT a.theme, a.question_no, a.question_text, count(*) AS asked,"
                             " sum(CASE WHEN a.is_right THEN 0 ELSE 1 END) AS wrong"
                             " FROM answers a JOIN exams e ON e.id = a.exam_id%1"
                             " GROUP BY a.theme, a.question_no, a.question_text"
                             " ORDER BY sum(CASE WHEN a.is_right THEN 0 ELSE 1 END) * 1.0 / count(*) DESC,"
                             " wrong DESC, a.theme, a.question_no, a.question_text")
                  .arg(where.sql));
    for (const QVariant& v : where.values)
        q.addBindValue(v);
    if (!q.exec())
        return queryFailure(QStringLiteral("Не удалось подсчитать ответы на вопросы"), q);
    while (q.next())
        result.append({q.value(0).toInt(), q.value(1).toInt(), q.value(2).toString(), q.value(3).toInt(),
                       q.value(4).toInt()});
    return {};
}

namespace {

// The order of a person's exams of one profile: the later date, then a finished exam over an
// imported one (which has no finish time), then the later finish, then the higher number. The
// finish stays the UTC text the journal keeps until two exams of one day meet: reading a time
// stamp through the driver costs a time-zone lookup a row.
struct ExamOrder {
    QDate date;
    QString finished; // ISO text in UTC; empty when imported
    int protocolNo = 0;

    bool before(const ExamOrder& other) const {
        if (date != other.date)
            return date < other.date;
        if (finished.isEmpty() != other.finished.isEmpty())
            return finished.isEmpty();
        if (finished != other.finished) {
            const QDateTime mine = columnTime(finished), theirs = columnTime(other.finished);
            if (mine != theirs)
                return mine < theirs;
        }
        return protocolNo < other.protocolNo;
    }
};

QString foldedName(const QString& text) {
    return JournalStore::foldForSearch(text.simplified());
}

// The profiles the assignments give people, by folded job title and department.
struct AssignedProfiles {
    QHash<QString, QMap<int, int>> byJob;        // profile → months
    QHash<QString, QMap<int, int>> byDepartment;

    explicit AssignedProfiles(const QList<StaffAssignment>& assignments, int profileNo) {
        for (const StaffAssignment& a : assignments) {
            if (profileNo > 0 && a.profileNo != profileNo)
                continue;
            QMap<int, int>& profiles = (a.kind == StaffAssignment::Kind::JobTitle ? byJob : byDepartment)[foldedName(a.name)];
            // Two assignments of one profile: the shorter period holds.
            const auto found = profiles.constFind(a.profileNo);
            profiles.insert(a.profileNo, found == profiles.cend() ? a.periodMonths : std::min(*found, a.periodMonths));
        }
    }
    bool isEmpty() const { return byJob.isEmpty() && byDepartment.isEmpty(); }
    QMap<int, int> of(const StaffPerson& p) const {
        QMap<int, int> profiles = byJob.value(foldedName(p.jobTitle));
        const QMap<int, int> more = byDepartment.value(foldedName(p.department));
        for (auto it = more.cbegin(); it != more.cend(); ++it) {
            const auto found = profiles.constFind(it.key());
            profiles.insert(it.key(), found == profiles.cend() ? it.value() : std::min(*found, it.value()));
        }
        return profiles;
    }
};

} // namespace

JournalResult JournalReports::latestExams(int profileNo, QList<DueEntry>& result, QList<QString>& finished,
                                          QList<int>& protocolNos) const {
    const bool server = m_db.driver() && m_db.driver()->dbmsType() == QSqlDriver::PostgreSQL;
    QStringList columns;
    for (const char* column : {"personnel_no", "full_name", "job_title", "department", "profile_no", "profile_name",
                               "exam_date", "grade", "finished_at", "protocol_no"})
        columns << QStringLiteral("e.") + QLatin1String(column);
    const QString selected = columns.join(QStringLiteral(", "));
    const QString profile = profileNo > 0 ? QStringLiteral(" AND profile_no = %1").arg(profileNo) : QString();
    // One group per personnel number (or name, for exams without one) and profile. The server
    // walks its exams_latest_covering index once, in order, and keeps each group's first row;
    // SQLite finds each group's latest day in the exams_latest index alone, then reads the exams
    // of that day only, and the program picks the latest of a day's exams.
    QStringList parts;
    for (const auto& [where, key] : {std::pair{QStringLiteral("personnel_no <> ''"), QStringLiteral("personnel_no")},
                                     std::pair{QStringLiteral("personnel_no = ''"), QStringLiteral("full_name")}}) {
        if (server) {
            parts << QStringLiteral("(SELECT DISTINCT ON (e.%1, e.profile_no) %2 FROM exams e WHERE e.%3%4"
                                    " ORDER BY e.%1, e.profile_no, e.exam_date DESC, e.finished_at DESC NULLS LAST,"
                                    " e.protocol_no DESC)")
                         .arg(key, selected, where, profile);
        } else {
            parts << QStringLiteral("SELECT %2 FROM (SELECT %1 AS k1, profile_no AS k2, max(exam_date) AS day"
                                    " FROM exams WHERE %3%4 GROUP BY %1, profile_no) m"
                                    " JOIN exams e ON e.%1 = m.k1 AND e.profile_no = m.k2 AND e.exam_date = m.day"
                                    " AND e.%3")
                         .arg(key, selected, where, profile);
        }
    }
    QString sql = parts.join(QStringLiteral(" UNION ALL "));
    // The server gives the finish as the local journal keeps it (UTC ISO text), so that the
    // driver converts no time stamp; outside the groups' scan, so only the rows kept are
    // formatted.
    if (server) {
        sql = QStringLiteral("SELECT %1, to_char(e.finished_at AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS.MS\"Z\"'),"
                             " e.protocol_no FROM (%2) e")
                  .arg(columns.first(8).join(QStringLiteral(", ")), sql);
    }
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.exec(sql))
        return queryFailure(QStringLiteral("Не удалось прочитать экзамены из журнала"), q);
    while (q.next()) {
        DueEntry d;
        d.personnelNo = q.value(0).toString().trimmed();
        d.fullName = q.value(1).toString().trimmed();
        d.jobTitle = q.value(2).toString().trimmed();
        d.department = q.value(3).toString().trimmed();
        d.profileNo = q.value(4).toInt();
        d.profileName = q.value(5).toString();
        d.lastExam = columnDate(q.value(6));
        d.lastGrade = q.value(7).toInt();
        if (!d.lastExam.isValid())
            continue;
        result.append(std::move(d));
        finished.append(q.value(8).toString());
        protocolNos.append(q.value(9).toInt());
    }
    return {};
}

JournalResult JournalReports::dueList(const RecheckPeriods& periods, const QDate& today, QList<DueEntry>& result,
                                      const DueFilter& filter) const {
    result.clear();
    StaffStore staff(m_db);
    QList<StaffPerson> people;
    QList<StaffAssignment> assignments;
    JournalResult read = staff.people(people);
    if (read.ok)
        read = staff.assignments(assignments);
    if (!read.ok)
        return read;
    QHash<QString, qsizetype> personAt;
    for (qsizetype i = 0; i < people.size(); ++i)
        personAt.insert(personKey(people.at(i).personnelNo, {}), i);

    // The latest exam per person and profile; rows of one person under numbers written apart
    // (letter case, blanks) meet here.
    QList<DueEntry> latest;
    QList<QString> finished;
    QList<int> protocolNos;
    read = latestExams(filter.profileNo, latest, finished, protocolNos);
    if (!read.ok)
        return read;
    QHash<QString, qsizetype> index;
    QList<ExamOrder> orders;
    QHash<int, QString> profileNames;
    index.reserve(latest.size());
    result.reserve(latest.size());
    for (qsizetype i = 0; i < latest.size(); ++i) {
        DueEntry& d = latest[i];
        profileNames.insert(d.profileNo, d.profileName);
        ExamOrder order{d.lastExam, std::move(finished[i]), protocolNos.at(i)};
        const QString key = personKey(d.personnelNo, d.fullName) + QLatin1Char('\n') + QString::number(d.profileNo);
        const auto found = index.constFind(key);
        if (found == index.cend()) {
            index.insert(key, result.size());
            result.append(std::move(d));
            orders.append(std::move(order));
        } else if (orders.at(*found).before(order)) {
            result[*found] = std::move(d);
            orders[*found] = std::move(order);
        }
    }
    latest.clear();

    const AssignedProfiles assigned(assignments, filter.profileNo);
    QList<DueEntry> kept;
    kept.reserve(result.size());
    for (DueEntry& d : result) {
        d.periodMonths = periods.monthsFor(d.profileNo);
        const auto at = d.personnelNo.isEmpty() ? personAt.cend() : personAt.constFind(personKey(d.personnelNo, {}));
        if (at != personAt.cend()) {
            const StaffPerson& p = people.at(*at);
            if (p.dismissed)
                continue;
            d.fullName = p.fullName;
            d.jobTitle = p.jobTitle;
            d.department = p.department;
            d.periodMonths = assigned.of(p).value(d.profileNo, d.periodMonths);
        }
        d.due = d.failed() ? d.lastExam.addDays(periods.failedDaysFor(d.profileNo)) : d.lastExam.addMonths(d.periodMonths);
        kept.append(std::move(d));
    }
    result = std::move(kept);

    // Everyone the assignments name who has no exam of an assigned profile.
    if (!assigned.isEmpty()) {
        for (const StaffPerson& p : std::as_const(people)) {
            if (p.dismissed)
                continue;
            const QMap<int, int> profiles = assigned.of(p);
            for (auto it = profiles.cbegin(); it != profiles.cend(); ++it) {
                if (index.contains(personKey(p.personnelNo, {}) + QLatin1Char('\n') + QString::number(it.key())))
                    continue;
                DueEntry d;
                d.personnelNo = p.personnelNo;
                d.fullName = p.fullName;
                d.jobTitle = p.jobTitle;
                d.department = p.department;
                d.profileNo = it.key();
                d.profileName = profileNames.value(it.key());
                d.periodMonths = it.value();
                d.due = today;
                result.append(std::move(d));
            }
        }
    }
    if (!filter.department.trimmed().isEmpty()) {
        const QString wanted = foldedName(filter.department);
        result.removeIf([&wanted](const DueEntry& d) { return foldedName(d.department) != wanted; });
    }
    for (DueEntry& d : result)
        d.daysLeft = int(today.daysTo(d.due));
    // By due date, then by name in the collation's order. Each name's sort key is made once:
    // comparing the names themselves would run the collation some twenty times a row.
    const QCollator collator;
    std::vector<QCollatorSortKey> keys;
    keys.reserve(result.size());
    std::vector<qsizetype> order(result.size());
    for (qsizetype i = 0; i < result.size(); ++i) {
        keys.push_back(collator.sortKey(result.at(i).fullName));
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(), [&result, &keys](qsizetype a, qsizetype b) {
        const QDate& dueA = result.at(a).due;
        const QDate& dueB = result.at(b).due;
        if (dueA != dueB)
            return dueA < dueB;
        return keys[a].compare(keys[b]) < 0;
    });
    QList<DueEntry> sorted;
    sorted.reserve(result.size());
    for (const qsizetype i : order)
        sorted.append(std::move(result[i]));
    result = std::move(sorted);
    return {};
}

JournalResult JournalReports::departmentRegister(const QString& department, const QDate& from, const QDate& until,
                                                 QList<JournalEntry>& result) const {
    result.clear();
    // The department as the staff list spells it, so that the index finds it.
    QString name = department.simplified();
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT DISTINCT department FROM staff")))
        return queryFailure(QStringLiteral("Не удалось прочитать список персонала"), q);
    while (q.next()) {
        if (foldedName(q.value(0).toString()) == foldedName(name))
            name = q.value(0).toString();
    }
    ReportFilter filter;
    filter.from = from;
    filter.until = until;
    Where where = whereOf(filter);
    where.sql += (where.sql.isEmpty() ? QStringLiteral(" WHERE ") : QStringLiteral(" AND ")) +
                 QStringLiteral("e.department = ?");
    where.values << name;
    return examsWhere(where.sql, where.values, result);
}

QList<DueEntry> dueWithin(const QList<DueEntry>& entries, int days) {
    QList<DueEntry> within;
    for (const DueEntry& d : entries) {
        if (d.daysLeft <= days)
            within.append(d);
    }
    return within;
}

JournalReader::JournalReader(const QString& folder)
    : m_folder(folder), m_connection(QStringLiteral("zet-journal-reader-") +
                                     QUuid::createUuid().toString(QUuid::WithoutBraces)) {}

JournalReader::~JournalReader() {
    if (m_local.isValid())
        m_local.close();
    m_local = QSqlDatabase();
    if (QSqlDatabase::contains(m_connection))
        QSqlDatabase::removeDatabase(m_connection);
}

QString localJournalNote(const QString& workstation) {
    return QStringLiteral("Составлен по журналу рабочего места «%1» без сервера журнала: экзамены других "
                          "рабочих мест в него не вошли.")
        .arg(workstation);
}

JournalResult JournalReader::open(Source source) {
    QString configError;
    const JournalConfig config = JournalConfig::read(m_folder, &configError);
    m_warning = configError;
    m_serverConfigured = config.usesServer();
    if (source != Source::Local && config.usesServer()) {
        auto server = std::make_unique<JournalServer>(config);
        const JournalResult connected = server->connect();
        if (connected.ok) {
            m_server = std::move(server);
            m_description = QStringLiteral("сервер журнала %1").arg(config.serverText());
            return {};
        }
        if (source == Source::ServerOnly) {
            return JournalResult::failure(
                QStringLiteral("%1\nБез сервера журнала документ был бы неполным. Чтобы составить его по журналу "
                               "этого рабочего места, добавьте параметр --local.")
                    .arg(connected.error));
        }
        m_warning = QStringLiteral("%1\nЧитается журнал этого компьютера.").arg(connected.error);
        m_serverMissed = true;
    }
    {
        // The store creates a missing journal and brings an older one up to date.
        JournalStore store(m_folder);
        const JournalResult opened = store.open();
        if (!opened.ok)
            return opened;
        m_description = QStringLiteral("журнал %1").arg(QDir::toNativeSeparators(store.path()));
    }
    m_local = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    m_local.setDatabaseName(QDir(m_folder).filePath(JournalStore::fileName()));
    m_local.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!m_local.open())
        return JournalResult::failure(
            QStringLiteral("Не удалось открыть %1: %2").arg(m_description, russianDatabaseError(m_local.lastError())));
    return {};
}

QSqlDatabase JournalReader::database() const {
    return m_server ? m_server->database() : m_local;
}

} // namespace zet
