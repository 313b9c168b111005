#include "ui/authoring/profileeditor.h"

#include "ui/shell/uikit.h"

namespace zet::ui {

ProfileEditor::ProfileEditor(Module1& core, QWidget* parent) : QGroupBox(parent), m_core(core) {
    setObjectName(QStringLiteral("Frame3"));
    hide();
}

void ProfileEditor::StartupReset() {}
void ProfileEditor::List4_Click() {}
void ProfileEditor::EnterMode() {}

} // namespace zet::ui
