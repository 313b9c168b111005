#pragma once
// Frame2, the registration area ("Персональные сведенья"): the examinee's personal data, the
// profile choice, the list of the day's sequence numbers with which the examiner looks
// back at earlier examinees, the start button and the boxes of the last result.

#include "app/module1.h"

#include <QGroupBox>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace zet::ui {

class RegistrationArea : public QGroupBox {
    Q_OBJECT
public:
    RegistrationArea(Module1& core, QWidget* parent);

    // Fills the area from DayRegister(n); the inputs are disabled when the examinee at the
    // top of List24 has already been examined.
    void ShowExaminee(int16 n);
    // The profile choice: name, question count and sequence number of the chosen profile.
    void List23_Click();
    // The examiner scrolled List24: shows the examinee at the top of its visible part.
    void List24_Scroll();
    // Mode entry: the current examinee's row at the top of List24, an empty form with the
    // profile last chosen, and an empty name box.
    void EnterMode();

    // True while the area shows an examinee other than the current one whose record is not
    // open for input (an earlier or an already examined one).
    bool ShowsEarlierExaminee() const;

    // The index (0-based) of List24's first visible row.
    int TopRow() const;
    // Scrolls List24 so that row is its first visible row, without the scroll reaction.
    void ScrollListTo(int row);

    // What the exam start checks and the finish stores.
    RegistrationTexts Texts() const;
    // The result boxes after a finish: protocol number, grade, right answers, time.
    void ShowResults(const FinishResult& result);

    QLineEdit* Text2 = nullptr;
    QLineEdit* Text11 = nullptr;
    QLineEdit* Text12 = nullptr;
    QLineEdit* Text13 = nullptr;
    QLineEdit* Text21 = nullptr;
    QListWidget* List23 = nullptr;
    QLineEdit* Text14 = nullptr;
    QListWidget* List24 = nullptr;
    QPushButton* Command3 = nullptr;
    QLineEdit* Text15 = nullptr;
    QLineEdit* Text16 = nullptr;
    QLineEdit* Text17 = nullptr;
    QLineEdit* Text18 = nullptr;
    QLineEdit* Text19 = nullptr;
    QLineEdit* Text20 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* MakeInput(const char* name, const QString& caption, int left, int top, int width, int height);
    QLineEdit* MakeResult(const char* name, const QString& caption, int labelLeft, int labelTop, int top,
                          int width);
    QLabel* MakeLabel(const QString& name, const QString& caption, int left, int top, int width, int height,
                      Qt::Alignment alignment);
    // Selects the current examinee's row in List24 and leaves the list where it was scrolled.
    void SelectCurrentExamineeRow();
    // Selects the item of CurrentProfile in List23 and runs the profile choice.
    void ChooseCurrentProfile();
    void SetInputsEnabled(bool enabled);
    bool IsEarlierExaminee(int n) const;

    Module1& m_core;
};

} // namespace zet::ui
