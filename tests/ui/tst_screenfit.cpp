// The exam screen on screens of every size and for examinees without a mouse: the twips layout
// scaled to the window (untouched at the designed size), the answer keys 1 to 5, Tab with Enter
// or Space, and the full-screen exam setting.

#include "app/appcore.h"
#include "app/screensettings.h"
#include "coreaccess.h"
#include "examfixture.h"
#include "ui/exam/examarea.h"
#include "ui/exam/exammode.h"
#include "ui/exam/registrationarea.h"
#include "ui/exam/resultwindow.h"
#include "ui/shell/mainwindow.h"
#include "ui/shell/messages.h"
#include "ui/shell/scaledsurface.h"
#include "ui/shell/uikit.h"

#include "examcontrols.h"

#include <QAction>
#include <QFile>
#include <QPushButton>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace zet;
using namespace zet::ui;

class TestScreenFit : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void designedSizeIsUnscaled();
    void answersInsideTheWindow_data();
    void answersInsideTheWindow();
    void answerKeys_data();
    void answerKeys();
    void tabThenEnterOrSpace_data();
    void tabThenEnterOrSpace();
    void fullScreenExam();

private:
    void beginExam();
    ScaledSurface* surface() const { return m_window->findChild<ScaledSurface*>(); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<AppCore> m_core;
    std::unique_ptr<MainWindow> m_window;
    ExamMode* m_exam = nullptr;
    ExamAreaControls m_examCtl;
    RegistrationControls m_ctl;
    QStringList m_messages;
};

void TestScreenFit::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_messages.clear();
    hooks().message = [this](const QString& text) { m_messages << text; };
    m_core = std::make_unique<AppCore>(std::make_unique<SeededRandom>(5), [] { return testing::kToday; });
    m_window = std::make_unique<MainWindow>(*m_core, MainWindowOptions{m_dir->path()});
    Database& db = coreDatabase(*m_core);
    for (int q = 1; q <= 6; ++q)
        testing::setQuestion(db, 1, q, QStringLiteral("1111111111"));
    db.profiles[1].questionCount = 3;
    coreSelection(*m_core).shuffleAllThemes();
    m_exam = &m_window->examMode();
    m_examCtl = ExamAreaControls(m_exam->examArea());
    m_ctl = RegistrationControls(m_exam->registrationArea());
    QVERIFY(m_examCtl.complete() && m_ctl.complete());
    m_window->resize(m_window->sizeHint());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestScreenFit::cleanup() {
    m_window.reset();
    m_core.reset();
    m_dir.reset();
    hooks() = MessageHooks{};
}

void TestScreenFit::beginExam() {
    m_window->toggleExamMode();
    m_ctl.fullNameBox->setText(QStringLiteral("Петров П.П."));
    QTest::mouseClick(m_ctl.startButton, Qt::LeftButton);
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(QLatin1Char('\n'))));
    QCOMPARE(int(coreExam(*m_core).examRunning), 1);
}

void TestScreenFit::designedSizeIsUnscaled() {
    QCOMPARE(surface()->scale(), 1.0);
    QCOMPARE(m_window->findChild<QScrollArea*>(), nullptr);
    beginExam();
    QCOMPARE(m_examCtl.answerBoxes[5]->geometry(), QRect(twips(495), twips(8460), twips(13665), twips(1230)));
    QCOMPARE(m_exam->examArea()->font().pointSizeF(), 15.75);
}

void TestScreenFit::answersInsideTheWindow_data() {
    QTest::addColumn<QSize>("screen");
    // A window manager's title bar takes about 30 pixels of the screen's height.
    QTest::newRow("1366x768") << QSize(1366, 768 - 30);
    QTest::newRow("1024x600") << QSize(1024, 600 - 30);
    QTest::newRow("1920x1080") << QSize(1920, 1080 - 30);
}

void TestScreenFit::answersInsideTheWindow() {
    QFETCH(QSize, screen);
    m_window->resize(screen);
    QTRY_COMPARE(m_window->size(), screen);
    beginExam();
    const QRect inside = m_window->rect();
    for (int p = 1; p <= 5; ++p) {
        QWidget* box = m_examCtl.answerBoxes[p];
        const QRect shown(box->mapTo(m_window.get(), QPoint(0, 0)), box->size());
        QVERIFY2(inside.contains(shown), qPrintable(QStringLiteral("answer %1 at %2,%3 %4x%5")
                                                        .arg(p)
                                                        .arg(shown.x())
                                                        .arg(shown.y())
                                                        .arg(shown.width())
                                                        .arg(shown.height())));
    }
    // Fonts and boxes in proportion: the scale the window gives, both ways.
    const double scale = surface()->scale();
    QVERIFY(screen.height() < 742 ? scale < 1 : scale > 1);
    QCOMPARE(m_exam->examArea()->font().pointSizeF(), 15.75 * scale);
    QCOMPARE(m_examCtl.answerBoxes[1]->width(), scaledTwips(13665, scale));
}

void TestScreenFit::answerKeys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("position");
    QTest::newRow("1") << int(Qt::Key_1) << int(Qt::NoModifier) << 1;
    QTest::newRow("3") << int(Qt::Key_3) << int(Qt::NoModifier) << 3;
    QTest::newRow("keypad 5") << int(Qt::Key_5) << int(Qt::KeypadModifier) << 5;
    QTest::newRow("keypad 2") << int(Qt::Key_2) << int(Qt::KeypadModifier) << 2;
}

void TestScreenFit::answerKeys() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, position);
    beginExam();
    QWidget* focus = QApplication::focusWidget();
    QVERIFY(focus);
    QCOMPARE(focus, m_examCtl.questionBox);
    QTest::keyClick(focus, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(int(coreExam(*m_core).chosenPosition), position);
    QVERIFY(m_exam->feedbackPause()->isActive());
    // During the pause a key counts no more than a second click.
    const int16 correct = coreExam(*m_core).correctCount;
    QTest::keyClick(focus, Qt::Key(Qt::Key_1 + position % 5));
    QCOMPARE(int(coreExam(*m_core).chosenPosition), position);
    QCOMPARE(coreExam(*m_core).correctCount, correct);
    // A key that is no answer answers nothing.
    m_exam->endFeedbackPause();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_6);
    QVERIFY(!m_exam->feedbackPause()->isActive());
}

void TestScreenFit::tabThenEnterOrSpace_data() {
    QTest::addColumn<int>("tabs");
    QTest::addColumn<int>("key");
    QTest::newRow("Enter on answer 1") << 1 << int(Qt::Key_Return);
    QTest::newRow("Space on answer 3") << 3 << int(Qt::Key_Space);
    QTest::newRow("keypad Enter on answer 5") << 5 << int(Qt::Key_Enter);
}

void TestScreenFit::tabThenEnterOrSpace() {
    QFETCH(int, tabs);
    QFETCH(int, key);
    beginExam();
    for (int i = 0; i < tabs; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), m_examCtl.answerBoxes[tabs]);
    // The box with the keyboard is ringed.
    auto* ring = m_exam->examArea()->findChild<QWidget*>(QStringLiteral("focusRing"));
    QVERIFY(ring && ring->isVisible());
    QVERIFY(ring->geometry().contains(m_examCtl.answerBoxes[tabs]->geometry()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    QCOMPARE(int(coreExam(*m_core).chosenPosition), tabs);
    QVERIFY(m_exam->feedbackPause()->isActive());
}

void TestScreenFit::fullScreenExam() {
    auto* setting = m_window->findChild<QAction*>(QStringLiteral("fullScreenExamAction"));
    QVERIFY(setting);
    QCOMPARE(setting->text(), QStringLiteral("Экзамен во весь экран"));
    const QString sys = QDir(m_dir->path()).filePath(QStringLiteral("zetr100.sys"));
    QFile before(sys);
    QVERIFY(before.open(QIODevice::ReadOnly));
    const QByteArray sysBytes = before.readAll();
    setting->trigger();
    QVERIFY(ScreenSettings(m_dir->path()).fullScreenExam());
    QFile after(sys);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), sysBytes);

    const QSize size = m_window->size();
    beginExam();
    QVERIFY(m_window->isFullScreen());
    QVERIFY(!setting->isVisible());
    for (int q = 0; q < 3; ++q) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_1);
        m_exam->endFeedbackPause();
    }
    QVERIFY(m_exam->resultWindow()->isVisible());
    QVERIFY(m_window->isFullScreen());
    QTest::mouseClick(m_exam->resultWindow()->findChild<QPushButton*>(QStringLiteral("exitButton")),
                      Qt::LeftButton);
    QVERIFY(!m_window->isFullScreen());
    QTRY_COMPARE(m_window->size(), size);
    QVERIFY(setting->isVisible());
}

QTEST_MAIN(TestScreenFit)
#include "tst_screenfit.moc"
