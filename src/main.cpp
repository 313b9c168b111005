#include "ui/shell/aboutarea.h"
#include "ui/shell/form1.h"
#include "ui/shell/uikit.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Orvelant"));
    QApplication::setApplicationName(QStringLiteral("razividerur"));
    QApplication::setWindowIcon(zet::ui::ProgramIcon());
    zet::ui::RegisterFontSubstitutions();
    zet::Module1 core;
    zet::ui::Form1 window(core);
    window.show();
    return QApplication::exec();
}
