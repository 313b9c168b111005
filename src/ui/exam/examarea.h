#pragma once
// The exam area: the question number, the examinee, the question box, the five
// answer boxes that the examinee clicks or picks with the keys 1 to 5 (or Tab and Enter),
// and the time left.

#include "app/appcore.h"

#include <QGroupBox>

#include <array>

class QFrame;
class QKeyEvent;
class QLabel;
class QPlainTextEdit;

namespace zet::ui {

class ExamArea : public QGroupBox {
    Q_OBJECT
public:
    explicit ExamArea(QWidget* parent);

    // A presentation: the question box back to light blue, the question number and, when
    // a question was drawn, its text and its five answers in their dealt order.
    void showQuestion(const PresentedQuestion& shown);
    // The exam's caption: the profile's name as the area's title and the examinee's name.
    void showExaminee(const QString& profileName, const QString& fullName);
    // After an accepted click: the question box green for a right answer, red otherwise.
    void showFeedback(bool correct);
    // The question box in its neutral light blue.
    void resetQuestionColour();
    // "Осталось: m:ss".
    void showTimeLeft(int seconds);

signals:
    // A click on the answer box of position 1..5, its key, or Enter or Space on it.
    void answerClicked(int16 position);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The position 1..5 of the answer box that watched belongs to, or 0.
    int16 positionOf(QObject* watched) const;
    void highlightAnswer(int16 position);
    // The position 1..5 a key stands for, or 0.
    static int16 answerKey(const QKeyEvent* key);
    // The ring around the box with the keyboard; none when box is null.
    void showFocusRing(QWidget* box);

    QLabel* m_questionNumberLabel = nullptr;
    QLabel* m_examineeLabel = nullptr;
    QPlainTextEdit* m_questionBox = nullptr;
    QLabel* m_answerPromptLabel = nullptr;
    QLabel* m_timeLeftLabel = nullptr;
    QLabel* m_keysHintLabel = nullptr;
    QFrame* m_focusRing = nullptr;
    // Answer boxes by position 1..5; element 0 is unused.
    std::array<QPlainTextEdit*, 6> m_answerBoxes{};
};

} // namespace zet::ui
