#pragma once
// The exam mode: the registration area Frame2, the exam area Frame4, the timers and the
// result window Form2.

#include "app/module1.h"

#include <QObject>

class QWidget;

namespace zet::ui {

class ExamMode : public QObject {
    Q_OBJECT
public:
    // The two areas are created as children of surface (the main window's work surface).
    ExamMode(Module1& core, QWidget* surface);

    // Start-up: fills the registration area from DayRegister(n).
    void ShowExaminee(int16 n);
    // Mode entry: shows Frame2 at the current examinee and runs the profile choice.
    void EnterMode();
    // Mode exit: finishes a running exam first, then hides Frame2.
    void LeaveMode();
    // Finishes a running exam (closing the main window); does nothing otherwise.
    void FinishRunningExam();

signals:
    // "Выход" of the result window: the main window returns to the main mode.
    void resultAcknowledged();

private:
    Module1& m_core;
    QWidget* m_surface;
};

} // namespace zet::ui
