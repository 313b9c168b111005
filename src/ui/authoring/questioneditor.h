#pragma once
// Frame1, the question editor ("Редактор вопросов"): the test name, the theme titles and
// every question of the bank with its answers and group flags. "Сохранить" stores the shown
// question, writes the whole database and draws new question orders for all themes.

#include "app/module1.h"

#include <QGroupBox>

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace zet::ui {

class QuestionEditor : public QGroupBox {
    Q_OBJECT
public:
    QuestionEditor(Module1& core, QWidget* parent);
    // Mode entry: selects theme 1 and question 1, shows the test name and the question.
    void EnterMode();

    // Both read both lists and show the question at the crossing of the two selections.
    void List1_Click();
    void List2_Click();
    // Fills the theme title, the question, its group boxes and answers from the model.
    void ShowEditedQuestion();
    // "Сохранить": stores the shown question, theme title and test name, writes the file,
    // rebuilds the question orders of all themes.
    void Command1_Click();

    int16 EditedTheme = 1;    // 1..20
    int16 EditedQuestion = 1; // 1..100

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ReadListSelections();

    Module1& m_core;
    QLineEdit* Text26 = nullptr;
    QListWidget* List1 = nullptr;
    QPlainTextEdit* Text3 = nullptr;
    QListWidget* List2 = nullptr;
    QPlainTextEdit* Text4 = nullptr;
    QPushButton* Command1 = nullptr;
    std::array<QCheckBox*, kGroupCount> Check1{};
    QPlainTextEdit* Text5 = nullptr;
    QPlainTextEdit* Text6 = nullptr;
    QPlainTextEdit* Text7 = nullptr;
    QPlainTextEdit* Text8 = nullptr;
    QPlainTextEdit* Text9 = nullptr;
};

} // namespace zet::ui
