// The exam centre's journal on a real PostgreSQL server of the test's own: two workstations
// sending at the same time, and a server stopped in the middle of a day.

#include "app/journalsender.h"
#include "archive/dayfile.h"
#include "cli/journalcommand.h"
#include "documents/journalpaperwork.h"
#include "paperwork/paperworkmodule.h"
#include "journal/archiveimport.h"
#include "journal/journal.h"
#include "journal/journalrows.h"
#include "journal/journalserver.h"
#include "postgresfixture.h"
#include "testentries.h"

#include <QScopeGuard>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

using namespace zet;

namespace {

// Rows on the server: exams, distinct exam ids, answers.
struct ServerRows {
    int exams = -1;
    int ids = -1;
    int answers = -1;
};

ServerRows serverRows(JournalServer& server) {
    ServerRows rows;
    if (!server.connect().ok)
        return rows;
    QSqlQuery q(server.database());
    if (q.exec(QStringLiteral("SELECT count(*), count(DISTINCT id) FROM exams")) && q.next()) {
        rows.exams = q.value(0).toInt();
        rows.ids = q.value(1).toInt();
    }
    if (q.exec(QStringLiteral("SELECT count(*) FROM answers")) && q.next())
        rows.answers = q.value(0).toInt();
    return rows;
}

} // namespace

class TestJournalServer : public QObject {
    Q_OBJECT
    test::PostgresFixture m_server;

private slots:
    void initTestCase() {
        // The paperwork linked into the test in place of its library.
        usePaperwork(&paperworkModule());
        const QString failed = m_server.init();
        QVERIFY2(failed.isEmpty(), qPrintable(failed));
    }

    void twoWorkstationsAtOnce() {
        const QString database = m_server.createDatabase();
        constexpr int kExams = 25;
        QTemporaryDir first;
        QTemporaryDir second;
        QStringList failures[2];
        auto workstation = [&](int index, const QString& folder) {
            // Each workstation its own program folder, journal and connections, as two PCs would.
            const QString name = QStringLiteral("Класс-%1").arg(index + 1);
            Journal journal(folder, m_server.config(database, name));
            for (int n = 0; n < kExams; ++n) {
                const JournalResult recorded = journal.record(test::finishedExam(name, n, 4));
                const JournalResult sent = journal.sendPending();
                if (!recorded.ok || !sent.ok)
                    failures[index].append(recorded.error + sent.error);
            }
        };
        std::thread a(workstation, 0, first.path());
        std::thread b(workstation, 1, second.path());
        a.join();
        b.join();
        QVERIFY2(failures[0].isEmpty(), qPrintable(failures[0].join('\n')));
        QVERIFY2(failures[1].isEmpty(), qPrintable(failures[1].join('\n')));

        JournalServer server(m_server.config(database, QString()));
        const ServerRows rows = serverRows(server);
        QCOMPARE(rows.exams, 2 * kExams);
        QCOMPARE(rows.ids, 2 * kExams);
        QCOMPARE(rows.answers, 2 * kExams * 4);
        QSqlQuery q(server.database());
        QVERIFY(q.exec(QStringLiteral("SELECT count(DISTINCT workstation), min(full_name) FROM exams")) &&
                q.next());
        QCOMPARE(q.value(0).toInt(), 2);
        QCOMPARE(q.value(1).toString(), QStringLiteral("Иванов И.И. 0"));
        QCOMPARE(server.countByPersonnelNo(QStringLiteral("А-3")), 2);
    }

    // A queue after a long outage goes in statements of many rows each: every exam and answer
    // arrives once with its own values, across the statements' bounds, also when part of the
    // queue was sent before and one exam clashes with another under its key.
    void longQueueInFewStatements() {
        const QString database = m_server.createDatabase();
        JournalServer server(m_server.config(database, QStringLiteral("Класс-1")));
        QList<JournalEntry> queue;
        for (int n = 0; n < 1100; ++n)
            queue.append(test::finishedExam(QStringLiteral("Класс-1"), n, 2 + n % 2));
        QVERIFY(server.send(queue.first(600)).ok);
        JournalEntry other = queue.at(10);
        other.fullName = QStringLiteral("Другой человек");
        QList<JournalEntry> again = queue;
        again.insert(700, other);
        QList<JournalEntry> clashes;
        const JournalResult sent = server.send(again, {}, &clashes);
        QVERIFY2(sent.ok, qPrintable(sent.error));
        QCOMPARE(clashes, QList<JournalEntry>{other});

        int answers = 0;
        for (const JournalEntry& e : std::as_const(queue))
            answers += int(e.answers.size());
        const ServerRows rows = serverRows(server);
        QCOMPARE(rows.exams, 1100);
        QCOMPARE(rows.answers, answers);
        QSqlQuery q(server.database());
        QVERIFY(q.exec(QStringLiteral("SELECT e.id::text, e.full_name, e.personnel_no, count(a.position),"
                                      " string_agg(a.answer_text, '|' ORDER BY a.position)"
                                      " FROM exams e JOIN answers a ON a.exam_id = e.id GROUP BY e.id")));
        QHash<QString, QString> onServer;
        while (q.next())
            onServer.insert(q.value(0).toString(), QStringList{q.value(1).toString(), q.value(2).toString(),
                                                                q.value(3).toString(), q.value(4).toString()}
                                                       .join('/'));
        for (const JournalEntry& e : std::as_const(queue)) {
            QStringList texts;
            for (const JournalAnswer& a : e.answers)
                texts << a.answerText;
            QCOMPARE(onServer.value(idText(e.id)), QStringList({e.fullName, e.personnelNo,
                                                                QString::number(e.answers.size()),
                                                                texts.join('|')})
                                                       .join('/'));
        }
    }

    // Whatever an exam's texts hold arrives as written: the server's copy fits the chain the
    // workstation made over its own values, answers included.
    void awkwardValuesArriveAsWritten_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("started");
        QTest::addColumn<int>("questions");
        QTest::newRow("quotes and backslashes") << QStringLiteral("Д'Артаньян \"Шарль\" C:\\путь\\") << true << 3;
        QTest::newRow("line breaks, tab, control") << QStringLiteral("строка\nвторая\r\tтаб \x01\x1f конец") << true
                                                    << 2;
        QTest::newRow("outside the basic plane") << QStringLiteral("Ёлкин 😀 𝔸 ∑ /* -- ; ?") << true << 1;
        QTest::newRow("no start, no answers") << QStringLiteral("{\"a\": [1, null]} $1 ::json") << false << 0;
    }

    void awkwardValuesArriveAsWritten() {
        QFETCH(QString, text);
        QFETCH(bool, started);
        QFETCH(int, questions);
        const QString database = m_server.createDatabase();
        QTemporaryDir folder;
        const JournalConfig config = m_server.config(database, QStringLiteral("Класс-1"));
        Journal journal(folder.path(), config);
        JournalEntry e = test::finishedExam(QStringLiteral("Класс-1"), 1, questions);
        e.fullName = text;
        e.jobTitle = text + text;
        if (!started)
            e.startedAt = QDateTime();
        for (JournalAnswer& a : e.answers)
            a.answerText = text;
        QVERIFY(journal.record(e).ok);
        const JournalResult sent = journal.sendPending();
        QVERIFY2(sent.ok, qPrintable(sent.error));

        JournalServer server(config);
        const IntegrityReport report = server.verify();
        QVERIFY2(report.intact(), qPrintable(report.errors.join('\n')));
        QCOMPARE(report.checked, 1);
        QSqlQuery q(server.database());
        QVERIFY(q.exec(QStringLiteral("SELECT full_name, job_title, started_at IS NULL, finished_at,"
                                      " (SELECT count(*) FROM answers WHERE answer_text = e.full_name) FROM exams e")));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), text);
        QCOMPARE(q.value(1).toString(), text + text);
        QCOMPARE(q.value(2).toBool(), !started);
        QCOMPARE(q.value(3).toDateTime(), e.finishedAt);
        QCOMPARE(q.value(4).toInt(), questions);
    }

    // A server made by an older version gets the search indexes' short waiting lists at the
    // next connection, and keeps its exams.
    void olderServerIsBroughtUpToDate() {
        const QString database = m_server.createDatabase();
        const JournalConfig config = m_server.config(database, QStringLiteral("Класс-1"));
        {
            JournalServer old(config);
            QVERIFY(old.send({test::finishedExam(QStringLiteral("Класс-1"), 1)}).ok);
            QSqlQuery q(old.database());
            QVERIFY(q.exec(QStringLiteral("ALTER INDEX exams_search_name RESET (gin_pending_list_limit)")));
            QVERIFY(q.exec(QStringLiteral("ALTER INDEX exams_search_personnel_no RESET (gin_pending_list_limit)")));
            QVERIFY(q.exec(QStringLiteral("UPDATE journal_schema SET version = 3")));
        }
        JournalServer server(config);
        QCOMPARE(server.examCount(), 1);
        QSqlQuery q(server.database());
        QVERIFY(q.exec(QStringLiteral("SELECT count(*) FROM pg_class WHERE relname LIKE 'exams_search_%'"
                                      " AND 'gin_pending_list_limit=256' = ANY(reloptions)")));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 2);
    }

    // The program sends on a thread of its own, with its own connections; a request made while
    // a send runs is carried out after it.
    void sendingThread() {
        const QString database = m_server.createDatabase();
        QTemporaryDir folder;
        const JournalConfig config = m_server.config(database, QStringLiteral("Класс-1"));
        Journal journal(folder.path(), config);
        for (int n = 0; n < 3; ++n)
            QVERIFY(journal.record(test::finishedExam(QStringLiteral("Класс-1"), n)).ok);

        JournalSender sender(folder.path(), config);
        QSignalSpy sent(&sender, &JournalSender::sent);
        sender.requestSend();
        QVERIFY(sender.isSending());
        QVERIFY(journal.record(test::finishedExam(QStringLiteral("Класс-1"), 3)).ok);
        sender.requestSend();
        QTRY_COMPARE_WITH_TIMEOUT(sent.count(), 2, 20000);
        QVERIFY(!sender.isSending());
        for (const QList<QVariant>& outcome : sent)
            QVERIFY2(outcome.at(0).toBool(), qPrintable(outcome.at(1).toString()));
        QCOMPARE(journal.store().unsentCount(), 0);
        JournalServer direct(config);
        QCOMPARE(serverRows(direct).exams, 4);
    }

    void serverStoppedDuringTheDay() {
        const QString database = m_server.createDatabase();
        QTemporaryDir folder;
        const JournalConfig config = m_server.config(database, QStringLiteral("Класс-1"));
        Journal journal(folder.path(), config);
        for (int n = 0; n < 5; ++n) {
            QVERIFY(journal.record(test::finishedExam(QStringLiteral("Класс-1"), n)).ok);
            QVERIFY(journal.sendPending().ok);
        }

        m_server.stop();
        for (int n = 5; n < 12; ++n) {
            // The exam is kept locally whatever the server does.
            QVERIFY(journal.record(test::finishedExam(QStringLiteral("Класс-1"), n)).ok);
            const JournalResult sent = journal.sendPending();
            QVERIFY(!sent.ok);
            QVERIFY2(sent.error.contains(m_server.socketFolder()), qPrintable(sent.error));
            QVERIFY(!sent.error.contains(config.password));
        }
        QCOMPARE(journal.store().unsentCount(), 7);

        QCOMPARE(m_server.start(), QString());
        // Some exams reach the server but the workstation dies before noting it: sent again later.
        JournalServer direct(config);
        QVERIFY(direct.send(journal.store().unsent(3)).ok);

        int sent = 0;
        const JournalResult after = journal.sendPending(&sent);
        QVERIFY2(after.ok, qPrintable(after.error));
        QCOMPARE(sent, 7);
        QCOMPARE(journal.store().unsentCount(), 0);
        const ServerRows rows = serverRows(direct);
        QCOMPARE(rows.exams, 12);
        QCOMPARE(rows.ids, 12);
        QCOMPARE(rows.answers, 12 * 3);
    }

    // Two program folders under one workstation name (a copied journal.ini) import archives
    // of the same day: every exam reaches the server. An exam whose key the server holds for
    // another exam is reported by name and not counted as sent.
    void sameWorkstationInTwoFolders() {
        const QString database = m_server.createDatabase();
        const JournalConfig config = m_server.config(database, QStringLiteral("Класс-1"));
        const QDate day(2024, 3, 1);
        QTemporaryDir folders[2];
        for (int f = 0; f < 2; ++f) {
            DayRegisterArray reg{};
            for (int n = 1; n <= 3; ++n) {
                reg[n].protocolNo = int16(n);
                reg[n].profileNo = 1;
                reg[n].fullName = QStringLiteral("Папка %1, экзамен %2").arg(f).arg(n);
                reg[n].grade = 5;
            }
            const QString folder = folders[f].path() + QLatin1Char('/');
            QVERIFY(QDir().mkpath(monthFolderFor(folder, day)));
            QVERIFY(DayArchive::writeRegisterTo(dayFilePathFor(folder, day), reg).ok);
            Journal journal(folder, config);
            QVERIFY(importArchive(journal.store(), folder, config.workstation).result.ok);
            int sent = 0;
            const JournalResult result = journal.sendPending(&sent);
            QVERIFY2(result.ok, qPrintable(result.error));
            QCOMPARE(sent, 3);
        }
        JournalServer direct(config);
        QCOMPARE(serverRows(direct).exams, 6);

        // The key of the first folder's exam 1, given to another exam in the second folder.
        Journal second(folders[1].path(), config);
        JournalEntry other = test::finishedExam(QStringLiteral("Класс-1"), 7);
        other.id = importedExamId(config.workstation, day, 1, programFolderId(folders[0].path()));
        QVERIFY(second.record(other).ok);
        int sent = -1;
        const JournalResult clash = second.sendPending(&sent);
        QVERIFY(!clash.ok);
        QVERIFY2(clash.error.contains(other.fullName), qPrintable(clash.error));
        QCOMPARE(sent, 0);
        QCOMPARE(second.store().unsentCount(), 1);
        QCOMPARE(serverRows(direct).exams, 6);
    }

    // With the server named in journal.ini stopped, the commands refuse rather than make a
    // document of this workstation's exams only; --local makes it, and a protocol says so.
    void serverDownRefusesWithoutLocal() {
        const QString database = m_server.createDatabase();
        QTemporaryDir folder;
        const JournalConfig config = m_server.config(database, QStringLiteral("Класс-1"));
        QVERIFY(test::writeServerIni(folder.path(), config));
        QVERIFY(Journal(folder.path(), config).record(test::finishedExam(QStringLiteral("Класс-1"), 1)).ok);
        m_server.stop();
        auto restart = qScopeGuard([this] { m_server.start(); });
        const QString csv = folder.filePath(QStringLiteral("журнал.csv"));
        for (const QStringList& args : {QStringList{QStringLiteral("export"), QStringLiteral("--to"), csv},
                                        QStringList{QStringLiteral("due")}}) {
            for (const bool local : {false, true}) {
                QString out, err;
                QTextStream outStream(&out), errStream(&err);
                QStringList words = args;
                words << QStringLiteral("--folder") << folder.path();
                if (local)
                    words << QStringLiteral("--local");
                const int code = runJournalCommand(words, outStream, errStream);
                QVERIFY2(code == (local ? 0 : 1), qPrintable(err));
                if (!local)
                    QVERIFY2(err.contains(QStringLiteral("--local")), qPrintable(err));
            }
        }
        ProtocolContent content;
        QVERIFY(protocolContent(folder.path(), {}, {}, content).ok);
        QVERIFY2(content.sourceNote.contains(QStringLiteral("«Класс-1»")), qPrintable(content.sourceNote));
        QVERIFY(protocolHtml(content).contains(content.sourceNote));
    }

    void unreachableServerIsNamed() {
        JournalConfig config = m_server.config(QStringLiteral("journal"), QStringLiteral("Класс-1"));
        config.host = QStringLiteral("127.0.0.1");
        config.port = 1; // nothing listens there
        JournalServer server(config);
        const JournalResult result = server.connect();
        QVERIFY(!result.ok);
        QVERIFY2(result.error.contains(QStringLiteral("127.0.0.1:1")), qPrintable(result.error));
        QVERIFY(result.error.contains(QStringLiteral("Нет связи с сервером журнала")));
        QVERIFY(!result.error.contains(config.password));
    }
};

QTEST_GUILESS_MAIN(TestJournalServer)
#include "tst_journalserver.moc"
