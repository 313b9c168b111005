#include "ui/shell/form1.h"
#include "ui/shell/uikit.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("razividerur"));
    zet::ui::RegisterFontSubstitutions();
    zet::Module1 core;
    zet::ui::Form1 window(core);
    window.show();
    return QApplication::exec();
}
