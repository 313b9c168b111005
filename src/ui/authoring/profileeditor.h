#pragma once
// Frame3, the profile editor ("Настройка профиля").

#include "app/module1.h"

#include <QGroupBox>

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
private:
    Module1& m_core;
};

} // namespace zet::ui
