// The local journal (SQLite) used directly: writing and reading back, one row per exam id,
// the upgrade of an older layout, the outbox, and journal.ini.

#include "journal/journal.h"
#include "journal/journalconfig.h"
#include "journal/journalquery.h"
#include "journal/journalstore.h"
#include "testentries.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>

#include <sys/resource.h>

using namespace zet;

namespace {

int answerRows(const QString& journalPath) {
    int count = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("count"));
        db.setDatabaseName(journalPath);
        QSqlQuery q(db.open() ? db : QSqlDatabase());
        if (q.exec(QStringLiteral("SELECT count(*) FROM answers")) && q.next())
            count = q.value(0).toInt();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("count"));
    return count;
}

} // namespace

class TestJournalStore : public QObject {
    Q_OBJECT
private slots:
    void recordsOnceAndReadsBack() {
        QTemporaryDir dir;
        JournalStore store(dir.path());
        const JournalEntry exam = test::finishedExam(QStringLiteral("Класс-1"), 7, 5);
        QVERIFY(store.record(exam).ok);
        QVERIFY(store.record(exam).ok); // the same exam again, e.g. from the outbox
        QCOMPARE(store.examCount(), 1);
        QCOMPARE(answerRows(store.path()), 5);
        const auto back = store.find(exam.id);
        QVERIFY(back.has_value());
        QCOMPARE(*back, exam);
        QCOMPARE(store.unsentCount(), 1);

        QVERIFY(store.record(test::finishedExam(QStringLiteral("Класс-1"), 8)).ok);
        const QList<JournalEntry> byPerson = store.findByPersonnelNo(QStringLiteral("А-7"));
        QCOMPARE(byPerson.size(), 1);
        QCOMPARE(byPerson.first().fullName, exam.fullName);
        QVERIFY(store.markSent({exam.id}).ok);
        const QList<JournalEntry> waiting = store.unsent(10);
        QCOMPARE(waiting.size(), 1);
        QCOMPARE(waiting.first().personnelNo, QStringLiteral("А-8"));
    }

    void upgradesVersion1WithoutLosingRows() {
        QTemporaryDir dir;
        const QString path = dir.filePath(JournalStore::fileName());
        const QString id = QUuid::createUuid().toString(QUuid::WithoutBraces);
        {
            // The first layout of the journal, as an older program left it.
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("v1"));
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec(
                "CREATE TABLE exams (id TEXT PRIMARY KEY, workstation TEXT NOT NULL, exam_date TEXT NOT NULL,"
                " protocol_no INTEGER NOT NULL, profile_no INTEGER NOT NULL, profile_name TEXT NOT NULL,"
                " test_name TEXT NOT NULL, database_path TEXT NOT NULL, full_name TEXT NOT NULL,"
                " birth_year INTEGER NOT NULL, job_title TEXT NOT NULL, seniority INTEGER NOT NULL,"
                " personnel_no TEXT NOT NULL, grade INTEGER NOT NULL, asked INTEGER NOT NULL,"
                " right_answers INTEGER NOT NULL, seconds_spent INTEGER NOT NULL, started_at TEXT,"
                " finished_at TEXT)"));
            QVERIFY(
                q.exec("CREATE TABLE answers (exam_id TEXT NOT NULL REFERENCES exams(id) ON DELETE CASCADE,"
                       " position INTEGER NOT NULL, theme INTEGER NOT NULL, question_no INTEGER NOT NULL,"
                       " question_text TEXT NOT NULL, answer_text TEXT NOT NULL, is_right INTEGER NOT NULL,"
                       " seconds INTEGER NOT NULL, PRIMARY KEY (exam_id, position))"));
            QVERIFY(q.exec(
                QStringLiteral("INSERT INTO exams VALUES ('%1', 'Класс-1', '2023-05-02', 3, 2, 'Основной',"
                               " 'Тест', 'Data.zet', 'Петров П.П.', 1980, 'электрик', 5, 'Т-9', 5, 2, 2,"
                               " 61, '2023-05-02T07:00:00.000Z', '2023-05-02T07:01:01.000Z')")
                    .arg(id)));
            QVERIFY(
                q.exec(QStringLiteral("INSERT INTO answers VALUES ('%1', 1, 1, 4, 'Вопрос', 'Ответ', 1, 30),"
                                      " ('%1', 2, 3, 7, 'Вопрос 2', 'Ответ 2', 1, 31)")
                           .arg(id)));
            QVERIFY(q.exec(QStringLiteral("PRAGMA user_version=1")));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("v1"));

        JournalStore store(dir.path());
        const JournalResult opened = store.open();
        QVERIFY2(opened.ok, qPrintable(opened.error));
        QCOMPARE(store.schemaVersion(), JournalStore::kSchemaVersion);
        const auto old = store.find(QUuid::fromString(id));
        QVERIFY(old.has_value());
        QCOMPARE(old->fullName, QStringLiteral("Петров П.П."));
        QCOMPARE(old->answers.size(), 2);
        QCOMPARE(old->answers.at(1).questionNo, 7);
        QVERIFY(!old->answers.at(1).rightAnswerText.has_value()); // not kept then: unknown
        QVERIFY(!old->imported);
        QCOMPARE(old->finishedAt, QDateTime(QDate(2023, 5, 2), QTime(7, 1, 1), Qt::UTC));
        // The upgraded journal does what a new one does: old rows wait to be sent, lookups work.
        QCOMPARE(store.unsentCount(), 1);
        QCOMPARE(store.findByPersonnelNo(QStringLiteral("Т-9")).size(), 1);
        QVERIFY(store.record(test::finishedExam(QStringLiteral("Класс-1"), 1)).ok);
        QCOMPARE(store.examCount(), 2);
        // The rows kept from before have their search text filled in.
        JournalQuery query(dir.path());
        JournalFilter byName;
        byName.text = QStringLiteral("ПЕТРОВ");
        QCOMPARE(query.count(byName), 1);
    }

    void leavesANewerJournalAlone() {
        QTemporaryDir dir;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("newer"));
            db.setDatabaseName(dir.filePath(JournalStore::fileName()));
            QVERIFY(db.open());
            QVERIFY(QSqlQuery(db).exec(
                QStringLiteral("PRAGMA user_version=%1").arg(JournalStore::kSchemaVersion + 1)));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("newer"));
        JournalStore store(dir.path());
        const JournalResult result = store.record(test::finishedExam(QStringLiteral("Класс-1"), 1));
        QVERIFY(!result.ok);
        QVERIFY2(result.error.contains(QStringLiteral("более новой версией")), qPrintable(result.error));
        QCOMPARE(store.outboxCount(), 1);
    }

    void outboxKeepsExamsUntilTheJournalCanBeWritten() {
        QTemporaryDir dir;
        JournalStore store(dir.path());
        // Something that is not a database stands where the journal belongs.
        QFile blocker(store.path());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.write(QByteArray(4096, 'x'));
        blocker.close();

        const JournalEntry first = test::finishedExam(QStringLiteral("Класс-1"), 1);
        const JournalEntry second = test::finishedExam(QStringLiteral("Класс-1"), 2);
        const JournalResult failed = store.record(first);
        QVERIFY(!failed.ok);
        QVERIFY2(failed.error.contains(JournalStore::outboxFileName()), qPrintable(failed.error));
        QVERIFY(!store.record(first).ok);
        QVERIFY(!store.record(second).ok);
        QCOMPARE(store.outboxCount(), 2);

        QVERIFY(QFile::remove(store.path()));
        const JournalEntry third = test::finishedExam(QStringLiteral("Класс-1"), 3);
        const JournalResult written = store.record(third);
        QVERIFY2(written.ok, qPrintable(written.error));
        QCOMPARE(store.examCount(), 3);
        QVERIFY(!QFile::exists(store.outboxPath()));
        QCOMPARE(store.find(first.id)->answers, first.answers);

        // An outbox left over by a crash after its exams went in adds nothing.
        QVERIFY(JournalOutbox(store.outboxPath()).add(second).ok);
        QVERIFY(store.flushOutbox().ok);
        QCOMPARE(store.examCount(), 3);
        QCOMPARE(answerRows(store.path()), 9);
        QVERIFY(!QFile::exists(store.outboxPath()));
    }

    // A damaged outbox is copied aside untouched and read as far as it goes; the examiner hears
    // of it once, and the exam being written is written and says so.
    void damagedOutboxIsSetAsideOnce_data() {
        QTest::addColumn<QByteArray>("damage"); // what follows the first two exams
        QTest::addColumn<int>("readable");
        QTest::newRow("cut in the third exam") << QByteArray(",\n{\"id\": \"{6c1f0e52-") << 2;
        QTest::newRow("empty file") << QByteArray() << 0;
        QTest::newRow("not an array") << QByteArray("{\"a\": 1}") << 0;
    }
    void damagedOutboxIsSetAsideOnce() {
        QFETCH(QByteArray, damage);
        QFETCH(int, readable);
        QTemporaryDir dir;
        JournalStore store(dir.path());
        const QList<JournalEntry> waiting = {test::finishedExam(QStringLiteral("Класс-1"), 1),
                                             test::finishedExam(QStringLiteral("Класс-1"), 2)};
        QByteArray bytes = damage;
        if (readable > 0) {
            bytes = JournalOutbox::fileBytes(waiting).trimmed();
            bytes.chop(1); // the closing bracket
            bytes += damage;
        }
        QFile outbox(store.outboxPath());
        QVERIFY(outbox.open(QIODevice::WriteOnly));
        outbox.write(bytes);
        outbox.close();

        const JournalRecordResult recorded = store.record(test::finishedExam(QStringLiteral("Класс-1"), 3));
        QVERIFY2(recorded.ok, qPrintable(recorded.error));
        QCOMPARE(store.examCount(), 1 + readable);
        const QString notes = store.takeNotes();
        QVERIFY2(notes.contains(QStringLiteral("journal.outbox.json.bak")), qPrintable(notes));
        QFile copy(store.outboxPath() + QStringLiteral(".bak"));
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), bytes);
        QVERIFY(!QFile::exists(store.outboxPath()));
        QVERIFY(store.record(test::finishedExam(QStringLiteral("Класс-1"), 4)).ok);
        QCOMPARE(store.takeNotes(), QString());
    }

    // A damaged outbox that cannot even be copied aside (no file may grow past the limit set
    // here, as on a full disk) stays as it is; the examiner hears of it once, not at every exam.
    void unsavableDamagedOutboxIsToldOnce() {
        QTemporaryDir dir;
        JournalStore store(dir.path());
        QVERIFY(store.open().ok);
        QByteArray bytes = JournalOutbox::fileBytes({test::finishedExam(QStringLiteral("Класс-1"), 1)}).trimmed();
        bytes.chop(1);
        bytes += ",\n{\"id\": \"" + QByteArray(2 << 20, 'x');
        QFile outbox(store.outboxPath());
        QVERIFY(outbox.open(QIODevice::WriteOnly));
        outbox.write(bytes);
        outbox.close();

        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        const rlim_t before = limit.rlim_cur;
        limit.rlim_cur = 1 << 20; // the journal fits, the copy does not
        setrlimit(RLIMIT_FSIZE, &limit);
        QStringList notes;
        for (int n = 2; n <= 4; ++n) {
            QVERIFY(store.record(test::finishedExam(QStringLiteral("Класс-1"), n)).ok);
            notes << store.takeNotes();
        }
        limit.rlim_cur = before;
        setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, oldHandler);

        QVERIFY2(notes.first().contains(QStringLiteral("оставлен как есть")), qPrintable(notes.first()));
        QCOMPARE(notes.mid(1), QStringList({QString(), QString()}));
        QCOMPARE(store.examCount(), 4);
        QVERIFY(!QFile::exists(store.outboxPath() + QStringLiteral(".bak")));
        QCOMPARE(QFileInfo(store.outboxPath()).size(), bytes.size());
    }

    // The journal file deleted or replaced while the program runs: the next exam goes into the
    // journal on disk, with its answers, and the examiner hears of it.
    void journalFileGoneIsMadeAnew_data() {
        QTest::addColumn<bool>("replaced");
        QTest::newRow("deleted") << false;
        QTest::newRow("replaced by another journal") << true;
    }
    void journalFileGoneIsMadeAnew() {
        QFETCH(bool, replaced);
        QTemporaryDir dir, other;
        JournalStore store(dir.path());
        QVERIFY(store.record(test::finishedExam(QStringLiteral("Класс-1"), 1)).ok);
        QVERIFY(QFile::remove(store.path()));
        if (replaced) {
            JournalStore elsewhere(other.path());
            QVERIFY(elsewhere.open().ok);
        }
        if (replaced)
            QVERIFY(QFile::rename(other.filePath(JournalStore::fileName()), store.path()));
        const JournalEntry next = test::finishedExam(QStringLiteral("Класс-1"), 2);
        QVERIFY(store.record(next).ok);
        QVERIFY(!store.takeNotes().isEmpty());

        JournalStore reader(dir.path());
        QCOMPARE(reader.examCount(), 1);
        QCOMPARE(reader.find(next.id)->answers, next.answers);
        QVERIFY(store.record(test::finishedExam(QStringLiteral("Класс-1"), 3)).ok);
        QCOMPARE(store.takeNotes(), QString());
        QCOMPARE(reader.examCount(), 2);
    }

    // The sending thread marks exams sent on a connection of its own while an exam is written:
    // the write waits for the other's commit instead of finding what it read outdated, and the
    // exam goes into the journal, not to the outbox.
    void writesAfterAnotherConnectionCommits() {
        QTemporaryDir dir;
        JournalStore writer(dir.path());
        QVERIFY(writer.record(test::finishedExam(QStringLiteral("Класс-1"), 0)).ok);
        std::atomic<int> stage{0};
        std::thread sender([&] {
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("sender"));
                db.setDatabaseName(writer.path());
                QSqlQuery q(db.open() ? db : QSqlDatabase());
                const bool holding = q.exec(QStringLiteral("BEGIN IMMEDIATE")) &&
                                     q.exec(QStringLiteral("UPDATE exams SET sent_at = '2024-03-01T10:00:00Z'"));
                stage.store(holding ? 1 : -1);
                // Long enough for the write below to have begun and to wait.
                std::this_thread::sleep_for(std::chrono::milliseconds(500));
                q.exec(QStringLiteral("COMMIT"));
            }
            QSqlDatabase::removeDatabase(QStringLiteral("sender"));
        });
        while (stage.load() == 0)
            std::this_thread::yield();
        const JournalRecordResult recorded = writer.record(test::finishedExam(QStringLiteral("Класс-1"), 1));
        sender.join();
        QCOMPARE(stage.load(), 1);
        QVERIFY2(recorded.kept == JournalRecordResult::Kept::Journal, qPrintable(recorded.error));
        QCOMPARE(writer.examCount(), 2);
        QCOMPARE(writer.unsentCount(), 1);
    }

    // A journal held by another program is told in Russian, not in SQLite's words.
    void busyJournalIsToldInRussian() {
        QTemporaryDir dir;
        JournalStore store(dir.path());
        QVERIFY(store.open().ok);
        {
            QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("holder"));
            other.setDatabaseName(store.path());
            QVERIFY(other.open());
            QSqlQuery hold(other);
            QVERIFY(hold.exec(QStringLiteral("BEGIN EXCLUSIVE")));
            const JournalRecordResult recorded = store.record(test::finishedExam(QStringLiteral("Класс-1"), 1));
            QCOMPARE(recorded.kept, JournalRecordResult::Kept::Outbox);
            QVERIFY2(recorded.error.contains(QStringLiteral("журнал занят")) &&
                         !recorded.error.contains(QStringLiteral("locked")),
                     qPrintable(recorded.error));
            hold.exec(QStringLiteral("ROLLBACK"));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("holder"));
    }

    void readsJournalIni_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<bool>("server");
        QTest::addColumn<QString>("workstation");
        QTest::addColumn<int>("port");
        QTest::addColumn<bool>("complaint");
        QTest::newRow("no file") << QByteArray() << false << defaultWorkstationName() << 5432 << false;
        QTest::newRow("server with comments")
            << QByteArray("[journal]\ndriver=postgresql          ; sqlite (default) or postgresql\n"
                          "host=10.0.0.5\nport=6543\ndatabase=razividerur\nuser=examiner\n"
                          "password=\"a;b,c\"\nworkstation=Класс-1        ; optional\n")
            << true << QStringLiteral("Класс-1") << 6543 << false;
        QTest::newRow("unknown driver") << QByteArray("[journal]\ndriver=oracle\nport=99999\n") << false
                                        << defaultWorkstationName() << 5432 << true;
    }
    void readsJournalIni() {
        QFETCH(QByteArray, ini);
        QFETCH(bool, server);
        QFETCH(QString, workstation);
        QFETCH(int, port);
        QFETCH(bool, complaint);
        QTemporaryDir dir;
        if (!ini.isEmpty()) {
            QFile f(dir.filePath(JournalConfig::fileName()));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(ini);
            f.close();
            QVERIFY(f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)); // its password kept closed
        }
        QString error;
        const JournalConfig config = JournalConfig::read(dir.path(), &error);
        QCOMPARE(config.usesServer(), server);
        QCOMPARE(config.workstation, workstation);
        QCOMPARE(config.port, port);
        QCOMPARE(!error.isEmpty(), complaint);
        if (server) {
            QCOMPARE(config.host, QStringLiteral("10.0.0.5"));
            QCOMPARE(config.password, QStringLiteral("a;b,c"));
            QVERIFY(!config.serverText().contains(config.password));
        }
        // The journal takes its workstation from the file.
        QCOMPARE(Journal(dir.path()).newEntry().workstation, workstation);
    }
};

QTEST_GUILESS_MAIN(TestJournalStore)
#include "tst_journalstore.moc"
