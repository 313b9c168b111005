#pragma once
// «Экзамен во весь экран»: the setting in the main mode's settings menu, and the window filling
// the screen while an exam runs and coming back to its size afterwards.

#include <QByteArray>
#include <QObject>

#include <functional>

class QAction;
class QMainWindow;
class QMenu;

namespace zet::ui {

class ExamScreen : public QObject {
    Q_OBJECT
public:
    // The setting's entry is added to menu; programFolder names the folder of its file once the
    // program has chosen it (it is read when first needed).
    ExamScreen(QMainWindow* window, QMenu* menu, std::function<QString()> programFolder);

    QAction* action() const { return m_action; }

    // An exam started: the window fills the screen when the setting says so.
    void examStarted();
    // The exam mode was left: the window comes back to the size it had before the exam.
    void examEnded();

private:
    // The entry shows the stored setting.
    void readSetting();
    void settingToggled(bool on);

    QMainWindow* m_window;
    QAction* m_action;
    std::function<QString()> m_programFolder;
    bool m_read = false;
    bool m_filling = false; // the window fills the screen for an exam
    Qt::WindowStates m_statesBefore;
    QByteArray m_geometryBefore;
};

} // namespace zet::ui
