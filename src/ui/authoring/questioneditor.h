#pragma once
// The question editor ("Редактор вопросов"): the test name, the theme titles and
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

    // A theme or a question number was picked: both read both lists and show the question at
    // the crossing of the two selections.
    void themePicked();
    void questionPicked();
    // Fills the theme title, the question, its group boxes and answers from the model.
    void showEditedQuestion();
    // Selects and shows question of theme (numbers out of range are ignored).
    void showQuestion(int theme, int question);
    // "Сохранить": stores the shown question, theme title and test name, writes the file,
    // rebuilds the question orders of all themes.
    void saveQuestion();

    // The theme (1..20) and the question in it (1..100) the editor shows.
    int16 editedTheme() const { return m_editedTheme; }
    int16 editedQuestion() const { return m_editedQuestion; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void readListSelections();

    AppCore& m_core;
    int16 m_editedTheme = 1;
    int16 m_editedQuestion = 1;

    QLineEdit* m_testNameBox = nullptr;
    QListWidget* m_themeList = nullptr;
    QPlainTextEdit* m_themeTitleBox = nullptr;
    QListWidget* m_questionList = nullptr;
    QPlainTextEdit* m_questionTextBox = nullptr;
    QPushButton* m_saveButton = nullptr;
    std::array<QCheckBox*, kGroupCount> m_groupBoxes{}; // by group number 0..9
    QPlainTextEdit* m_rightAnswerBox = nullptr;
    std::array<QPlainTextEdit*, 4> m_wrongAnswerBoxes{}; // wrong answers No. 1..4
};

} // namespace zet::ui
