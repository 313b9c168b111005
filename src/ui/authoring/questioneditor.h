#pragma once
// Frame1, the question editor ("Редактор вопросов").

#include "app/module1.h"

#include <QGroupBox>

namespace zet::ui {

class QuestionEditor : public QGroupBox {
    Q_OBJECT
public:
    QuestionEditor(Module1& core, QWidget* parent);
    // Mode entry: selects theme 1 and question 1, shows the test name and the question.
    void EnterMode();
private:
    Module1& m_core;
};

} // namespace zet::ui
