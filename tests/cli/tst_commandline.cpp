// The command line: commands are told from window options, and wrong words are refused.

#include "cli/commandline.h"

#include <QTemporaryDir>
#include <QTest>

using namespace zet;

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void windowOptions_data();
    void windowOptions();
    void commandsAndHelp();
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
