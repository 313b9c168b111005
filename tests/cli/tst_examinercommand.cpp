// The examiner's password on the command line: set, changed and removed through standard
// input, and asked by the commands that change data.

#include "app/examineraccess.h"
#include "cli/commandline.h"
#include "cli/examinercommand.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace zet;

namespace {

// Standard input that is not a terminal: one line after the other.
class ScriptedInput final : public PasswordInput {
public:
    explicit ScriptedInput(QStringList lines) : m_lines(std::move(lines)) {}
    bool isTerminal() const override { return false; }
    std::optional<QString> read(const QString&) override {
        if (m_lines.isEmpty())
            return std::nullopt;
        return m_lines.takeFirst();
    }
    QStringList m_lines;
};

struct Outcome {
    int status = -1;
    QString out, err;
    QStringList unread;
};

Outcome run(const QStringList& args, const QStringList& input) {
    ScriptedInput scripted(input);
    passwordInputOverride() = &scripted;
    Outcome o;
    QTextStream out(&o.out), err(&o.err);
    o.status = runCommand(args, out, err);
    passwordInputOverride() = nullptr;
    o.unread = scripted.m_lines;
    return o;
}

bool opens(const QString& folder, const QString& password) {
    ExaminerAccess access;
    access.setFolder(folder);
    return access.check(password).ok;
}

} // namespace

class TestExaminerCommand : public QObject {
    Q_OBJECT
private slots:
    void init();
    void setThroughStandardInput_data();
    void setThroughStandardInput();
    void commandsThatChangeDataAsk_data();
    void commandsThatChangeDataAsk();

private:
    QStringList passwordCommand() const {
        return {QStringLiteral("examiner"), QStringLiteral("password"), QStringLiteral("--folder"), m_dir->path()};
    }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestExaminerCommand::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestExaminerCommand::setThroughStandardInput_data() {
    QTest::addColumn<QStringList>("before"); // the lines that set a password first, if any
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("opensWith"); // empty: no password set afterwards

    const QStringList setFirst = {QStringLiteral("старый"), QStringLiteral("старый")};
    QTest::newRow("set") << QStringList() << QStringList{QStringLiteral("секрет 1"), QStringLiteral("секрет 1")}
                         << 0 << QStringLiteral("секрет 1");
    QTest::newRow("repeat differs") << QStringList()
                                    << QStringList{QStringLiteral("секрет"), QStringLiteral("секрт")} << 1
                                    << QString();
    QTest::newRow("input ends") << QStringList() << QStringList{QStringLiteral("секрет")} << 1 << QString();
    QTest::newRow("changed") << setFirst
                             << QStringList{QStringLiteral("старый"), QStringLiteral("новый"),
                                            QStringLiteral("новый")}
                             << 0 << QStringLiteral("новый");
    QTest::newRow("wrong current") << setFirst
                                   << QStringList{QStringLiteral("новый"), QStringLiteral("новый"),
                                                  QStringLiteral("новый")}
                                   << 1 << QStringLiteral("старый");
    QTest::newRow("removed") << setFirst << QStringList{QStringLiteral("старый"), QString(), QString()} << 0
                             << QString();
}

void TestExaminerCommand::setThroughStandardInput() {
    QFETCH(QStringList, before);
    QFETCH(QStringList, lines);
    QFETCH(int, status);
    QFETCH(QString, opensWith);

    if (!before.isEmpty())
        QCOMPARE(run(passwordCommand(), before).status, 0);
    const Outcome o = run(passwordCommand(), lines);
    QCOMPARE(o.status, status);
    QCOMPARE(o.err.isEmpty(), status == 0);
    QVERIFY(o.unread.isEmpty());
    const QString ini = QDir(m_dir->path()).filePath(QStringLiteral("access.ini"));
    QCOMPARE(QFile::exists(ini), !opensWith.isEmpty());
    if (!opensWith.isEmpty())
        QVERIFY(opens(m_dir->path(), opensWith));
}

void TestExaminerCommand::commandsThatChangeDataAsk_data() {
    QTest::addColumn<bool>("passwordSet");
    QTest::addColumn<bool>("passwordStdin");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<bool>("runs");

    const QStringList right = {QStringLiteral("секрет")};
    QTest::newRow("no password") << false << false << QStringList() << true;
    QTest::newRow("not asked for") << true << false << right << false;
    QTest::newRow("right one on stdin") << true << true << right << true;
    QTest::newRow("wrong one on stdin") << true << true << QStringList{QStringLiteral("нет")} << false;
    QTest::newRow("nothing on stdin") << true << true << QStringList() << false;
}

void TestExaminerCommand::commandsThatChangeDataAsk() {
    QFETCH(bool, passwordSet);
    QFETCH(bool, passwordStdin);
    QFETCH(QStringList, lines);
    QFETCH(bool, runs);

    if (passwordSet)
        QCOMPARE(run(passwordCommand(), {QStringLiteral("секрет"), QStringLiteral("секрет")}).status, 0);
    const QString folder = m_dir->path();
    const QString database = QDir(folder).filePath(QStringLiteral("Вопросы.zet"));
    const QString flag = passwordStdin ? QStringLiteral("--password-stdin") : QString();
    const QList<QStringList> commands = {
        {QStringLiteral("questions"), QStringLiteral("import"), QStringLiteral(ZET_TEST_DATA "/questionbank/golden.gift"),
         QStringLiteral("--into"), database, QStringLiteral("--folder"), folder},
        {QStringLiteral("journal"), QStringLiteral("import-archive"), QStringLiteral("--folder"), folder},
    };
    for (QStringList args : commands) {
        if (!flag.isEmpty())
            args << flag;
        const Outcome o = run(args, lines);
        QCOMPARE(o.status, runs ? 0 : 1);
        if (!runs)
            QVERIFY(!o.err.isEmpty());
    }
    QCOMPARE(QFile::exists(database), runs);
    QCOMPARE(QFile::exists(QDir(folder).filePath(QStringLiteral("journal.sqlite"))), runs);
}

QTEST_GUILESS_MAIN(TestExaminerCommand)
#include "tst_examinercommand.moc"
