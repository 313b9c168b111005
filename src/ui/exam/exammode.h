#pragma once
// The exam mode: the registration area Frame2, the exam area Frame4, the feedback pause
// Timer1, the exam clock Timer3 and the result window ResultWindow.

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

    // Start-up: fills the registration area from DayRegister(n).
    void showExaminee(int16 n);
    // Mode entry: shows Frame2 at the current examinee and runs the profile choice.
    void enterMode();
    // Mode exit: finishes a running exam first, then hides Frame2.
    void leaveMode();
    // Finishes a running exam (closing the main window); does nothing otherwise.
    void finishRunningExam();

    // "Начать экзамен": checks the start, refuses it with a message, or starts the exam.
    void command3Click();
    // A click on the answer box of position 1..5.
    void answerClick(int16 position);
    // The end of the feedback pause.
    void timer1Timer();
    // One second of the exam clock.
    void timer3Timer();

    RegistrationArea* frame2() const { return m_frame2; }
    ExamArea* frame4() const { return m_frame4; }
    ResultWindow* resultWindow() const { return m_resultWindow; }
    QTimer* timer1() const { return m_timer1; }
    QTimer* timer3() const { return m_timer3; }

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
    RegistrationArea* m_frame2 = nullptr;
    ExamArea* m_frame4 = nullptr;
    ResultWindow* m_resultWindow = nullptr;
    QTimer* m_timer1 = nullptr;
    QTimer* m_timer3 = nullptr;
    bool m_inMode = false; // between EnterMode and leaving the exam mode
};

} // namespace zet::ui
