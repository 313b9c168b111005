#pragma once
// The registration area ("Персональные сведенья"): the examinee's personal data, the
// profile choice, the list of the day's sequence numbers with which the examiner looks
// back at earlier examinees, the start button and the boxes of the last result.

#include "app/appcore.h"

#include <QGroupBox>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace zet {
struct StaffPerson;
}

namespace zet::ui {

class StaffCompleter;

class RegistrationArea : public QGroupBox {
    Q_OBJECT
public:
    RegistrationArea(AppCore& core, QWidget* parent);

    // Fills the area from record n of the day's register; the inputs are disabled when the examinee at the
    // top of the register position list has already been examined.
    void showExaminee(int16 n);
    // The profile choice: name, question count and sequence number of the chosen profile.
    void chooseProfile();
    // The examiner scrolled the register position list: shows the examinee at the top of its visible part.
    void showScrolledExaminee();
    // Mode entry: the current examinee's row at the top of the register position list, an empty form with the
    // profile last chosen, and an empty name box.
    void enterMode();

    // True while the area shows an examinee other than the current one whose record is not
    // open for input (an earlier or an already examined one).
    bool showsEarlierExaminee() const;

    // The index (0-based) of the register position list's first visible row.
    int topRow() const;
    // Scrolls the register position list so that row is its first visible row, without the scroll reaction.
    void scrollListTo(int row);

    // After a refused start: the keyboard back in the name box.
    void focusFullName();

    // What the exam start checks and the finish stores.
    RegistrationTexts texts() const;
    // The result boxes after a finish: protocol number, grade, right answers, time.
    void showResults(const FinishResult& result);

    // Offers the people of the staff list under the name and personnel number boxes.
    StaffCompleter* staffCompleter() const { return m_staffCompleter; }
    // A person picked from the staff list: name, birth year, job title, seniority (full years
    // since the hire date, today) and personnel number; what the list does not know is left empty.
    void fillFromStaff(const zet::StaffPerson& person);

signals:
    // "Начать экзамен" was pressed.
    void startRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* makeInput(const char* name, const QString& caption, int left, int top, int width, int height);
    QLineEdit* makeResult(const char* name, const QString& caption, int labelLeft, int labelTop, int top,
                          int width);
    // Selects the current examinee's row in the register position list and leaves the list where it was
    // scrolled.
    void selectCurrentExamineeRow();
    // Selects the current profile's row in the profile list and runs the profile choice.
    void chooseCurrentProfile();
    void setInputsEnabled(bool enabled);
    bool isEarlierExaminee(int n) const;
    // True when no place of today's register is free.
    bool registerFull() const;

    AppCore& m_core;

    QLineEdit* m_fullNameBox = nullptr;
    QLineEdit* m_birthYearBox = nullptr;
    QLineEdit* m_jobTitleBox = nullptr;
    QLineEdit* m_seniorityBox = nullptr;
    QLineEdit* m_personnelNumberBox = nullptr;
    QListWidget* m_profileList = nullptr;
    QLineEdit* m_profileNameBox = nullptr;
    // One row per place of the day's register: the examinee shown is the one at the top.
    QListWidget* m_registerPositionList = nullptr;
    QPushButton* m_startButton = nullptr;
    // Says that every place of today's register is used; shown only then.
    QLabel* m_registerFullLabel = nullptr;
    // The last result: protocol number, profile, grade, questions asked, right answers, time.
    QLineEdit* m_protocolNumberBox = nullptr;
    QLineEdit* m_resultProfileBox = nullptr;
    QLineEdit* m_gradeBox = nullptr;
    QLineEdit* m_askedCountBox = nullptr;
    QLineEdit* m_rightCountBox = nullptr;
    QLineEdit* m_timeSpentBox = nullptr;
    StaffCompleter* m_staffCompleter = nullptr;
};

} // namespace zet::ui
