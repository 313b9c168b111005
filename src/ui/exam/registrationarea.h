#pragma once
// Frame2, the registration area ("Персональные сведенья"): the examinee's personal data, the
// profile choice, the list of the day's sequence numbers with which the examiner looks
// back at earlier examinees, the start button and the boxes of the last result.

#include "app/appcore.h"

#include <QGroupBox>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace zet::ui {

class RegistrationArea : public QGroupBox {
    Q_OBJECT
public:
    RegistrationArea(AppCore& core, QWidget* parent);

    // Fills the area from DayRegister(n); the inputs are disabled when the examinee at the
    // top of List24 has already been examined.
    void showExaminee(int16 n);
    // The profile choice: name, question count and sequence number of the chosen profile.
    void list23Click();
    // The examiner scrolled List24: shows the examinee at the top of its visible part.
    void list24Scroll();
    // Mode entry: the current examinee's row at the top of List24, an empty form with the
    // profile last chosen, and an empty name box.
    void enterMode();

    // True while the area shows an examinee other than the current one whose record is not
    // open for input (an earlier or an already examined one).
    bool showsEarlierExaminee() const;

    // The index (0-based) of List24's first visible row.
    int topRow() const;
    // Scrolls List24 so that row is its first visible row, without the scroll reaction.
    void scrollListTo(int row);

    // What the exam start checks and the finish stores.
    RegistrationTexts texts() const;
    // The result boxes after a finish: protocol number, grade, right answers, time.
    void showResults(const FinishResult& result);

    QLineEdit* text2 = nullptr;
    QLineEdit* text11 = nullptr;
    QLineEdit* text12 = nullptr;
    QLineEdit* text13 = nullptr;
    QLineEdit* text21 = nullptr;
    QListWidget* list23 = nullptr;
    QLineEdit* text14 = nullptr;
    QListWidget* list24 = nullptr;
    QPushButton* command3 = nullptr;
    QLineEdit* text15 = nullptr;
    QLineEdit* text16 = nullptr;
    QLineEdit* text17 = nullptr;
    QLineEdit* text18 = nullptr;
    QLineEdit* text19 = nullptr;
    QLineEdit* text20 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* makeInput(const char* name, const QString& caption, int left, int top, int width, int height);
    QLineEdit* makeResult(const char* name, const QString& caption, int labelLeft, int labelTop, int top,
                          int width);
    QLabel* makeLabel(const QString& name, const QString& caption, int left, int top, int width, int height,
                      Qt::Alignment alignment);
    // Selects the current examinee's row in List24 and leaves the list where it was scrolled.
    void selectCurrentExamineeRow();
    // Selects the item of CurrentProfile in List23 and runs the profile choice.
    void chooseCurrentProfile();
    void setInputsEnabled(bool enabled);
    bool isEarlierExaminee(int n) const;

    AppCore& m_core;
};

} // namespace zet::ui
