#include "journal/journalstore.h"

#include "journal/journalrows.h"
#include "journal/journalerror.h"
#include "journal/journalfile.h"

#include <QHash>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <utility>

namespace zet {

namespace {

// Each step takes the journal from the version before it to its own version (index + 1).
// Steps are never changed once released; a new layout adds a step.
const QList<QStringList>& upgradeSteps() {
    static const QList<QStringList> steps = {
        // 1: exams and the answers given in them.
        {QStringLiteral("CREATE TABLE exams ("
                        " id TEXT PRIMARY KEY,"
                        " workstation TEXT NOT NULL,"
                        " exam_date TEXT NOT NULL,"
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
                        " started_at TEXT,"
                        " finished_at TEXT)"),
         QStringLiteral("CREATE TABLE answers ("
                        " exam_id TEXT NOT NULL REFERENCES exams(id) ON DELETE CASCADE,"
                        " position INTEGER NOT NULL,"
                        " theme INTEGER NOT NULL,"
                        " question_no INTEGER NOT NULL,"
                        " question_text TEXT NOT NULL,"
                        " answer_text TEXT NOT NULL,"
                        " is_right INTEGER NOT NULL,"
                        " seconds INTEGER NOT NULL,"
                        " PRIMARY KEY (exam_id, position))")},
        // 2: rows imported from the day-file archive, sending to a server, lookups.
        {QStringLiteral("ALTER TABLE exams ADD COLUMN imported INTEGER NOT NULL DEFAULT 0"),
         QStringLiteral("ALTER TABLE exams ADD COLUMN sent_at TEXT"),
         QStringLiteral("CREATE INDEX exams_personnel_no ON exams(personnel_no)"),
         QStringLiteral("CREATE INDEX exams_date ON exams(exam_date)"),
         QStringLiteral("CREATE INDEX exams_day_protocol ON exams(workstation, exam_date, protocol_no)"),
         QStringLiteral("CREATE INDEX exams_unsent ON exams(finished_at) WHERE sent_at IS NULL")},
        // 3: the journal window: a case-folded search text (filled in by fillSearchText) and
        // one index per sort order. Each order goes on by date and protocol number and ends in
        // the id that breaks ties between pages; the same indexes serve a profile or grade
        // filter on the list in date order.
        {QStringLiteral("ALTER TABLE exams ADD COLUMN search_text TEXT NOT NULL DEFAULT ''"),
         QStringLiteral("DROP INDEX exams_personnel_no"), QStringLiteral("DROP INDEX exams_date"),
         QStringLiteral("CREATE INDEX exams_order_date ON exams(exam_date, protocol_no, id)"),
         QStringLiteral("CREATE INDEX exams_order_name ON exams(full_name, exam_date, protocol_no, id)"),
         QStringLiteral(
             "CREATE INDEX exams_order_personnel_no ON exams(personnel_no, exam_date, protocol_no, id)"),
         QStringLiteral(
             "CREATE INDEX exams_order_profile ON exams(profile_name, exam_date, protocol_no, id)"),
         QStringLiteral("CREATE INDEX exams_order_grade ON exams(grade, exam_date, protocol_no, id)"),
         QStringLiteral("CREATE INDEX exams_search ON exams(search_text)")},
        // 4: numbered protocols with the exams each covers (one number for one set of exams),
        // and the right answer beside each answer given (NULL in rows written before).
        {QStringLiteral("CREATE TABLE protocols ("
                        " protocol_no INTEGER PRIMARY KEY,"
                        " exams_key TEXT NOT NULL UNIQUE,"
                        " issued_at TEXT NOT NULL DEFAULT CURRENT_TIMESTAMP)"),
         QStringLiteral("CREATE TABLE protocol_exams ("
                        " protocol_no INTEGER NOT NULL,"
                        " exam_id TEXT NOT NULL,"
                        " PRIMARY KEY (protocol_no, exam_id))"),
         QStringLiteral("CREATE INDEX protocol_exams_exam ON protocol_exams(exam_id)"),
         QStringLiteral("ALTER TABLE answers ADD COLUMN right_answer_text TEXT")},
        // 5: the chain of exams (journalchain.h). The rows already there wait in chain_pending
        // for their links, which linkPending() makes after the start, so that a large journal
        // does not hold up the window; rows the program did not write are not in it.
        {QStringLiteral("ALTER TABLE exams ADD COLUMN chain_seq INTEGER"),
         QStringLiteral("ALTER TABLE exams ADD COLUMN prev_hash TEXT"),
         QStringLiteral("ALTER TABLE exams ADD COLUMN row_hash TEXT"),
         QStringLiteral("CREATE TABLE chain_pending (exam_id TEXT PRIMARY KEY)"),
         QStringLiteral("INSERT INTO chain_pending SELECT id FROM exams ORDER BY rowid"),
         QStringLiteral("CREATE INDEX exams_chain ON exams(workstation, chain_seq)")},
        // 6: the staff list (staffstore.h), the profiles each job title or department must
        // pass, and the department stored with each exam. search_name and search_no are the
        // folded full name and personnel number the registration's completer looks up by
        // their beginning. exams_latest gives the due
        // list each person's latest exam of a profile without sorting the journal.
        {QStringLiteral("CREATE TABLE staff ("
                        " personnel_no TEXT PRIMARY KEY,"
                        " full_name TEXT NOT NULL,"
                        " job_title TEXT NOT NULL,"
                        " department TEXT NOT NULL,"
                        " birth_date TEXT,"
                        " hire_date TEXT,"
                        " dismissed INTEGER NOT NULL DEFAULT 0,"
                        " dismissed_on TEXT,"
                        " updated_at TEXT NOT NULL,"
                        " search_name TEXT NOT NULL,"
                        " search_no TEXT NOT NULL)"),
         QStringLiteral("CREATE INDEX staff_search_name ON staff(search_name)"),
         QStringLiteral("CREATE INDEX staff_search_no ON staff(search_no)"),
         QStringLiteral("CREATE TABLE staff_assignments ("
                        " kind TEXT NOT NULL,"
                        " name TEXT NOT NULL,"
                        " profile_no INTEGER NOT NULL,"
                        " period_months INTEGER NOT NULL,"
                        " updated_at TEXT NOT NULL,"
                        " PRIMARY KEY (kind, name, profile_no))"),
         QStringLiteral("ALTER TABLE exams ADD COLUMN department TEXT NOT NULL DEFAULT ''"),
         QStringLiteral("CREATE INDEX exams_department ON exams(department, exam_date)"),
         QStringLiteral("CREATE INDEX exams_latest ON exams(personnel_no, profile_no, exam_date, finished_at,"
                        " protocol_no)")},
    };
    return steps;
}

// The version whose step adds exams.search_text; the step is followed by fillSearchText.
constexpr int kSearchTextVersion = 3;

// Fills the search text of the rows an older layout left without one.
bool fillSearchText(const QSqlDatabase& db, QString* reason) {
    QSqlQuery read(db);
    read.setForwardOnly(true);
    QSqlQuery write(db);
    if (!read.exec(QStringLiteral("SELECT rowid, full_name, personnel_no FROM exams")) ||
        !write.prepare(QStringLiteral("UPDATE exams SET search_text = ? WHERE rowid = ?"))) {
        *reason = read.lastError().isValid() ? russianDatabaseError(read.lastError()) : russianDatabaseError(write.lastError());
        return false;
    }
    while (read.next()) {
        write.addBindValue(JournalStore::searchText(read.value(1).toString(), read.value(2).toString()));
        write.addBindValue(read.value(0));
        if (!write.exec()) {
            *reason = russianDatabaseError(write.lastError());
            return false;
        }
    }
    return true;
}

} // namespace

QString JournalStore::foldForSearch(const QString& text) {
    QString folded = text.toLower();
    folded.replace(QChar(0x0451), QChar(0x0435)); // ё → е
    return folded;
}

QString JournalStore::searchText(const QString& fullName, const QString& personnelNo) {
    // The line feed keeps a typed substring from running over from the name into the number.
    return foldForSearch(fullName) + QLatin1Char('\n') + foldForSearch(personnelNo);
}

JournalStore::JournalStore(const QString& folder)
    : m_folder(folder), m_connection(QStringLiteral("zet-journal-") + idText(QUuid::createUuid())),
      m_outbox(QDir(folder).filePath(outboxFileName())) {}

JournalStore::~JournalStore() {
    m_statements.clear();
    if (m_db.isValid())
        m_db.close();
    m_db = QSqlDatabase();
    if (QSqlDatabase::contains(m_connection))
        QSqlDatabase::removeDatabase(m_connection);
}

QString JournalStore::path() const {
    return QDir(m_folder).filePath(fileName());
}

QString JournalStore::outboxPath() const {
    return m_outbox.path();
}

QString JournalStore::describe(const QString& what, const QString& reason) const {
    return QStringLiteral("%1 (журнал «%2»): %3").arg(what, QDir::toNativeSeparators(path()), reason);
}

JournalResult JournalStore::open() {
    if (m_open)
        return {};
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        return JournalResult::failure(
            QStringLiteral("Журнал недоступен: не установлен драйвер SQLite для Qt."));
    if (!m_db.isValid())
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    QDir().mkpath(m_folder);
    beforeOpening(path());
    m_db.setDatabaseName(path());
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!m_db.open())
        return JournalResult::failure(
            describe(QStringLiteral("Не удалось открыть журнал"), russianDatabaseError(m_db.lastError())));
    QSqlQuery q(m_db);
    // Any first statement tells a file that is not a database.
    if (!q.exec(QStringLiteral("PRAGMA journal_mode=WAL")) ||
        !q.exec(QStringLiteral("PRAGMA foreign_keys=ON")) ||
        !q.exec(QStringLiteral("PRAGMA synchronous=FULL"))) {
        const QString reason = russianDatabaseError(q.lastError());
        q = QSqlQuery();
        close();
        return JournalResult::failure(describe(QStringLiteral("Не удалось открыть журнал"), reason));
    }
    q = QSqlQuery();
    const JournalResult upgraded = upgrade();
    if (!upgraded.ok) {
        close();
        return upgraded;
    }
    m_open = true;
    m_file = opened(path());
    return {};
}

void JournalStore::reopenWhenReplaced() {
    if (!m_open)
        return;
    const JournalFileIdentity now = JournalFileIdentity::of(path());
    if (now == m_file)
        return;
    close(); // the next open() removes the write-ahead files the old journal left (journalfile.h)
    const bool present = now.present;
    addNote(present ? QStringLiteral("Файл журнала «%1» был заменён другим файлом, пока программа работала. "
                                     "Журнал открыт заново; экзамены записываются в новый файл.")
                          .arg(QDir::toNativeSeparators(path()))
                    : QStringLiteral("Файл журнала «%1» был удалён, пока программа работала. Журнал создан "
                                     "заново; экзамены записываются в него.")
                          .arg(QDir::toNativeSeparators(path())));
}

void JournalStore::addNote(const QString& text) {
    if (!m_notes.contains(text))
        m_notes.append(text);
}

QString JournalStore::takeNotes() {
    const QString notes = m_notes.join(QStringLiteral("\n\n"));
    m_notes.clear();
    return notes;
}

void JournalStore::close() {
    m_statements.clear();
    m_db.close();
    m_open = false;
}

QSqlQuery& JournalStore::statement(const QString& sql) {
    auto found = m_statements.find(sql);
    if (found == m_statements.end()) {
        found = m_statements.insert(sql, QSqlQuery(m_db));
        found->prepare(sql);
    }
    return *found;
}

int JournalStore::schemaVersion() {
    if (!m_db.isOpen())
        return 0;
    QSqlQuery q(m_db);
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next())
        return 0;
    return q.value(0).toInt();
}

JournalResult JournalStore::upgrade() {
    QSqlQuery q(m_db);
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return JournalResult::failure(describe(QStringLiteral("Журнал занят"), russianDatabaseError(q.lastError())));
    const int found = schemaVersion();
    if (found > kSchemaVersion) {
        q.exec(QStringLiteral("ROLLBACK"));
        return JournalResult::failure(describe(
            QStringLiteral("Журнал записан более новой версией программы (версия %1, эта программа знает "
                           "версии до %2) и не будет изменён")
                .arg(found)
                .arg(kSchemaVersion),
            QStringLiteral("обновите программу")));
    }
    const QList<QStringList>& steps = upgradeSteps();
    for (int version = found + 1; version <= kSchemaVersion; ++version) {
        for (const QString& statement : steps.at(version - 1)) {
            if (!q.exec(statement)) {
                const QString reason = russianDatabaseError(q.lastError());
                q.exec(QStringLiteral("ROLLBACK"));
                return JournalResult::failure(
                    describe(QStringLiteral("Не удалось обновить журнал до версии %1").arg(version), reason));
            }
        }
        if (version == kSearchTextVersion) {
            QString reason;
            if (!fillSearchText(m_db, &reason)) {
                q.exec(QStringLiteral("ROLLBACK"));
                return JournalResult::failure(
                    describe(QStringLiteral("Не удалось обновить журнал до версии %1").arg(version), reason));
            }
        }
    }
    if (found != kSchemaVersion && !q.exec(QStringLiteral("PRAGMA user_version=%1").arg(kSchemaVersion))) {
        const QString reason = russianDatabaseError(q.lastError());
        q.exec(QStringLiteral("ROLLBACK"));
        return JournalResult::failure(describe(QStringLiteral("Не удалось обновить журнал"), reason));
    }
    if (!q.exec(QStringLiteral("COMMIT"))) {
        const QString reason = russianDatabaseError(q.lastError());
        q.exec(QStringLiteral("ROLLBACK"));
        return JournalResult::failure(describe(QStringLiteral("Не удалось обновить журнал"), reason));
    }
    return {};
}

bool JournalStore::linksWaiting() {
    QSqlQuery& q = statement(QStringLiteral("SELECT 1 FROM chain_pending LIMIT 1"));
    return q.exec() && q.next();
}

bool JournalStore::chainTail(const QString& workstation, ChainLink* tail, QString* reason) {
    QSqlQuery& q = statement(QStringLiteral("SELECT %1 FROM exams WHERE workstation = ? AND row_hash IS NOT NULL"
                                            " ORDER BY chain_seq DESC LIMIT 1")
                                 .arg(chain::linkColumns()));
    q.addBindValue(workstation);
    if (!q.exec()) {
        *reason = q.lastError().text();
        return false;
    }
    *tail = q.next() ? ChainLink{q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toString()}
                     : ChainLink{};
    q.finish();
    return true;
}

// A transaction that writes takes the write lock at its start and waits there, up to the busy
// timeout, for another connection's write to end (the sending thread's, another window's). One
// begun as a reader would fail at once at its first write when the other had committed since
// it read.
bool JournalStore::beginWriting(QSqlError* error) {
    QSqlQuery q(m_db);
    if (q.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return true;
    if (error)
        *error = q.lastError();
    return false;
}

JournalResult JournalStore::writeEntry(const JournalEntry& e, bool* written) {
    if (written)
        *written = false;
    if (e.id.isNull())
        return JournalResult::failure(QStringLiteral("Экзамен без идентификатора не записывается в журнал."));
    // While older rows wait for their links, new ones wait behind them, so that the chain
    // keeps the order the exams were written in.
    const bool waiting = linksWaiting();
    ChainLink link;
    if (!waiting) {
        QString reason;
        ChainLink tail;
        if (!chainTail(e.workstation, &tail, &reason))
            return JournalResult::failure(reason);
        link = chain::follow(e, tail);
    }
    // The exam's columns, its search text and its link.
    static const QString marks = QStringLiteral("?") + QStringLiteral(",?").repeated(kExamColumnCount + 3);
    QSqlQuery& q = statement(QStringLiteral("INSERT INTO exams (%1, search_text, %2) VALUES (%3)"
                                            " ON CONFLICT (id) DO NOTHING")
                                 .arg(examColumns(), chain::linkColumns(), marks));
    QVariantList values = examValues(e, JournalDialect::Local);
    values << searchText(e.fullName, e.personnelNo);
    values << (link.linked() ? QVariant(link.position) : QVariant(QMetaType(QMetaType::LongLong)))
           << (link.linked() ? QVariant(link.previous) : QVariant(QMetaType(QMetaType::QString)))
           << (link.linked() ? QVariant(link.hash) : QVariant(QMetaType(QMetaType::QString)));
    for (const QVariant& v : values)
        q.addBindValue(v);
    if (!q.exec())
        return JournalResult::failure(russianDatabaseError(q.lastError()));
    if (q.numRowsAffected() != 1)
        return {}; // already there: the answers are too
    if (!e.answers.isEmpty()) {
        QSqlQuery& a =
            statement(QStringLiteral("INSERT INTO answers (%1) VALUES (?,?,?,?,?,?,?,?,?)").arg(answerInsertColumns()));
        for (const JournalAnswer& answer : e.answers) {
            for (const QVariant& v : answerValues(e.id, answer, JournalDialect::Local))
                a.addBindValue(v);
            if (!a.exec())
                return JournalResult::failure(russianDatabaseError(a.lastError()));
        }
    }
    if (waiting) {
        QSqlQuery& p = statement(QStringLiteral("INSERT INTO chain_pending (exam_id) VALUES (?)"));
        p.addBindValue(idText(e.id));
        if (!p.exec())
            return JournalResult::failure(p.lastError().text());
    }
    if (written)
        *written = true;
    return {};
}

int JournalStore::pendingLinks() {
    if (!open().ok)
        return 0;
    QSqlQuery q(m_db);
    return q.exec(QStringLiteral("SELECT count(*) FROM chain_pending")) && q.next() ? q.value(0).toInt() : 0;
}

JournalResult JournalStore::linkPending(int batch, int* left) {
    if (left)
        *left = 0;
    const JournalResult opened = open();
    if (!opened.ok)
        return opened;
    QSqlError busy;
    if (!beginWriting(&busy))
        return JournalResult::failure(describe(QStringLiteral("Журнал занят"), busy.text()));
    auto broken = [this](const QString& reason) {
        m_db.rollback();
        return JournalResult::failure(describe(QStringLiteral("Не удалось связать экзамены журнала"), reason));
    };
    QString error;
    const QList<JournalEntry> entries = selectEntries(
        // In the order the rows were listed, which is the order they were written in; linked
        // ones leave the list, so each batch starts at its front.
        QStringLiteral("JOIN chain_pending ON chain_pending.exam_id = exams.id ORDER BY chain_pending.rowid LIMIT ?"),
        {batch}, true, &error);
    if (!error.isEmpty())
        return broken(error);
    QHash<QString, ChainLink> tails;
    QSqlQuery update(m_db);
    QSqlQuery done(m_db);
    // A row linked anew goes to the server again, which takes the link for its copy.
    update.prepare(QStringLiteral("UPDATE exams SET chain_seq = ?, prev_hash = ?, row_hash = ?, sent_at = NULL"
                                  " WHERE id = ?"));
    done.prepare(entries.isEmpty() ? QStringLiteral("DELETE FROM chain_pending")
                                   : QStringLiteral("DELETE FROM chain_pending WHERE exam_id = ?"));
    for (const JournalEntry& e : entries) {
        auto tail = tails.find(e.workstation);
        if (tail == tails.end()) {
            ChainLink found;
            if (!chainTail(e.workstation, &found, &error))
                return broken(error);
            tail = tails.insert(e.workstation, found);
        }
        *tail = chain::follow(e, *tail);
        update.addBindValue(tail->position);
        update.addBindValue(tail->previous);
        update.addBindValue(tail->hash);
        update.addBindValue(idText(e.id));
        done.addBindValue(idText(e.id));
        if (!update.exec())
            return broken(update.lastError().text());
        if (!done.exec())
            return broken(done.lastError().text());
    }
    // Nothing left to link: what is still listed names rows that are gone.
    if (entries.isEmpty() && !done.exec())
        return broken(done.lastError().text());
    if (!m_db.commit())
        return broken(m_db.lastError().text());
    if (left)
        *left = entries.isEmpty() ? 0 : pendingLinks();
    return {};
}

IntegrityReport JournalStore::verify() {
    IntegrityReport report;
    const JournalResult opened = open();
    if (!opened.ok) {
        report.errors << opened.error;
        return report;
    }
    return verifyChain(m_db, QStringLiteral("chain_pending"),
                       QStringLiteral("журнал %1").arg(QDir::toNativeSeparators(path())));
}

JournalRecordResult JournalStore::record(const JournalEntry& entry) {
    // A waiting exam the journal still cannot take is no news for this one.
    (void)flushOutbox();
    reopenWhenReplaced();
    JournalResult result = open();
    if (result.ok) {
        QSqlError busy;
        if (!beginWriting(&busy)) {
            result = JournalResult::failure(describe(QStringLiteral("Журнал занят"), russianDatabaseError(busy)));
        } else {
            const JournalResult written = writeEntry(entry, nullptr);
            if (written.ok && m_db.commit())
                return {};
            const QString reason = written.ok ? russianDatabaseError(m_db.lastError()) : written.error;
            m_db.rollback();
            result = JournalResult::failure(describe(QStringLiteral("Не удалось записать экзамен"), reason));
        }
    }
    JournalRecordResult outcome;
    outcome.ok = false;
    const JournalResult kept = m_outbox.add(entry);
    if (!kept.ok) {
        outcome.kept = JournalRecordResult::Kept::Nowhere;
        outcome.error = QStringLiteral("%1\nЭкзамен не удалось сохранить и в запасном файле: %2")
                            .arg(result.error, kept.error);
        return outcome;
    }
    outcome.kept = JournalRecordResult::Kept::Outbox;
    outcome.error = QStringLiteral("%1\nЭкзамен сохранён в файле «%2» и будет записан в журнал при следующем "
                                   "экзамене или запуске программы.")
                        .arg(result.error, QDir::toNativeSeparators(m_outbox.path()));
    return outcome;
}

JournalResult JournalStore::flushOutbox() {
    if (!m_outbox.exists()) {
        m_damagedOutboxTold = false;
        return {};
    }
    const OutboxContents waiting = m_outbox.read();
    if (!waiting.error.isEmpty())
        return JournalResult::failure(waiting.error);
    bool outboxWritable = true;
    if (waiting.damaged) {
        QString copy;
        const JournalResult aside = m_outbox.setAside(waiting.entries, &copy);
        const QString shown = QDir::toNativeSeparators(m_outbox.path());
        if (aside.ok) {
            addNote(QStringLiteral("Файл «%1» с экзаменами, ожидавшими записи в журнал, был повреждён. Он "
                                   "сохранён без изменений в копии «%2». Из него прочитано экзаменов: %3; "
                                   "они записываются в журнал.")
                        .arg(shown, QDir::toNativeSeparators(copy))
                        .arg(waiting.entries.size()));
        } else {
            // Left exactly as it is: nothing of it may be lost by a rewrite. The copy is tried
            // again at every exam, but the examiner hears of the damage once.
            outboxWritable = false;
            if (!std::exchange(m_damagedOutboxTold, true))
                addNote(QStringLiteral("Файл «%1» с экзаменами, ожидавшими записи в журнал, повреждён и "
                                       "оставлен как есть: %2")
                            .arg(shown, aside.error));
        }
    } else {
        m_damagedOutboxTold = false;
    }
    reopenWhenReplaced();
    const JournalResult opened = open();
    if (!opened.ok)
        return opened;
    QList<JournalEntry> left;
    QString lastReason;
    for (const JournalEntry& entry : waiting.entries) {
        // One transaction each: an exam that cannot be written does not hold back the others.
        QSqlError busy;
        bool ok = beginWriting(&busy);
        if (ok) {
            const JournalResult written = writeEntry(entry, nullptr);
            ok = written.ok && m_db.commit();
            if (!ok) {
                lastReason = written.ok ? russianDatabaseError(m_db.lastError()) : written.error;
                m_db.rollback();
            }
        } else {
            lastReason = russianDatabaseError(busy);
        }
        if (!ok)
            left.append(entry);
    }
    // Written exams leave the outbox only after their commit; a crash in between writes them
    // again next time, which their id turns into nothing.
    const JournalResult kept = outboxWritable ? m_outbox.keepOnly(left) : JournalResult{};
    if (!left.isEmpty()) {
        return JournalResult::failure(describe(QStringLiteral("Экзамены из файла «%1» (%2) пока не записаны")
                                                   .arg(QDir::toNativeSeparators(m_outbox.path()))
                                                   .arg(left.size()),
                                               lastReason));
    }
    return kept;
}

QList<JournalEntry> JournalStore::waitingInOutbox() const {
    return m_outbox.read().entries;
}

int JournalStore::outboxCount() const {
    return int(m_outbox.read().entries.size());
}

bool JournalStore::hasExam(const QString& workstation, const QDate& date, int protocolNo) {
    if (!open().ok)
        return false;
    QSqlQuery& q = statement(QStringLiteral(
        "SELECT 1 FROM exams WHERE workstation = ? AND exam_date = ? AND protocol_no = ? LIMIT 1"));
    q.addBindValue(workstation);
    q.addBindValue(date.toString(Qt::ISODate));
    q.addBindValue(protocolNo);
    return q.exec() && q.next();
}

JournalResult JournalStore::recordImported(const QList<JournalEntry>& entries, int* added) {
    if (added)
        *added = 0;
    reopenWhenReplaced();
    const JournalResult opened = open();
    if (!opened.ok)
        return opened;
    QSqlError busy;
    if (!beginWriting(&busy))
        return JournalResult::failure(describe(QStringLiteral("Журнал занят"), russianDatabaseError(busy)));
    int count = 0;
    for (const JournalEntry& entry : entries) {
        if (hasExam(entry.workstation, entry.date, entry.protocolNo))
            continue;
        bool written = false;
        const JournalResult result = writeEntry(entry, &written);
        if (!result.ok) {
            m_db.rollback();
            return JournalResult::failure(
                describe(QStringLiteral("Не удалось записать экзамены архива"), result.error));
        }
        count += written ? 1 : 0;
    }
    if (!m_db.commit()) {
        const QString reason = russianDatabaseError(m_db.lastError());
        m_db.rollback();
        return JournalResult::failure(
            describe(QStringLiteral("Не удалось записать экзамены архива"), reason));
    }
    if (added)
        *added = count;
    return {};
}

void JournalStore::setBulkWrites(bool on) {
    if (!open().ok)
        return;
    QSqlQuery q(m_db);
    q.exec(on ? QStringLiteral("PRAGMA synchronous=NORMAL") : QStringLiteral("PRAGMA synchronous=FULL"));
}

QList<JournalEntry> JournalStore::selectEntries(const QString& tail, const QVariantList& values,
                                                bool withAnswers, QString* error, QList<ChainLink>* links) {
    QList<JournalEntry> entries;
    const JournalResult opened = open();
    if (!opened.ok) {
        if (error)
            *error = opened.error;
        return entries;
    }
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %1, %2 FROM exams %3").arg(examColumns(), chain::linkColumns(), tail));
    for (const QVariant& v : values)
        q.addBindValue(v);
    if (!q.exec()) {
        if (error)
            *error = describe(QStringLiteral("Не удалось прочитать журнал"), russianDatabaseError(q.lastError()));
        return entries;
    }
    while (q.next()) {
        entries.append(examFromRow(q));
        if (links) {
            constexpr int kLink = kExamColumnCount;
            links->append({q.value(kLink).toLongLong(), q.value(kLink + 1).toString(),
                           q.value(kLink + 2).toString()});
        }
    }
    if (!withAnswers)
        return entries;
    QSqlQuery a(m_db);
    a.setForwardOnly(true);
    a.prepare(QStringLiteral("SELECT %1 FROM answers WHERE exam_id = ? ORDER BY position").arg(answerSelectColumns()));
    for (JournalEntry& e : entries) {
        if (e.imported)
            continue;
        a.addBindValue(idText(e.id));
        if (!a.exec()) {
            if (error)
                *error = describe(QStringLiteral("Не удалось прочитать журнал"), russianDatabaseError(a.lastError()));
            return {};
        }
        while (a.next())
            e.answers.append(answerFromRow(a));
    }
    return entries;
}

QList<JournalEntry> JournalStore::unsent(int limit, QString* error, int skip, QList<ChainLink>* links) {
    // An exam waiting for its link is sent with it.
    return selectEntries(QStringLiteral("WHERE sent_at IS NULL AND row_hash IS NOT NULL"
                                        " ORDER BY finished_at, rowid LIMIT ? OFFSET ?"),
                         {limit, skip}, true, error, links);
}

int JournalStore::unsentCount() {
    if (!open().ok)
        return 0;
    QSqlQuery q(m_db);
    return q.exec(QStringLiteral("SELECT count(*) FROM exams WHERE sent_at IS NULL")) && q.next()
               ? q.value(0).toInt()
               : 0;
}

JournalResult JournalStore::markSent(const QList<QUuid>& ids) {
    reopenWhenReplaced();
    const JournalResult opened = open();
    if (!opened.ok)
        return opened;
    QSqlError busy;
    if (!beginWriting(&busy))
        return JournalResult::failure(describe(QStringLiteral("Журнал занят"), russianDatabaseError(busy)));
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral("UPDATE exams SET sent_at = ? WHERE id = ?"));
    const QString now = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
    for (const QUuid& id : ids) {
        q.addBindValue(now);
        q.addBindValue(idText(id));
        if (!q.exec()) {
            const QString reason = russianDatabaseError(q.lastError());
            m_db.rollback();
            return JournalResult::failure(
                describe(QStringLiteral("Не удалось отметить отправленные экзамены"), reason));
        }
    }
    if (!m_db.commit()) {
        const QString reason = russianDatabaseError(m_db.lastError());
        m_db.rollback();
        return JournalResult::failure(
            describe(QStringLiteral("Не удалось отметить отправленные экзамены"), reason));
    }
    return {};
}

std::optional<JournalEntry> JournalStore::find(const QUuid& id) {
    const QList<JournalEntry> found =
        selectEntries(QStringLiteral("WHERE id = ?"), {idText(id)}, true, nullptr);
    if (found.isEmpty())
        return std::nullopt;
    return found.first();
}

std::optional<JournalEntry> JournalStore::findOnDay(const QString& workstation, const QDate& date, int protocolNo) {
    const QList<JournalEntry> found = selectEntries(
        QStringLiteral("WHERE workstation = ? AND exam_date = ? AND protocol_no = ? ORDER BY rowid LIMIT 1"),
        {workstation, date.toString(Qt::ISODate), protocolNo}, false, nullptr);
    if (found.isEmpty())
        return std::nullopt;
    return found.first();
}

QList<JournalEntry> JournalStore::findByPersonnelNo(const QString& personnelNo) {
    return selectEntries(QStringLiteral("WHERE personnel_no = ? ORDER BY exam_date DESC, protocol_no DESC"),
                         {personnelNo}, false, nullptr);
}

int JournalStore::examCount() {
    if (!open().ok)
        return 0;
    QSqlQuery q(m_db);
    return q.exec(QStringLiteral("SELECT count(*) FROM exams")) && q.next() ? q.value(0).toInt() : 0;
}

} // namespace zet
