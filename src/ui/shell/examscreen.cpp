#include "ui/shell/examscreen.h"

#include "app/screensettings.h"
#include "ui/shell/messages.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QSignalBlocker>

namespace zet::ui {

ExamScreen::ExamScreen(QMainWindow* window, QMenu* menu, std::function<QString()> programFolder)
    : QObject(window), m_window(window), m_programFolder(std::move(programFolder)) {
    setObjectName(QStringLiteral("ExamScreen"));
    m_action = menu->addAction(QStringLiteral("Экзамен во весь экран"));
    m_action->setObjectName(QStringLiteral("fullScreenExamAction"));
    m_action->setCheckable(true);
    connect(menu, &QMenu::aboutToShow, this, &ExamScreen::readSetting);
    connect(m_action, &QAction::toggled, this, &ExamScreen::settingToggled);
}

void ExamScreen::readSetting() {
    if (m_read)
        return;
    m_read = true;
    const QSignalBlocker blocker(m_action);
    m_action->setChecked(ScreenSettings(m_programFolder()).fullScreenExam());
}

void ExamScreen::settingToggled(bool on) {
    m_read = true;
    const QString error = ScreenSettings(m_programFolder()).setFullScreenExam(on);
    if (error.isEmpty())
        return;
    // Kept for this session; the next start has the stored value again.
    showMessage(m_window, error + QStringLiteral("\n\nНастройка действует до выхода из программы."));
}

void ExamScreen::examStarted() {
    readSetting();
    if (!m_action->isChecked() || m_filling || m_window->isFullScreen())
        return;
    m_filling = true;
    m_statesBefore = m_window->windowState();
    m_geometryBefore = m_window->saveGeometry();
    m_window->showFullScreen();
}

void ExamScreen::examEnded() {
    if (!m_filling)
        return;
    m_filling = false;
    m_window->setWindowState(m_statesBefore);
    if (!(m_statesBefore & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        m_window->restoreGeometry(m_geometryBefore);
}

} // namespace zet::ui
