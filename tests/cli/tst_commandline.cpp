// The command line: commands are told from window options, and wrong words are refused.

#include "archive/dayfile.h"
#include "cli/commandline.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace zet;

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void windowOptions_data();
    void windowOptions();
    void commandsAndHelp();
    void wrongArgumentsWithoutDisplay_data();
    void wrongArgumentsWithoutDisplay();
    void importIntoAPipeDrawsNoProgress();
};

void TestCommandLine::windowOptions_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<bool>("quitAfterStart");
    QTest::newRow("none") << QStringList{} << true << false;
    QTest::newRow("folder") << QStringList{QStringLiteral("--folder"), QStringLiteral("@")} << true << false;
    QTest::newRow("folder=") << QStringList{QStringLiteral("--folder=@")} << true << false;
    QTest::newRow("quit after start") << QStringList{QStringLiteral("--quit-after-start")} << true << true;
    QTest::newRow("folder missing") << QStringList{QStringLiteral("--folder")} << false << false;
    QTest::newRow("unknown") << QStringList{QStringLiteral("--fast")} << false << false;
}

void TestCommandLine::windowOptions() {
    QFETCH(QStringList, args);
    QFETCH(bool, accepted);
    QFETCH(bool, quitAfterStart);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("новая папка"));
    args.replaceInStrings(QStringLiteral("@"), folder);
    QString errors;
    QTextStream err(&errors);
    const std::optional<WindowOptions> options = parseWindowOptions(args, err);
    QCOMPARE(options.has_value(), accepted);
    QCOMPARE(errors.isEmpty(), accepted);
    if (!options)
        return;
    QCOMPARE(options->quitAfterStart, quitAfterStart);
    if (!options->programFolder.isEmpty()) {
        QCOMPARE(options->programFolder, folder);
        QVERIFY(QFileInfo(folder).isDir());
    }
}

void TestCommandLine::commandsAndHelp() {
    QVERIFY(!isCommand({}));
    QVERIFY(!isCommand({QStringLiteral("--folder"), QStringLiteral("x")}));
    QVERIFY(isCommand({QStringLiteral("questions"), QStringLiteral("export")}));
    QString output, errors;
    QTextStream out(&output), err(&errors);
    QCOMPARE(runCommand({QStringLiteral("--help")}, out, err), 0);
    QVERIFY(output.contains(QStringLiteral("journal import-archive")));
    QVERIFY(output.contains(QStringLiteral("[--groups 0,1,…|нет] [--strict]")));
    QCOMPARE(runCommand({QStringLiteral("questions")}, out, err), 2);
    QVERIFY(!errors.isEmpty());
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"

// The real program with no display at all: wrong arguments are told with the usage and exit
// code 2, before the window system is asked for (and Qt's own options are not refused).
void TestCommandLine::wrongArgumentsWithoutDisplay_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("told");
    QTest::newRow("unknown") << QStringList{QStringLiteral("--bogus")} << QStringLiteral("--bogus");
    QTest::newRow("bare folder") << QStringList{QStringLiteral("--folder")} << QStringLiteral("--folder");
    QTest::newRow("after a Qt option")
        << QStringList{QStringLiteral("-style"), QStringLiteral("fusion"), QStringLiteral("--fast")}
        << QStringLiteral("--fast");
}

void TestCommandLine::wrongArgumentsWithoutDisplay() {
    QFETCH(QStringList, args);
    QFETCH(QString, told);
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(ZET_PROGRAM), args);
    QVERIFY(program.waitForFinished(20000));
    const QString errors = QString::fromUtf8(program.readAllStandardError());
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 2);
    QVERIFY2(errors.contains(told) && errors.contains(QStringLiteral("razividerur [--folder")), qPrintable(errors));
}

// An archive import whose output goes into a pipe (a log): the summary, and no count drawn over
// itself with carriage returns.
void TestCommandLine::importIntoAPipeDrawsNoProgress() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("2010/Декабрь")));
    DayRegisterArray reg{};
    reg[1].fullName = QStringLiteral("Иванов И.И.");
    reg[1].grade = 5;
    for (const char* day : {"02.12.2010", "03.12.2010", "06.12.2010"}) {
        const QString path = dir.filePath(QStringLiteral("2010/Декабрь/%1.txt").arg(QLatin1String(day)));
        QVERIFY(DayArchive::writeRegisterTo(path, reg).ok);
    }
    QProcess program;
    program.start(QStringLiteral(ZET_PROGRAM),
                  {QStringLiteral("journal"), QStringLiteral("import-archive"), QStringLiteral("--folder"), dir.path()});
    QVERIFY(program.waitForFinished(60000));
    const QString output = QString::fromUtf8(program.readAllStandardOutput());
    QCOMPARE(program.exitCode(), 0);
    QVERIFY2(output.contains(QStringLiteral("Файлов дня: 3, прочитано: 3")), qPrintable(output));
    QVERIFY2(!output.contains(QLatin1Char('\r')), qPrintable(output));
}
