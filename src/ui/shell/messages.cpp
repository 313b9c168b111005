#include "ui/shell/messages.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace zet::ui {

MessageHooks& Hooks() {
    static MessageHooks hooks;
    return hooks;
}

void ShowMessage(QWidget* parent, const QString& text) {
    if (Hooks().message) {
        Hooks().message(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok, parent);
    box.exec();
}

bool AskYesNo(QWidget* parent, const QString& text) {
    if (Hooks().yesNo)
        return Hooks().yesNo(text);
    QMessageBox box(QMessageBox::Question, QString(), text, QMessageBox::NoButton, parent);
    auto* yes = box.addButton(QStringLiteral("Да"), QMessageBox::YesRole);
    box.addButton(QStringLiteral("Нет"), QMessageBox::NoRole);
    box.exec();
    return box.clickedButton() == static_cast<QAbstractButton*>(yes);
}

QString AskText(QWidget* parent, const QString& prompt) {
    if (Hooks().text)
        return Hooks().text(prompt);
    bool ok = false;
    QString answer = QInputDialog::getText(parent, QString(), prompt, QLineEdit::Normal, QString(), &ok);
    return ok ? answer : QString();
}

} // namespace zet::ui

namespace zet::ui {

int AskChoice(QWidget* parent, const QString& text, const QStringList& choices) {
    if (Hooks().choice)
        return Hooks().choice(text, choices);
    QMessageBox box(QMessageBox::Warning, QString(), text, QMessageBox::NoButton, parent);
    QList<QAbstractButton*> buttons;
    for (const QString& choice : choices)
        buttons << box.addButton(choice, QMessageBox::ActionRole);
    box.addButton(QMessageBox::Cancel)->hide();
    box.exec();
    return static_cast<int>(buttons.indexOf(box.clickedButton()));
}

QString AskSaveFileName(QWidget* parent, const QString& caption, const QString& startPath) {
    if (Hooks().saveFileName)
        return Hooks().saveFileName(startPath);
    return QFileDialog::getSaveFileName(parent, caption, startPath,
                                        QStringLiteral("Текстовые файлы (*.txt);;Все файлы (*)"));
}

} // namespace zet::ui
