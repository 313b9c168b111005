// Whole exams run through the widgets of the main window: the start and its refusals, the
// answer clicks with their feedback, the pause and the clock driven tick by tick, the finish
// by the last answer, by the time limit, by leaving the mode and by closing the window, the
// result window and the day file.

#include "app/appcore.h"
#include "coreaccess.h"
#include "archive/dayfile.h"
#include "ui/exam/examarea.h"
#include "ui/exam/exammode.h"
#include "ui/exam/resultwindow.h"
#include "ui/exam/registrationarea.h"
#include "ui/shell/examinerprompt.h"
#include "ui/shell/mainwindow.h"
#include "ui/shell/messages.h"
#include "ui/shell/uikit.h"

#include "examcontrols.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace zet;
using namespace zet::ui;

namespace {

const QDate kToday(2010, 12, 3);
const QString kRight = QStringLiteral("Правильный ответ");

void setQuestion(Database& db, int t, int q, const QString& flags) {
    db.questions(t, q, 0) = flags + QStringLiteral("Вопрос %1.%2").arg(t).arg(q);
    db.questions(t, q, 1) = kRight + QStringLiteral(" %1.%2").arg(t).arg(q);
    for (int p = 2; p <= 5; ++p)
        db.questions(t, q, p) = QStringLiteral("Ошибка %1.%2.%3").arg(t).arg(q).arg(p);
}

QColor base(const QWidget* w) {
    return w->palette().color(QPalette::Base);
}

} // namespace

class TestExamMode : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void examAreaLayout_data();
    void examAreaLayout();
    void startShowsFirstQuestion();
    void answerFeedback_data();
    void answerFeedback();
    void hoverColours();
    void tenQuestionsThenFinish();
    void timeOutStoresTimeSpent();
    void leavingTheModeRecordsAnswersSoFar();
    void timeOutDuringPauseRecordsOnce();
    void threeExamsOnAFreshDay();
    void refusals_data();
    void refusals();
    void closingTheWindowRecordsTheExam();
    void endingAnExamAsksTheExaminer_data();
    void endingAnExamAsksTheExaminer();
    void dayFileWriteFailure();
    void resultWindowLeavesTheMode();
    void lateExitKeepsAnotherMode();
    void unstorableCharactersAreAskedFor();
    void unwrittenRecordsAtClose_data();
    void unwrittenRecordsAtClose();
    void modeChangeWritesUnwrittenRecords();
    void databaseWithoutQuestions_data();
    void databaseWithoutQuestions();

private:
    void start();
    // Enters the exam mode, types the personal data, picks a profile, presses the button.
    void beginExam(int profile, const QString& name = QStringLiteral("Петров П.П."));
    // The position 1..5 of the box that shows the right answer.
    int16 rightBox() const;
    int16 wrongBox() const { return static_cast<int16>(rightBox() % 5 + 1); }
    void click(int16 position);
    // Answers the question on screen and ends the pause.
    void answer(bool right);
    DayRegisterArray dayFile() const;
    QPushButton* exitButton() const {
        return m_result->findChild<QPushButton*>(QStringLiteral("exitButton"));
    }
    QString dayFilePath() const { return coreArchive(*m_core).dayFilePath(); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<AppCore> m_core;
    std::unique_ptr<MainWindow> m_window;
    ExamMode* m_exam = nullptr;
    RegistrationArea* m_reg = nullptr;
    ExamArea* m_area = nullptr;
    ResultWindow* m_result = nullptr;
    RegistrationControls m_ctl;
    ExamAreaControls m_examCtl;
    QStringList m_messages;
};

void TestExamMode::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_messages.clear();
    hooks().message = [this](const QString& text) { m_messages << text; };
    start();
}

void TestExamMode::cleanup() {
    m_window.reset();
    m_core.reset();
    m_dir.reset();
    hooks() = MessageHooks{};
    examinerPromptHooks() = ExaminerPromptHooks{};
}

void TestExamMode::start() {
    m_core = std::make_unique<AppCore>(std::make_unique<SeededRandom>(11), [] { return kToday; });
    m_window = std::make_unique<MainWindow>(*m_core, MainWindowOptions{m_dir->path()});
    // The designed size, whatever the test screen's size.
    m_window->resize(m_window->sizeHint());
    QVERIFY(m_messages.isEmpty());

    // Theme 1: twelve questions of group 0; theme 2: five of group 1; theme 3: three of group 2.
    Database& db = coreDatabase(*m_core);
    db.databaseHeader[2] = QStringLiteral("Охрана труда");
    for (int q = 1; q <= 12; ++q)
        setQuestion(db, 1, q, QStringLiteral("1000000000"));
    for (int q = 1; q <= 5; ++q)
        setQuestion(db, 2, q, QStringLiteral("0100000000"));
    for (int q = 1; q <= 3; ++q)
        setQuestion(db, 3, q, QStringLiteral("0010000000"));
    for (int i = 1; i <= kProfileCount; ++i) {
        ExamProfile& p = db.profiles[i];
        p.name = QStringLiteral("Профиль %1").arg(i);
        p.groups = {QStringLiteral("1Слесари"), QStringLiteral("1Электрики")};
        for (int k = 2; k < kGroupCount; ++k)
            p.groups[k] = QStringLiteral("0");
        for (int s = 1; s <= kSlotCount; ++s)
            p.slotTheme[s] = s % 3 == 0 ? 2 : 1;
    }
    // Profile 1: ten questions in 600 s, thresholds 9, 7, 5 (as a new database has them).
    // Profile 2: three questions in 300 s, thresholds 3, 2, 1.
    ExamProfile& p2 = db.profiles[2];
    p2.questionCount = 3;
    p2.timeLimit = 300;
    p2.excellentMin = 3;
    p2.goodMin = 2;
    p2.fairMin = 1;
    coreSelection(*m_core).shuffleAllThemes();

    m_exam = &m_window->examMode();
    m_reg = m_exam->registrationArea();
    m_area = m_exam->examArea();
    m_result = m_exam->resultWindow();
    QVERIFY(m_reg && m_area && m_result);
    m_ctl = RegistrationControls(m_reg);
    m_examCtl = ExamAreaControls(m_area);
    QVERIFY(m_ctl.complete() && m_examCtl.complete());
    QVERIFY(exitButton());
    QCOMPARE(m_window->findChild<RegistrationArea*>(QStringLiteral("RegistrationArea")), m_reg);
    QCOMPARE(m_window->findChild<ExamArea*>(QStringLiteral("ExamArea")), m_area);
    QCOMPARE(m_window->findChild<ResultWindow*>(QStringLiteral("ResultWindow")), m_result);
    QCOMPARE(m_exam->findChild<QTimer*>(QStringLiteral("feedbackPause")), m_exam->feedbackPause());
    QCOMPARE(m_exam->findChild<QTimer*>(QStringLiteral("examClock")), m_exam->examClock());

    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestExamMode::beginExam(int profile, const QString& name) {
    if (m_window->appMode() != 2)
        m_window->toggleExamMode();
    QCOMPARE(int(m_window->appMode()), 2);
    QVERIFY(m_reg->isVisible());
    m_ctl.fullNameBox->setText(name);
    m_ctl.birthYearBox->setText(QStringLiteral("1975"));
    m_ctl.jobTitleBox->setText(QStringLiteral("слесарь"));
    m_ctl.seniorityBox->setText(QStringLiteral("12"));
    m_ctl.personnelNumberBox->setText(QStringLiteral("Т-%1").arg(coreExam(*m_core).currentExaminee));
    QListWidgetItem* item = m_ctl.profileList->item(profile - 1);
    m_ctl.profileList->scrollToItem(item, QAbstractItemView::PositionAtTop);
    QTest::mouseClick(m_ctl.profileList->viewport(), Qt::LeftButton, {},
                      m_ctl.profileList->visualItemRect(item).center());
    QCOMPARE(int(coreExam(*m_core).currentProfile), profile);
    QTest::mouseClick(m_ctl.startButton, Qt::LeftButton);
}

int16 TestExamMode::rightBox() const {
    for (int p = 1; p <= 5; ++p) {
        if (m_examCtl.answerBoxes[p]->toPlainText().startsWith(kRight))
            return static_cast<int16>(p);
    }
    return 0;
}

void TestExamMode::click(int16 position) {
    QPlainTextEdit* box = m_examCtl.answerBoxes[position];
    QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, box->viewport()->rect().center());
}

void TestExamMode::answer(bool right) {
    const int16 box = rightBox();
    QVERIFY(box != 0);
    click(right ? box : wrongBox());
    QVERIFY(m_exam->feedbackPause()->isActive());
    m_exam->endFeedbackPause();
}

DayRegisterArray TestExamMode::dayFile() const {
    DayRegisterArray reg{};
    [&] { QVERIFY(coreArchive(*m_core).readDayFile(reg).ok); }();
    return reg;
}

void TestExamMode::examAreaLayout_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips");
    QTest::newRow("ExamArea") << "ExamArea" << QRect(405, 0, 14475, 10065);
    QTest::newRow("questionNumberLabel") << "questionNumberLabel" << QRect(270, 540, 2640, 375);
    QTest::newRow("examineeLabel") << "examineeLabel" << QRect(3105, 540, 10455, 375);
    QTest::newRow("questionBox") << "questionBox" << QRect(495, 945, 13665, 1470);
    QTest::newRow("answerPromptLabel") << "answerPromptLabel" << QRect(315, 2655, 4875, 375);
    QTest::newRow("answerBox_1") << "answerBox_1" << QRect(495, 3150, 13665, 1230);
    QTest::newRow("answerBox_2") << "answerBox_2" << QRect(495, 4477, 13665, 1230);
    QTest::newRow("answerBox_3") << "answerBox_3" << QRect(495, 5804, 13665, 1230);
    QTest::newRow("answerBox_4") << "answerBox_4" << QRect(495, 7131, 13665, 1230);
    QTest::newRow("answerBox_5") << "answerBox_5" << QRect(495, 8460, 13665, 1230);
}

void TestExamMode::examAreaLayout() {
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    auto* w = m_window->findChild<QWidget*>(name);
    QVERIFY(w);
    QCOMPARE(w->geometry(), QRect(zet::ui::twips(twips.x()), zet::ui::twips(twips.y()),
                                  zet::ui::twips(twips.width()), zet::ui::twips(twips.height())));
    if (auto* box = qobject_cast<QPlainTextEdit*>(w)) {
        QVERIFY(box->isReadOnly());
        QCOMPARE(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QVERIFY(!box->accessibleName().isEmpty());
        QCOMPARE(base(box), name == QStringLiteral("questionBox") ? kLightBlue : kLightYellow);
    }
    QCOMPARE(m_area->title(), QStringLiteral("Экзамен"));
    QCOMPARE(m_examCtl.answerPromptLabel->text(), QStringLiteral("Выберите правильный ответ:"));
    QVERIFY(zet::ui::serifFamilies().contains(m_area->font().family()));
    QCOMPARE(m_area->font().pointSizeF(), 15.75);
    QVERIFY(m_area->isHidden());
}

void TestExamMode::startShowsFirstQuestion() {
    beginExam(2, QStringLiteral("Сидоров С.С."));
    QVERIFY(m_messages.isEmpty());
    QVERIFY(m_reg->isHidden());
    QVERIFY(m_area->isVisible());
    QCOMPARE(int(coreExam(*m_core).examRunning), 1);
    QCOMPARE(m_area->title(), QStringLiteral("Профиль 2"));
    QCOMPARE(m_examCtl.examineeLabel->text(), QStringLiteral("Сдает:  Сидоров С.С."));
    QCOMPARE(m_examCtl.questionNumberLabel->text(), QStringLiteral("Вопрос № 1"));
    QVERIFY(m_examCtl.questionBox->toPlainText().startsWith(QStringLiteral("Вопрос 1.")));
    QCOMPARE(base(m_examCtl.questionBox), kLightBlue);
    // The box that shows the right answer is the one the engine judges right.
    QCOMPARE(rightBox(), coreAnswers(*m_core).correctPosition);
    QCOMPARE(m_examCtl.timeLeftLabel->text(), QStringLiteral("Осталось: 5:00"));
    QVERIFY(m_exam->examClock()->isActive());
    QCOMPARE(m_exam->examClock()->interval(), 1000);
    QVERIFY(!m_exam->feedbackPause()->isActive());
    m_exam->clockTick();
    QCOMPARE(m_examCtl.timeLeftLabel->text(), QStringLiteral("Осталось: 4:59"));
}

void TestExamMode::answerFeedback_data() {
    QTest::addColumn<bool>("right");
    QTest::newRow("right answer") << true;
    QTest::newRow("wrong answer") << false;
}

void TestExamMode::answerFeedback() {
    QFETCH(bool, right);
    beginExam(2);
    const QString question = m_examCtl.questionBox->toPlainText();
    const int16 box = right ? rightBox() : wrongBox();
    click(box);
    QCOMPARE(base(m_examCtl.questionBox), right ? kGreen : kRed);
    QCOMPARE(int(coreExam(*m_core).correctCount), right ? 1 : 0);
    QCOMPARE(int(coreExam(*m_core).chosenPosition), int(box));
    QVERIFY(m_exam->feedbackPause()->isActive());
    QVERIFY(m_exam->feedbackPause()->isSingleShot());
    QCOMPARE(m_exam->feedbackPause()->interval(), 2000);

    // During the pause no click counts or recolours, on any box.
    for (int16 p = 1; p <= 5; ++p)
        click(p);
    QCOMPARE(base(m_examCtl.questionBox), right ? kGreen : kRed);
    QCOMPARE(int(coreExam(*m_core).correctCount), right ? 1 : 0);
    QCOMPARE(int(coreExam(*m_core).chosenPosition), int(box));
    QCOMPARE(m_examCtl.questionBox->toPlainText(), question);

    // The end of the pause: the next question on light blue, clicks accepted again.
    m_exam->endFeedbackPause();
    QVERIFY(!m_exam->feedbackPause()->isActive());
    QCOMPARE(m_examCtl.questionNumberLabel->text(), QStringLiteral("Вопрос № 2"));
    QCOMPARE(base(m_examCtl.questionBox), kLightBlue);
    QCOMPARE(int(coreExam(*m_core).answerLock), 0);
    click(rightBox());
    QCOMPARE(base(m_examCtl.questionBox), kGreen);
    QCOMPARE(int(coreExam(*m_core).correctCount), right ? 2 : 1);
}

void TestExamMode::hoverColours() {
    beginExam(2);
    auto move = [](QWidget* w) {
        QMouseEvent event(QEvent::MouseMove, QPointF(10, 10), w->mapToGlobal(QPointF(10, 10)), Qt::NoButton,
                          Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &event);
    };
    QVERIFY(m_examCtl.answerBoxes[2]->viewport()->hasMouseTracking());
    move(m_examCtl.answerBoxes[2]->viewport());
    move(m_examCtl.answerBoxes[4]->viewport());
    for (int p = 1; p <= 5; ++p)
        QCOMPARE(base(m_examCtl.answerBoxes[p]), p == 4 ? kLightGreen : kLightYellow);
    // The question box is no answer: the last highlight stays.
    move(m_examCtl.questionBox->viewport());
    QCOMPARE(base(m_examCtl.answerBoxes[4]), kLightGreen);
    QCOMPARE(base(m_examCtl.questionBox), kLightBlue);
    // Moving over the boxes also highlights during the pause, and a presentation keeps it.
    click(rightBox());
    move(m_examCtl.answerBoxes[1]);
    m_exam->endFeedbackPause();
    for (int p = 1; p <= 5; ++p)
        QCOMPARE(base(m_examCtl.answerBoxes[p]), p == 1 ? kLightGreen : kLightYellow);
}

void TestExamMode::tenQuestionsThenFinish() {
    QCOMPARE(int(coreDatabase(*m_core).profiles[1].questionCount), 10);
    beginExam(1, QStringLiteral("Кузнецов К.К."));
    for (int n = 1; n <= 10; ++n) {
        QCOMPARE(m_examCtl.questionNumberLabel->text(), QStringLiteral("Вопрос № %1").arg(n));
        QCOMPARE(base(m_examCtl.questionBox), kLightBlue);
        QVERIFY(m_area->isVisible());
        // Slot n of the profile: theme 2 for every third slot.
        QVERIFY(m_examCtl.questionBox->toPlainText().startsWith(
            QStringLiteral("Вопрос %1.").arg(n % 3 == 0 ? 2 : 1)));
        answer(n != 4);
    }
    // The pause after the tenth answer finished the exam: no eleventh question.
    QCOMPARE(m_examCtl.questionNumberLabel->text(), QStringLiteral("Вопрос № 10"));
    QCOMPARE(int(coreExam(*m_core).examRunning), 0);
    QVERIFY(m_area->isHidden());
    QVERIFY(m_reg->isHidden());
    QVERIFY(!m_exam->examClock()->isActive());
    QVERIFY(!m_exam->feedbackPause()->isActive());
    QCOMPARE(int(m_window->appMode()), 2);

    const ExamineeRecord& r = coreExam(*m_core).dayRegister[1];
    QCOMPARE(int(r.rightCount), 9);
    QCOMPARE(int(r.askedCount), 10);
    QCOMPARE(int(r.grade), 5);
    QCOMPARE(r.fullName, QStringLiteral("Кузнецов К.К."));
    QCOMPARE(int(r.birthYear), 1975);
    QCOMPARE(r.personnelNo, QStringLiteral("Т-1"));
    QCOMPARE(int(coreExam(*m_core).currentExaminee), 2);
    QCOMPARE(dayFile()[1], r);

    // The registration area's result boxes and the result window show the finished exam.
    QCOMPARE(m_ctl.protocolNumberBox->text(), QStringLiteral("1"));
    QCOMPARE(m_ctl.gradeBox->text(), QStringLiteral("5"));
    QCOMPARE(m_ctl.rightCountBox->text(), QStringLiteral("9"));
    QCOMPARE(m_ctl.timeSpentBox->text(), QStringLiteral("0"));
    QVERIFY(m_result->isVisible());
    QCOMPARE(m_result->value(0), QStringLiteral("1"));
    QCOMPARE(m_result->value(1), QStringLiteral("Охрана труда"));
    QCOMPARE(m_result->value(3), QStringLiteral("Кузнецов К.К."));
    QCOMPARE(m_result->value(6), QStringLiteral("9"));
}

void TestExamMode::timeOutStoresTimeSpent() {
    QCOMPARE(int(coreDatabase(*m_core).profiles[1].timeLimit), 600);
    beginExam(1);
    QCOMPARE(m_examCtl.timeLeftLabel->text(), QStringLiteral("Осталось: 10:00"));
    for (int s = 1; s <= 600; ++s)
        m_exam->clockTick();
    QCOMPARE(int(coreExam(*m_core).examRunning), 1);
    QCOMPARE(m_examCtl.timeLeftLabel->text(), QStringLiteral("Осталось: 0:00"));
    QVERIFY(m_area->isVisible());
    m_exam->clockTick();

    QCOMPARE(int(coreExam(*m_core).examRunning), 0);
    QVERIFY(!m_exam->examClock()->isActive());
    QVERIFY(m_area->isHidden());
    QCOMPARE(base(m_examCtl.questionBox), kLightBlue);
    const ExamineeRecord& r = coreExam(*m_core).dayRegister[1];
    QCOMPARE(int(r.timeSpent), 601);
    QCOMPARE(int(r.rightCount), 0);
    QCOMPARE(int(r.grade), 2);
    QCOMPARE(int(r.askedCount), 10);
    QCOMPARE(dayFile()[1], r);
    QCOMPARE(m_ctl.timeSpentBox->text(), QStringLiteral("601"));
    QCOMPARE(m_result->value(7), QStringLiteral("601"));
    QCOMPARE(m_result->value(4), QStringLiteral("2"));
    QCOMPARE(m_result->value(5), QStringLiteral("10"));
}

void TestExamMode::leavingTheModeRecordsAnswersSoFar() {
    beginExam(1);
    answer(true);
    answer(false);
    answer(true);
    m_exam->clockTick();
    m_exam->clockTick();
    m_window->toggleExamMode();

    QCOMPARE(int(m_window->appMode()), 0);
    QCOMPARE(int(coreExam(*m_core).examRunning), 0);
    QVERIFY(m_area->isHidden());
    QVERIFY(m_reg->isHidden());
    QVERIFY(!m_exam->examClock()->isActive());
    const ExamineeRecord& r = coreExam(*m_core).dayRegister[1];
    QCOMPARE(int(r.rightCount), 2);
    QCOMPARE(int(r.timeSpent), 2);
    QCOMPARE(int(r.askedCount), 10);
    QCOMPARE(int(r.grade), 2);
    QCOMPARE(dayFile()[1], r);
    QVERIFY(m_result->isVisible());
    QCOMPARE(m_result->value(6), QStringLiteral("2"));
}

void TestExamMode::timeOutDuringPauseRecordsOnce() {
    beginExam(2);
    answer(true);
    answer(true);
    // The last answer; the time runs out while its pause is pending.
    click(rightBox());
    QVERIFY(m_exam->feedbackPause()->isActive());
    for (int s = 1; s <= 301; ++s)
        m_exam->clockTick();
    QCOMPARE(int(coreExam(*m_core).examRunning), 0);
    QVERIFY(!m_exam->feedbackPause()->isActive());
    QCOMPARE(int(coreExam(*m_core).answerLock), 0);
    QCOMPARE(int(coreExam(*m_core).currentExaminee), 2);

    // Even a tick that was already on its way changes nothing.
    m_exam->endFeedbackPause();
    QCOMPARE(int(coreExam(*m_core).currentExaminee), 2);
    QCOMPARE(m_examCtl.questionNumberLabel->text(), QStringLiteral("Вопрос № 3"));
    QVERIFY(m_area->isHidden());

    const DayRegisterArray file = dayFile();
    QCOMPARE(int(file[1].rightCount), 3);
    QCOMPARE(int(file[1].timeSpent), 301);
    QCOMPARE(int(file[1].grade), 5);
    QCOMPARE(int(file[2].profileNo), 0);
    QCOMPARE(int(coreExam(*m_core).dayRegister[2].profileNo), 0);
}

void TestExamMode::threeExamsOnAFreshDay() {
    QCOMPARE(int(coreExam(*m_core).currentExaminee), 1);
    const QStringList names = {QStringLiteral("Алексеев А.А."), QStringLiteral("Борисов Б.Б."),
                               QStringLiteral("Васильев В.В.")};
    for (int i = 0; i < 3; ++i) {
        beginExam(2, names[i]);
        QCOMPARE(m_ctl.protocolNumberBox->text(), QString::number(i + 1));
        for (int n = 0; n < 3; ++n)
            answer(n <= i);
        QVERIFY(m_result->isVisible());
        // The number of the examinee just finished, not of the next one.
        QCOMPARE(m_result->value(0), QString::number(i + 1));
        QCOMPARE(m_result->value(3), names[i]);
        QTest::mouseClick(exitButton(), Qt::LeftButton);
        QVERIFY(m_result->isHidden());
        QCOMPARE(int(m_window->appMode()), 0);
    }
    QCOMPARE(int(coreExam(*m_core).currentExaminee), 4);
    const DayRegisterArray file = dayFile();
    for (int n = 1; n <= 3; ++n) {
        QCOMPARE(int(coreExam(*m_core).dayRegister[n].protocolNo), n);
        QCOMPARE(int(file[n].protocolNo), n);
        QCOMPARE(file[n].fullName, names[n - 1]);
        QCOMPARE(int(file[n].rightCount), n);
        QCOMPARE(file[n].profileName, QStringLiteral("Профиль 2"));
        QCOMPARE(int(file[n].profileNo), 2);
    }
    QCOMPARE(int(file[4].profileNo), 0);

    // The next entry starts at examinee 4 with an empty form.
    m_window->toggleExamMode();
    QCOMPARE(m_reg->topRow(), 3);
    QCOMPARE(m_ctl.protocolNumberBox->text(), QStringLiteral("4"));
    QVERIFY(m_ctl.fullNameBox->text().isEmpty());
    QVERIFY(m_ctl.fullNameBox->isEnabled());
}

void TestExamMode::refusals_data() {
    QTest::addColumn<int>("profile");
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("seniority");
    QTest::addColumn<QString>("expected"); // part of the message

    QTest::newRow("register full") << 1 << "1975"
                                   << "12"
                                   << "заполнен";
    QTest::newRow("no questions") << 3 << "1975"
                                  << "12"
                                  << "число вопросов 0";
    QTest::newRow("sixteen questions") << 4 << "1975"
                                       << "12"
                                       << "число вопросов 16";
    QTest::newRow("theme 21") << 5 << "1975"
                              << "12"
                              << "тема 21";
    QTest::newRow("theme 0") << 6 << "1975"
                             << "12"
                             << "тема 0";
    QTest::newRow("slot without question") << 7 << "1975"
                                           << "12"
                                           << "Для вопроса № 2";
    QTest::newRow("year too large") << 1 << "40000"
                                    << "12"
                                    << "Год рождения «40000»";
    QTest::newRow("year too small") << 1 << "-32769"
                                    << "12"
                                    << "Год рождения";
    QTest::newRow("seniority too large") << 1 << "1975"
                                         << "32768"
                                         << "Стаж работы «32768»";
}

void TestExamMode::refusals() {
    QFETCH(int, profile);
    QFETCH(QString, year);
    QFETCH(QString, seniority);
    QFETCH(QString, expected);

    Database& db = coreDatabase(*m_core);
    db.profiles[3].questionCount = 0;
    db.profiles[4].questionCount = 16;
    db.profiles[5].slotTheme[3] = 21;
    db.profiles[6].slotTheme[1] = 0;
    // Theme 3 holds only questions of group 2, which profile 7 does not admit.
    db.profiles[7].slotTheme[2] = 3;
    if (QTest::currentDataTag() == QByteArray("register full")) {
        for (int n = 1; n <= kRegisterSlots; ++n) {
            coreExam(*m_core).dayRegister[n].profileNo = 1;
            coreExam(*m_core).dayRegister[n].protocolNo = static_cast<int16>(n);
        }
        coreExam(*m_core).currentExaminee = kRegisterSlots + 1;
    }
    const DayRegisterArray before = coreExam(*m_core).dayRegister;
    const int16 examinee = coreExam(*m_core).currentExaminee;
    const QByteArray fileBefore = [&] {
        QFile f(dayFilePath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();

    m_window->toggleExamMode();
    m_ctl.fullNameBox->setText(QStringLiteral("Орлов О.О."));
    m_ctl.birthYearBox->setText(year);
    m_ctl.seniorityBox->setText(seniority);
    m_ctl.profileList->setCurrentRow(profile - 1);
    const QString shownName = m_ctl.profileNameBox->text();
    QTest::mouseClick(m_ctl.startButton, Qt::LeftButton);

    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages.front().contains(expected), qPrintable(m_messages.front()));
    QCOMPARE(int(coreExam(*m_core).examRunning), 0);
    QVERIFY(m_reg->isVisible());
    QVERIFY(m_area->isHidden());
    QVERIFY(!m_exam->examClock()->isActive());
    QCOMPARE(m_ctl.fullNameBox->text(), QStringLiteral("Орлов О.О."));
    QCOMPARE(m_ctl.birthYearBox->text(), year);
    QCOMPARE(m_ctl.profileNameBox->text(), shownName);
    QCOMPARE(coreExam(*m_core).currentExaminee, examinee);
    QVERIFY(coreExam(*m_core).dayRegister == before);
    QFile f(dayFilePath());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), fileBefore);
}

void TestExamMode::closingTheWindowRecordsTheExam() {
    beginExam(1, QStringLiteral("Фёдоров Ф.Ф."));
    answer(true);
    click(rightBox());
    m_exam->clockTick();
    QVERIFY(m_window->close());

    QCOMPARE(int(coreExam(*m_core).examRunning), 0);
    QVERIFY(!m_exam->feedbackPause()->isActive());
    QVERIFY(!m_exam->examClock()->isActive());
    const DayRegisterArray file = dayFile();
    QCOMPARE(file[1].fullName, QStringLiteral("Фёдоров Ф.Ф."));
    QCOMPARE(int(file[1].rightCount), 2);
    QCOMPARE(int(file[1].timeSpent), 1);
    QCOMPARE(int(file[1].profileNo), 1);
    QCOMPARE(int(coreExam(*m_core).currentExaminee), 2);
    QVERIFY(m_messages.isEmpty());
}

void TestExamMode::endingAnExamAsksTheExaminer_data() {
    QTest::addColumn<bool>("byClosing"); // else by «Выход» of the menu
    QTest::newRow("menu") << false;
    QTest::newRow("closing the window") << true;
}

void TestExamMode::endingAnExamAsksTheExaminer() {
    QFETCH(bool, byClosing);
    ExaminerAccess& access = m_core->examinerAccess();
    access.setHashCost(ExaminerAccess::cheapestCost());
    QVERIFY(access.change({}, QStringLiteral("секрет")).ok);
    std::optional<QString> answer;
    int asked = 0;
    examinerPromptHooks().password = [&] {
        ++asked;
        return answer;
    };
    const auto end = [&] {
        if (byClosing)
            return m_window->close();
        m_window->toggleExamMode();
        return m_window->appMode() == 0;
    };

    // The examiner who has just set the password is trusted, until the exam starts.
    beginExam(1, QStringLiteral("Фёдоров Ф.Ф."));
    this->answer(true);
    QVERIFY(!end());
    QCOMPARE(asked, 1);
    QCOMPARE(int(coreExam(*m_core).examRunning), 1);
    QVERIFY(m_exam->examClock()->isActive());
    QVERIFY(m_area->isVisible());
    QCOMPARE(int(m_window->appMode()), 2);
    m_exam->clockTick();
    QCOMPARE(int(coreExam(*m_core).dayRegister[1].timeSpent), 1);
    QVERIFY(dayFile()[1].fullName.isEmpty());

    answer = QStringLiteral("секрет");
    QVERIFY(end());
    QCOMPARE(asked, 2);
    QCOMPARE(int(coreExam(*m_core).examRunning), 0);
    QCOMPARE(dayFile()[1].fullName, QStringLiteral("Фёдоров Ф.Ф."));
    QCOMPARE(int(dayFile()[1].rightCount), 1);
}

void TestExamMode::dayFileWriteFailure() {
    // A directory where the day file should be: the write cannot replace it.
    const QString path = dayFilePath();
    QVERIFY(QFile::remove(path));
    QVERIFY(QDir().mkdir(path));

    beginExam(2, QStringLiteral("Григорьев Г.Г."));
    for (int n = 0; n < 3; ++n)
        answer(true);
    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages.front().contains(path), qPrintable(m_messages.front()));
    QVERIFY(m_result->isVisible());
    // The record stays in the register and the next examinee gets the next slot.
    QCOMPARE(coreExam(*m_core).dayRegister[1].fullName, QStringLiteral("Григорьев Г.Г."));
    QCOMPARE(int(coreExam(*m_core).currentExaminee), 2);
    QTest::mouseClick(exitButton(), Qt::LeftButton);

    // Once the way is free again the next finish writes both records.
    QVERIFY(QDir().rmdir(path));
    beginExam(2, QStringLiteral("Дмитриев Д.Д."));
    for (int n = 0; n < 3; ++n)
        answer(false);
    QCOMPARE(m_messages.size(), 1);
    const DayRegisterArray file = dayFile();
    QCOMPARE(file[1].fullName, QStringLiteral("Григорьев Г.Г."));
    QCOMPARE(file[2].fullName, QStringLiteral("Дмитриев Д.Д."));
    QCOMPARE(int(file[2].grade), 2);
}

void TestExamMode::resultWindowLeavesTheMode() {
    beginExam(2);
    for (int n = 0; n < 3; ++n)
        answer(true);
    QCOMPARE(int(m_window->appMode()), 2);
    QVERIFY(m_result->isVisible());
    QSignalSpy acknowledged(m_exam, &ExamMode::resultAcknowledged);
    QTest::mouseClick(exitButton(), Qt::LeftButton);
    QCOMPARE(acknowledged.size(), 1);
    QVERIFY(m_result->isHidden());
    QVERIFY(m_reg->isHidden());
    QVERIFY(m_area->isHidden());
    QCOMPARE(int(m_window->appMode()), 0);
    QVERIFY(!m_result->windowIcon().isNull());

    // A new exam puts an earlier result out of sight.
    beginExam(2);
    answer(true);
    m_window->toggleExamMode();
    QVERIFY(m_result->isVisible());
    QCOMPARE(m_result->value(0), QStringLiteral("2"));
    beginExam(2);
    QVERIFY(m_result->isHidden());
}

void TestExamMode::lateExitKeepsAnotherMode() {
    // The exam is finished by leaving the mode; the examiner opens the question editor
    // before the examinee closes the result window.
    beginExam(2);
    answer(true);
    m_window->toggleExamMode();
    QVERIFY(m_result->isVisible());
    m_window->toggleQuestionEditor();
    QCOMPARE(int(m_window->appMode()), 1);
    QSignalSpy acknowledged(m_exam, &ExamMode::resultAcknowledged);
    QTest::mouseClick(exitButton(), Qt::LeftButton);
    QVERIFY(m_result->isHidden());
    QCOMPARE(acknowledged.size(), 0);
    QCOMPARE(int(m_window->appMode()), 1);
    QVERIFY(m_window->findChild<QWidget*>(QStringLiteral("QuestionEditor"))->isVisible());
}

void TestExamMode::unstorableCharactersAreAskedFor() {
    QStringList questions;
    bool goOn = false;
    hooks().yesNo = [&](const QString& text) {
        questions << text;
        return goOn;
    };
    const QString name = QStringLiteral("Әлия Ғабдуллина 😀");
    beginExam(2, name);
    QCOMPARE(questions.size(), 1);
    for (const QString& c : {QStringLiteral("«Ә»"), QStringLiteral("«Ғ»"), QStringLiteral("«😀»")})
        QVERIFY2(questions.front().contains(c), qPrintable(questions.front()));
    QVERIFY(!questions.front().contains(QStringLiteral("«л»")));
    QCOMPARE(int(coreExam(*m_core).examRunning), 0);
    QCOMPARE(m_ctl.fullNameBox->text(), name);

    goOn = true;
    QTest::mouseClick(m_ctl.startButton, Qt::LeftButton);
    QCOMPARE(questions.size(), 2);
    QCOMPARE(int(coreExam(*m_core).examRunning), 1);
}

void TestExamMode::unwrittenRecordsAtClose_data() {
    QTest::addColumn<QList<int>>("choices");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QString>("kept"); // where the record ends up: "day file", "elsewhere" or ""
    QTest::newRow("box closed: the program stays") << QList<int>{-1} << false << "";
    QTest::newRow("exit without saving") << QList<int>{2} << true << "";
    QTest::newRow("save elsewhere") << QList<int>{1} << true << "elsewhere";
    QTest::newRow("try again once the way is free") << QList<int>{0} << true << "day file";
}

void TestExamMode::unwrittenRecordsAtClose() {
    QFETCH(QList<int>, choices);
    QFETCH(bool, closes);
    QFETCH(QString, kept);
    // A folder where the day file should be: every write fails.
    const QString path = dayFilePath();
    QVERIFY(QFile::remove(path));
    QVERIFY(QDir().mkdir(path));
    beginExam(2, QStringLiteral("Григорьев Г.Г."));
    for (int n = 0; n < 3; ++n)
        answer(true);
    QCOMPARE(m_messages.size(), 1);

    const QString elsewhere = m_dir->filePath(QStringLiteral("копия.txt"));
    QStringList asked;
    hooks().choice = [&](const QString& text, const QStringList& buttons) {
        asked << text;
        [&] { QCOMPARE(buttons.last(), QStringLiteral("Выйти без сохранения")); }();
        const int choice = asked.size() <= choices.size() ? choices[asked.size() - 1] : -1;
        if (choice == 0)
            QDir().rmdir(path);
        return choice;
    };
    hooks().saveFileName = [&](const QString& start) {
        [&] { QVERIFY(start.endsWith(coreArchive(*m_core).dayFileName)); }();
        return elsewhere;
    };
    QCOMPARE(m_window->close(), closes);
    QCOMPARE(asked.size(), 1);
    QVERIFY2(asked.front().contains(path), qPrintable(asked.front()));
    QCOMPARE(m_window->isVisible(), !closes);
    QCOMPARE(m_core->hasUnwrittenRecords(), kept.isEmpty());
    const QString file = kept == "elsewhere" ? elsewhere : path;
    QFile f(file);
    if (kept.isEmpty()) {
        QVERIFY(!QFileInfo(elsewhere).exists());
        return;
    }
    QVERIFY(f.open(QIODevice::ReadOnly));
    DayRegisterArray back{};
    parseDayFile(f.readAll(), back);
    QCOMPARE(back[1].fullName, QStringLiteral("Григорьев Г.Г."));
}

void TestExamMode::modeChangeWritesUnwrittenRecords() {
    const QString path = dayFilePath();
    QVERIFY(QFile::remove(path));
    QVERIFY(QDir().mkdir(path));
    beginExam(2, QStringLiteral("Григорьев Г.Г."));
    for (int n = 0; n < 3; ++n)
        answer(true);
    QVERIFY(m_core->hasUnwrittenRecords());
    QVERIFY(QDir().rmdir(path));
    QTest::mouseClick(exitButton(), Qt::LeftButton);
    QCOMPARE(int(m_window->appMode()), 0);
    QVERIFY(!m_core->hasUnwrittenRecords());
    QCOMPARE(dayFile()[1].fullName, QStringLiteral("Григорьев Г.Г."));
}

void TestExamMode::databaseWithoutQuestions_data() {
    QTest::addColumn<bool>("sample");
    QTest::addColumn<int>("choice"); // -1: none asked
    QTest::newRow("no sample to offer") << false << -1;
    QTest::newRow("sample declined") << true << 1;
    QTest::newRow("sample opened") << true << 0;
}

void TestExamMode::databaseWithoutQuestions() {
    QFETCH(bool, sample);
    QFETCH(int, choice);
    // The sample as installed: read-only, in a folder of its own.
    const QString samplePath = m_dir->filePath(QStringLiteral("share/Образец.zet"));
    if (sample) {
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("share")));
        Database db;
        db.databasePath = samplePath;
        db.startNew(QStringLiteral("Образец"), QStringLiteral("Автор"), kToday);
        setQuestion(db, 1, 1, QStringLiteral("1111111111"));
        QVERIFY(db.saveDatabase().ok());
        QVERIFY(QFile::setPermissions(samplePath, QFile::ReadOwner));
    }
    m_exam->setSampleDatabase(sample ? samplePath : QString());
    Database& db = coreDatabase(*m_core);
    for (int t = 1; t <= 3; ++t)
        for (int q = 1; q <= 12; ++q)
            for (int p = 0; p < kParts; ++p)
                db.questions(t, q, p).clear();
    const QString emptyPath = db.databasePath;
    QStringList asked;
    hooks().choice = [&](const QString& text, const QStringList&) {
        asked << text;
        return choice;
    };

    beginExam(1);
    QCOMPARE(int(coreExam(*m_core).examRunning), 0);
    QCOMPARE(asked.size(), choice < 0 ? 0 : 1);
    const QString said = choice < 0 ? m_messages.value(0) : asked.value(0);
    QVERIFY2(said.contains(QStringLiteral("нет ни одного вопроса")), qPrintable(said));
    QVERIFY(!said.contains(QStringLiteral("Для вопроса № 1")));
    if (choice != 0) {
        QCOMPARE(m_messages.size(), choice < 0 ? 1 : 0);
        QCOMPARE(coreDatabase(*m_core).databasePath, emptyPath);
        return;
    }
    // Opened from a copy in the program folder, remembered for the next start, ready to start.
    const QString copy = QDir(m_dir->path()).filePath(QStringLiteral("Образец.zet"));
    QCOMPARE(QDir::cleanPath(coreDatabase(*m_core).databasePath), copy);
    QVERIFY(QFileInfo(copy).isWritable());
    QCOMPARE(coreDatabase(*m_core).databaseHeader[2], QStringLiteral("Образец"));
    QString remembered;
    QVERIFY(readSettingsFile(QDir(m_dir->path()).filePath(QStringLiteral("zetr100.sys")), &remembered).ok);
    QCOMPARE(QDir::cleanPath(remembered), copy);
    QCOMPARE(m_messages.size(), 1);
    QVERIFY(m_messages[0].contains(QStringLiteral("Образец")));
    m_messages.clear();
    QTest::mouseClick(m_ctl.startButton, Qt::LeftButton);
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(QLatin1Char('\n'))));
    QCOMPARE(int(coreExam(*m_core).examRunning), 1);
}

QTEST_MAIN(TestExamMode)
#include "tst_exammode.moc"
