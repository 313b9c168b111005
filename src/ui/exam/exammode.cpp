#include "ui/exam/exammode.h"

#include "ui/exam/examarea.h"
#include "ui/exam/resultwindow.h"
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

ExamMode::ExamMode(AppCore& core, QWidget* surface) : QObject(surface), m_core(core), m_surface(surface) {
    setObjectName(QStringLiteral("ExamMode"));
    m_frame2 = new RegistrationArea(core, surface);
    m_frame4 = new ExamArea(surface);
    m_resultWindow = new ResultWindow(surface->window());
    m_resultWindow->hide();

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(kPauseMs);
    m_timer1->setSingleShot(true);
    m_timer3 = new QTimer(this);
    m_timer3->setObjectName(QStringLiteral("Timer3"));
    m_timer3->setInterval(kClockMs);

    connect(m_frame2->command3, &QPushButton::clicked, this, &ExamMode::command3Click);
    connect(m_frame4, &ExamArea::answerClicked, this, &ExamMode::answerClick);
    connect(m_timer1, &QTimer::timeout, this, &ExamMode::timer1Timer);
    connect(m_timer3, &QTimer::timeout, this, &ExamMode::timer3Timer);
    connect(m_resultWindow, &ResultWindow::acknowledged, this, &ExamMode::onResultAcknowledged);
}

void ExamMode::showExaminee(int16 n) {
    m_frame2->showExaminee(n);
}

void ExamMode::enterMode() {
    m_inMode = true;
    m_frame2->enterMode();
}

void ExamMode::leaveMode() {
    if (m_core.examState().examRunning)
        finishExam(true);
    m_frame4->hide();
    m_frame2->hide();
    m_inMode = false;
}

void ExamMode::finishRunningExam() {
    if (m_core.examState().examRunning)
        finishExam(false);
}

void ExamMode::command3Click() {
    // The boxes show an earlier examinee: none of that is taken for the new one.
    if (m_frame2->showsEarlierExaminee()) {
        m_frame2->enterMode();
        showMessage(m_frame2, QStringLiteral("Введите сведения об экзаменуемом № %1, затем нажмите "
                                             "«Начать экзамен».")
                                  .arg(m_core.examState().currentExaminee));
        return;
    }
    const RegistrationTexts texts = m_frame2->texts();
    if (const std::optional<QString> refusal = m_core.checkExamStart(texts)) {
        showMessage(m_frame2, *refusal);
        return;
    }
    const QString unstorable = m_core.unstorableCharacters(texts);
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
        if (!askYesNo(m_frame2, question)) {
            m_frame2->text2->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    // While an exam runs no earlier result is on show.
    m_resultWindow->hide();
    m_frame2->hide();
    m_frame4->show();
    // The start button has gone with Frame2: the keyboard focus stays in the exam area
    // instead of wandering to the database strip.
    m_frame4->setFocus(Qt::OtherFocusReason);
    m_frame4->setTitle(m_frame2->text14->text());
    m_frame4->label57->setText(QStringLiteral("Сдает:  ") + m_frame2->text2->text());
    const PresentedQuestion first = m_core.startExam(texts);
    m_frame4->showQuestion(first);
    showTimeLeft();
    m_timer3->start();
}

void ExamMode::answerClick(int16 position) {
    bool correct = false;
    if (!m_core.answerClick(position, &correct))
        return;
    m_frame4->showFeedback(correct);
    m_timer1->start();
}

void ExamMode::timer1Timer() {
    m_timer1->stop();
    // AdvanceExam also releases the lock of a pause that outlived its exam.
    if (const std::optional<PresentedQuestion> next = m_core.advanceExam())
        m_frame4->showQuestion(*next);
    else if (m_core.examState().examRunning)
        finishExam(true);
}

void ExamMode::timer3Timer() {
    const bool timeUp = m_core.clockTick();
    showTimeLeft();
    if (timeUp)
        finishExam(true);
}

void ExamMode::showTimeLeft() {
    const ExamState& exam = m_core.examState();
    if (exam.currentExaminee < 1 || exam.currentExaminee > kRegisterSlots || exam.currentProfile < 1 ||
        exam.currentProfile > kProfileCount)
        return;
    const int limit = m_core.database().profiles[exam.currentProfile].timeLimit;
    m_frame4->showTimeLeft(limit - exam.dayRegister[exam.currentExaminee].timeSpent);
}

void ExamMode::finishExam(bool showResult) {
    m_frame4->resetQuestionColour();
    m_timer3->stop();
    // A pause still running belongs to this exam: it ends with it.
    m_timer1->stop();
    const std::optional<FinishResult> result = m_core.finishExam(m_frame2->texts());
    if (result)
        m_frame2->showResults(*result);
    m_frame4->hide();
    m_frame2->hide();
    if (!result)
        return;
    if (showResult)
        m_resultWindow->showResult(result->examinee, m_core.database().databaseHeader[2], result->record);
    if (!result->written.ok) {
        QString text = QStringLiteral("Не удалось записать результаты экзаменов в файл\n%1\n\n")
                           .arg(m_core.dayArchive().dayFilePath());
        text +=
            result->written.error.isEmpty() ? QStringLiteral("Причина неизвестна.") : result->written.error;
        text += QStringLiteral("\n\nРезультат экзамена сохранён в памяти программы и будет записан в файл "
                               "вместе со следующим экзаменом.");
        showMessage(showResult ? static_cast<QWidget*>(m_resultWindow) : m_surface, text);
    }
}

void ExamMode::onResultAcknowledged() {
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
