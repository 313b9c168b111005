#pragma once
// The program's widget style: the platform's own, except that its standard icons are read
// only when one is drawn. Qt reads each of them from a PNG file whose format it guesses, and
// guessing loads every image plugin; a menu bar asks for its extension button's icon when it
// is made, so without this every start paid for plugins the first frame never uses.

#include <QProxyStyle>

namespace zet::ui {

class ProgramStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};

// Sets ProgramStyle over the application's present style (call after the QApplication).
void useProgramStyle();

} // namespace zet::ui
