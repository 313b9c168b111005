#pragma once
// Small helpers shared by every window: twips geometry, colours and the program's fonts.

#include <QColor>
#include <QFont>
#include <QWidget>

namespace zet::ui {

// 15 twips = 1 px at 96 dpi; the screen's logical dpi is used.
int twips(int twips);
// Places a widget at a rectangle given in twips inside its parent.
void placeTwips(QWidget* w, int left, int top, int width, int height);
// Background of a box (QPalette::Base) or of a frame or label (QPalette::Window).
void setBoxColor(QWidget* w, const QColor& background);
void setWindowColor(QWidget* w, const QColor& background);

// "Times New Roman" and "MS Sans Serif" at a point size; substitutions to metric-compatible
// fonts are registered once by registerFontSubstitutions().
QFont timesFont(double pointSize);
QFont sansFont(double pointSize);
void registerFontSubstitutions();

// Colours used across the windows.
inline const QColor kLightYellow{255, 255, 192};
inline const QColor kLightGreen{192, 255, 192};
inline const QColor kLightBlue{192, 192, 255};
inline const QColor kLightRed{255, 192, 192};
inline const QColor kEditorBlue{128, 128, 255};
inline const QColor kGreen{0, 255, 0};
inline const QColor kRed{255, 0, 0};

} // namespace zet::ui
