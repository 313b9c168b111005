// Reports over a journal built by the test: question statistics of a filter and the re-check
// due list, the same on the local SQLite journal and on a PostgreSQL server; the settings
// file of the paperwork.

#include "cli/journalcommand.h"
#include "journal/journalreports.h"
#include "journal/journalserver.h"
#include "journal/journalstore.h"
#include "journal/protocolnumbers.h"
#include "paperwork/paperworkmodule.h"
#include "postgresfixture.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace zet;

namespace {

struct Asked {
    int theme;
    int questionNo;
    bool right;
};

JournalEntry exam(const QString& personnelNo, const QString& fullName, const QDate& date, int profileNo, int grade,
                  const QList<Asked>& asked = {}, const QString& workstation = QStringLiteral("Класс-1")) {
    JournalEntry e;
    e.id = QUuid::createUuid();
    e.workstation = workstation;
    e.date = date;
    e.protocolNo = date.day();
    e.profileNo = profileNo;
    e.profileName = QStringLiteral("Профиль %1").arg(profileNo);
    e.fullName = fullName;
    e.jobTitle = QStringLiteral("электромонтёр");
    e.personnelNo = personnelNo;
    e.grade = grade;
    e.asked = int(asked.size());
    e.startedAt = QDateTime(date, QTime(10, 0), Qt::UTC);
    e.finishedAt = e.startedAt.addSecs(300);
    int position = 0;
    for (const Asked& a : asked) {
        e.right += a.right ? 1 : 0;
        e.answers.append({++position, a.theme, a.questionNo,
                          QStringLiteral("Вопрос %1.%2: допуск «под напряжением»?").arg(a.theme).arg(a.questionNo),
                          QStringLiteral("Ответ"), a.right, 10});
    }
    return e;
}

// Three exams with answers, and the passes and failures the due list is made of.
QList<JournalEntry> journalOfTheTest() {
    return {
        exam(QStringLiteral("Т-1"), QStringLiteral("Иванов Иван"), {2024, 3, 1}, 1, 4,
             {{1, 1, true}, {1, 2, false}, {2, 5, false}}),
        exam(QStringLiteral("Т-2"), QStringLiteral("Сидоров Олег"), {2024, 3, 2}, 1, 2, {{1, 1, false}, {1, 2, false}}),
        exam(QStringLiteral("Т-1"), QStringLiteral("Иванов Иван"), {2024, 4, 10}, 2, 3, {{1, 1, false}}),
        // Failed after the pass: the fail decides.
        exam(QStringLiteral("Т-1"), QStringLiteral("Иванов Иван"), {2024, 5, 1}, 1, 2),
        exam(QStringLiteral("Т-1"), QStringLiteral("Иванов Иван"), {2024, 10, 10}, 2, 5),
        // One person without a personnel number, typed two ways.
        exam(QString(), QStringLiteral("Петров  Пётр"), {2024, 6, 1}, 1, 5),
        exam(QString(), QStringLiteral("петров петр"), {2024, 9, 1}, 1, 4),
        // Six months from the last day of August end on the last day of February.
        exam(QStringLiteral("Т-3"), QStringLiteral("Котова Анна"), {2024, 8, 31}, 2, 4, {}, QStringLiteral("Класс-2")),
        // A fail under a profile without its own re-check days: 30 days.
        exam(QStringLiteral("Т-4"), QStringLiteral("Орлова Вера"), {2025, 3, 1}, 3, 2),
    };
}

QString statisticsText(const QList<QuestionStatistic>& statistics) {
    QStringList parts;
    for (const QuestionStatistic& s : statistics)
        parts << QStringLiteral("%1.%2:%3/%4").arg(s.theme).arg(s.questionNo).arg(s.wrong).arg(s.asked);
    return parts.join(QLatin1Char(' '));
}

QString dueText(const QList<DueEntry>& due) {
    QStringList parts;
    for (const DueEntry& d : due)
        parts << QStringLiteral("%1/%2 %3 %4 %5%6")
                     .arg(d.personnelNo.isEmpty() ? d.fullName : d.personnelNo)
                     .arg(d.profileNo)
                     .arg(d.lastExam.toString(Qt::ISODate), d.due.toString(Qt::ISODate))
                     .arg(d.daysLeft)
                     .arg(d.failed() ? QStringLiteral(" не сдал") : QString());
    return parts.join(QStringLiteral("; "));
}

} // namespace

class TestJournalReports : public QObject {
    Q_OBJECT
    QTemporaryDir m_folder;
    QTemporaryDir m_serverFolder; // its journal.ini names the server's journal
    test::PostgresFixture m_postgres;
    std::unique_ptr<JournalReader> m_local;
    std::unique_ptr<JournalServer> m_server;

    QSqlDatabase database(const QString& backend) {
        if (backend == QLatin1String("postgresql")) {
            if (!m_server)
                QTest::qSkip("no PostgreSQL server", __FILE__, __LINE__);
            return m_server ? m_server->database() : QSqlDatabase();
        }
        return m_local->database();
    }

    void addBackends() {
        QTest::addColumn<QString>("backend");
    }

private slots:
    void initTestCase() {
        // The paperwork linked into the test in place of its library.
        usePaperwork(&paperworkModule());
        const QList<JournalEntry> entries = journalOfTheTest();
        {
            JournalStore store(m_folder.path());
            for (const JournalEntry& e : entries)
                QVERIFY2(store.record(e).ok, "recorded");
        }
        m_local = std::make_unique<JournalReader>(m_folder.path());
        QVERIFY(m_local->open().ok);
        QVERIFY(!m_local->usesServer());

        const QString failed = m_postgres.init();
        if (!failed.isEmpty()) {
            qWarning("PostgreSQL cases are skipped: %s", qPrintable(failed));
            return;
        }
        const JournalConfig config = m_postgres.config(m_postgres.createDatabase(), QString());
        m_server = std::make_unique<JournalServer>(config);
        QVERIFY(m_server->send(entries).ok);
        QFile ini(m_serverFolder.filePath(JournalConfig::fileName()));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(QStringLiteral("[journal]\ndriver=postgresql\nhost=%1\nport=%2\ndatabase=%3\nuser=%4\nworkstation=Класс-1\n")
                      .arg(config.host)
                      .arg(config.port)
                      .arg(config.database, config.user)
                      .toUtf8());
    }

    // journal export with the journal window's filters; a wrong value is refused with exit code 2.
    void exportCommand_data() {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QStringList>("filter");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("expected"); // in the output, or in the errors when refused
        auto found = [](int n) { return QStringLiteral("Экзаменов выгружено: %1 ").arg(n); };
        for (const QString& backend : {QStringLiteral("sqlite"), QStringLiteral("postgresql")}) {
            const QByteArray b = backend.toUtf8();
            auto row = [&](const char* name, const QStringList& filter, int n) {
                QTest::newRow(b + ' ' + name) << backend << filter << 0 << found(n);
            };
            row("name, any case", {QStringLiteral("--name"), QStringLiteral("ИВАНОВ")}, 4);
            row("name, ё as е", {QStringLiteral("--name"), QStringLiteral("пётр")}, 2);
            row("name is not the number", {QStringLiteral("--name"), QStringLiteral("т-1")}, 0);
            row("personnel number", {QStringLiteral("--personnel-no"), QStringLiteral("т-3")}, 1);
            row("number is not the name", {QStringLiteral("--personnel-no"), QStringLiteral("Анна")}, 0);
            row("profile number", {QStringLiteral("--profile"), QStringLiteral("2")}, 3);
            row("profile name", {QStringLiteral("--profile"), QStringLiteral("Профиль 3")}, 1);
            row("grade", {QStringLiteral("--grade"), QStringLiteral("2")}, 3);
            row("workstation", {QStringLiteral("--workstation"), QStringLiteral("Класс-2")}, 1);
            row("together", {QStringLiteral("--profile"), QStringLiteral("1"), QStringLiteral("--grade"),
                             QStringLiteral("2"), QStringLiteral("--from"), QStringLiteral("01.04.2024")}, 1);
        }
        QTest::newRow("grade 7") << QStringLiteral("sqlite") << QStringList{QStringLiteral("--grade"), QStringLiteral("7")}
                                 << 2 << QStringLiteral("После --grade нужна оценка от 2 до 5, а не «7».");
    }

    void exportCommand() {
        QFETCH(QString, backend);
        QFETCH(QStringList, filter);
        QFETCH(int, code);
        QFETCH(QString, expected);
        database(backend); // skips without a server
        const QString folder = backend == QLatin1String("sqlite") ? m_folder.path() : m_serverFolder.path();
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        const QStringList args = QStringList{QStringLiteral("export"), QStringLiteral("--to"),
                                             m_serverFolder.filePath(QStringLiteral("выгрузка.csv")),
                                             QStringLiteral("--folder"), folder}
                                 + filter;
        QCOMPARE(runJournalCommand(args, outStream, errStream), code);
        QVERIFY2((code == 0 ? out : err).contains(expected), qPrintable(out + err));
    }

    void questionStatistics_data() {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("until");
        QTest::addColumn<int>("profileNo");
        QTest::addColumn<QString>("expected");
        for (const QString& backend : {QStringLiteral("sqlite"), QStringLiteral("postgresql")}) {
            const QByteArray b = backend.toUtf8();
            // Equal shares: more wrong answers first.
            QTest::newRow(b + " March") << backend << QDate(2024, 3, 1) << QDate(2024, 3, 31) << 0
                                        << QStringLiteral("1.2:2/2 2.5:1/1 1.1:1/2");
            QTest::newRow(b + " all") << backend << QDate() << QDate() << 0
                                      << QStringLiteral("1.2:2/2 2.5:1/1 1.1:2/3");
            QTest::newRow(b + " one day, both ends") << backend << QDate(2024, 3, 2) << QDate(2024, 3, 2) << 0
                                                     << QStringLiteral("1.1:1/1 1.2:1/1");
            QTest::newRow(b + " profile 2") << backend << QDate() << QDate() << 2 << QStringLiteral("1.1:1/1");
            QTest::newRow(b + " nothing") << backend << QDate(2025, 1, 1) << QDate() << 0 << QString();
        }
    }

    void questionStatistics() {
        QFETCH(QString, backend);
        QFETCH(QDate, from);
        QFETCH(QDate, until);
        QFETCH(int, profileNo);
        QFETCH(QString, expected);
        QList<QuestionStatistic> statistics;
        const JournalResult result =
            JournalReports(database(backend)).questionStatistics({from, until, profileNo, {}}, statistics);
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(statisticsText(statistics), expected);
        if (!statistics.isEmpty())
            QVERIFY(statistics.first().questionText.contains(QStringLiteral("«под напряжением»")));
    }

    void dueList_data() {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<int>("within");
        QTest::addColumn<QString>("expected");
        const QString all = QStringLiteral(
            "Т-2/1 2024-03-02 2024-03-16 -364 не сдал; Т-1/1 2024-05-01 2024-05-15 -304 не сдал; "
            "Т-3/2 2024-08-31 2025-02-28 -15; Т-4/3 2025-03-01 2025-03-31 16 не сдал; "
            "Т-1/2 2024-10-10 2025-04-10 26; петров петр/1 2024-09-01 2025-09-01 170");
        for (const QString& backend : {QStringLiteral("sqlite"), QStringLiteral("postgresql")}) {
            const QByteArray b = backend.toUtf8();
            QTest::newRow(b + " everyone") << backend << -1 << all;
            QTest::newRow(b + " within 30 days")
                << backend << 30 << all.left(all.lastIndexOf(QStringLiteral("; ")));
            QTest::newRow(b + " overdue") << backend << 0
                                          << all.left(all.indexOf(QStringLiteral("; Т-4/3")));
        }
    }

    void dueList() {
        QFETCH(QString, backend);
        QFETCH(int, within);
        QFETCH(QString, expected);
        RecheckPeriods periods;
        periods.months.insert(2, 6);
        periods.failedDays.insert(1, 14);
        QList<DueEntry> due;
        const JournalResult result = JournalReports(database(backend)).dueList(periods, QDate(2025, 3, 15), due);
        QVERIFY2(result.ok, qPrintable(result.error));
        if (within >= 0)
            due = dueWithin(due, within);
        QCOMPARE(dueText(due), expected);
        QCOMPARE(due.at(2).periodMonths, 6);
        QCOMPARE(due.at(1).periodMonths, RecheckPeriods::kDefaultMonths);
    }

    // Two exams of one person, profile and day: the later finish decides, whatever the protocol
    // numbers and however the personnel number was typed; a finished exam outranks an imported one.
    void dueListLatestOfOneDay_data() {
        addBackends();
        QTest::newRow("sqlite") << QStringLiteral("sqlite");
        QTest::newRow("postgresql") << QStringLiteral("postgresql");
    }
    void dueListLatestOfOneDay() {
        QFETCH(QString, backend);
        const QDate day(2025, 1, 10);
        auto at = [&](const QString& number, int hour, int protocolNo, int grade) {
            JournalEntry e = exam(number, QStringLiteral("Гусев Илья"), day, 1, grade);
            e.protocolNo = protocolNo;
            e.finishedAt = QDateTime(day, QTime(hour, 0), Qt::UTC);
            if (hour < 0) {
                e.finishedAt = e.startedAt = {};
                e.imported = true;
            }
            return e;
        };
        const QList<JournalEntry> entries = {at(QStringLiteral("т-7 "), 14, 1, 2), at(QStringLiteral("Т-7"), 9, 2, 5),
                                             at(QStringLiteral("Т-8"), 11, 1, 5), at(QStringLiteral("Т-8"), -1, 9, 2)};
        QTemporaryDir folder;
        std::unique_ptr<JournalServer> server;
        std::unique_ptr<JournalStore> store;
        QSqlDatabase db;
        if (backend == QLatin1String("postgresql")) {
            database(backend); // skips without a server
            server = std::make_unique<JournalServer>(m_postgres.config(m_postgres.createDatabase(), QString()));
            QVERIFY(server->connect().ok && server->send(entries).ok);
            db = server->database();
        } else {
            store = std::make_unique<JournalStore>(folder.path());
            for (const JournalEntry& e : entries)
                QVERIFY(store->record(e).ok);
            db = store->database();
        }
        QList<DueEntry> due;
        QVERIFY(JournalReports(db).dueList({}, QDate(2025, 1, 20), due).ok);
        QCOMPARE(dueText(due), QStringLiteral("т-7/1 2025-01-10 2025-02-09 20 не сдал; Т-8/1 2025-01-10 2026-01-10 355"));
    }

    // One sequence per journal; the same exams keep their number, in any order; a number set
    // by hand is kept and moves the sequence on; a number another protocol holds is refused.
    void protocolNumbers_data() {
        addBackends();
        QTest::newRow("sqlite") << QStringLiteral("sqlite");
        QTest::newRow("postgresql") << QStringLiteral("postgresql");
    }
    void protocolNumbers() {
        QFETCH(QString, backend);
        QSqlDatabase db = database(backend);
        const QUuid a = QUuid::createUuid(), b = QUuid::createUuid(), c = QUuid::createUuid();
        ProtocolNumbers numbers(db);
        struct Step {
            QList<QUuid> exams;
            int requested;
            int expected; // 0: refused
        };
        const QList<Step> steps = {{{a, b}, 0, 1}, {{c}, 0, 2},  {{b, a}, 0, 1},  {{a}, 0, 3}, {{c}, 10, 10},
                                   {{c}, 0, 10},   {{b}, 0, 11}, {{a, c}, 3, 0}, {{a, b}, 0, 1}};
        for (const Step& step : steps) {
            int number = -1;
            const JournalResult result = numbers.numberFor(step.exams, step.requested, number);
            QCOMPARE(result.ok, step.expected > 0);
            QCOMPARE(number, step.expected);
            if (!result.ok)
                QVERIFY2(result.error.contains(QStringLiteral("Номер 3 уже присвоен")), qPrintable(result.error));
        }
        // A second workstation on the same journal goes on with the same sequence.
        if (backend == QLatin1String("postgresql")) {
            JournalServer other(m_postgres.config(db.databaseName(), QString()));
            QVERIFY(other.connect().ok);
            int number = 0;
            QVERIFY(ProtocolNumbers(other.database()).numberFor({QUuid::createUuid()}, 0, number).ok);
            QCOMPARE(number, 12);
        }
    }

    void examsOfAPeriod() {
        QList<JournalEntry> exams;
        QVERIFY(JournalReports(m_local->database()).exams(ReportFilter{QDate(2024, 3, 2), QDate(2024, 6, 1), 0, {}}, exams).ok);
        QStringList dates;
        for (const JournalEntry& e : exams)
            dates << e.date.toString(Qt::ISODate) + QLatin1Char(' ') + e.fullName;
        QCOMPARE(dates, QStringList({QStringLiteral("2024-03-02 Сидоров Олег"), QStringLiteral("2024-04-10 Иванов Иван"),
                                     QStringLiteral("2024-05-01 Иванов Иван"), QStringLiteral("2024-06-01 Петров  Пётр")}));
        QCOMPARE(exams.at(1).startedAt, QDateTime(QDate(2024, 4, 10), QTime(10, 0), Qt::UTC));
    }

    void paperworkSettingsRoundTrip() {
        QTemporaryDir folder;
        PaperworkSettings file(folder.path());
        ProtocolSettings read;
        QVERIFY(file.readProtocol(read).ok);
        QCOMPARE(read, ProtocolSettings());

        ProtocolSettings written;
        written.organisation = QStringLiteral("АО «Северная энергосеть», филиал; цех № 3");
        written.order = QStringLiteral("Приказ № 15 от 10.01.2024 = «О комиссии»");
        written.chair = {QStringLiteral("Петров Пётр Петрович"), QStringLiteral("главный инженер")};
        written.members = {{QStringLiteral("Ёлкина Анна"), QStringLiteral("инженер по ОТ")},
                           {QStringLiteral("Смирнов С.С."), QString()}};
        written.programmes = {{3, QStringLiteral("Программа № 2, «Электробезопасность»")}};
        QVERIFY(file.writeProtocol(written).ok);
        RecheckPeriods periods;
        periods.months = {{3, 6}, {12, 36}};
        periods.failedDays = {{3, 10}};
        QVERIFY(file.writePeriods(periods).ok);
        // Writing the periods keeps the protocol settings, and the other way round.
        QVERIFY(file.readProtocol(read).ok);
        QCOMPARE(read, written);
        RecheckPeriods readPeriods;
        QVERIFY(file.readPeriods(readPeriods).ok);
        QCOMPARE(readPeriods, periods);
        QCOMPARE(readPeriods.monthsFor(4), 12);
        QCOMPARE(readPeriods.failedDaysFor(4), 30);

        periods.months.insert(5, 0);
        const JournalResult refused = file.writePeriods(periods);
        QVERIFY(!refused.ok);
        QVERIFY(refused.error.contains(QStringLiteral("профиля 5")));
        QVERIFY(file.readPeriods(readPeriods).ok);
        QVERIFY(!readPeriods.months.contains(5));

        QFile raw(file.path());
        QVERIFY(raw.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(raw.readAll()).contains(QStringLiteral("Петров Пётр Петрович")));

        // A file where the folder should be.
        QFile blocker(folder.filePath(QStringLiteral("занято")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const PaperworkSettings unwritable(blocker.fileName());
        QVERIFY(!unwritable.writeProtocol(written).ok);

        // A folder where protocol.ini should be is named as a folder.
        QTemporaryDir other;
        QVERIFY(QDir().mkdir(other.filePath(PaperworkSettings::fileName())));
        const JournalResult folderRead = PaperworkSettings(other.path()).readProtocol(read);
        QVERIFY(!folderRead.ok);
        QVERIFY2(folderRead.error.contains(QStringLiteral("папка")), qPrintable(folderRead.error));
    }
};

QTEST_GUILESS_MAIN(TestJournalReports)
#include "tst_journalreports.moc"
