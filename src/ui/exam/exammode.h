#pragma once
// The exam mode: the registration area, the exam area, the pause that shows whether an answer
// was right, the exam clock and the result window.

#include "app/appcore.h"

#include <QObject>

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

    RegistrationArea* registrationArea() const { return m_registration; }
    ExamArea* examArea() const { return m_examArea; }
    ResultWindow* resultWindow() const { return m_resultWindow; }
    QTimer* feedbackPause() const { return m_feedbackPause; }
    QTimer* examClock() const { return m_examClock; }

signals:
    // "Выход" of the result window: the main window returns to the main mode.
    void resultAcknowledged();

private:
    // Stops the clock and any pause, grades and stores the exam, writes the day file and,
    // when showResult is set, opens the result window.
    void finishExam(bool showResult);
    void showTimeLeft();
    void onResultAcknowledged();

    AppCore& m_core;
    QWidget* m_surface;
    RegistrationArea* m_registration = nullptr;
    ExamArea* m_examArea = nullptr;
    ResultWindow* m_resultWindow = nullptr;
    QTimer* m_feedbackPause = nullptr;
    QTimer* m_examClock = nullptr;
    bool m_inMode = false; // between enterMode() and leaving the exam mode
};

} // namespace zet::ui
