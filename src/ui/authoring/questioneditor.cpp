#include "ui/authoring/questioneditor.h"

#include "ui/shell/uikit.h"

namespace zet::ui {

QuestionEditor::QuestionEditor(Module1& core, QWidget* parent) : QGroupBox(parent), m_core(core) {
    setObjectName(QStringLiteral("Frame1"));
    hide();
}

void QuestionEditor::EnterMode() {}

} // namespace zet::ui
