// The staff list in the journal: a re-import updates, marks «уволен» and never touches exams;
// the due list covers the people the assignments name; the same on the local SQLite journal
// and on a PostgreSQL server, and through the program's owner with a server in journal.ini.

#include "app/stafflist.h"
#include "journal/journal.h"
#include "journal/journalreports.h"
#include "journal/journalserver.h"
#include "journal/journalstore.h"
#include "journal/staffstore.h"
#include "postgresfixture.h"
#include "testentries.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace zet;

namespace {

const QDate kToday(2025, 3, 15);

StaffRecord person(const QString& number, const QString& name, const QString& job, const QString& department,
                   int line) {
    return {number, name, job, department, QDate(1980, 2, 3), QDate(2010, 5, 20), line};
}

// The list as HR first gives it, and a month later.
StaffFile firstList() {
    return {{person("Т-1", "Иванов Иван", "электромонтёр", "Цех 1", 2),
             person("Т-2", "Сидоров Олег", "электромонтёр", "Цех 2", 3),
             person("Т-3", "Котова Анна", "инженер", "Цех 1", 4),
             person("Т-5", "Новиков Николай", "Электромонтёр", "Цех 1", 5)},
            {}};
}

StaffFile secondList() {
    return {{person("Т-1", "Иванов Иван", "электромонтёр", "Цех 1", 2),
             person("Т-2", "Сидоров  Олег", "электромонтёр", "Цех 3", 4), // moved; a double blank
             person("Т-5", "Новиков Николай", "Электромонтёр", "Цех 1", 5),
             person("Т-6", "Орлова Вера", "слесарь", "Цех 2", 6),
             person("Т-6", "Орлова В.", "слесарь", "Цех 2", 7), person(" ", "Без номера", "", "", 8)},
            {{3, QStringLiteral("нет Ф.И.О.")}}};
}

JournalEntry examOf(const QString& number, int profileNo, const QDate& date, int grade,
                    const QString& department = {}) {
    JournalEntry e = test::finishedExam(QStringLiteral("Класс-1"), date.day());
    e.personnelNo = number;
    e.fullName = QStringLiteral("как набрано ") + number;
    e.profileNo = profileNo;
    e.profileName = QStringLiteral("Профиль %1").arg(profileNo);
    e.date = date;
    e.grade = grade;
    e.department = department;
    e.answers.clear();
    return e;
}

QList<JournalEntry> examsOfTheTest() {
    return {examOf("Т-1", 1, {2024, 6, 1}, 5, "Цех 1"), examOf("Т-2", 1, {2025, 3, 1}, 2, "Цех 2"),
            examOf("Т-3", 1, {2024, 1, 10}, 4), examOf("Т-9", 1, {2024, 2, 2}, 4)};
}

QString dueText(const QList<DueEntry>& due) {
    QStringList parts;
    for (const DueEntry& d : due) {
        parts << QStringLiteral("%1/%2 %3 %4%5")
                     .arg(d.personnelNo)
                     .arg(d.profileNo)
                     .arg(d.due.toString(Qt::ISODate), d.department)
                     .arg(d.neverChecked() ? QStringLiteral(" не проверялся")
                                           : d.failed() ? QStringLiteral(" не сдал") : QString());
    }
    return parts.join(QStringLiteral("; "));
}

} // namespace

class TestStaffStore : public QObject {
    Q_OBJECT
    QTemporaryDir m_folder;
    test::PostgresFixture m_postgres;
    std::unique_ptr<JournalStore> m_local;
    std::unique_ptr<JournalServer> m_server;
    QString m_serverProblem;

    // The journal of a backend with the exams of the test and the first list loaded.
    QSqlDatabase journal(const QString& backend) {
        if (backend == QLatin1String("sqlite"))
            return m_local->database();
        if (!m_server)
            QTest::qSkip(qPrintable(m_serverProblem), __FILE__, __LINE__);
        return m_server ? m_server->database() : QSqlDatabase();
    }

    static void addBackends() {
        QTest::addColumn<QString>("backend");
    }

private slots:
    void initTestCase() {
        m_local = std::make_unique<JournalStore>(m_folder.path());
        for (const JournalEntry& e : examsOfTheTest())
            QVERIFY(m_local->record(e).ok);
        m_serverProblem = m_postgres.init();
        if (!m_serverProblem.isEmpty())
            return;
        m_server = std::make_unique<JournalServer>(m_postgres.config(m_postgres.createDatabase(), QString()));
        QVERIFY(m_server->send(examsOfTheTest()).ok);
    }

    // Loading the list twice: added, changed and dismissed by personnel number; the exams of
    // the dismissed stay; the merge's skips join the reader's in line order.
    void reimport_data() {
        addBackends();
        QTest::newRow("sqlite") << QStringLiteral("sqlite");
        QTest::newRow("postgresql") << QStringLiteral("postgresql");
    }
    void reimport() {
        QFETCH(QString, backend);
        StaffStore staff(journal(backend));
        StaffImportReport report;
        QVERIFY(staff.import(firstList(), kToday.addMonths(-1), report).ok);
        QCOMPARE(report.added, 4);
        const JournalResult second = staff.import(secondList(), kToday, report);
        QVERIFY2(second.ok, qPrintable(second.error));
        QCOMPARE((QList<int>{report.added, report.changed, report.dismissed, report.unchanged}),
                 (QList<int>{1, 1, 1, 2}));
        QCOMPARE(report.lines().mid(5), (QStringList{QStringLiteral("  строка 3: нет Ф.И.О."),
                                                     QStringLiteral("  строка 7: табельный номер Т-6 уже был в строке 6"),
                                                     QStringLiteral("  строка 8: нет табельного номера")}));
        // The same list again changes nothing, not even the day of a dismissal.
        QVERIFY(staff.import(secondList(), kToday.addDays(10), report).ok);
        QCOMPARE((QList<int>{report.added, report.changed, report.dismissed, report.unchanged}),
                 (QList<int>{0, 0, 0, 4}));
        QList<StaffPerson> people;
        QVERIFY(staff.people(people).ok);
        QStringList found;
        for (const StaffPerson& p : people)
            found << QStringLiteral("%1 %2 %3%4").arg(p.personnelNo, p.fullName, p.department,
                                                      p.dismissed ? " уволен " + p.dismissedOn.toString(Qt::ISODate) : "");
        QCOMPARE(found, (QStringList{"Т-1 Иванов Иван Цех 1", "Т-2 Сидоров Олег Цех 3",
                                     "Т-3 Котова Анна Цех 1 уволен 2025-03-15", "Т-5 Новиков Николай Цех 1",
                                     "Т-6 Орлова Вера Цех 2"}));
        QSqlQuery exams(journal(backend));
        QVERIFY(exams.exec("SELECT count(*) FROM exams WHERE personnel_no = 'Т-3'") && exams.next());
        QCOMPARE(exams.value(0).toInt(), 1);
        // An empty list would mark everyone «уволен»: it is refused and changes nothing.
        QVERIFY(!staff.import(StaffFile{{}, {{2, QStringLiteral("нет табельного номера")}}}, kToday, report).ok);
        QCOMPARE(staff.activeCount(), 4);
        // The completer: a beginning of the number or of the name, letter case and «ё» aside.
        QList<StaffPerson> suggested;
        QVERIFY(staff.find(QStringLiteral("т-"), 20, suggested).ok);
        QCOMPARE(suggested.size(), 4); // not the dismissed one
        QVERIFY(staff.find(QStringLiteral("ОРЛОВА в"), 20, suggested).ok);
        QCOMPARE(suggested.size(), 1);
    }

    // Everyone an assignment names is due: never checked today, a failure at its re-check
    // date, a pass after the assignment's period; the dismissed are left out; a person
    // outside the list keeps the profile's period.
    void dueList_data() {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QString>("department");
        QTest::addColumn<int>("profileNo");
        QTest::addColumn<QString>("expected");
        for (const QString& backend : {QStringLiteral("sqlite"), QStringLiteral("postgresql")}) {
            const QByteArray b = backend.toUtf8();
            QTest::newRow(b + " everyone")
                << backend << QString() << 0
                << QStringLiteral("Т-1/2 2025-03-15 Цех 1 не проверялся; Т-5/1 2025-03-15 Цех 1 не проверялся; "
                                  "Т-5/2 2025-03-15 Цех 1 не проверялся; Т-2/1 2025-03-31 Цех 3 не сдал; "
                                  "Т-1/1 2025-06-01 Цех 1; Т-9/1 2026-02-02 ");
            QTest::newRow(b + " department") << backend << QStringLiteral("цех 3") << 0
                                             << QStringLiteral("Т-2/1 2025-03-31 Цех 3 не сдал");
            QTest::newRow(b + " profile")
                << backend << QString() << 2
                << QStringLiteral("Т-1/2 2025-03-15 Цех 1 не проверялся; Т-5/2 2025-03-15 Цех 1 не проверялся");
        }
    }
    void dueList() {
        QFETCH(QString, backend);
        QFETCH(QString, department);
        QFETCH(int, profileNo);
        QFETCH(QString, expected);
        StaffStore staff(journal(backend));
        StaffImportReport report;
        QVERIFY(staff.import(firstList(), kToday, report).ok);
        QVERIFY(staff.import(secondList(), kToday, report).ok);
        using Kind = StaffAssignment::Kind;
        QVERIFY(staff.setAssignment({Kind::JobTitle, QStringLiteral("ЭЛЕКТРОМОНТЕР"), 1, 12}).ok);
        QVERIFY(staff.setAssignment({Kind::Department, QStringLiteral("Цех 1"), 2, 6}).ok);
        RecheckPeriods periods;
        periods.months.insert(1, 24);
        QList<DueEntry> due;
        const JournalResult result = JournalReports(journal(backend)).dueList(periods, kToday, due, {department, profileNo});
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(dueText(due), expected);
    }

    // Through the program's owner with a server in journal.ini: the list goes to the server,
    // the workstation reads its copy; without the server nothing is changed.
    void listOnTheServer() {
        journal(QStringLiteral("postgresql")); // skips without a server
        QTemporaryDir folder;
        const JournalConfig config = m_postgres.config(m_postgres.createDatabase(), QStringLiteral("Класс-2"));
        QVERIFY(test::writeServerIni(folder.path(), config));
        StaffList list([&] { return folder.path(); }, [] { return kToday; });
        StaffImportReport report;
        QVERIFY(list.isEmpty());
        QVERIFY(list.importRecords(firstList(), report).ok);
        QCOMPARE(list.departmentOf(QStringLiteral("Т-2")), QStringLiteral("Цех 2"));
        JournalServer server(config);
        QVERIFY(server.connect().ok);
        QCOMPARE(StaffStore(server.database()).activeCount(), 4);
        // Another workstation changed the list: the copy follows at the next refresh.
        QVERIFY(StaffStore(server.database()).import(secondList(), kToday, report).ok);
        QCOMPARE(list.departmentOf(QStringLiteral("Т-2")), QStringLiteral("Цех 2"));
        QVERIFY(Journal(folder.path()).refreshStaff().ok);
        QCOMPARE(list.departmentOf(QStringLiteral("Т-2")), QStringLiteral("Цех 3"));
        m_postgres.stop();
        const JournalResult refused = list.setAssignment({StaffAssignment::Kind::JobTitle, "слесарь", 3, 12});
        QVERIFY(m_postgres.start().isEmpty());
        QVERIFY(!refused.ok);
        QVERIFY2(refused.error.contains(QStringLiteral("список не изменён")), qPrintable(refused.error));
    }

    // A journal of the layout before the staff list keeps its exams and takes departments.
    void upgradeKeepsExams() {
        QTemporaryDir folder;
        {
            JournalStore store(folder.path());
            QVERIFY(store.record(examOf("Т-1", 1, {2024, 6, 1}, 5)).ok);
            QSqlQuery q(store.database());
            for (const char* sql : {"DROP TABLE staff", "DROP TABLE staff_assignments", "DROP INDEX exams_department",
                                    "DROP INDEX exams_latest", "ALTER TABLE exams DROP COLUMN department",
                                    "PRAGMA user_version = 5"})
                QVERIFY2(q.exec(QString::fromUtf8(sql)), sql);
        }
        JournalStore store(folder.path());
        QVERIFY(store.open().ok);
        QCOMPARE(store.examCount(), 1);
        StaffStore staff(store.database());
        StaffImportReport report;
        QVERIFY(staff.import(firstList(), kToday, report).ok);
        int filled = 0;
        QVERIFY(staff.fillExamDepartments(&filled).ok);
        QCOMPARE(filled, 1);
        QCOMPARE(store.findByPersonnelNo(QStringLiteral("Т-1")).value(0).department, QStringLiteral("Цех 1"));
        QVERIFY(store.verify().intact()); // the department is not part of the exam's hash
        QList<JournalEntry> register_;
        QVERIFY(JournalReports(store.database()).departmentRegister(QStringLiteral("ЦЕХ 1"), {}, {}, register_).ok);
        QCOMPARE(register_.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestStaffStore)
#include "tst_staffstore.moc"
