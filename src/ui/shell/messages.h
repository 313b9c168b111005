#pragma once
// Every message box and input box of the program goes through these functions, so tests
// can answer them without a modal loop (see MessageHooks).

#include <QString>

#include <functional>

class QWidget;

namespace zet::ui {

// A modal message box with only an OK button.
void ShowMessage(QWidget* parent, const QString& text);
// A modal question with the buttons Да and Нет; true for Да.
bool AskYesNo(QWidget* parent, const QString& text);
// A modal input box that starts empty; Cancel gives the empty string.
QString AskText(QWidget* parent, const QString& prompt);

// Test hooks: when set, they answer instead of the modal dialogs.
struct MessageHooks {
    std::function<void(const QString&)> message;
    std::function<bool(const QString&)> yesNo;
    std::function<QString(const QString&)> text;
};
MessageHooks& Hooks();

} // namespace zet::ui
