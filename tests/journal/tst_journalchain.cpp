// The chain of exams in the journal: a grade changed, an answer or an exam taken out, a row
// slipped in and a day-file record edited afterwards are each found and named, in the local
// journal and on a real PostgreSQL server; an older journal gets its links after the start.

#include "archive/dayfile.h"
#include "archive/monthnames.h"
#include "cli/journalcommand.h"
#include "cli/protocolcommand.h"
#include "documents/journalpaperwork.h"
#include "journal/archiveimport.h"
#include "journal/journal.h"
#include "journal/journalverify.h"
#include "model/cp1251.h"
#include "postgresfixture.h"
#include "testentries.h"

#include <QFile>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace zet;

namespace {

const QString kStation = QStringLiteral("Класс-1");
constexpr int kExams = 5;

JournalConfig localConfig() {
    JournalConfig c;
    c.workstation = kStation;
    return c;
}

void recordExams(Journal& journal) {
    for (int n = 0; n < kExams; ++n)
        QVERIFY(journal.record(test::finishedExam(kStation, n)).ok);
}

bool run(QSqlDatabase db, const QString& sql) {
    QSqlQuery q(db);
    if (q.exec(sql))
        return true;
    qWarning() << sql << q.lastError().text();
    return false;
}

void checkOneFinding(const IntegrityReport& report, IntegrityFinding::Kind kind, int protocolNo,
                     const QString& name) {
    QVERIFY2(report.errors.isEmpty(), qPrintable(report.errors.join('\n')));
    QCOMPARE(report.findings.size(), 1);
    const IntegrityFinding& f = report.findings.first();
    QCOMPARE(int(f.kind), int(kind));
    QCOMPARE(f.workstation, kStation);
    QCOMPARE(f.protocolNo, protocolNo);
    QCOMPARE(f.fullName, name);
    QVERIFY(f.text().contains(name));
}

} // namespace

class TestJournalChain : public QObject {
    Q_OBJECT
    test::PostgresFixture m_server;

private slots:
    void initTestCase() {
        const QString failed = m_server.init();
        QVERIFY2(failed.isEmpty(), qPrintable(failed));
    }

    // Exams 1..5 have protocol numbers 1..5 and the names «Иванов И.И. 0» .. «Иванов И.И. 4».
    void tamperLocal_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("protocolNo");
        QTest::addColumn<QString>("name");
        QTest::newRow("grade changed") << QStringLiteral("UPDATE exams SET grade = 5 WHERE protocol_no = 3")
                                       << int(IntegrityFinding::Kind::Changed) << 3
                                       << QStringLiteral("Иванов И.И. 2");
        QTest::newRow("answer deleted")
            << QStringLiteral("DELETE FROM answers WHERE position = 1 AND exam_id = "
                              "(SELECT id FROM exams WHERE protocol_no = 2)")
            << int(IntegrityFinding::Kind::Changed) << 2 << QStringLiteral("Иванов И.И. 1");
        QTest::newRow("exam deleted") << QStringLiteral("DELETE FROM exams WHERE protocol_no = 3")
                                      << int(IntegrityFinding::Kind::Deleted) << 4
                                      << QStringLiteral("Иванов И.И. 3");
        QTest::newRow("exam inserted")
            << QStringLiteral(
                   "INSERT INTO exams (id, workstation, exam_date, protocol_no, profile_no, profile_name,"
                   " test_name, database_path, full_name, birth_year, job_title, seniority, personnel_no,"
                   " grade, asked, right_answers, seconds_spent, imported)"
                   " SELECT '6f1c3a52-0000-4000-8000-000000000009', workstation, exam_date, 9, profile_no,"
                   " profile_name, test_name, database_path, 'Подставной П.П.', birth_year, job_title,"
                   " seniority, personnel_no, 5, asked, right_answers, seconds_spent, imported"
                   " FROM exams WHERE protocol_no = 1")
            << int(IntegrityFinding::Kind::Inserted) << 9 << QStringLiteral("Подставной П.П.");
    }

    void tamperLocal() {
        QFETCH(QString, sql);
        QFETCH(int, kind);
        QFETCH(int, protocolNo);
        QFETCH(QString, name);
        QTemporaryDir folder;
        Journal journal(folder.path(), localConfig());
        recordExams(journal);
        const IntegrityReport before = journal.store().verify();
        QVERIFY(before.intact());
        QCOMPARE(before.checked, kExams);
        QVERIFY(run(journal.store().database(), sql));
        checkOneFinding(journal.store().verify(), IntegrityFinding::Kind(kind), protocolNo, name);
    }

    void tamperServer_data() { tamperLocal_data(); }

    void tamperServer() {
        QFETCH(QString, sql);
        QFETCH(int, kind);
        QFETCH(int, protocolNo);
        QFETCH(QString, name);
        QTemporaryDir folder;
        const JournalConfig config = m_server.config(m_server.createDatabase(), kStation);
        Journal journal(folder.path(), config);
        recordExams(journal);
        QVERIFY(journal.sendPending().ok);
        JournalServer server(config);
        const IntegrityReport before = server.verify();
        QVERIFY2(before.intact(), qPrintable(before.lines().join('\n')));
        QCOMPARE(before.checked, kExams);
        QVERIFY(run(server.database(), sql));
        checkOneFinding(server.verify(), IntegrityFinding::Kind(kind), protocolNo, name);
    }

    // A protocol over exams 1..5 prints a code; `protocol check` holds it against the journal
    // after sql. code: the code checked instead of the printed one.
    void protocolCheck_data() {
        QTest::addColumn<bool>("server");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("expected");
        const QString answerDeleted = QStringLiteral(
            "DELETE FROM answers WHERE position = 1 AND exam_id = (SELECT id FROM exams WHERE protocol_no = 2)");
        for (const bool server : {false, true}) {
            const char* where = server ? "server: " : "local: ";
            auto row = [&](const char* name) { return &QTest::newRow((where + QByteArray(name)).constData()); };
            *row("untouched") << server << QString() << QString() << 0 << QStringLiteral("без изменений");
            *row("grade changed") << server << QStringLiteral("UPDATE exams SET grade = 5 WHERE protocol_no = 3")
                                  << QString() << 1 << QStringLiteral("03.03.2024, протокол дня № 3, Иванов И.И. 2 — изменён");
            *row("answer deleted") << server << answerDeleted << QString() << 1
                                   << QStringLiteral("протокол дня № 2, Иванов И.И. 1 — изменён");
            *row("exam deleted") << server << QStringLiteral("DELETE FROM exams WHERE protocol_no = 4") << QString()
                                 << 1 << QStringLiteral("удалён из журнала");
            *row("exam taken from the protocol") << server << QStringLiteral("DELETE FROM protocol_exams WHERE exam_id ="
                                                                             " (SELECT id FROM exams WHERE protocol_no = 4)")
                                                 << QString() << 1 << QStringLiteral("Состав экзаменов протокола");
            *row("unknown protocol") << server << QString() << QStringLiteral("99-AAAA-AAAA") << 1
                                     << QStringLiteral("Протокола № 99 нет в журнале");
            *row("not a code") << server << QString() << QStringLiteral("1-7QK2") << 2
                               << QStringLiteral("не код проверки");
        }
    }

    void protocolCheck() {
        QFETCH(bool, server);
        QFETCH(QString, sql);
        QFETCH(QString, code);
        QFETCH(int, exitCode);
        QFETCH(QString, expected);
        QTemporaryDir folder;
        JournalConfig config = localConfig();
        if (server) {
            config = m_server.config(m_server.createDatabase(), kStation);
            QVERIFY(test::writeServerIni(folder.path(), config));
        }
        Journal journal(folder.path(), config);
        ProtocolContent content;
        for (int n = 0; n < kExams; ++n) {
            content.exams.append(test::finishedExam(kStation, n));
            QVERIFY(journal.record(content.exams.last()).ok);
        }
        if (server)
            QVERIFY(journal.sendPending().ok);
        JournalReader reader(folder.path());
        QVERIFY(reader.open(JournalReader::Source::ServerOnly).ok);
        QCOMPARE(reader.usesServer(), server);
        QVERIFY(numberProtocol(reader, 0, content, nullptr).ok);
        QVERIFY2(QRegularExpression(QStringLiteral("^1-[A-Z2-7]{4}-[A-Z2-7]{4}$")).match(content.checkCode).hasMatch(),
                 qPrintable(content.checkCode + content.checkNote));
        if (!sql.isEmpty())
            QVERIFY(run(reader.database(), sql));
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        const int result = runProtocolCommand({QStringLiteral("protocol"), QStringLiteral("check"),
                                               code.isEmpty() ? content.checkCode.toLower() : code,
                                               QStringLiteral("--folder"), folder.path()},
                                              outStream, errStream);
        QVERIFY2(result == exitCode, qPrintable(out + err));
        QVERIFY2((out + err).contains(expected), qPrintable(out + err));
    }

    // A journal of the layout before the chain: its rows wait for their links and are not
    // taken for rows slipped in; exams written meanwhile wait behind them; a row written past
    // the program meanwhile is never linked.
    void olderJournalGetsLinks() {
        QTemporaryDir folder;
        {
            Journal journal(folder.path(), localConfig());
            recordExams(journal);
            QSqlDatabase db = journal.store().database();
            // The layout before the chain's step (version 5), without the later steps either.
            for (const QString& sql :
                 {QStringLiteral("DROP TABLE staff"), QStringLiteral("DROP TABLE staff_assignments"),
                  QStringLiteral("DROP INDEX exams_department"), QStringLiteral("DROP INDEX exams_latest"),
                  QStringLiteral("ALTER TABLE exams DROP COLUMN department"),
                  QStringLiteral("DROP INDEX exams_chain"), QStringLiteral("DROP TABLE chain_pending"),
                  QStringLiteral("ALTER TABLE exams DROP COLUMN chain_seq"),
                  QStringLiteral("ALTER TABLE exams DROP COLUMN prev_hash"),
                  QStringLiteral("ALTER TABLE exams DROP COLUMN row_hash"),
                  QStringLiteral("PRAGMA user_version = 4")})
                QVERIFY(run(db, sql));
        }
        Journal journal(folder.path(), localConfig());
        IntegrityReport report = journal.store().verify();
        QVERIFY2(report.intact(), qPrintable(report.lines().join('\n')));
        QCOMPARE(report.unlinked, kExams);
        QCOMPARE(report.checked, 0);
        QCOMPARE(journal.store().unsent(10).size(), 0); // sent once they have their links

        QVERIFY(journal.record(test::finishedExam(kStation, kExams)).ok);
        QVERIFY(run(journal.store().database(),
                    QStringLiteral("INSERT INTO exams (id, workstation, exam_date, protocol_no, profile_no,"
                                   " profile_name, test_name, database_path, full_name, birth_year, job_title,"
                                   " seniority, personnel_no, grade, asked, right_answers, seconds_spent)"
                                   " VALUES ('6f1c3a52-0000-4000-8000-000000000042', 'Класс-1', '2024-03-09', 42,"
                                   " 1, 'п', '', '', 'Подставной П.П.', 1970, '', 1, '', 5, 3, 3, 10)")));
        QCOMPARE(journal.store().pendingLinks(), kExams + 1);
        int left = -1;
        QVERIFY(journal.store().linkPending(4, &left).ok);
        QCOMPARE(left, 2);
        QVERIFY(journal.store().linkPending(4, &left).ok);
        QCOMPARE(left, 0);

        report = journal.store().verify();
        QCOMPARE(report.unlinked, 0);
        QCOMPARE(report.checked, kExams + 1);
        checkOneFinding(report, IntegrityFinding::Kind::Inserted, 42, QStringLiteral("Подставной П.П."));
        QCOMPARE(journal.store().unsent(10).size(), kExams + 1);
    }

    // A day file edited after the exams: verify names the record, from the command line too.
    void dayFileEdited() {
        QTemporaryDir folder;
        QFile ini(QDir(folder.path()).filePath(JournalConfig::fileName()));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(QStringLiteral("[journal]\nworkstation=%1\n").arg(kStation).toUtf8());
        ini.close();
        const QDate day(2024, 3, 5);
        DayRegisterArray reg{};
        for (int n = 1; n <= 3; ++n) {
            ExamineeRecord& r = reg[n];
            r.protocolNo = int16(n);
            r.profileNo = 1;
            r.profileName = QStringLiteral("Основной");
            r.fullName = QStringLiteral("Петров П.П. %1").arg(n);
            r.birthYear = 1980;
            r.grade = int16(n + 1);
            r.askedCount = 10;
            r.rightCount = 7;
            r.timeSpent = 300;
        }
        const QString path = QDir(folder.path()).filePath(QStringLiteral("2024/%1/05.03.2024.txt").arg(monthNominative(3)));
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QVERIFY(DayArchive::writeRegisterTo(path, reg).ok);
        Journal journal(folder.path());
        QVERIFY(journal.store().recordImported(importedEntries(reg, kStation, day)).ok);
        IntegrityReport report = verifyDayFiles(journal.store(), folder.path(), kStation);
        QVERIFY2(report.intact(), qPrintable(report.lines().join('\n')));
        QCOMPARE(report.dayRecords, 3);

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray bytes = file.readAll();
        file.close();
        bytes.replace(encodeCp1251(QStringLiteral("Оценка за экзамен:  3")).bytes,
                      encodeCp1251(QStringLiteral("Оценка за экзамен:  5")).bytes);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        report = verifyDayFiles(journal.store(), folder.path(), kStation);
        checkOneFinding(report, IntegrityFinding::Kind::DayFile, 2, QStringLiteral("Петров П.П. 2"));

        QString output;
        QString errors;
        QTextStream out(&output);
        QTextStream err(&errors);
        QCOMPARE(runJournalCommand({QStringLiteral("verify"), QStringLiteral("--folder"), folder.path()}, out, err),
                 1);
        QVERIFY2(output.contains(QStringLiteral("протокол № 2, Петров П.П. 2")), qPrintable(output));
    }

    void configWarnings_data() {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<int>("permissions");
        QTest::addColumn<QString>("warning");
        QTest::addColumn<QString>("sslMode");
        const int own = int(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        const int all = own | int(QFileDevice::ReadGroup | QFileDevice::ReadOther);
        QTest::newRow("password closed") << QStringLiteral("password=x\nsslmode=verify-full") << own << QString()
                                         << QStringLiteral("verify-full");
        QTest::newRow("password open to all") << QStringLiteral("password=x") << all
                                              << QStringLiteral("chmod 600") << QString();
        QTest::newRow("no password, open") << QStringLiteral("sslmode=Require") << all << QString()
                                           << QStringLiteral("require");
        QTest::newRow("unknown sslmode") << QStringLiteral("sslmode=always") << own << QStringLiteral("«always»")
                                         << QString();
    }

    void configWarnings() {
        QFETCH(QString, ini);
        QFETCH(int, permissions);
        QFETCH(QString, warning);
        QFETCH(QString, sslMode);
        QTemporaryDir folder;
        QFile file(QDir(folder.path()).filePath(JournalConfig::fileName()));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(("[journal]\ndriver=postgresql\n" + ini + "\n").toUtf8());
        file.close();
        QVERIFY(file.setPermissions(QFileDevice::Permissions(permissions)));
        QString error;
        const JournalConfig config = JournalConfig::read(folder.path(), &error);
        QCOMPARE(config.sslMode, sslMode);
        if (warning.isEmpty())
            QVERIFY2(error.isEmpty(), qPrintable(error));
        else
            QVERIFY2(error.contains(warning), qPrintable(error));
    }

    // The TLS settings reach the driver in a form it takes, a path with blanks too.
    void tlsSettingsReachTheDriver() {
        JournalConfig config = m_server.config(m_server.createDatabase(), kStation);
        config.sslMode = QStringLiteral("disable");
        config.sslRootCert = QStringLiteral("/etc/centre's ca/root.crt");
        QCOMPARE(config.connectOptions(2),
                 QStringLiteral("connect_timeout=2;sslmode=disable;sslrootcert='/etc/centre\\'s ca/root.crt'"));
        JournalServer server(config);
        const JournalResult connected = server.connect();
        QVERIFY2(connected.ok, qPrintable(connected.error));
    }

    // The role README gives the workstations: it writes and reads exams but cannot change one.
    void insertOnlyRoleCannotChangeAnExam() {
        QTemporaryDir folder;
        const QString database = m_server.createDatabase();
        const JournalConfig owner = m_server.config(database, kStation);
        JournalServer made(owner);
        QVERIFY(made.connect().ok); // the owner makes the tables
        QSqlDatabase db = made.database();
        run(db, QStringLiteral("CREATE ROLE razividerur_station LOGIN"));
        for (const char* sql : {"GRANT SELECT ON journal_schema, chain_pending TO razividerur_station",
                                "GRANT SELECT, INSERT ON exams, answers TO razividerur_station",
                                "GRANT UPDATE (chain_seq, prev_hash, row_hash) ON exams TO razividerur_station"})
            QVERIFY(run(db, QLatin1String(sql)));

        JournalConfig station = owner;
        station.user = QStringLiteral("razividerur_station");
        Journal journal(folder.path(), station);
        recordExams(journal);
        const JournalResult sent = journal.sendPending();
        QVERIFY2(sent.ok, qPrintable(sent.error));
        JournalServer limited(station);
        QVERIFY(limited.verify().intact());
        QSqlQuery q(limited.database());
        QVERIFY(!q.exec(QStringLiteral("UPDATE exams SET grade = 5")));
        QVERIFY(!q.exec(QStringLiteral("DELETE FROM exams")));
        QVERIFY(!q.exec(QStringLiteral("DELETE FROM answers")));
        QVERIFY(!q.exec(QStringLiteral("UPDATE answers SET is_right = TRUE")));
        QCOMPARE(made.examCount(), kExams);
    }
};

QTEST_GUILESS_MAIN(TestJournalChain)
#include "tst_journalchain.moc"
