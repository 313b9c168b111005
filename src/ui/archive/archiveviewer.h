#pragma once
// Frame6, the results archive viewer ("Архив результатов тестирования").

#include "app/module1.h"

#include <QGroupBox>

namespace zet::ui {

class ArchiveViewer : public QGroupBox {
    Q_OBJECT
public:
    ArchiveViewer(Module1& core, QWidget* parent);
    // Mode entry: selects today in the calendar and loads it.
    void EnterMode();
private:
    Module1& m_core;
};

} // namespace zet::ui
