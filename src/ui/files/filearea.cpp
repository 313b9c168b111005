#include "ui/files/filearea.h"

#include "ui/shell/uikit.h"

namespace zet::ui {

FileArea::FileArea(Module1& core, QWidget* parent) : QGroupBox(parent), m_core(core) {
    setObjectName(QStringLiteral("Frame5"));
    hide();
}

void FileArea::Open(Action) { show(); }

} // namespace zet::ui
