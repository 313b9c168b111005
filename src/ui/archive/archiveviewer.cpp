#include "ui/archive/archiveviewer.h"

#include "ui/shell/uikit.h"

namespace zet::ui {

ArchiveViewer::ArchiveViewer(Module1& core, QWidget* parent) : QGroupBox(parent), m_core(core) {
    setObjectName(QStringLiteral("Frame6"));
    hide();
}

void ArchiveViewer::EnterMode() {}

} // namespace zet::ui
