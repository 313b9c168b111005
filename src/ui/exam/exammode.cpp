#include "ui/exam/exammode.h"

#include <QWidget>

namespace zet::ui {

ExamMode::ExamMode(Module1& core, QWidget* surface) : QObject(surface), m_core(core), m_surface(surface) {}

void ExamMode::ShowExaminee(int16) {}
void ExamMode::EnterMode() {}
void ExamMode::LeaveMode() {}
void ExamMode::FinishRunningExam() {}

} // namespace zet::ui
