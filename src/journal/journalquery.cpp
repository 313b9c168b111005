#include "journal/journalquery.h"
#include "journal/journalerror.h"
#include "journal/journalfile.h"

#include "journal/journalrows.h"
#include "journal/journalserver.h"
#include "journal/journalstore.h"

#include <QDir>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QVariant>

namespace zet {

namespace {

const QString kRowColumns = QStringLiteral(
    "id, exam_date, protocol_no, full_name, personnel_no, job_title, profile_no, profile_name, grade, asked,"
    " right_answers, seconds_spent, workstation, imported, department");

// The columns of each sort order: the chosen one, then the day and the protocol number, and
// the id last, which breaks ties so that pages never overlap.
QStringList sortColumns(JournalSortKey key) {
    QStringList columns;
    switch (key) {
    case JournalSortKey::Date:
        break;
    case JournalSortKey::FullName:
        columns << QStringLiteral("full_name");
        break;
    case JournalSortKey::PersonnelNo:
        columns << QStringLiteral("personnel_no");
        break;
    case JournalSortKey::Profile:
        columns << QStringLiteral("profile_name");
        break;
    case JournalSortKey::Grade:
        columns << QStringLiteral("grade");
        break;
    }
    return columns << QStringLiteral("exam_date") << QStringLiteral("protocol_no") << QStringLiteral("id");
}

// A LIKE pattern matching the text anywhere, its wildcards taken literally.
QString containsPattern(const QString& text) {
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    escaped.replace(QLatin1Char('%'), QStringLiteral("\\%"));
    escaped.replace(QLatin1Char('_'), QStringLiteral("\\_"));
    return QLatin1Char('%') + escaped + QLatin1Char('%');
}

} // namespace

std::pair<QDate, QDate> JournalFilter::periodDays(Period period, const QDate& today) {
    switch (period) {
    case Period::Today:
        return {today, today};
    case Period::ThisMonth:
        return {QDate(today.year(), today.month(), 1),
                QDate(today.year(), today.month(), today.daysInMonth())};
    case Period::ThisYear:
        return {QDate(today.year(), 1, 1), QDate(today.year(), 12, 31)};
    case Period::All:
    case Period::Dates:
        break;
    }
    return {};
}

JournalQuery::JournalQuery(const QString& folder)
    : m_folder(folder), m_connection(QStringLiteral("zet-journal-query-") + idText(QUuid::createUuid())) {
    m_config = JournalConfig::read(folder, &m_configError);
}

JournalQuery::JournalQuery(const QString& folder, const JournalConfig& config)
    : m_folder(folder), m_config(config),
      m_connection(QStringLiteral("zet-journal-query-") + idText(QUuid::createUuid())) {}

JournalQuery::~JournalQuery() {
    if (m_db.isValid() && !m_readsServer)
        m_db.close();
    // The server's connection is let go by the server, once no copy of it is held here.
    m_db = QSqlDatabase();
    m_server.reset();
    if (QSqlDatabase::contains(m_connection))
        QSqlDatabase::removeDatabase(m_connection);
}

QString JournalQuery::localPath() const {
    return QDir(m_folder).filePath(JournalStore::fileName());
}

QString JournalQuery::sourceText() const {
    if (m_readsServer)
        return m_config.serverText();
    return QDir::toNativeSeparators(localPath());
}

bool JournalQuery::ready(QString* error) {
    if (m_open && !m_readsServer && JournalFileIdentity::of(localPath()) != m_file) {
        // The journal was deleted or replaced while the program runs: the file on disk now is read.
        m_db.close();
        m_open = false;
    }
    if (!open().ok && !m_open) {
        if (error)
            *error = describe(QStringLiteral("Журнал не открыт"), QStringLiteral("нет соединения"));
        return false;
    }
    return true;
}

QString JournalQuery::describe(const QString& what, const QString& reason) const {
    return QStringLiteral("%1 (журнал «%2»): %3").arg(what, sourceText(), reason);
}

JournalResult JournalQuery::open() {
    if (m_open)
        return {};
    QString serverProblem = m_configError;
    if (m_config.usesServer()) {
        m_server = std::make_unique<JournalServer>(m_config);
        const JournalResult connected = m_server->connect();
        if (connected.ok) {
            m_db = m_server->database();
            m_readsServer = true;
            m_open = true;
            return {};
        }
        m_server.reset();
        serverProblem = connected.error + QStringLiteral("\nПоказан журнал этого компьютера.");
    }
    {
        // The store creates the journal or brings an older one up to date.
        JournalStore store(m_folder);
        const JournalResult prepared = store.open();
        if (!prepared.ok)
            return prepared;
    }
    if (!m_db.isValid())
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    beforeOpening(localPath());
    m_db.setDatabaseName(localPath());
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!m_db.open())
        return JournalResult::failure(
            describe(QStringLiteral("Не удалось открыть журнал"), russianDatabaseError(m_db.lastError(), m_readsServer)));
    m_open = true;
    m_file = opened(localPath());
    if (!serverProblem.isEmpty())
        return JournalResult::failure(serverProblem);
    return {};
}

QString JournalQuery::conditions(const JournalFilter& filter, bool server, QVariantList& values) {
    // The server keeps dates as dates, the local journal as ISO texts.
    auto dateValue = [server](const QDate& date) {
        return server ? QVariant(date) : QVariant(date.toString(Qt::ISODate));
    };
    QStringList conditions;
    if (filter.from.isValid()) {
        conditions << QStringLiteral("exam_date >= ?");
        values << dateValue(filter.from);
    }
    if (filter.until.isValid()) {
        conditions << QStringLiteral("exam_date <= ?");
        values << dateValue(filter.until);
    }
    // The local journal's search_text holds the folded name, a line break and the folded
    // personnel number.
    enum Part { Either, Name, Number };
    auto search = [&](const QString& wanted, Part part) {
        const QString text = JournalStore::foldForSearch(wanted.trimmed());
        if (text.isEmpty())
            return;
        const QString pattern = containsPattern(text);
        const QString name = JournalServer::folded(QStringLiteral("full_name"));
        const QString number = JournalServer::folded(QStringLiteral("personnel_no"));
        if (server && part == Either) {
            conditions << QStringLiteral("(%1 LIKE ? ESCAPE '\\' OR %2 LIKE ? ESCAPE '\\')").arg(name, number);
            values << pattern << pattern;
        } else if (server) {
            conditions << QStringLiteral("%1 LIKE ? ESCAPE '\\'").arg(part == Name ? name : number);
            values << pattern;
        } else {
            conditions << QStringLiteral("search_text LIKE ? ESCAPE '\\'");
            const QString lineBreak(QLatin1Char('\n'));
            values << (part == Name ? pattern + lineBreak + QLatin1Char('%')
                                    : part == Number ? QLatin1Char('%') + lineBreak + pattern : pattern);
        }
    };
    search(filter.text, Either);
    search(filter.fullName, Name);
    search(filter.personnelNo, Number);
    if (!filter.profileName.isEmpty()) {
        conditions << QStringLiteral("profile_name = ?");
        values << filter.profileName;
    }
    if (filter.profileNo != 0) {
        conditions << QStringLiteral("profile_no = ?");
        values << filter.profileNo;
    }
    if (filter.grade != 0) {
        conditions << QStringLiteral("grade = ?");
        values << filter.grade;
    }
    if (!filter.workstation.isEmpty()) {
        conditions << QStringLiteral("workstation = ?");
        values << filter.workstation;
    }
    if (!filter.department.isEmpty()) {
        conditions << QStringLiteral("department = ?");
        values << filter.department;
    }
    return conditions.join(QStringLiteral(" AND "));
}

int JournalQuery::count(const JournalFilter& filter, QString* error) {
    if (!ready(error))
        return -1;
    QVariantList values;
    const QString where = whereClause(filter, values);
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!run(q, QStringLiteral("SELECT count(*) FROM exams") +
                    (where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where),
             values) ||
        !q.next()) {
        if (error)
            *error = describe(QStringLiteral("Не удалось прочитать журнал"), russianDatabaseError(q.lastError(), m_readsServer));
        return -1;
    }
    return q.value(0).toInt();
}

QList<JournalRow> JournalQuery::page(const JournalFilter& filter, const JournalSort& sort,
                                     const JournalRow* after, int limit, QString* error) {
    QList<JournalRow> rows;
    if (!ready(error))
        return rows;
    QVariantList values;
    QString where = whereClause(filter, values);
    const QStringList columns = sortColumns(sort.key);
    const bool descending = sort.order == Qt::DescendingOrder;
    if (after) {
        // The rows past the last one shown: (key columns) beyond (its key), one index range.
        QStringList marks;
        for (const QString& column : columns) {
            marks << QStringLiteral("?");
            if (column == QLatin1String("exam_date"))
                values << (m_readsServer ? QVariant(after->date) : QVariant(after->date.toString(Qt::ISODate)));
            else if (column == QLatin1String("protocol_no"))
                values << after->protocolNo;
            else if (column == QLatin1String("full_name"))
                values << after->fullName;
            else if (column == QLatin1String("personnel_no"))
                values << after->personnelNo;
            else if (column == QLatin1String("profile_name"))
                values << after->profileName;
            else if (column == QLatin1String("grade"))
                values << after->grade;
            else
                values << idText(after->id);
        }
        const QString beyond = QStringLiteral("(%1) %2 (%3)")
                                   .arg(columns.join(QStringLiteral(", ")),
                                        descending ? QStringLiteral("<") : QStringLiteral(">"),
                                        marks.join(QStringLiteral(", ")));
        where = where.isEmpty() ? beyond : where + QStringLiteral(" AND ") + beyond;
    }
    QStringList order;
    for (const QString& column : columns)
        order << column + (descending ? QStringLiteral(" DESC") : QStringLiteral(" ASC"));
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!run(q,
             QStringLiteral("SELECT %1 FROM exams%2 ORDER BY %3 LIMIT %4")
                 .arg(kRowColumns, where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where,
                      order.join(QStringLiteral(", ")))
                 .arg(limit),
             values)) {
        if (error)
            *error = describe(QStringLiteral("Не удалось прочитать журнал"), russianDatabaseError(q.lastError(), m_readsServer));
        return rows;
    }
    while (q.next()) {
        JournalRow row;
        row.id = QUuid::fromString(q.value(0).toString());
        row.date = q.value(1).toDate();
        row.protocolNo = q.value(2).toInt();
        row.fullName = q.value(3).toString();
        row.personnelNo = q.value(4).toString();
        row.jobTitle = q.value(5).toString();
        row.profileNo = q.value(6).toInt();
        row.profileName = q.value(7).toString();
        row.grade = q.value(8).toInt();
        row.asked = q.value(9).toInt();
        row.right = q.value(10).toInt();
        row.secondsSpent = q.value(11).toInt();
        row.workstation = q.value(12).toString();
        row.imported = q.value(13).toBool();
        row.department = q.value(14).toString();
        rows.append(row);
    }
    return rows;
}

std::optional<JournalEntry> JournalQuery::exam(const QUuid& id, QString* error) {
    if (!ready(error))
        return std::nullopt;
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!run(q, QStringLiteral("SELECT %1 FROM exams WHERE id = ?").arg(examColumns()), {idText(id)})) {
        if (error)
            *error = describe(QStringLiteral("Не удалось прочитать журнал"), russianDatabaseError(q.lastError(), m_readsServer));
        return std::nullopt;
    }
    if (!q.next())
        return std::nullopt;
    JournalEntry e = examFromRow(q);

    QSqlQuery a(m_db);
    a.setForwardOnly(true);
    if (!run(a, QStringLiteral("SELECT %1 FROM answers WHERE exam_id = ? ORDER BY position").arg(answerSelectColumns()),
             {idText(id)})) {
        if (error)
            *error = describe(QStringLiteral("Не удалось прочитать журнал"), russianDatabaseError(a.lastError(), m_readsServer));
        return std::nullopt;
    }
    while (a.next())
        e.answers.append(answerFromRow(a));
    return e;
}

// The local journal prepares the statement. On the server the values are written into it with
// the driver's own quoting, as its prepared statements do when they are executed: one round
// trip to the server instead of three (prepare, execute, let go), each of which a window
// waiting for its rows on a busy server or network feels.
bool JournalQuery::run(QSqlQuery& q, const QString& sql, const QVariantList& values) {
    if (!m_readsServer) {
        q.prepare(sql);
        for (const QVariant& v : values)
            q.addBindValue(v);
        return q.exec();
    }
    QString text;
    text.reserve(sql.size() + 64);
    qsizetype next = 0;
    bool quoted = false;
    for (const QChar c : sql) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (c == QLatin1Char('?') && !quoted && next < values.size()) {
            const QVariant& value = values.at(next++);
            QSqlField field(QString(), value.metaType());
            field.setValue(value);
            text += m_db.driver()->formatValue(field);
        } else {
            text += c;
        }
    }
    return q.exec(text);
}

QStringList JournalQuery::profileNames(QString* error) {
    return distinctValues(QStringLiteral("profile_name"), error);
}

QStringList JournalQuery::workstationNames(QString* error) {
    return distinctValues(QStringLiteral("workstation"), error);
}

QStringList JournalQuery::departmentNames(QString* error) {
    QStringList names = distinctValues(QStringLiteral("department"), error);
    names.removeAll(QString());
    return names;
}

QStringList JournalQuery::distinctValues(const QString& column, QString* error) {
    QStringList names;
    if (!ready(error))
        return names;
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    // On the server each value is found by one step down an index that starts with the column,
    // from the one before: a few dozen steps instead of reading a million rows.
    const QString sql =
        m_readsServer
            ? QStringLiteral("WITH RECURSIVE found(v) AS ((SELECT %1 FROM exams ORDER BY %1 LIMIT 1) UNION ALL"
                             " SELECT (SELECT %1 FROM exams WHERE %1 > found.v ORDER BY %1 LIMIT 1) FROM found"
                             " WHERE found.v IS NOT NULL) SELECT v FROM found WHERE v IS NOT NULL")
                  .arg(column)
            : QStringLiteral("SELECT DISTINCT %1 FROM exams ORDER BY %1").arg(column);
    if (!q.exec(sql)) {
        if (error)
            *error = describe(QStringLiteral("Не удалось прочитать журнал"), russianDatabaseError(q.lastError(), m_readsServer));
        return names;
    }
    while (q.next())
        names << q.value(0).toString();
    return names;
}

} // namespace zet
