#include "journal/journalserver.h"
#include "journal/journalerror.h"

#include "journal/journaljsonrows.h"
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
constexpr int kServerSchemaVersion = 6;

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
        // 5: the search indexes' short waiting lists (ensureSearchIndexes).
        // 6: the due list reads each person's latest exam of a profile from the index alone,
        // in one ordered pass, instead of grouping and joining a million rows back.
        QStringLiteral("DROP INDEX IF EXISTS exams_latest"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS exams_latest_covering ON exams(personnel_no, profile_no,"
                       " exam_date DESC, finished_at DESC NULLS LAST, protocol_no DESC)"
                       " INCLUDE (full_name, job_title, department, profile_name, grade)"),
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
    // The prepared statement goes with the connection it was prepared on.
    m_sendStatement.reset();
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
                   .arg(folded(QStringLiteral("personnel_no")))) &&
        // New rows wait in a list of their own until they are merged into the index, and every
        // search reads that list through: the server's default of 4 MB (some 30,000 exams)
        // makes each search on a busy centre's server tens of milliseconds slower. With a short
        // list each merge is small and is done by the send that fills it.
        q.exec(QStringLiteral("ALTER INDEX exams_search_name SET (gin_pending_list_limit = 256)")) &&
        q.exec(QStringLiteral("ALTER INDEX exams_search_personnel_no SET (gin_pending_list_limit = 256)"));
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
    // The whole chunk goes in one statement of two parameters, the exams and their answers
    // as JSON rows, prepared once per connection: with a round trip per row, or thousands of
    // parameters per statement, a workstation back from a long outage would take minutes to
    // send its queue, and twenty sending at once would wait on each other. The answers go in
    // with the exams the server took (new ones, and those sent before their link, which get
    // it); nothing else of an exam on the server is ever changed.
    static const QStringList examKeys = columnNames(examColumns() + QStringLiteral(", ") + chain::linkColumns());
    static const QStringList answerKeys = columnNames(answerInsertColumns());
    JsonRows examRows(examKeys);
    JsonRows answerRows(answerKeys);
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const JournalEntry& e = entries.at(i);
        QVariantList values = examValues(e, JournalDialect::Server);
        const ChainLink link = i < links.size() ? links.at(i) : ChainLink{};
        values << (link.linked() ? QVariant(link.position) : QVariant(QMetaType(QMetaType::LongLong)))
               << (link.linked() ? QVariant(link.previous) : QVariant(QMetaType(QMetaType::QString)))
               << (link.linked() ? QVariant(link.hash) : QVariant(QMetaType(QMetaType::QString)));
        examRows.row(values);
        for (const JournalAnswer& answer : e.answers)
            answerRows.row(answerValues(e.id, answer, JournalDialect::Server));
    }
    if (!m_sendStatement) {
        m_sendStatement = std::make_unique<QSqlQuery>(m_db);
        m_sendStatement->setForwardOnly(true);
        const bool prepared = m_sendStatement->prepare(
            QStringLiteral("WITH taken AS ("
                           " INSERT INTO exams (%1, %2) SELECT %1, %2 FROM json_populate_recordset(NULL::exams, ?::json)"
                           " ON CONFLICT (id) DO UPDATE SET chain_seq = EXCLUDED.chain_seq,"
                           " prev_hash = EXCLUDED.prev_hash, row_hash = EXCLUDED.row_hash"
                           " WHERE exams.row_hash IS NULL AND EXCLUDED.row_hash IS NOT NULL"
                           " AND exams.workstation = EXCLUDED.workstation"
                           " AND exams.exam_date = EXCLUDED.exam_date"
                           " AND exams.protocol_no = EXCLUDED.protocol_no"
                           " AND exams.full_name = EXCLUDED.full_name"
                           " RETURNING id),"
                           " answered AS ("
                           " INSERT INTO answers (%3) SELECT %3 FROM json_populate_recordset(NULL::answers, ?::json)"
                           " WHERE exam_id IN (SELECT id FROM taken) ON CONFLICT (exam_id, position) DO NOTHING)"
                           " SELECT id::text FROM taken")
                .arg(examColumns(), chain::linkColumns(), answerInsertColumns()));
        if (!prepared) {
            const QString reason = russianDatabaseError(m_sendStatement->lastError(), true);
            return broken(reason);
        }
    }
    if (!m_db.transaction())
        return broken(russianDatabaseError(m_db.lastError(), true));
    QSqlQuery& q = *m_sendStatement;
    q.addBindValue(examRows.text());
    q.addBindValue(answerRows.text());
    if (!q.exec())
        return broken(russianDatabaseError(q.lastError(), true));
    QSet<QString> taken;
    while (q.next())
        taken.insert(q.value(0).toString());
    q.finish();
    if (taken.size() < entries.size()) {
        const JournalResult held = sendHeldAnswers(entries, taken, clashes);
        if (!held.ok)
            return broken(held.error);
    }
    if (!m_db.commit())
        return broken(russianDatabaseError(m_db.lastError(), true));
    return {};
}

// The exams of a chunk the server had already: the same exam sent again (after a send whose
// end the workstation did not hear of), whose answers go again and are kept once, or another
// exam under its id, which is a clash and is not sent.
JournalResult JournalServer::sendHeldAnswers(const QList<JournalEntry>& entries, const QSet<QString>& taken,
                                             QList<JournalEntry>* clashes) {
    QSqlQuery held(m_db);
    held.prepare(QStringLiteral("SELECT workstation, exam_date, protocol_no, full_name, personnel_no, grade,"
                                " right_answers FROM exams WHERE id = ?"));
    JsonRows answerRows(columnNames(answerInsertColumns()));
    for (const JournalEntry& e : entries) {
        if (taken.contains(idText(e.id)))
            continue;
        held.addBindValue(idText(e.id));
        if (!held.exec() || !held.next())
            return JournalResult::failure(russianDatabaseError(held.lastError(), true));
        const bool same = held.value(0).toString() == e.workstation && held.value(1).toDate() == e.date &&
                          held.value(2).toInt() == e.protocolNo && held.value(3).toString() == e.fullName &&
                          held.value(4).toString() == e.personnelNo && held.value(5).toInt() == e.grade &&
                          held.value(6).toInt() == e.right;
        if (!same) {
            if (clashes)
                clashes->append(e);
            continue;
        }
        for (const JournalAnswer& answer : e.answers)
            answerRows.row(answerValues(e.id, answer, JournalDialect::Server));
    }
    if (answerRows.isEmpty())
        return {};
    QSqlQuery a(m_db);
    a.prepare(QStringLiteral("INSERT INTO answers (%1) SELECT %1 FROM json_populate_recordset(NULL::answers, ?::json)"
                             " ON CONFLICT (exam_id, position) DO NOTHING")
                  .arg(answerInsertColumns()));
    a.addBindValue(answerRows.text());
    if (!a.exec())
        return JournalResult::failure(russianDatabaseError(a.lastError(), true));
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
