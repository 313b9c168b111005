// Whole exams run through the widgets of the main window: the start and its refusals, the
// answer clicks with their feedback, the pause and the clock driven tick by tick, the finish
// by the last answer, by the time limit, by leaving the mode and by closing the window, the
// result window and the day file.

#include "app/module1.h"
#include "archive/dayfile.h"
#include "ui/exam/examarea.h"
#include "ui/exam/exammode.h"
#include "ui/exam/form2.h"
#include "ui/exam/registrationarea.h"
#include "ui/shell/form1.h"
#include "ui/shell/messages.h"
#include "ui/shell/uikit.h"

#include <QDir>
#include <QFile>
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

void SetQuestion(Database& db, int t, int q, const QString& flags) {
    db.Questions(t, q, 0) = flags + QStringLiteral("Вопрос %1.%2").arg(t).arg(q);
    db.Questions(t, q, 1) = kRight + QStringLiteral(" %1.%2").arg(t).arg(q);
    for (int p = 2; p <= 5; ++p)
        db.Questions(t, q, p) = QStringLiteral("Ошибка %1.%2.%3").arg(t).arg(q).arg(p);
}

QColor Base(const QWidget* w) {
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
    void dayFileWriteFailure();
    void resultWindowLeavesTheMode();
    void lateExitKeepsAnotherMode();
    void unstorableCharactersAreAskedFor();
    void unwrittenRecordsAtClose_data();
    void unwrittenRecordsAtClose();
    void modeChangeWritesUnwrittenRecords();

private:
    void Start();
    // Enters the exam mode, types the personal data, picks a profile, presses the button.
    void BeginExam(int profile, const QString& name = QStringLiteral("Петров П.П."));
    // The position 1..5 of the box that shows the right answer.
    int16 RightBox() const;
    int16 WrongBox() const { return static_cast<int16>(RightBox() % 5 + 1); }
    void Click(int16 position);
    // Answers the question on screen and ends the pause.
    void Answer(bool right);
    DayRegisterArray DayFile() const;
    QString DayFilePath() const { return m_core->archive.DayFilePath(); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Module1> m_core;
    std::unique_ptr<Form1> m_window;
    ExamMode* m_exam = nullptr;
    RegistrationArea* m_reg = nullptr;
    ExamArea* m_area = nullptr;
    Form2* m_result = nullptr;
    QStringList m_messages;
};

void TestExamMode::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_messages.clear();
    Hooks().message = [this](const QString& text) { m_messages << text; };
    Start();
}

void TestExamMode::cleanup() {
    m_window.reset();
    m_core.reset();
    m_dir.reset();
    Hooks() = MessageHooks{};
}

void TestExamMode::Start() {
    m_core = std::make_unique<Module1>(std::make_unique<SeededRandom>(11), [] { return kToday; });
    m_window = std::make_unique<Form1>(*m_core, Form1Options{m_dir->path()});
    QVERIFY(m_messages.isEmpty());

    // Theme 1: twelve questions of group 0; theme 2: five of group 1; theme 3: three of group 2.
    Database& db = m_core->db;
    db.DatabaseHeader[2] = QStringLiteral("Охрана труда");
    for (int q = 1; q <= 12; ++q)
        SetQuestion(db, 1, q, QStringLiteral("1000000000"));
    for (int q = 1; q <= 5; ++q)
        SetQuestion(db, 2, q, QStringLiteral("0100000000"));
    for (int q = 1; q <= 3; ++q)
        SetQuestion(db, 3, q, QStringLiteral("0010000000"));
    for (int i = 1; i <= kProfileCount; ++i) {
        ExamProfile& p = db.Profiles[i];
        p.Name = QStringLiteral("Профиль %1").arg(i);
        p.Groups = {QStringLiteral("1Слесари"), QStringLiteral("1Электрики")};
        for (int k = 2; k < kGroupCount; ++k)
            p.Groups[k] = QStringLiteral("0");
        for (int s = 1; s <= kSlotCount; ++s)
            p.SlotTheme[s] = s % 3 == 0 ? 2 : 1;
    }
    // Profile 1: ten questions in 600 s, thresholds 9, 7, 5 (as a new database has them).
    // Profile 2: three questions in 300 s, thresholds 3, 2, 1.
    ExamProfile& p2 = db.Profiles[2];
    p2.QuestionCount = 3;
    p2.TimeLimit = 300;
    p2.ExcellentMin = 3;
    p2.GoodMin = 2;
    p2.FairMin = 1;
    m_core->selection.ShuffleAllThemes();

    m_exam = m_window->findChild<ExamMode*>();
    QVERIFY(m_exam);
    m_reg = m_exam->Frame2();
    m_area = m_exam->Frame4();
    m_result = m_exam->ResultWindow();
    QVERIFY(m_reg && m_area && m_result);
    QCOMPARE(m_window->findChild<RegistrationArea*>(QStringLiteral("Frame2")), m_reg);
    QCOMPARE(m_window->findChild<ExamArea*>(QStringLiteral("Frame4")), m_area);
    QCOMPARE(m_window->findChild<Form2*>(QStringLiteral("Form2")), m_result);
    QCOMPARE(m_exam->findChild<QTimer*>(QStringLiteral("Timer1")), m_exam->Timer1());
    QCOMPARE(m_exam->findChild<QTimer*>(QStringLiteral("Timer3")), m_exam->Timer3());

    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestExamMode::BeginExam(int profile, const QString& name) {
    if (m_window->AppMode() != 2)
        m_window->mnu_Exam_Click();
    QCOMPARE(int(m_window->AppMode()), 2);
    QVERIFY(m_reg->isVisible());
    m_reg->Text2->setText(name);
    m_reg->Text11->setText(QStringLiteral("1975"));
    m_reg->Text12->setText(QStringLiteral("слесарь"));
    m_reg->Text13->setText(QStringLiteral("12"));
    m_reg->Text21->setText(QStringLiteral("Т-%1").arg(m_core->exam.CurrentExaminee));
    QListWidgetItem* item = m_reg->List23->item(profile - 1);
    m_reg->List23->scrollToItem(item, QAbstractItemView::PositionAtTop);
    QTest::mouseClick(m_reg->List23->viewport(), Qt::LeftButton, {},
                      m_reg->List23->visualItemRect(item).center());
    QCOMPARE(int(m_core->exam.CurrentProfile), profile);
    QTest::mouseClick(m_reg->Command3, Qt::LeftButton);
}

int16 TestExamMode::RightBox() const {
    for (int p = 1; p <= 5; ++p) {
        if (m_area->Answer[p]->toPlainText().startsWith(kRight))
            return static_cast<int16>(p);
    }
    return 0;
}

void TestExamMode::Click(int16 position) {
    QPlainTextEdit* box = m_area->Answer[position];
    QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, box->viewport()->rect().center());
}

void TestExamMode::Answer(bool right) {
    const int16 box = RightBox();
    QVERIFY(box != 0);
    Click(right ? box : WrongBox());
    QVERIFY(m_exam->Timer1()->isActive());
    m_exam->Timer1_Timer();
}

DayRegisterArray TestExamMode::DayFile() const {
    DayRegisterArray reg{};
    [&] { QVERIFY(m_core->archive.ReadDayFile(reg).ok); }();
    return reg;
}

void TestExamMode::examAreaLayout_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips");
    QTest::newRow("Frame4") << "Frame4" << QRect(405, 0, 14475, 10065);
    QTest::newRow("Label45") << "Label45" << QRect(270, 540, 2640, 375);
    QTest::newRow("Label57") << "Label57" << QRect(3105, 540, 10455, 375);
    QTest::newRow("Text27") << "Text27" << QRect(495, 945, 13665, 1470);
    QTest::newRow("Label52") << "Label52" << QRect(315, 2655, 4875, 375);
    QTest::newRow("Text28") << "Text28" << QRect(495, 3150, 13665, 1230);
    QTest::newRow("Text29") << "Text29" << QRect(495, 4477, 13665, 1230);
    QTest::newRow("Text30") << "Text30" << QRect(495, 5804, 13665, 1230);
    QTest::newRow("Text31") << "Text31" << QRect(495, 7131, 13665, 1230);
    QTest::newRow("Text32") << "Text32" << QRect(495, 8460, 13665, 1230);
}

void TestExamMode::examAreaLayout() {
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    auto* w = m_window->findChild<QWidget*>(name);
    QVERIFY(w);
    QCOMPARE(w->geometry(),
             QRect(Twips(twips.x()), Twips(twips.y()), Twips(twips.width()), Twips(twips.height())));
    if (auto* box = qobject_cast<QPlainTextEdit*>(w)) {
        QVERIFY(box->isReadOnly());
        QCOMPARE(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QVERIFY(!box->accessibleName().isEmpty());
        QCOMPARE(Base(box), name == QStringLiteral("Text27") ? kLightBlue : kLightYellow);
    }
    QCOMPARE(m_area->title(), QStringLiteral("Экзамен"));
    QCOMPARE(m_area->Label52->text(), QStringLiteral("Выберите правильный ответ:"));
    QCOMPARE(m_area->font().family(), QStringLiteral("Times New Roman"));
    QCOMPARE(m_area->font().pointSizeF(), 15.75);
    QVERIFY(m_area->isHidden());
}

void TestExamMode::startShowsFirstQuestion() {
    BeginExam(2, QStringLiteral("Сидоров С.С."));
    QVERIFY(m_messages.isEmpty());
    QVERIFY(m_reg->isHidden());
    QVERIFY(m_area->isVisible());
    QCOMPARE(int(m_core->exam.ExamRunning), 1);
    QCOMPARE(m_area->title(), QStringLiteral("Профиль 2"));
    QCOMPARE(m_area->Label57->text(), QStringLiteral("Сдает:  Сидоров С.С."));
    QCOMPARE(m_area->Label45->text(), QStringLiteral("Вопрос № 1"));
    QVERIFY(m_area->Text27->toPlainText().startsWith(QStringLiteral("Вопрос 1.")));
    QCOMPARE(Base(m_area->Text27), kLightBlue);
    // The box that shows the right answer is the one the engine judges right.
    QCOMPARE(RightBox(), m_core->answers.CorrectPosition);
    QCOMPARE(m_area->LabelTimeLeft->text(), QStringLiteral("Осталось: 5:00"));
    QVERIFY(m_exam->Timer3()->isActive());
    QCOMPARE(m_exam->Timer3()->interval(), 1000);
    QVERIFY(!m_exam->Timer1()->isActive());
    m_exam->Timer3_Timer();
    QCOMPARE(m_area->LabelTimeLeft->text(), QStringLiteral("Осталось: 4:59"));
}

void TestExamMode::answerFeedback_data() {
    QTest::addColumn<bool>("right");
    QTest::newRow("right answer") << true;
    QTest::newRow("wrong answer") << false;
}

void TestExamMode::answerFeedback() {
    QFETCH(bool, right);
    BeginExam(2);
    const QString question = m_area->Text27->toPlainText();
    const int16 box = right ? RightBox() : WrongBox();
    Click(box);
    QCOMPARE(Base(m_area->Text27), right ? kGreen : kRed);
    QCOMPARE(int(m_core->exam.CorrectCount), right ? 1 : 0);
    QCOMPARE(int(m_core->exam.ChosenPosition), int(box));
    QVERIFY(m_exam->Timer1()->isActive());
    QVERIFY(m_exam->Timer1()->isSingleShot());
    QCOMPARE(m_exam->Timer1()->interval(), 2000);

    // During the pause no click counts or recolours, on any box.
    for (int16 p = 1; p <= 5; ++p)
        Click(p);
    QCOMPARE(Base(m_area->Text27), right ? kGreen : kRed);
    QCOMPARE(int(m_core->exam.CorrectCount), right ? 1 : 0);
    QCOMPARE(int(m_core->exam.ChosenPosition), int(box));
    QCOMPARE(m_area->Text27->toPlainText(), question);

    // The end of the pause: the next question on light blue, clicks accepted again.
    m_exam->Timer1_Timer();
    QVERIFY(!m_exam->Timer1()->isActive());
    QCOMPARE(m_area->Label45->text(), QStringLiteral("Вопрос № 2"));
    QCOMPARE(Base(m_area->Text27), kLightBlue);
    QCOMPARE(int(m_core->exam.AnswerLock), 0);
    Click(RightBox());
    QCOMPARE(Base(m_area->Text27), kGreen);
    QCOMPARE(int(m_core->exam.CorrectCount), right ? 2 : 1);
}

void TestExamMode::hoverColours() {
    BeginExam(2);
    auto move = [](QWidget* w) {
        QMouseEvent event(QEvent::MouseMove, QPointF(10, 10), w->mapToGlobal(QPointF(10, 10)), Qt::NoButton,
                          Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &event);
    };
    QVERIFY(m_area->Answer[2]->viewport()->hasMouseTracking());
    move(m_area->Answer[2]->viewport());
    move(m_area->Answer[4]->viewport());
    for (int p = 1; p <= 5; ++p)
        QCOMPARE(Base(m_area->Answer[p]), p == 4 ? kLightGreen : kLightYellow);
    // The question box is no answer: the last highlight stays.
    move(m_area->Text27->viewport());
    QCOMPARE(Base(m_area->Answer[4]), kLightGreen);
    QCOMPARE(Base(m_area->Text27), kLightBlue);
    // Moving over the boxes also highlights during the pause, and a presentation keeps it.
    Click(RightBox());
    move(m_area->Answer[1]);
    m_exam->Timer1_Timer();
    for (int p = 1; p <= 5; ++p)
        QCOMPARE(Base(m_area->Answer[p]), p == 1 ? kLightGreen : kLightYellow);
}

void TestExamMode::tenQuestionsThenFinish() {
    QCOMPARE(int(m_core->db.Profiles[1].QuestionCount), 10);
    BeginExam(1, QStringLiteral("Кузнецов К.К."));
    for (int n = 1; n <= 10; ++n) {
        QCOMPARE(m_area->Label45->text(), QStringLiteral("Вопрос № %1").arg(n));
        QCOMPARE(Base(m_area->Text27), kLightBlue);
        QVERIFY(m_area->isVisible());
        // Slot n of the profile: theme 2 for every third slot.
        QVERIFY(
            m_area->Text27->toPlainText().startsWith(QStringLiteral("Вопрос %1.").arg(n % 3 == 0 ? 2 : 1)));
        Answer(n != 4);
    }
    // The pause after the tenth answer finished the exam: no eleventh question.
    QCOMPARE(m_area->Label45->text(), QStringLiteral("Вопрос № 10"));
    QCOMPARE(int(m_core->exam.ExamRunning), 0);
    QVERIFY(m_area->isHidden());
    QVERIFY(m_reg->isHidden());
    QVERIFY(!m_exam->Timer3()->isActive());
    QVERIFY(!m_exam->Timer1()->isActive());
    QCOMPARE(int(m_window->AppMode()), 2);

    const ExamineeRecord& r = m_core->exam.DayRegister[1];
    QCOMPARE(int(r.RightCount), 9);
    QCOMPARE(int(r.AskedCount), 10);
    QCOMPARE(int(r.Grade), 5);
    QCOMPARE(r.FullName, QStringLiteral("Кузнецов К.К."));
    QCOMPARE(int(r.BirthYear), 1975);
    QCOMPARE(r.PersonnelNo, QStringLiteral("Т-1"));
    QCOMPARE(int(m_core->exam.CurrentExaminee), 2);
    QCOMPARE(DayFile()[1], r);

    // The registration area's result boxes and the result window show the finished exam.
    QCOMPARE(m_reg->Text15->text(), QStringLiteral("1"));
    QCOMPARE(m_reg->Text17->text(), QStringLiteral("5"));
    QCOMPARE(m_reg->Text19->text(), QStringLiteral("9"));
    QCOMPARE(m_reg->Text20->text(), QStringLiteral("0"));
    QVERIFY(m_result->isVisible());
    QCOMPARE(m_result->Value(0), QStringLiteral("1"));
    QCOMPARE(m_result->Value(1), QStringLiteral("Охрана труда"));
    QCOMPARE(m_result->Value(3), QStringLiteral("Кузнецов К.К."));
    QCOMPARE(m_result->Value(6), QStringLiteral("9"));
}

void TestExamMode::timeOutStoresTimeSpent() {
    QCOMPARE(int(m_core->db.Profiles[1].TimeLimit), 600);
    BeginExam(1);
    QCOMPARE(m_area->LabelTimeLeft->text(), QStringLiteral("Осталось: 10:00"));
    for (int s = 1; s <= 600; ++s)
        m_exam->Timer3_Timer();
    QCOMPARE(int(m_core->exam.ExamRunning), 1);
    QCOMPARE(m_area->LabelTimeLeft->text(), QStringLiteral("Осталось: 0:00"));
    QVERIFY(m_area->isVisible());
    m_exam->Timer3_Timer();

    QCOMPARE(int(m_core->exam.ExamRunning), 0);
    QVERIFY(!m_exam->Timer3()->isActive());
    QVERIFY(m_area->isHidden());
    QCOMPARE(Base(m_area->Text27), kLightBlue);
    const ExamineeRecord& r = m_core->exam.DayRegister[1];
    QCOMPARE(int(r.TimeSpent), 601);
    QCOMPARE(int(r.RightCount), 0);
    QCOMPARE(int(r.Grade), 2);
    QCOMPARE(int(r.AskedCount), 10);
    QCOMPARE(DayFile()[1], r);
    QCOMPARE(m_reg->Text20->text(), QStringLiteral("601"));
    QCOMPARE(m_result->Value(7), QStringLiteral("601"));
    QCOMPARE(m_result->Value(4), QStringLiteral("2"));
    QCOMPARE(m_result->Value(5), QStringLiteral("10"));
}

void TestExamMode::leavingTheModeRecordsAnswersSoFar() {
    BeginExam(1);
    Answer(true);
    Answer(false);
    Answer(true);
    m_exam->Timer3_Timer();
    m_exam->Timer3_Timer();
    m_window->mnu_Exam_Click();

    QCOMPARE(int(m_window->AppMode()), 0);
    QCOMPARE(int(m_core->exam.ExamRunning), 0);
    QVERIFY(m_area->isHidden());
    QVERIFY(m_reg->isHidden());
    QVERIFY(!m_exam->Timer3()->isActive());
    const ExamineeRecord& r = m_core->exam.DayRegister[1];
    QCOMPARE(int(r.RightCount), 2);
    QCOMPARE(int(r.TimeSpent), 2);
    QCOMPARE(int(r.AskedCount), 10);
    QCOMPARE(int(r.Grade), 2);
    QCOMPARE(DayFile()[1], r);
    QVERIFY(m_result->isVisible());
    QCOMPARE(m_result->Value(6), QStringLiteral("2"));
}

void TestExamMode::timeOutDuringPauseRecordsOnce() {
    BeginExam(2);
    Answer(true);
    Answer(true);
    // The last answer; the time runs out while its pause is pending.
    Click(RightBox());
    QVERIFY(m_exam->Timer1()->isActive());
    for (int s = 1; s <= 301; ++s)
        m_exam->Timer3_Timer();
    QCOMPARE(int(m_core->exam.ExamRunning), 0);
    QVERIFY(!m_exam->Timer1()->isActive());
    QCOMPARE(int(m_core->exam.AnswerLock), 0);
    QCOMPARE(int(m_core->exam.CurrentExaminee), 2);

    // Even a tick that was already on its way changes nothing.
    m_exam->Timer1_Timer();
    QCOMPARE(int(m_core->exam.CurrentExaminee), 2);
    QCOMPARE(m_area->Label45->text(), QStringLiteral("Вопрос № 3"));
    QVERIFY(m_area->isHidden());

    const DayRegisterArray file = DayFile();
    QCOMPARE(int(file[1].RightCount), 3);
    QCOMPARE(int(file[1].TimeSpent), 301);
    QCOMPARE(int(file[1].Grade), 5);
    QCOMPARE(int(file[2].ProfileNo), 0);
    QCOMPARE(int(m_core->exam.DayRegister[2].ProfileNo), 0);
}

void TestExamMode::threeExamsOnAFreshDay() {
    QCOMPARE(int(m_core->exam.CurrentExaminee), 1);
    const QStringList names = {QStringLiteral("Алексеев А.А."), QStringLiteral("Борисов Б.Б."),
                               QStringLiteral("Васильев В.В.")};
    for (int i = 0; i < 3; ++i) {
        BeginExam(2, names[i]);
        QCOMPARE(m_reg->Text15->text(), QString::number(i + 1));
        for (int n = 0; n < 3; ++n)
            Answer(n <= i);
        QVERIFY(m_result->isVisible());
        // The number of the examinee just finished, not of the next one.
        QCOMPARE(m_result->Value(0), QString::number(i + 1));
        QCOMPARE(m_result->Value(3), names[i]);
        QTest::mouseClick(m_result->Command1, Qt::LeftButton);
        QVERIFY(m_result->isHidden());
        QCOMPARE(int(m_window->AppMode()), 0);
    }
    QCOMPARE(int(m_core->exam.CurrentExaminee), 4);
    const DayRegisterArray file = DayFile();
    for (int n = 1; n <= 3; ++n) {
        QCOMPARE(int(m_core->exam.DayRegister[n].ProtocolNo), n);
        QCOMPARE(int(file[n].ProtocolNo), n);
        QCOMPARE(file[n].FullName, names[n - 1]);
        QCOMPARE(int(file[n].RightCount), n);
        QCOMPARE(file[n].ProfileName, QStringLiteral("Профиль 2"));
        QCOMPARE(int(file[n].ProfileNo), 2);
    }
    QCOMPARE(int(file[4].ProfileNo), 0);

    // The next entry starts at examinee 4 with an empty form.
    m_window->mnu_Exam_Click();
    QCOMPARE(m_reg->TopRow(), 3);
    QCOMPARE(m_reg->Text15->text(), QStringLiteral("4"));
    QVERIFY(m_reg->Text2->text().isEmpty());
    QVERIFY(m_reg->Text2->isEnabled());
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

    Database& db = m_core->db;
    db.Profiles[3].QuestionCount = 0;
    db.Profiles[4].QuestionCount = 16;
    db.Profiles[5].SlotTheme[3] = 21;
    db.Profiles[6].SlotTheme[1] = 0;
    // Theme 3 holds only questions of group 2, which profile 7 does not admit.
    db.Profiles[7].SlotTheme[2] = 3;
    if (QTest::currentDataTag() == QByteArray("register full")) {
        for (int n = 1; n <= kRegisterSlots; ++n) {
            m_core->exam.DayRegister[n].ProfileNo = 1;
            m_core->exam.DayRegister[n].ProtocolNo = static_cast<int16>(n);
        }
        m_core->exam.CurrentExaminee = kRegisterSlots + 1;
    }
    const DayRegisterArray before = m_core->exam.DayRegister;
    const int16 examinee = m_core->exam.CurrentExaminee;
    const QByteArray fileBefore = [&] {
        QFile f(DayFilePath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();

    m_window->mnu_Exam_Click();
    m_reg->Text2->setText(QStringLiteral("Орлов О.О."));
    m_reg->Text11->setText(year);
    m_reg->Text13->setText(seniority);
    m_reg->List23->setCurrentRow(profile - 1);
    const QString shownName = m_reg->Text14->text();
    QTest::mouseClick(m_reg->Command3, Qt::LeftButton);

    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages.front().contains(expected), qPrintable(m_messages.front()));
    QCOMPARE(int(m_core->exam.ExamRunning), 0);
    QVERIFY(m_reg->isVisible());
    QVERIFY(m_area->isHidden());
    QVERIFY(!m_exam->Timer3()->isActive());
    QCOMPARE(m_reg->Text2->text(), QStringLiteral("Орлов О.О."));
    QCOMPARE(m_reg->Text11->text(), year);
    QCOMPARE(m_reg->Text14->text(), shownName);
    QCOMPARE(m_core->exam.CurrentExaminee, examinee);
    QVERIFY(m_core->exam.DayRegister == before);
    QFile f(DayFilePath());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), fileBefore);
}

void TestExamMode::closingTheWindowRecordsTheExam() {
    BeginExam(1, QStringLiteral("Фёдоров Ф.Ф."));
    Answer(true);
    Click(RightBox());
    m_exam->Timer3_Timer();
    QVERIFY(m_window->close());

    QCOMPARE(int(m_core->exam.ExamRunning), 0);
    QVERIFY(!m_exam->Timer1()->isActive());
    QVERIFY(!m_exam->Timer3()->isActive());
    const DayRegisterArray file = DayFile();
    QCOMPARE(file[1].FullName, QStringLiteral("Фёдоров Ф.Ф."));
    QCOMPARE(int(file[1].RightCount), 2);
    QCOMPARE(int(file[1].TimeSpent), 1);
    QCOMPARE(int(file[1].ProfileNo), 1);
    QCOMPARE(int(m_core->exam.CurrentExaminee), 2);
    QVERIFY(m_messages.isEmpty());
}

void TestExamMode::dayFileWriteFailure() {
    // A directory where the day file should be: the write cannot replace it.
    const QString path = DayFilePath();
    QVERIFY(QFile::remove(path));
    QVERIFY(QDir().mkdir(path));

    BeginExam(2, QStringLiteral("Григорьев Г.Г."));
    for (int n = 0; n < 3; ++n)
        Answer(true);
    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages.front().contains(path), qPrintable(m_messages.front()));
    QVERIFY(m_result->isVisible());
    // The record stays in the register and the next examinee gets the next slot.
    QCOMPARE(m_core->exam.DayRegister[1].FullName, QStringLiteral("Григорьев Г.Г."));
    QCOMPARE(int(m_core->exam.CurrentExaminee), 2);
    QTest::mouseClick(m_result->Command1, Qt::LeftButton);

    // Once the way is free again the next finish writes both records.
    QVERIFY(QDir().rmdir(path));
    BeginExam(2, QStringLiteral("Дмитриев Д.Д."));
    for (int n = 0; n < 3; ++n)
        Answer(false);
    QCOMPARE(m_messages.size(), 1);
    const DayRegisterArray file = DayFile();
    QCOMPARE(file[1].FullName, QStringLiteral("Григорьев Г.Г."));
    QCOMPARE(file[2].FullName, QStringLiteral("Дмитриев Д.Д."));
    QCOMPARE(int(file[2].Grade), 2);
}

void TestExamMode::resultWindowLeavesTheMode() {
    BeginExam(2);
    for (int n = 0; n < 3; ++n)
        Answer(true);
    QCOMPARE(int(m_window->AppMode()), 2);
    QVERIFY(m_result->isVisible());
    QSignalSpy acknowledged(m_exam, &ExamMode::resultAcknowledged);
    QTest::mouseClick(m_result->Command1, Qt::LeftButton);
    QCOMPARE(acknowledged.size(), 1);
    QVERIFY(m_result->isHidden());
    QVERIFY(m_reg->isHidden());
    QVERIFY(m_area->isHidden());
    QCOMPARE(int(m_window->AppMode()), 0);
    QVERIFY(!m_result->windowIcon().isNull());

    // A new exam puts an earlier result out of sight.
    BeginExam(2);
    Answer(true);
    m_window->mnu_Exam_Click();
    QVERIFY(m_result->isVisible());
    QCOMPARE(m_result->Value(0), QStringLiteral("2"));
    BeginExam(2);
    QVERIFY(m_result->isHidden());
}

void TestExamMode::lateExitKeepsAnotherMode() {
    // The exam is finished by leaving the mode; the examiner opens the question editor
    // before the examinee closes the result window.
    BeginExam(2);
    Answer(true);
    m_window->mnu_Exam_Click();
    QVERIFY(m_result->isVisible());
    m_window->mnu_Redactor_Click();
    QCOMPARE(int(m_window->AppMode()), 1);
    QSignalSpy acknowledged(m_exam, &ExamMode::resultAcknowledged);
    QTest::mouseClick(m_result->Command1, Qt::LeftButton);
    QVERIFY(m_result->isHidden());
    QCOMPARE(acknowledged.size(), 0);
    QCOMPARE(int(m_window->AppMode()), 1);
    QVERIFY(m_window->findChild<QWidget*>(QStringLiteral("Frame1"))->isVisible());
}

void TestExamMode::unstorableCharactersAreAskedFor() {
    QStringList questions;
    bool goOn = false;
    Hooks().yesNo = [&](const QString& text) {
        questions << text;
        return goOn;
    };
    const QString name = QStringLiteral("Әлия Ғабдуллина 😀");
    BeginExam(2, name);
    QCOMPARE(questions.size(), 1);
    for (const QString& c : {QStringLiteral("«Ә»"), QStringLiteral("«Ғ»"), QStringLiteral("«😀»")})
        QVERIFY2(questions.front().contains(c), qPrintable(questions.front()));
    QVERIFY(!questions.front().contains(QStringLiteral("«л»")));
    QCOMPARE(int(m_core->exam.ExamRunning), 0);
    QCOMPARE(m_reg->Text2->text(), name);

    goOn = true;
    QTest::mouseClick(m_reg->Command3, Qt::LeftButton);
    QCOMPARE(questions.size(), 2);
    QCOMPARE(int(m_core->exam.ExamRunning), 1);
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
    const QString path = DayFilePath();
    QVERIFY(QFile::remove(path));
    QVERIFY(QDir().mkdir(path));
    BeginExam(2, QStringLiteral("Григорьев Г.Г."));
    for (int n = 0; n < 3; ++n)
        Answer(true);
    QCOMPARE(m_messages.size(), 1);

    const QString elsewhere = m_dir->filePath(QStringLiteral("копия.txt"));
    QStringList asked;
    Hooks().choice = [&](const QString& text, const QStringList& buttons) {
        asked << text;
        [&] { QCOMPARE(buttons.last(), QStringLiteral("Выйти без сохранения")); }();
        const int choice = asked.size() <= choices.size() ? choices[asked.size() - 1] : -1;
        if (choice == 0)
            QDir().rmdir(path);
        return choice;
    };
    Hooks().saveFileName = [&](const QString& start) {
        [&] { QVERIFY(start.endsWith(m_core->archive.DayFileName)); }();
        return elsewhere;
    };
    QCOMPARE(m_window->close(), closes);
    QCOMPARE(asked.size(), 1);
    QVERIFY2(asked.front().contains(path), qPrintable(asked.front()));
    QCOMPARE(m_window->isVisible(), !closes);
    QCOMPARE(m_core->HasUnwrittenRecords(), kept.isEmpty());
    const QString file = kept == "elsewhere" ? elsewhere : path;
    QFile f(file);
    if (kept.isEmpty()) {
        QVERIFY(!QFileInfo(elsewhere).exists());
        return;
    }
    QVERIFY(f.open(QIODevice::ReadOnly));
    DayRegisterArray back{};
    ParseDayFile(f.readAll(), back);
    QCOMPARE(back[1].FullName, QStringLiteral("Григорьев Г.Г."));
}

void TestExamMode::modeChangeWritesUnwrittenRecords() {
    const QString path = DayFilePath();
    QVERIFY(QFile::remove(path));
    QVERIFY(QDir().mkdir(path));
    BeginExam(2, QStringLiteral("Григорьев Г.Г."));
    for (int n = 0; n < 3; ++n)
        Answer(true);
    QVERIFY(m_core->HasUnwrittenRecords());
    QVERIFY(QDir().rmdir(path));
    QTest::mouseClick(m_result->Command1, Qt::LeftButton);
    QCOMPARE(int(m_window->AppMode()), 0);
    QVERIFY(!m_core->HasUnwrittenRecords());
    QCOMPARE(DayFile()[1].FullName, QStringLiteral("Григорьев Г.Г."));
}

QTEST_MAIN(TestExamMode)
#include "tst_exammode.moc"
