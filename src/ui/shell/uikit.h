#pragma once
// Small helpers shared by every window: twips geometry, colours, the program's fonts, and
// the labels and one-row number lists the work areas are built from.

#include <QColor>
#include <QFont>
#include <QWidget>

#include <optional>

class QLabel;
class QListWidget;

namespace zet::ui {

// 15 twips = 1 px at 96 dpi; the screen's logical dpi is used.
int twips(int twips);
// twips(), times scale: the same rounding, so that scale 1 gives twips() exactly.
int scaledTwips(int twips, double scale);
// Places a widget at a rectangle given in twips inside its parent, at the designed size. The
// rectangle stays with the widget, so that scaleTwips() can place it again at another scale.
void placeTwips(QWidget* w, int left, int top, int width, int height);
// Places every widget under root that was placed with placeTwips() at scale times its designed
// rectangle, and gives every widget under root its designed font at scale times its size (the
// font it had the first time it was scaled). Windows under root keep their own size and fonts.
void scaleTwips(QWidget* root, double scale);
// Background of a box (QPalette::Base) or of a frame or label (QPalette::Window).
void setBoxColor(QWidget* w, const QColor& background);
void setWindowColor(QWidget* w, const QColor& background);

// "Times New Roman" and "MS Sans Serif" at a point size, or else the first of their
// metric-compatible stand-ins that this computer has. The same stand-ins are registered as
// substitutions once by registerFontSubstitutions().
QFont timesFont(double pointSize);
QFont sansFont(double pointSize);
void registerFontSubstitutions();
// The designed family first, then its stand-ins.
const QStringList& serifFamilies();
const QStringList& sansFamilies();

// Colours used across the windows.
inline const QColor kLightYellow{255, 255, 192};
inline const QColor kLightGreen{192, 255, 192};
inline const QColor kLightBlue{192, 192, 255};
inline const QColor kLightRed{255, 192, 192};
inline const QColor kEditorBlue{128, 128, 255};
inline const QColor kGreen{0, 255, 0};
inline const QColor kRed{255, 0, 0};

// How makeLabel() sets up a label beyond its name, text and place.
struct LabelOptions {
    std::optional<Qt::Alignment> alignment; // none: QLabel's own
    std::optional<QFont> font;              // none: the parent's
    // The control the label names: it gets the label's mnemonic and, when it has no accessible
    // name yet, the label's text as its accessible name.
    QWidget* buddy = nullptr;
};

// A label placed in twips inside parent; not filled, so the parent's background shows through.
QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, int left, int top, int width,
                  int height, const LabelOptions& options = {});

// How makeNumberList() sets up a list beyond its numbers and place.
struct NumberListOptions {
    std::optional<QColor> background; // none: the palette's
    bool scrollBarAlwaysOn = false;   // else shown as needed
    // The number in the row is always the selected one: bringing another number into the row
    // (the scroll arrows, the wheel, the bar) selects it, and the shown number cannot be
    // deselected.
    bool selectShownNumber = false;
};

// A one-row list of the numbers first..last, single selection, scrolled a whole row at a
// time; every row is as high as the list's inside, so exactly one number shows.
QListWidget* makeNumberList(QWidget* parent, const QString& name, const QString& accessibleName, int first,
                            int last, int left, int top, int width, int height,
                            const NumberListOptions& options = {});

} // namespace zet::ui
