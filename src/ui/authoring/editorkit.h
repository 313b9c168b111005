#pragma once
// Pieces shared by the question editor and the profile editor: the look of their number
// lists, multi-line boxes and the report that follows a database save.

#include "model/database.h"
#include "ui/shell/uikit.h"

#include <QString>
#include <QStringList>

#include <optional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QWidget;

namespace zet::ui {

// The longest text one stored value can hold (bytes of Windows-1251, one byte a character).
constexpr int kStoredTextLimit = 498;

// The editors' number lists: light yellow, and the number in the row is the selected one.
inline const NumberListOptions kEditorNumberList{.background = kLightYellow, .selectShownNumber = true};

// The editors' frame in its own colour: the style's group box frame shades the inside of the
// frame, so the frame is drawn as a plain line and the inside keeps the frame's colour exactly.
void keepFrameColour(QGroupBox* frame);

// A multi-line box with an always visible vertical scroll bar and wrapped lines.
QPlainTextEdit* makeMemo(QWidget* parent, const QString& name, const QString& accessibleName, int left,
                         int top, int width, int height);

// Selects the item whose text equals text, without raising the list's selection signals,
// and scrolls it to the top of the list. When no item has that text the list shows no
// selection and false is returned.
bool selectItemByText(QListWidget* list, const QString& text);
// The value of the selected item, rounded to a whole number; empty when nothing is selected.
std::optional<int16> selectedValue(const QListWidget* list);
// Scrolls the selected item to the top row (lists are one row high).
void showSelectedItem(QListWidget* list);

// Multi-line texts are stored with CR LF line breaks; the boxes work with LF.
QString memoText(const QPlainTextEdit* box);
void setMemoText(QPlainTextEdit* box, const QString& stored);

// The text of a box as it will be stored, fitted to limit characters (see fitCp1251). When
// fitting changed it, the box shows the fitted text too, so that screen, memory and file
// agree, and a line naming the field and its limit is added to notes for reportSave.
QString fittedMemoText(QPlainTextEdit* box, int limit, const QString& field, QStringList& notes);
QString fittedLineText(QLineEdit* box, int limit, const QString& field, QStringList& notes);

// After a save: one message naming the file and the reason when it failed, or one message
// naming the values that could not be stored as typed (fitted: the notes of the fitted…
// functions). Nothing when all went well.
void reportSave(QWidget* parent, const Database& db, const SaveResult& result,
                const QStringList& fitted = {});

} // namespace zet::ui
