#include "ui/exam/exammode.h"

#include "app/startup.h"
#include "ui/exam/examarea.h"
#include "ui/exam/registrationarea.h"
#include "ui/exam/resultwindow.h"
#include "ui/shell/messages.h"

#include <QCoreApplication>
#include <QTimer>
#include <QWidget>

namespace zet::ui {

namespace {

constexpr int kPauseMs = 2000;
constexpr int kClockMs = 1000;

} // namespace

ExamMode::ExamMode(AppCore& core, QWidget* surface) : QObject(surface), m_core(core), m_surface(surface) {
    setObjectName(QStringLiteral("ExamMode"));
    m_registration = new RegistrationArea(core, surface);
    m_examArea = new ExamArea(surface);
    m_resultWindow = new ResultWindow(surface->window());
    m_resultWindow->hide();

    m_feedbackPause = new QTimer(this);
    m_feedbackPause->setObjectName(QStringLiteral("feedbackPause"));
    m_feedbackPause->setInterval(kPauseMs);
    m_feedbackPause->setSingleShot(true);
    m_examClock = new QTimer(this);
    m_examClock->setObjectName(QStringLiteral("examClock"));
    m_examClock->setInterval(kClockMs);

    connect(m_registration, &RegistrationArea::startRequested, this, &ExamMode::startExam);
    connect(m_examArea, &ExamArea::answerClicked, this, &ExamMode::acceptAnswer);
    connect(m_feedbackPause, &QTimer::timeout, this, &ExamMode::endFeedbackPause);
    connect(m_examClock, &QTimer::timeout, this, &ExamMode::clockTick);
    connect(m_resultWindow, &ResultWindow::acknowledged, this, &ExamMode::onResultAcknowledged);
}

void ExamMode::showExaminee(int16 n) {
    m_registration->showExaminee(n);
}

void ExamMode::enterMode() {
    m_inMode = true;
    m_registration->enterMode();
}

void ExamMode::leaveMode() {
    if (m_core.examState().examRunning)
        finishExam(true);
    m_examArea->hide();
    m_registration->hide();
    m_inMode = false;
}

void ExamMode::finishRunningExam() {
    if (m_core.examState().examRunning)
        finishExam(false);
}

void ExamMode::startExam() {
    // The boxes show an earlier examinee: none of that is taken for the new one.
    if (m_registration->showsEarlierExaminee()) {
        m_registration->enterMode();
        showMessage(m_registration, QStringLiteral("Введите сведения об экзаменуемом № %1, затем нажмите "
                                                   "«Начать экзамен».")
                                        .arg(m_core.examState().currentExaminee));
        return;
    }
    const RegistrationTexts texts = m_registration->texts();
    if (const std::optional<QString> refusal = m_core.checkExamStart(texts)) {
        if (m_core.hasQuestions() || !offerSampleDatabase(*refusal))
            showMessage(m_registration, *refusal);
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
        if (!askYesNo(m_registration, question)) {
            m_registration->focusFullName();
            return;
        }
    }
    // While an exam runs no earlier result is on show.
    m_resultWindow->hide();
    m_registration->hide();
    m_examArea->show();
    // The start button has gone with the registration area: the keyboard focus stays in the exam area
    // instead of wandering to the database strip.
    m_examArea->setFocus(Qt::OtherFocusReason);
    m_examArea->showExaminee(texts.profileName, texts.fullName);
    const PresentedQuestion first = m_core.startExam(texts);
    m_examArea->showQuestion(first);
    showTimeLeft();
    m_examClock->start();
    emit examStarted();
}

QString ExamMode::sampleDatabase() const {
    return m_sampleDatabase ? *m_sampleDatabase : sampleDatabasePath(QCoreApplication::applicationDirPath());
}

bool ExamMode::offerSampleDatabase(const QString& refusal) {
    const QString sample = sampleDatabase();
    if (sample.isEmpty())
        return false;
    const QString question =
        refusal + QStringLiteral("\n\nС программой установлен образец базы тестов с вопросами по пожарной "
                                 "безопасности и первой помощи. Открыть его? Он будет скопирован в папку "
                                 "программы, и его можно будет менять.");
    if (askChoice(m_registration, question, {QStringLiteral("Открыть образец"), QStringLiteral("Отмена")}) !=
        0)
        return true;
    if (const std::optional<QString> error = m_core.openSampleDatabase(sample)) {
        showMessage(m_registration, *error);
        return true;
    }
    // The profile shown now names the sample's profile.
    m_registration->chooseProfile();
    showMessage(
        m_registration,
        QStringLiteral("Открыта база тестов «%1». Выберите профиль экзамена и нажмите «Начать экзамен».")
            .arg(m_core.database().databaseHeader[2]));
    return true;
}

void ExamMode::acceptAnswer(int16 position) {
    bool correct = false;
    if (!m_core.answerClick(position, &correct))
        return;
    m_examArea->showFeedback(correct);
    m_feedbackPause->start();
}

void ExamMode::endFeedbackPause() {
    m_feedbackPause->stop();
    // advanceExam() also releases the lock of a pause that outlived its exam.
    if (const std::optional<PresentedQuestion> next = m_core.advanceExam())
        m_examArea->showQuestion(*next);
    else if (m_core.examState().examRunning)
        finishExam(true);
}

void ExamMode::clockTick() {
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
    m_examArea->showTimeLeft(limit - exam.dayRegister[exam.currentExaminee].timeSpent);
}

void ExamMode::finishExam(bool showResult) {
    m_examArea->resetQuestionColour();
    m_examClock->stop();
    // A pause still running belongs to this exam: it ends with it.
    m_feedbackPause->stop();
    const std::optional<FinishResult> result = m_core.finishExam(m_registration->texts());
    if (result)
        m_registration->showResults(*result);
    m_examArea->hide();
    m_registration->hide();
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
    if (!result->journalMessage.isEmpty())
        showMessage(showResult ? static_cast<QWidget*>(m_resultWindow) : m_surface, result->journalMessage);
}

void ExamMode::onResultAcknowledged() {
    // After an exam finished by leaving the exam mode the main window is already back in the
    // main mode and may have gone on to another mode since: the window only goes away.
    if (!m_inMode)
        return;
    m_inMode = false;
    m_registration->hide();
    m_examArea->hide();
    emit resultAcknowledged();
}

} // namespace zet::ui
