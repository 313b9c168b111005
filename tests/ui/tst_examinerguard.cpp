// The examiner's password in the window: every guarded action asks for it while one is set
// and does not while none is; a wrong one is refused; a given one is trusted until the
// examiner has been idle for five minutes; the menu entry sets it.

#include "app/appcore.h"
#include "ui/files/filearea.h"
#include "ui/files/questionbankactions.h"
#include "paperwork/paperworkmodule.h"
#include "ui/journal/journalexamdialog.h"
#include "ui/journal/journalwindow.h"
#include "ui/shell/examinerprompt.h"
#include "ui/shell/mainwindow.h"
#include "ui/shell/messages.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

using namespace zet;
using namespace zet::ui;

namespace {

const QString kSecret = QStringLiteral("экзаменатор");

using WindowStep = std::function<void(MainWindow&)>;
using WindowCheck = std::function<bool(MainWindow&)>;

bool fileAreaShown(MainWindow& w) {
    const FileArea* area = w.findChild<FileArea*>();
    return area && area->isVisible();
}

} // namespace

Q_DECLARE_METATYPE(WindowStep)
Q_DECLARE_METATYPE(WindowCheck)

class TestExaminerGuard : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void guardedActions_data();
    void guardedActions();
    void wrongPasswordIsRefused();
    void idleExaminerIsAskedInAnOpenEditor();
    void menuEntrySetsThePassword();

private:
    void setPassword();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<AppCore> m_core;
    std::unique_ptr<MainWindow> m_window;
    qint64 m_now = 1'000'000;
    int m_asked = 0;
    QList<std::optional<QString>> m_answers; // given one after the other; then «Отмена»
    QStringList m_messages;
    bool m_dialogReached = false;
};

void TestExaminerGuard::init() {
    // The paperwork linked into the test in place of its library.
    usePaperwork(&paperworkModule());
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_asked = 0;
    m_answers.clear();
    m_messages.clear();
    m_dialogReached = false;
    hooks().message = [this](const QString& text) { m_messages << text; };
    examinerPromptHooks().password = [this]() -> std::optional<QString> {
        ++m_asked;
        return m_answers.isEmpty() ? std::nullopt : m_answers.takeFirst();
    };
    // The question bank dialogs are reached, and cancelled.
    questionBankDialogHooks().openFiles = [this] {
        m_dialogReached = true;
        return QStringList();
    };
    questionBankDialogHooks().saveFile = [this](int*) {
        m_dialogReached = true;
        return QString();
    };
    m_core = std::make_unique<AppCore>();
    m_core->examinerAccess().setClock([this] { return m_now; });
    m_core->examinerAccess().setHashCost(ExaminerAccess::cheapestCost());
    m_window = std::make_unique<MainWindow>(*m_core, MainWindowOptions{m_dir->path()});
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestExaminerGuard::cleanup() {
    m_window.reset();
    m_core.reset();
    hooks() = MessageHooks{};
    examinerPromptHooks() = ExaminerPromptHooks{};
    questionBankDialogHooks() = QuestionBankDialogHooks{};
}

void TestExaminerGuard::setPassword() {
    QVERIFY(m_core->examinerAccess().change({}, kSecret).ok);
    m_core->examinerAccess().endTrust();
}

void TestExaminerGuard::guardedActions_data() {
    QTest::addColumn<WindowStep>("action");
    QTest::addColumn<WindowCheck>("done");

    const auto inMode = [](MainWindow::Mode mode) {
        return WindowCheck([mode](MainWindow& w) { return w.appMode() == MainWindow::modeIndex(mode); });
    };
    const WindowCheck dialogReached = [this](MainWindow&) { return m_dialogReached; };
    QTest::newRow("question editor") << WindowStep(&MainWindow::toggleQuestionEditor)
                                     << inMode(MainWindow::Mode::QuestionEditor);
    QTest::newRow("profile editor") << WindowStep(&MainWindow::toggleProfileEditor)
                                    << inMode(MainWindow::Mode::ProfileEditor);
    QTest::newRow("load") << WindowStep(&MainWindow::loadDatabase) << WindowCheck(fileAreaShown);
    QTest::newRow("save as") << WindowStep(&MainWindow::saveDatabaseAs) << WindowCheck(fileAreaShown);
    QTest::newRow("create") << WindowStep(&MainWindow::createDatabase) << WindowCheck(fileAreaShown);
    QTest::newRow("question import") << WindowStep(&MainWindow::importQuestions) << dialogReached;
    QTest::newRow("question export") << WindowStep(&MainWindow::exportQuestions) << dialogReached;
    QTest::newRow("journal") << WindowStep(&MainWindow::openJournal) << WindowCheck([](MainWindow& w) {
        const JournalWindow* journal = w.findChild<JournalWindow*>();
        return journal && journal->isVisible();
    });
    QTest::newRow("archive into the journal")
        << WindowStep([](MainWindow& w) { w.findChild<QAction*>(QStringLiteral("archiveImportAction"))->trigger(); })
        << WindowCheck([this](MainWindow&) { return !m_messages.isEmpty(); });
}

void TestExaminerGuard::guardedActions() {
    QFETCH(WindowStep, action);
    QFETCH(WindowCheck, done);

    // Without a password nothing is asked.
    action(*m_window);
    QCOMPARE(m_asked, 0);
    QVERIFY(done(*m_window));

    // With one, «Отмена» stops the action; the password lets it go on.
    cleanup();
    init();
    setPassword();
    action(*m_window);
    QCOMPARE(m_asked, 1);
    QVERIFY(!done(*m_window));
    QVERIFY(m_messages.isEmpty());
    m_answers = {kSecret};
    action(*m_window);
    QCOMPARE(m_asked, 2);
    QVERIFY(done(*m_window));
}

void TestExaminerGuard::wrongPasswordIsRefused() {
    setPassword();
    m_answers = {QStringLiteral("не тот"), std::nullopt};
    m_window->toggleQuestionEditor();
    QCOMPARE(m_asked, 2);
    QCOMPARE(m_messages, QStringList{QStringLiteral("Неверный пароль экзаменатора.")});
    QCOMPARE(int(m_window->appMode()), 0);

    // Asked again after a wrong one, and the right one opens.
    m_messages.clear();
    m_answers = {QStringLiteral("не тот"), kSecret};
    m_window->toggleQuestionEditor();
    QCOMPARE(m_asked, 4);
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(int(m_window->appMode()), 1);
}

void TestExaminerGuard::idleExaminerIsAskedInAnOpenEditor() {
    setPassword();
    m_answers = {kSecret};
    m_window->toggleQuestionEditor();
    QCOMPARE(int(m_window->appMode()), 1);
    QWidget* editor = m_window->findChild<QWidget*>(QStringLiteral("QuestionEditor"));
    QVERIFY(editor && editor->isVisible());
    QWidget* target = editor->findChild<QLineEdit*>(QStringLiteral("testNameBox"));
    QVERIFY(target);

    // Work within five minutes keeps the trust.
    m_now += 4 * 60'000;
    QTest::mouseClick(target, Qt::LeftButton);
    m_now += 4 * 60'000;
    QTest::mouseClick(target, Qt::LeftButton);
    QCoreApplication::processEvents();
    QCOMPARE(m_asked, 1);

    // After five idle minutes the next click is held back and the password asked.
    m_now += 5 * 60'000;
    QTest::mouseClick(target, Qt::LeftButton);
    QTRY_COMPARE(m_asked, 2);
    QVERIFY(m_core->examinerAccess().mustAsk());
}

void TestExaminerGuard::menuEntrySetsThePassword() {
    auto* entry = m_window->findChild<QAction*>(QStringLiteral("examinerPasswordAction"));
    QVERIFY(entry);
    QCOMPARE(entry->text(), QStringLiteral("Пароль экзаменатора…"));
    QVERIFY(m_window->findChild<QMenu*>(QStringLiteral("settingsMenu"))->actions().contains(entry));

    QList<PasswordChange> changes = {{{}, kSecret, QStringLiteral("другой")}, {{}, kSecret, kSecret},
                                     {QStringLiteral("не тот"), {}, {}}, {kSecret, {}, {}}};
    QList<bool> shownSet;
    examinerPromptHooks().change = [&](bool passwordSet) -> std::optional<PasswordChange> {
        shownSet << passwordSet;
        return changes.takeFirst();
    };
    for (int i = 0; i < 4; ++i)
        entry->trigger();
    QCOMPARE(shownSet, (QList<bool>{false, false, true, true}));
    QCOMPARE(m_messages, (QStringList{QStringLiteral("Новый пароль и его повтор не совпадают; пароль не изменён."),
                                      QStringLiteral("Пароль экзаменатора установлен."),
                                      QStringLiteral("Неверный пароль экзаменатора."),
                                      QStringLiteral("Пароль экзаменатора снят.")}));
    QVERIFY(!m_core->examinerAccess().isSet());
}

QTEST_MAIN(TestExaminerGuard)
#include "tst_examinerguard.moc"
