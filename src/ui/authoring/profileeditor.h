#pragma once
// Frame3, the profile editor ("Настройка профиля"): one exam profile at a time with its
// time, question count, grade thresholds, the theme of every question slot and the ten
// admitted groups with their titles, plus the test name. "Сохранить" stores the profile
// chosen in List4 and writes the whole database.

#include "app/module1.h"

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
    ProfileEditor(Module1& core, QWidget* parent);
    // Start-up: Text1 = "0", Text10 empty.
    void StartupReset();
    // Shows the profile selected in List4.
    void List4_Click();
    // Mode entry: shows the profile last selected.
    void EnterMode();

    // Fills every control from Profiles(EditedProfile) and the test name.
    void ShowEditedProfile();
    // Splits the group entries of Profiles(EditedProfile) into GroupNames.
    void Grup_Check();
    // "Сохранить": stores the area into the profile selected in List4, writes the file.
    void Command2_Click();
    // Mark a filled box with the highlight colours, an empty one light yellow.
    void Text1_Change();
    void Text10_Change();

    int16 EditedProfile = 1; // 1..20

protected:
    void showEvent(QShowEvent* event) override;

private:
    void UpdateThresholdHint();

    Module1& m_core;
    QLineEdit* Text33 = nullptr;
    QLineEdit* Text10 = nullptr;
    QListWidget* List4 = nullptr;
    QLineEdit* Text1 = nullptr;
    QListWidget* List3 = nullptr;
    QListWidget* List20 = nullptr;
    QListWidget* List21 = nullptr;
    QListWidget* List22 = nullptr;
    QPushButton* Command2 = nullptr;
    std::array<QCheckBox*, kGroupCount> Check2{};
    std::array<QLineEdit*, kGroupCount> Text23{};
    std::array<QListWidget*, kSlotCount + 1> SlotLists{}; // 1..15: List5..List19
    QLabel* ThresholdHint = nullptr;
};

} // namespace zet::ui
