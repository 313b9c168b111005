#include "ui/shell/form1.h"

namespace zet::ui {

Form1::Form1(Module1& core, QWidget* parent) : QMainWindow(parent), m_core(core) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Razividerur"));
    setWindowIcon(QIcon(QStringLiteral(":/icon.png")));
}

} // namespace zet::ui
