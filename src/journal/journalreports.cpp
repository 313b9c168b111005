#include "journal/journalreports.h"
#include "journal/journalerror.h"

#include "journal/journalconfig.h"
#include "journal/journalrows.h"
#include "journal/journalserver.h"
#include "journal/journalstore.h"

#include <QDir>
#include <QHash>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include <algorithm>

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

QDate dateValue(const QVariant& v) {
    return v.typeId() == QMetaType::QDate ? v.toDate() : QDate::fromString(v.toString(), Qt::ISODate);
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

JournalResult JournalReports::dueList(const RecheckPeriods& periods, const QDate& today,
                                      QList<DueEntry>& result) const {
    result.clear();
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    // Oldest first: a later exam of the same person and profile, passed or failed, replaces an
    // earlier one. Imported rows have no finish time; within a day the protocol number orders them.
    if (!q.exec(QStringLiteral("SELECT personnel_no, full_name, job_title, profile_no, profile_name, exam_date,"
                               " grade FROM exams ORDER BY exam_date,"
                               " CASE WHEN finished_at IS NULL THEN 0 ELSE 1 END, finished_at, protocol_no")))
        return queryFailure(QStringLiteral("Не удалось прочитать экзамены из журнала"), q);
    QHash<QString, qsizetype> index;
    while (q.next()) {
        DueEntry d;
        d.personnelNo = q.value(0).toString().trimmed();
        d.fullName = q.value(1).toString().trimmed();
        d.jobTitle = q.value(2).toString().trimmed();
        d.profileNo = q.value(3).toInt();
        d.profileName = q.value(4).toString();
        d.lastExam = dateValue(q.value(5));
        d.lastGrade = q.value(6).toInt();
        if (!d.lastExam.isValid())
            continue;
        const QString key =
            personKey(d.personnelNo, d.fullName) + QLatin1Char('\n') + QString::number(d.profileNo);
        const auto found = index.constFind(key);
        if (found == index.cend()) {
            index.insert(key, result.size());
            result.append(std::move(d));
        } else {
            result[*found] = std::move(d);
        }
    }
    for (DueEntry& d : result) {
        d.periodMonths = periods.monthsFor(d.profileNo);
        d.due = d.failed() ? d.lastExam.addDays(periods.failedDaysFor(d.profileNo))
                           : d.lastExam.addMonths(d.periodMonths);
        d.daysLeft = int(today.daysTo(d.due));
    }
    std::stable_sort(result.begin(), result.end(), [](const DueEntry& a, const DueEntry& b) {
        if (a.due != b.due)
            return a.due < b.due;
        return a.fullName.localeAwareCompare(b.fullName) < 0;
    });
    return {};
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
