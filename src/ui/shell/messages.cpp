#include "ui/shell/messages.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace zet::ui {

MessageHooks& hooks() {
    static MessageHooks hooks;
    return hooks;
}

void showMessage(QWidget* parent, const QString& text) {
    if (hooks().message) {
        hooks().message(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok, parent);
    box.exec();
}

bool askYesNo(QWidget* parent, const QString& text) {
    if (hooks().yesNo)
        return hooks().yesNo(text);
    QMessageBox box(QMessageBox::Question, QString(), text, QMessageBox::NoButton, parent);
    auto* yes = box.addButton(QStringLiteral("Да"), QMessageBox::YesRole);
    box.addButton(QStringLiteral("Нет"), QMessageBox::NoRole);
    box.exec();
    return box.clickedButton() == static_cast<QAbstractButton*>(yes);
}

QString askText(QWidget* parent, const QString& prompt) {
    if (hooks().text)
        return hooks().text(prompt);
    bool ok = false;
    QString answer = QInputDialog::getText(parent, QString(), prompt, QLineEdit::Normal, QString(), &ok);
    return ok ? answer : QString();
}

} // namespace zet::ui

namespace zet::ui {

int askChoice(QWidget* parent, const QString& text, const QStringList& choices) {
    if (hooks().choice)
        return hooks().choice(text, choices);
    QMessageBox box(QMessageBox::Warning, QString(), text, QMessageBox::NoButton, parent);
    QList<QAbstractButton*> buttons;
    for (const QString& choice : choices)
        buttons << box.addButton(choice, QMessageBox::ActionRole);
    box.addButton(QMessageBox::Cancel)->hide();
    box.exec();
    return static_cast<int>(buttons.indexOf(box.clickedButton()));
}

QString askSaveFileName(QWidget* parent, const QString& caption, const QString& startPath) {
    if (hooks().saveFileName)
        return hooks().saveFileName(startPath);
    return QFileDialog::getSaveFileName(parent, caption, startPath,
                                        QStringLiteral("Текстовые файлы (*.txt);;Все файлы (*)"));
}

} // namespace zet::ui
