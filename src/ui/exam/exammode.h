#pragma once
// The exam mode: the registration area, the exam area, the pause that shows whether an answer
// was right, the exam clock and the result window.

#include "app/appcore.h"

#include <QObject>

#include <optional>

class QTimer;
class QWidget;

namespace zet::ui {

class ExamArea;
class ResultWindow;
class RegistrationArea;

class ExamMode : public QObject {
    Q_OBJECT
public:
    // The two areas are created as children of surface (the main window's work surface),
    // the result window as a window of surface's window.
    ExamMode(AppCore& core, QWidget* surface);

    // Start-up: fills the registration area from record n of the day's register.
    void showExaminee(int16 n);
    // Mode entry: shows the registration area at the current examinee and runs the profile choice.
    void enterMode();
    // Mode exit: finishes a running exam first, then hides the registration area.
    void leaveMode();
    // Finishes a running exam (closing the main window); does nothing otherwise.
    void finishRunningExam();

    // "Начать экзамен": checks the start, refuses it with a message, or starts the exam.
    void startExam();
    // A click on the answer box of position 1..5.
    void acceptAnswer(int16 position);
    // The end of the feedback pause.
    void endFeedbackPause();
    // One second of the exam clock.
    void clockTick();

    // The sample database a start on a database without questions offers; by default the one
    // installed or built with the program.
    QString sampleDatabase() const;
    void setSampleDatabase(const QString& path) { m_sampleDatabase = path; }

    RegistrationArea* registrationArea() const { return m_registration; }
    ExamArea* examArea() const { return m_examArea; }
    ResultWindow* resultWindow() const { return m_resultWindow; }
    QTimer* feedbackPause() const { return m_feedbackPause; }
    QTimer* examClock() const { return m_examClock; }

signals:
    // An exam started: the exam area shows its first question.
    void examStarted();
    // "Выход" of the result window: the main window returns to the main mode.
    void resultAcknowledged();

private:
    // Stops the clock and any pause, grades and stores the exam, writes the day file and,
    // when showResult is set, opens the result window.
    void finishExam(bool showResult);
    void showTimeLeft();
    void onResultAcknowledged();
    // A start refused for a database without questions: offers the sample database. False when
    // there is no sample to offer (the refusal is then shown as it is).
    bool offerSampleDatabase(const QString& refusal);

    AppCore& m_core;
    QWidget* m_surface;
    RegistrationArea* m_registration = nullptr;
    ExamArea* m_examArea = nullptr;
    ResultWindow* m_resultWindow = nullptr;
    QTimer* m_feedbackPause = nullptr;
    QTimer* m_examClock = nullptr;
    std::optional<QString> m_sampleDatabase;
    bool m_inMode = false; // between enterMode() and leaving the exam mode
};

} // namespace zet::ui
