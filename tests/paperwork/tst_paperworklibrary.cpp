// The paperwork as the program loads it from its library: every paperwork command of the real
// program, and the journal window of a main window; without the library a Russian message, no
// crash, and the rest of the program at work.

#include "app/appcore.h"
#include "journal/journalstore.h"
#include "testentries.h"
#include "ui/shell/mainwindow.h"
#include "ui/shell/messages.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace zet;
using namespace zet::ui;

class TestPaperworkLibrary : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(m_folder.isValid() && m_empty.isValid() && m_damaged.isValid());
        QFile damaged(QDir(m_damaged.path()).filePath(QStringLiteral("razividerur-paperwork.so")));
        QVERIFY(damaged.open(QIODevice::WriteOnly) && damaged.write("\x7f" "ELF, cut short") > 0);
        JournalStore store(m_folder.path());
        JournalEntry exam = test::finishedExam(QStringLiteral("Класс-1"), 4); // 05.03.2024
        exam.department = QStringLiteral("Цех 1");
        QVERIFY(store.record(exam).ok);
    }

    void commands_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("told");
        const QStringList journal{QStringLiteral("journal")};
        QTest::newRow("protocol") << QStringList{QStringLiteral("protocol"), QStringLiteral("--date"),
                                                 QStringLiteral("05.03.2024")}
                                  << QStringLiteral("protocol.pdf") << QStringLiteral("экзаменов: 1");
        QTest::newRow("export xlsx") << journal + QStringList{QStringLiteral("export")}
                                     << QStringLiteral("exams.xlsx") << QStringLiteral("Экзаменов выгружено: 1");
        QTest::newRow("export csv") << journal + QStringList{QStringLiteral("export")} << QStringLiteral("exams.csv")
                                    << QStringLiteral("Экзаменов выгружено: 1");
        QTest::newRow("due") << journal + QStringList{QStringLiteral("due")} << QStringLiteral("due.xlsx")
                             << QStringLiteral("Иванов И.И. 4");
        QTest::newRow("register") << journal + QStringList{QStringLiteral("register"), QStringLiteral("--department"),
                                                           QStringLiteral("Цех 1")}
                                  << QStringLiteral("register.xlsx") << QStringLiteral("экзаменов 1");
    }
    // Each paperwork command of the program, with its library beside it, without it and with
    // a damaged one.
    void commands() {
        QFETCH(QStringList, args);
        QFETCH(QString, file);
        QFETCH(QString, told);
        for (const QString& libraryDir : {QString(), m_empty.path(), m_damaged.path()}) {
            const bool withLibrary = libraryDir.isEmpty();
            const QString target = m_folder.filePath(file);
            QFile::remove(target);
            QProcess program;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            if (!withLibrary)
                env.insert(QStringLiteral("RAZIVIDERUR_PAPERWORK_DIR"), libraryDir);
            program.setProcessEnvironment(env);
            program.start(QStringLiteral(ZET_PROGRAM),
                          args + QStringList{QStringLiteral("--to"), target, QStringLiteral("--folder"), m_folder.path()});
            QVERIFY(program.waitForFinished(60000));
            const QString out = QString::fromUtf8(program.readAllStandardOutput());
            const QString err = QString::fromUtf8(program.readAllStandardError());
            QCOMPARE(program.exitStatus(), QProcess::NormalExit);
            QCOMPARE(program.exitCode(), withLibrary ? 0 : 1);
            if (withLibrary) {
                QVERIFY2(out.contains(told), qPrintable(out + err));
                QVERIFY(QFileInfo(target).size() > 0);
            } else {
                QVERIFY2(err.contains(QStringLiteral("протоколы и выгрузки недоступны")) && err.contains(libraryDir) &&
                             err.contains(libraryDir == m_empty.path() ? QStringLiteral("не найдена")
                                                                       : QStringLiteral("не загружается")),
                         qPrintable(err));
                QVERIFY(!QFileInfo::exists(target));
            }
        }
    }

    // A staff list saved as a workbook is read by the library too; without it the examiner is
    // told why and that a CSV list still loads.
    void staffWorkbook() {
        for (const bool withLibrary : {true, false}) {
            QTemporaryDir folder;
            QProcess program;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            if (!withLibrary)
                env.insert(QStringLiteral("RAZIVIDERUR_PAPERWORK_DIR"), m_empty.path());
            program.setProcessEnvironment(env);
            program.start(QStringLiteral(ZET_PROGRAM), {QStringLiteral("staff"), QStringLiteral("import"),
                                                        QStringLiteral(ZET_STAFF_WORKBOOK), QStringLiteral("--folder"),
                                                        folder.path()});
            QVERIFY(program.waitForFinished(60000));
            const QString out = QString::fromUtf8(program.readAllStandardOutput());
            const QString err = QString::fromUtf8(program.readAllStandardError());
            QCOMPARE(program.exitStatus(), QProcess::NormalExit);
            if (withLibrary) {
                QVERIFY2(program.exitCode() == 0 && out.contains(QStringLiteral("загружен")), qPrintable(out + err));
            } else {
                QVERIFY(program.exitCode() != 0);
                QVERIFY2(err.contains(QStringLiteral("Книгу Excel прочитать нельзя")) &&
                             err.contains(QStringLiteral("CSV")) && err.contains(QStringLiteral("не найдена")),
                         qPrintable(err));
            }
        }
    }

    // The journal window: without the library the examiner is told why and the exam mode still
    // opens; once the library is there, the window opens from it.
    void journalWindow() {
        QStringList messages;
        hooks().message = [&messages](const QString& text) { messages << text; };
        AppCore core;
        MainWindow main(core, MainWindowOptions{m_folder.path()});
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));

        qputenv("RAZIVIDERUR_PAPERWORK_DIR", QFile::encodeName(m_empty.path()));
        main.openJournal();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(QStringLiteral("Журнал результатов, протоколы и выгрузки недоступны")),
                 qPrintable(messages[0]));
        QVERIFY(!journalWindowOf(main));
        main.toggleExamMode();
        QCOMPARE(main.appMode(), MainWindow::modeIndex(MainWindow::Mode::Exam));
        main.toggleExamMode();

        qputenv("RAZIVIDERUR_PAPERWORK_DIR", ZET_PAPERWORK_DIR);
        main.openJournal();
        QCOMPARE(messages.size(), 1);
        QWidget* journal = journalWindowOf(main);
        QVERIFY(journal && journal->isVisible());
        // The list is read from the folder's journal.
        QTRY_VERIFY(countShown(journal).contains(QStringLiteral("Найдено экзаменов: 1")));
        journal->close();
        qunsetenv("RAZIVIDERUR_PAPERWORK_DIR");
        hooks() = MessageHooks{};
    }

private:
    static QString countShown(const QWidget* journal) {
        QString texts;
        for (const QLabel* label : journal->findChildren<QLabel*>())
            texts += label->text() + QLatin1Char('\n');
        return texts;
    }
    static QWidget* journalWindowOf(const MainWindow& main) {
        for (QWidget* w : main.findChildren<QWidget*>())
            if (w->isWindow() && w->windowTitle() == QStringLiteral("Журнал результатов"))
                return w;
        return nullptr;
    }

    QTemporaryDir m_folder;
    QTemporaryDir m_empty;
    QTemporaryDir m_damaged; // a file of the library's name that is no library
};

QTEST_MAIN(TestPaperworkLibrary)
#include "tst_paperworklibrary.moc"
