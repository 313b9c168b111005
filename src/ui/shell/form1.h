#pragma once
// Form1, the main window.

#include "app/module1.h"

#include <QMainWindow>

namespace zet::ui {

class Form1 : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(Module1& core, QWidget* parent = nullptr);

private:
    Module1& m_core;
};

} // namespace zet::ui
