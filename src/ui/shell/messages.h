#pragma once
// Every message box and input box of the program goes through these functions, so tests
// can answer them without a modal loop (see MessageHooks).

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace zet::ui {

// A modal message box with only an OK button.
void showMessage(QWidget* parent, const QString& text);
// A modal question with the buttons Да and Нет; true for Да.
bool askYesNo(QWidget* parent, const QString& text);
// A modal input box that starts empty; Cancel gives the empty string.
QString askText(QWidget* parent, const QString& prompt);

// A modal question with one button per choice; the index of the button pressed, or -1 when
// the box was closed without one.
int askChoice(QWidget* parent, const QString& text, const QStringList& choices);
// A modal file dialog that names a file to write, starting at startPath; empty on Cancel.
QString askSaveFileName(QWidget* parent, const QString& caption, const QString& startPath);

// Test hooks: when set, they answer instead of the modal dialogs.
struct MessageHooks {
    std::function<void(const QString&)> message;
    std::function<bool(const QString&)> yesNo;
    std::function<QString(const QString&)> text;
    std::function<int(const QString&, const QStringList&)> choice;
    std::function<QString(const QString& startPath)> saveFileName;
};
MessageHooks& hooks();

} // namespace zet::ui
