#pragma once
// The profile editor ("Настройка профиля"): one exam profile at a time with its time,
// question count, grade thresholds, the theme of every question slot and the ten admitted
// groups with their titles, plus the test name. "Сохранить" stores the profile chosen in the
// profile list and writes the whole database.

#include "app/appcore.h"

#include <QGroupBox>

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace zet::ui {

class ProfileEditor : public QGroupBox {
    Q_OBJECT
public:
    ProfileEditor(AppCore& core, QWidget* parent);
    // A profile number was picked: shows the profile selected in the profile list.
    void profilePicked();
    // Mode entry: shows the profile last selected.
    void enterMode();

    // Fills every control from the edited profile and the test name.
    void showEditedProfile();
    // Splits the group entries of the edited profile (flag character, then title) into the
    // database's group names.
    void splitGroupEntries();
    // "Сохранить": stores the area into the profile selected in the profile list, writes
    // the file.
    void saveProfile();
    // Mark a filled box with the highlight colours, an empty one light yellow.
    void timeLimitEdited();
    void profileNameEdited();

    // The profile (1..20) the editor shows.
    int16 editedProfile() const { return m_editedProfile; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void updateThresholdHint();

    AppCore& m_core;
    int16 m_editedProfile = 1;

    QLineEdit* m_testNameBox = nullptr;
    QLineEdit* m_profileNameBox = nullptr;
    QListWidget* m_profileList = nullptr;
    QLineEdit* m_timeLimitBox = nullptr;
    QLabel* m_timeLimitHint = nullptr; // «= 10 мин 0 с»
    QListWidget* m_questionCountList = nullptr;
    // The least right answers for each grade.
    QListWidget* m_excellentMinList = nullptr;
    QListWidget* m_goodMinList = nullptr;
    QListWidget* m_fairMinList = nullptr;
    QPushButton* m_saveButton = nullptr;
    std::array<QCheckBox*, kGroupCount> m_groupBoxes{};          // by group number 0..9
    std::array<QLineEdit*, kGroupCount> m_groupTitleBoxes{};     // by group number 0..9
    std::array<QListWidget*, kSlotCount + 1> m_slotThemeLists{}; // by question slot 1..15
    QLabel* m_thresholdHint = nullptr;
};

} // namespace zet::ui
