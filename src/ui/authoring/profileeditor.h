#pragma once
// Frame3, the profile editor ("Настройка профиля"): one exam profile at a time with its
// time, question count, grade thresholds, the theme of every question slot and the ten
// admitted groups with their titles, plus the test name. "Сохранить" stores the profile
// chosen in List4 and writes the whole database.

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
    // Start-up: Text1 = "0", Text10 empty.
    // Shows the profile selected in List4.
    void list4Click();
    // Mode entry: shows the profile last selected.
    void enterMode();

    // Fills every control from Profiles(EditedProfile) and the test name.
    void showEditedProfile();
    // Splits the group entries of Profiles(EditedProfile) into GroupNames.
    void grupCheck();
    // "Сохранить": stores the area into the profile selected in List4, writes the file.
    void command2Click();
    // Mark a filled box with the highlight colours, an empty one light yellow.
    void text1Change();
    void text10Change();

    int16 editedProfile = 1; // 1..20

protected:
    void showEvent(QShowEvent* event) override;

private:
    void updateThresholdHint();

    AppCore& m_core;
    QLineEdit* m_text33 = nullptr;
    QLineEdit* m_text10 = nullptr;
    QListWidget* m_list4 = nullptr;
    QLineEdit* m_text1 = nullptr;
    QListWidget* m_list3 = nullptr;
    QListWidget* m_list20 = nullptr;
    QListWidget* m_list21 = nullptr;
    QListWidget* m_list22 = nullptr;
    QPushButton* m_command2 = nullptr;
    std::array<QCheckBox*, kGroupCount> m_check2{};
    std::array<QLineEdit*, kGroupCount> m_text23{};
    std::array<QListWidget*, kSlotCount + 1> m_slotLists{}; // 1..15: List5..List19
    QLabel* m_thresholdHint = nullptr;
};

} // namespace zet::ui
