#include "journal/journalserver.h"
#include "journal/journalerror.h"

#include "journal/journalrows.h"

#include <QSqlError>
#include <QSet>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

namespace zet {

namespace {

// Taken by every workstation that creates the tables, so two of them starting on an empty
// database at the same moment do not trip over each other.
constexpr qint64 kSchemaLockKey = 7311500215;
constexpr int kServerSchemaVersion = 4;

// Rows written by one INSERT; their values stay far below the server's 65,535 parameters.
constexpr int kExamsPerStatement = 500;
constexpr int kAnswersPerStatement = 2000;
constexpr int kAnswerColumns = 9;

// "(?,?,?),(?,?,?)": the placeholders of rows rows of columns values each.
QString valueMarks(int columns, int rows) {
    QString row = QStringLiteral("(?");
    row += QStringLiteral(",?").repeated(columns - 1);
    row += QLatin1Char(')');
    QStringList all(rows, row);
    return all.join(QLatin1Char(','));
}

const QStringList& serverSchema() {
    static const QStringList statements = {
        QStringLiteral("CREATE TABLE IF NOT EXISTS journal_schema (version INTEGER NOT NULL)"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS exams ("
                       " id UUID PRIMARY KEY,"
                       " workstation TEXT NOT NULL,"
                       " exam_date DATE NOT NULL,"
                       " protocol_no INTEGER NOT NULL,"
                       " profile_no INTEGER NOT NULL,"
                       " profile_name TEXT NOT NULL,"
                       " test_name TEXT NOT NULL,"
                       " database_path TEXT NOT NULL,"
                       " full_name TEXT NOT NULL,"
                       " birth_year INTEGER NOT NULL,"
                       " job_title TEXT NOT NULL,"
                       " seniority INTEGER NOT NULL,"
                       " personnel_no TEXT NOT NULL,"
                       " grade INTEGER NOT NULL,"
                       " asked INTEGER NOT NULL,"
                       " right_answers INTEGER NOT NULL,"
                       " seconds_spent INTEGER NOT NULL,"
                       " started_at TIMESTAMPTZ,"
                       " finished_at TIMESTAMPTZ,"
                       " imported BOOLEAN NOT NULL DEFAULT FALSE,"
                       " received_at TIMESTAMPTZ NOT NULL DEFAULT now())"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS answers ("
                       " exam_id UUID NOT NULL REFERENCES exams(id) ON DELETE CASCADE,"
                       " position INTEGER NOT NULL,"
                       " theme INTEGER NOT NULL,"
                       " question_no INTEGER NOT NULL,"
                       " question_text TEXT NOT NULL,"
                       " answer_text TEXT NOT NULL,"
                       " is_right BOOLEAN NOT NULL,"
                       " seconds INTEGER NOT NULL,"
                       " PRIMARY KEY (exam_id, position))"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS exams_personnel_no ON exams(personnel_no)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS exams_date ON exams(exam_date)"),
        QStringLiteral(
            "CREATE INDEX IF NOT EXISTS exams_day_protocol ON exams(workstation, exam_date, protocol_no)"),
        // The journal window's orders, each read page by page along one index.
        QStringLiteral("CREATE INDEX IF NOT EXISTS exams_order_date ON exams(exam_date, protocol_no, id)"),
        QStringLiteral(
            "CREATE INDEX IF NOT EXISTS exams_order_name ON exams(full_name, exam_date, protocol_no, id)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS exams_order_personnel_no"
                       " ON exams(personnel_no, exam_date, protocol_no, id)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS exams_order_profile ON exams(profile_name, exam_date, "
                       "protocol_no, id)"),
        QStringLiteral(
            "CREATE INDEX IF NOT EXISTS exams_order_grade ON exams(grade, exam_date, protocol_no, id)"),
        // 2: numbered protocols, one sequence for every workstation of the centre, and the right
        // answer beside each answer given.
        QStringLiteral("CREATE TABLE IF NOT EXISTS protocols ("
                       " protocol_no INTEGER PRIMARY KEY,"
                       " exams_key TEXT NOT NULL UNIQUE,"
                       " issued_at TIMESTAMPTZ NOT NULL DEFAULT now())"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS protocol_exams ("
                       " protocol_no INTEGER NOT NULL,"
                       " exam_id UUID NOT NULL,"
                       " PRIMARY KEY (protocol_no, exam_id))"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS protocol_exams_exam ON protocol_exams(exam_id)"),
        QStringLiteral("ALTER TABLE answers ADD COLUMN IF NOT EXISTS right_answer_text TEXT"),
        // 3: the chain of exams, as each workstation linked them (journalchain.h).
        QStringLiteral("ALTER TABLE exams ADD COLUMN IF NOT EXISTS chain_seq BIGINT"),
        QStringLiteral("ALTER TABLE exams ADD COLUMN IF NOT EXISTS prev_hash TEXT"),
        QStringLiteral("ALTER TABLE exams ADD COLUMN IF NOT EXISTS row_hash TEXT"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS exams_chain ON exams(workstation, chain_seq)"),
        // The exams sent before the chain, which get their links when their workstation sends
        // them again; a row without a link that is not listed here was not sent by the program.
        QStringLiteral("CREATE TABLE IF NOT EXISTS chain_pending (exam_id UUID PRIMARY KEY)"),
        QStringLiteral("INSERT INTO chain_pending SELECT id FROM exams WHERE row_hash IS NULL"
                       " ON CONFLICT DO NOTHING"),
        // 4: the centre's staff list, shared by every workstation (staffstore.h), the profiles
        // each job title or department must pass, and the department stored with each exam.
        // exams_latest serves the due list's latest exam per person and profile in index order.
        QStringLiteral("CREATE TABLE IF NOT EXISTS staff ("
                       " personnel_no TEXT PRIMARY KEY,"
                       " full_name TEXT NOT NULL,"
                       " job_title TEXT NOT NULL,"
                       " department TEXT NOT NULL,"
                       " birth_date DATE,"
                       " hire_date DATE,"
                       " dismissed BOOLEAN NOT NULL DEFAULT FALSE,"
                       " dismissed_on DATE,"
                       " updated_at TIMESTAMPTZ NOT NULL,"
                       " search_name TEXT NOT NULL,"
                       " search_no TEXT NOT NULL)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS staff_search_name ON staff(search_name COLLATE \"C\")"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS staff_search_no ON staff(search_no COLLATE \"C\")"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS staff_assignments ("
                       " kind TEXT NOT NULL,"
                       " name TEXT NOT NULL,"
                       " profile_no INTEGER NOT NULL,"
                       " period_months INTEGER NOT NULL,"
                       " updated_at TIMESTAMPTZ NOT NULL,"
                       " PRIMARY KEY (kind, name, profile_no))"),
        QStringLiteral("ALTER TABLE exams ADD COLUMN IF NOT EXISTS department TEXT NOT NULL DEFAULT ''"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS exams_department ON exams(department, exam_date)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS exams_latest ON exams(personnel_no, profile_no,"
                       " exam_date DESC, finished_at DESC NULLS LAST, protocol_no DESC)"),
    };
    return statements;
}

} // namespace

QString JournalServer::folded(const QString& column) {
    return QStringLiteral("lower(translate(%1, 'АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯё',"
                          " 'абвгдеежзийклмнопрстуфхцчшщъыьэюяе'))")
        .arg(column);
}

JournalServer::JournalServer(const JournalConfig& config)
    : m_config(config), m_connection(QStringLiteral("zet-journal-server-") + idText(QUuid::createUuid())) {}

JournalServer::~JournalServer() {
    disconnect();
    m_db = QSqlDatabase();
    if (QSqlDatabase::contains(m_connection))
        QSqlDatabase::removeDatabase(m_connection);
}

void JournalServer::disconnect() {
    if (m_db.isValid())
        m_db.close();
    m_ready = false;
}

JournalResult JournalServer::failure(const QString& what, const QString& reason) {
    QString text = reason.trimmed();
    // The driver's text never holds the password, but a server may echo what it was given.
    if (!m_config.password.isEmpty())
        text.replace(m_config.password, QStringLiteral("***"));
    return JournalResult::failure(QStringLiteral("%1 (сервер журнала %2, пользователь %3): %4")
                                      .arg(what, m_config.serverText(), m_config.user, text));
}

JournalResult JournalServer::connect() {
    if (m_ready && m_db.isOpen())
        return {};
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
        return failure(QStringLiteral("Нет связи с сервером журнала"),
                       QStringLiteral("не установлен драйвер PostgreSQL для Qt (пакет libqt6sql6-psql)"));
    }
    if (!m_db.isValid()) {
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_connection);
        m_db.setHostName(m_config.host);
        m_db.setPort(m_config.port);
        m_db.setDatabaseName(m_config.database);
        m_db.setUserName(m_config.user);
        m_db.setPassword(m_config.password);
        m_db.setConnectOptions(m_config.connectOptions(kConnectTimeoutSeconds));
    }
    if (!m_db.open()) {
        const QString reason = russianDatabaseError(m_db.lastError(), true);
        return failure(QStringLiteral("Нет связи с сервером журнала"), reason);
    }
    const JournalResult schema = ensureSchema();
    if (!schema.ok) {
        m_db.close();
        return schema;
    }
    m_ready = true;
    return {};
}

int JournalServer::recordedSchemaVersion() {
    QSqlQuery q(m_db);
    // Fails on an empty database, which has no table yet: nothing is in a transaction here.
    return q.exec(QStringLiteral("SELECT max(version) FROM journal_schema")) && q.next() ? q.value(0).toInt() : 0;
}

JournalResult JournalServer::ensureSchema() {
    // A workstation's role may read and insert but not change tables; it finds them made.
    if (recordedSchemaVersion() >= kServerSchemaVersion)
        return {};
    QSqlQuery q(m_db);
    if (!m_db.transaction())
        return failure(QStringLiteral("Не удалось подготовить журнал на сервере"), russianDatabaseError(m_db.lastError(), true));
    // "Already exists, skipping" at every connection is no news.
    bool ok = q.exec(QStringLiteral("SET LOCAL client_min_messages = warning")) &&
              q.exec(QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(kSchemaLockKey));
    for (const QString& statement : serverSchema()) {
        if (!ok)
            break;
        ok = q.exec(statement);
    }
    ok = ok && ensureSearchIndexes(q);
    if (ok) {
        ok = q.exec(QStringLiteral("INSERT INTO journal_schema (version) SELECT %1 WHERE NOT EXISTS "
                                   "(SELECT 1 FROM journal_schema)")
                        .arg(kServerSchemaVersion)) &&
             q.exec(QStringLiteral("UPDATE journal_schema SET version = %1 WHERE version < %1")
                        .arg(kServerSchemaVersion));
    }
    if (!ok || !m_db.commit()) {
        const QString reason = ok ? russianDatabaseError(m_db.lastError(), true) : russianDatabaseError(q.lastError(), true);
        m_db.rollback();
        return failure(QStringLiteral("Не удалось подготовить журнал на сервере"), reason);
    }
    return {};
}

// The search for a part of a name or personnel number reads trigram indexes (pg_trgm), without
// which it reads every exam. A server without pg_trgm, or a user who may not add it, keeps
// searching without them. False only when the connection itself failed.
bool JournalServer::ensureSearchIndexes(QSqlQuery& q) {
    if (!q.exec(QStringLiteral("SAVEPOINT search_indexes")))
        return false;
    const bool made =
        q.exec(QStringLiteral("CREATE EXTENSION IF NOT EXISTS pg_trgm")) &&
        q.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS exams_search_name ON exams USING gin (%1 gin_trgm_ops)")
                   .arg(folded(QStringLiteral("full_name")))) &&
        q.exec(QStringLiteral(
                   "CREATE INDEX IF NOT EXISTS exams_search_personnel_no ON exams USING gin (%1 gin_trgm_ops)")
                   .arg(folded(QStringLiteral("personnel_no"))));
    return q.exec(made ? QStringLiteral("RELEASE SAVEPOINT search_indexes")
                       : QStringLiteral("ROLLBACK TO SAVEPOINT search_indexes"));
}

JournalResult JournalServer::send(const QList<JournalEntry>& entries, const QList<ChainLink>& links,
                                  QList<JournalEntry>* clashes) {
    if (entries.isEmpty())
        return {};
    // A connection that was open may have been lost meanwhile (server restarted): that only
    // shows on use, so one failure on an old connection is followed by one fresh attempt.
    const bool hadConnection = m_ready;
    const JournalResult first = sendOnce(entries, links, clashes);
    if (first.ok || !hadConnection)
        return first;
    return sendOnce(entries, links, clashes);
}

JournalResult JournalServer::sendOnce(const QList<JournalEntry>& entries, const QList<ChainLink>& links,
                                      QList<JournalEntry>* clashes) {
    if (clashes)
        clashes->clear();
    const JournalResult connected = connect();
    if (!connected.ok)
        return connected;
    auto broken = [this](const QString& reason) {
        m_db.rollback();
        // A lost connection is made anew on the next attempt.
        disconnect();
        return failure(QStringLiteral("Не удалось отправить экзамены на сервер журнала"), reason);
    };
    if (!m_db.transaction())
        return broken(russianDatabaseError(m_db.lastError(), true));
    // Many rows go in one statement: with a round trip per row, a workstation back from a long
    // outage would take minutes to send its queue, and twenty sending at once would wait on
    // each other's transactions. An exam sent before it had its link gets the link when it
    // comes again; nothing else of an exam on the server is ever changed.
    QSet<QString> inserted;
    const int examColumnCount = int(examColumns().count(QLatin1Char(',')) + 1) +
                                int(chain::linkColumns().count(QLatin1Char(',')) + 1);
    for (qsizetype from = 0; from < entries.size(); from += kExamsPerStatement) {
        const qsizetype count = qMin<qsizetype>(kExamsPerStatement, entries.size() - from);
        QSqlQuery q(m_db);
        q.setForwardOnly(true);
        q.prepare(QStringLiteral("INSERT INTO exams (%1, %2) VALUES %3"
                                 " ON CONFLICT (id) DO UPDATE SET chain_seq = EXCLUDED.chain_seq,"
                                 " prev_hash = EXCLUDED.prev_hash, row_hash = EXCLUDED.row_hash"
                                 " WHERE exams.row_hash IS NULL AND EXCLUDED.row_hash IS NOT NULL"
                                 " AND exams.workstation = EXCLUDED.workstation"
                                 " AND exams.exam_date = EXCLUDED.exam_date"
                                 " AND exams.protocol_no = EXCLUDED.protocol_no"
                                 " AND exams.full_name = EXCLUDED.full_name"
                                 " RETURNING id::text")
                      .arg(examColumns(), chain::linkColumns(), valueMarks(examColumnCount, int(count))));
        for (qsizetype i = from; i < from + count; ++i) {
            for (const QVariant& v : examValues(entries.at(i), JournalDialect::Server))
                q.addBindValue(v);
            const ChainLink link = i < links.size() ? links.at(i) : ChainLink{};
            q.addBindValue(link.linked() ? QVariant(link.position) : QVariant(QMetaType(QMetaType::LongLong)));
            q.addBindValue(link.linked() ? QVariant(link.previous) : QVariant(QMetaType(QMetaType::QString)));
            q.addBindValue(link.linked() ? QVariant(link.hash) : QVariant(QMetaType(QMetaType::QString)));
        }
        if (!q.exec())
            return broken(russianDatabaseError(q.lastError(), true));
        while (q.next())
            inserted.insert(q.value(0).toString());
    }
    // An exam the server had already: the same one sent again, or another one under its key.
    QSqlQuery held(m_db);
    held.prepare(QStringLiteral("SELECT workstation, exam_date, protocol_no, full_name, personnel_no, grade,"
                                " right_answers FROM exams WHERE id = ?"));
    QVariantList answerValuesToSend;
    for (const JournalEntry& e : entries) {
        if (!inserted.contains(idText(e.id))) {
            held.addBindValue(idText(e.id));
            if (!held.exec() || !held.next())
                return broken(russianDatabaseError(held.lastError(), true));
            const bool same = held.value(0).toString() == e.workstation && held.value(1).toDate() == e.date &&
                              held.value(2).toInt() == e.protocolNo && held.value(3).toString() == e.fullName &&
                              held.value(4).toString() == e.personnelNo && held.value(5).toInt() == e.grade &&
                              held.value(6).toInt() == e.right;
            if (!same) {
                if (clashes)
                    clashes->append(e);
                continue;
            }
        }
        for (const JournalAnswer& answer : e.answers)
            answerValuesToSend += answerValues(e.id, answer, JournalDialect::Server);
    }
    const qsizetype perStatement = qsizetype(kAnswersPerStatement) * kAnswerColumns;
    for (qsizetype from = 0; from < answerValuesToSend.size(); from += perStatement) {
        const QVariantList chunk = answerValuesToSend.mid(from, perStatement);
        QSqlQuery a(m_db);
        a.prepare(QStringLiteral("INSERT INTO answers (%1) VALUES %2 ON CONFLICT (exam_id, position) DO NOTHING")
                      .arg(answerInsertColumns(), valueMarks(kAnswerColumns, int(chunk.size() / kAnswerColumns))));
        for (const QVariant& v : chunk)
            a.addBindValue(v);
        if (!a.exec())
            return broken(russianDatabaseError(a.lastError(), true));
    }
    if (!m_db.commit())
        return broken(russianDatabaseError(m_db.lastError(), true));
    return {};
}

IntegrityReport JournalServer::verify() {
    IntegrityReport report;
    const JournalResult connected = connect();
    if (!connected.ok) {
        report.errors << connected.error;
        return report;
    }
    return verifyChain(m_db, QStringLiteral("chain_pending"),
                       QStringLiteral("сервер журнала %1").arg(m_config.serverText()));
}

int JournalServer::examCount() {
    if (!connect().ok)
        return -1;
    QSqlQuery q(m_db);
    return q.exec(QStringLiteral("SELECT count(*) FROM exams")) && q.next() ? q.value(0).toInt() : -1;
}

int JournalServer::countByPersonnelNo(const QString& personnelNo) {
    if (!connect().ok)
        return -1;
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral("SELECT count(*) FROM exams WHERE personnel_no = ?"));
    q.addBindValue(personnelNo);
    return q.exec() && q.next() ? q.value(0).toInt() : -1;
}

} // namespace zet
