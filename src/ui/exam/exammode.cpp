#include "ui/exam/exammode.h"

#include "ui/exam/examarea.h"
#include "ui/exam/form2.h"
#include "ui/exam/registrationarea.h"
#include "ui/shell/messages.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

namespace zet::ui {

namespace {

constexpr int kPauseMs = 2000;
constexpr int kClockMs = 1000;

} // namespace

ExamMode::ExamMode(Module1& core, QWidget* surface) : QObject(surface), m_core(core), m_surface(surface) {
    setObjectName(QStringLiteral("ExamMode"));
    m_frame2 = new RegistrationArea(core, surface);
    m_frame4 = new ExamArea(surface);
    m_form2 = new Form2(surface->window());
    m_form2->hide();

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(kPauseMs);
    m_timer1->setSingleShot(true);
    m_timer3 = new QTimer(this);
    m_timer3->setObjectName(QStringLiteral("Timer3"));
    m_timer3->setInterval(kClockMs);

    connect(m_frame2->Command3, &QPushButton::clicked, this, &ExamMode::Command3_Click);
    connect(m_frame4, &ExamArea::answerClicked, this, &ExamMode::AnswerClick);
    connect(m_timer1, &QTimer::timeout, this, &ExamMode::Timer1_Timer);
    connect(m_timer3, &QTimer::timeout, this, &ExamMode::Timer3_Timer);
    connect(m_form2, &Form2::acknowledged, this, &ExamMode::ResultAcknowledged);
}

void ExamMode::ShowExaminee(int16 n) {
    m_frame2->ShowExaminee(n);
}

void ExamMode::EnterMode() {
    m_inMode = true;
    m_frame2->EnterMode();
}

void ExamMode::LeaveMode() {
    if (m_core.exam.ExamRunning != 0)
        FinishExam(true);
    m_frame4->hide();
    m_frame2->hide();
    m_inMode = false;
}

void ExamMode::FinishRunningExam() {
    if (m_core.exam.ExamRunning != 0)
        FinishExam(false);
}

void ExamMode::Command3_Click() {
    // The boxes show an earlier examinee: none of that is taken for the new one.
    if (m_frame2->ShowsEarlierExaminee()) {
        m_frame2->EnterMode();
        ShowMessage(m_frame2, QStringLiteral("Введите сведения об экзаменуемом № %1, затем нажмите "
                                             "«Начать экзамен».")
                                  .arg(m_core.exam.CurrentExaminee));
        return;
    }
    const RegistrationTexts texts = m_frame2->Texts();
    if (const std::optional<QString> refusal = m_core.CheckExamStart(texts)) {
        ShowMessage(m_frame2, *refusal);
        return;
    }
    const QString unstorable = m_core.UnstorableCharacters(texts);
    if (!unstorable.isEmpty()) {
        QStringList quoted;
        for (qsizetype i = 0; i < unstorable.size(); ++i) {
            const bool pair = unstorable.at(i).isHighSurrogate() && i + 1 < unstorable.size();
            quoted << QStringLiteral("«%1»").arg(unstorable.mid(i, pair ? 2 : 1));
            if (pair)
                ++i;
        }
        const QString question =
            QStringLiteral("Эти знаки нельзя сохранить в архиве результатов, вместо них будет записан "
                           "знак «?»: %1.\n\nНачать экзамен так? Нажмите «Нет», чтобы исправить сведения.")
                .arg(quoted.join(QStringLiteral(", ")));
        if (!AskYesNo(m_frame2, question)) {
            m_frame2->Text2->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    // While an exam runs no earlier result is on show.
    m_form2->hide();
    m_frame2->hide();
    m_frame4->show();
    // The start button has gone with Frame2: the keyboard focus stays in the exam area
    // instead of wandering to the database strip.
    m_frame4->setFocus(Qt::OtherFocusReason);
    m_frame4->setTitle(m_frame2->Text14->text());
    m_frame4->Label57->setText(QStringLiteral("Сдает:  ") + m_frame2->Text2->text());
    const PresentedQuestion first = m_core.StartExam(texts);
    m_frame4->ShowQuestion(first);
    ShowTimeLeft();
    m_timer3->start();
}

void ExamMode::AnswerClick(int16 position) {
    bool correct = false;
    if (!m_core.AnswerClick(position, &correct))
        return;
    m_frame4->ShowFeedback(correct);
    m_timer1->start();
}

void ExamMode::Timer1_Timer() {
    m_timer1->stop();
    // AdvanceExam also releases the lock of a pause that outlived its exam.
    if (const std::optional<PresentedQuestion> next = m_core.AdvanceExam())
        m_frame4->ShowQuestion(*next);
    else if (m_core.exam.ExamRunning != 0)
        FinishExam(true);
}

void ExamMode::Timer3_Timer() {
    const bool timeUp = m_core.ClockTick();
    ShowTimeLeft();
    if (timeUp)
        FinishExam(true);
}

void ExamMode::ShowTimeLeft() {
    const ExamState& exam = m_core.exam;
    if (exam.CurrentExaminee < 1 || exam.CurrentExaminee > kRegisterSlots || exam.CurrentProfile < 1 ||
        exam.CurrentProfile > kProfileCount)
        return;
    const int limit = m_core.db.Profiles[exam.CurrentProfile].TimeLimit;
    m_frame4->ShowTimeLeft(limit - exam.DayRegister[exam.CurrentExaminee].TimeSpent);
}

void ExamMode::FinishExam(bool showResult) {
    m_frame4->ResetQuestionColour();
    m_timer3->stop();
    // A pause still running belongs to this exam: it ends with it.
    m_timer1->stop();
    const std::optional<FinishResult> result = m_core.FinishExam(m_frame2->Texts());
    if (result)
        m_frame2->ShowResults(*result);
    m_frame4->hide();
    m_frame2->hide();
    if (!result)
        return;
    if (showResult)
        m_form2->ShowResult(result->Examinee, m_core.db.DatabaseHeader[2], result->Record);
    if (!result->Written.ok) {
        QString text = QStringLiteral("Не удалось записать результаты экзаменов в файл\n%1\n\n")
                           .arg(m_core.archive.DayFilePath());
        text +=
            result->Written.error.isEmpty() ? QStringLiteral("Причина неизвестна.") : result->Written.error;
        text += QStringLiteral("\n\nРезультат экзамена сохранён в памяти программы и будет записан в файл "
                               "вместе со следующим экзаменом.");
        ShowMessage(showResult ? static_cast<QWidget*>(m_form2) : m_surface, text);
    }
}

void ExamMode::ResultAcknowledged() {
    // After an exam finished by leaving the exam mode the main window is already back in the
    // main mode and may have gone on to another mode since: the window only goes away.
    if (!m_inMode)
        return;
    m_inMode = false;
    m_frame2->hide();
    m_frame4->hide();
    emit resultAcknowledged();
}

} // namespace zet::ui
