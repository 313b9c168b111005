#pragma once
// Frame1, the question editor ("Редактор вопросов"): the test name, the theme titles and
// every question of the bank with its answers and group flags. "Сохранить" stores the shown
// question, writes the whole database and draws new question orders for all themes.

#include "app/appcore.h"

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
    QuestionEditor(AppCore& core, QWidget* parent);
    // Mode entry: selects theme 1 and question 1, shows the test name and the question.
    void enterMode();

    // Both read both lists and show the question at the crossing of the two selections.
    void list1Click();
    void list2Click();
    // Fills the theme title, the question, its group boxes and answers from the model.
    void showEditedQuestion();
    // "Сохранить": stores the shown question, theme title and test name, writes the file,
    // rebuilds the question orders of all themes.
    void command1Click();

    int16 editedTheme = 1;    // 1..20
    int16 editedQuestion = 1; // 1..100

protected:
    void showEvent(QShowEvent* event) override;

private:
    void readListSelections();

    AppCore& m_core;
    QLineEdit* m_text26 = nullptr;
    QListWidget* m_list1 = nullptr;
    QPlainTextEdit* m_text3 = nullptr;
    QListWidget* m_list2 = nullptr;
    QPlainTextEdit* m_text4 = nullptr;
    QPushButton* m_command1 = nullptr;
    std::array<QCheckBox*, kGroupCount> m_check1{};
    QPlainTextEdit* m_text5 = nullptr;
    QPlainTextEdit* m_text6 = nullptr;
    QPlainTextEdit* m_text7 = nullptr;
    QPlainTextEdit* m_text8 = nullptr;
    QPlainTextEdit* m_text9 = nullptr;
};

} // namespace zet::ui
