// The staff commands over one program folder, in order: a list is loaded, profiles are
// assigned, and the journal commands then know the people, their departments and who was
// never checked.

#include "cli/commandline.h"
#include "journal/journalstore.h"
#include "paperwork/paperworkmodule.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace zet;

class TestStaffCommand : public QObject {
    Q_OBJECT
    QTemporaryDir m_folder;

    QString path(const QString& name) const { return m_folder.filePath(name); }

private slots:
    void initTestCase() {
        // The paperwork linked into the test in place of its library.
        usePaperwork(&paperworkModule());
        QFile list(path(QStringLiteral("кадры.csv")));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write(QStringLiteral("Табельный номер;ФИО;Должность;Подразделение;Дата рождения;Дата приёма\n"
                                  "Т-1;Иванов Иван Иванович;электромонтёр;Цех 1;03.02.1980;20.05.2010\n"
                                  "Т-2;Сидоров Олег;слесарь;Цех 2;;\n")
                       .toUtf8());
        QVERIFY(list.flush());
        QFile empty(path(QStringLiteral("пустой.csv")));
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.write(QByteArrayLiteral("Табельный номер;ФИО\n"));
        QVERIFY(empty.flush());
        // Exams taken before the list came: one stored with its department, one without.
        JournalStore store(m_folder.path());
        for (const QString& number : {QStringLiteral("Т-1"), QStringLiteral("Т-2")}) {
            JournalEntry e;
            e.id = QUuid::createUuid();
            e.workstation = QStringLiteral("Класс-1");
            e.date = QDate(2024, 5, number == QStringLiteral("Т-1") ? 1 : 2);
            e.protocolNo = 1;
            e.profileNo = 2;
            e.personnelNo = number;
            e.fullName = QStringLiteral("как набрано");
            e.grade = 5;
            e.department = number == QStringLiteral("Т-1") ? QStringLiteral("Цех 1") : QString();
            QVERIFY(store.record(e).ok);
        }
    }

    void commands_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("expected"); // in the output, or in the errors when not done
        const QString folder = m_folder.path();
        auto row = [&](const char* name, QStringList args, int code, const QString& expected) {
            QTest::newRow(name) << (args << QStringLiteral("--folder") << folder) << code << expected;
        };
        row("import", {"staff", "import", path("кадры.csv")}, 0, "Добавлено: 2");
        row("nobody in the file", {"staff", "import", path("пустой.csv")}, 1, "список персонала не изменён");
        row("no file", {"staff", "import", path("нет.csv")}, 1, "нет.csv");
        row("job and department", {"staff", "assign", "--job", "слесарь", "--department", "Цех 1", "--profile", "1",
                                   "--every", "12"}, 2, "--job ДОЛЖНОСТЬ или --department");
        row("no period", {"staff", "assign", "--job", "слесарь", "--profile", "1"}, 2, "--every МЕСЯЦЕВ или --remove");
        row("profile 21", {"staff", "assign", "--job", "слесарь", "--profile", "21", "--every", "12"}, 1,
            "от 1 до 20");
        row("assign", {"staff", "assign", "--job", "ЭЛЕКТРОМОНТЕР", "--profile", "1", "--every", "12"}, 0,
            "Профиль 1 назначен для должности «ЭЛЕКТРОМОНТЕР»: проверка раз в 12 мес.");
        row("never checked", {"journal", "due", "--department", "цех 1"}, 0,
            "Т-1         Иванов Иван Иванович (Цех 1); профиль 1; не проверялся");
        row("only profile 2", {"journal", "due", "--profile", "2"}, 0, ": 2\n");
        row("unassigned", {"staff", "assign", "--job", "электромонтёр", "--profile", "1", "--remove"}, 0,
            "больше не назначен");
        row("departments filled", {"journal", "import-archive"}, 0, "вписано экзаменам: 1");
        row("register", {"journal", "register", "--department", "ЦЕХ 2", "--to", path("журнал.xlsx")}, 0,
            "): экзаменов 1, файл");
        row("register to csv", {"journal", "register", "--department", "Цех 2", "--to", path("журнал.csv")}, 2,
            "--to ФАЙЛ.xlsx");
    }

    void commands() {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, expected);
        QString output, errors;
        QTextStream out(&output), err(&errors);
        QCOMPARE(runCommand(args, out, err), code);
        QVERIFY2((code == 0 ? output : errors).contains(expected), qPrintable(output + errors));
    }
};

QTEST_GUILESS_MAIN(TestStaffCommand)
#include "tst_staffcommand.moc"
