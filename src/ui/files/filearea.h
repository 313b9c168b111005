#pragma once
// Frame5, the database file area ("Загрузить базу данных").

#include "app/module1.h"

#include <QGroupBox>

namespace zet::ui {

class FileArea : public QGroupBox {
    Q_OBJECT
public:
    FileArea(Module1& core, QWidget* parent);
    enum class Action { Create, Load, Save };
    // Shows the area with the button of the action and refreshes the lists.
    void Open(Action action);
signals:
    // The current database file changed (loaded, saved elsewhere or created): the
    // main window refreshes its information strip.
    void databaseChanged();
private:
    Module1& m_core;
};

} // namespace zet::ui
