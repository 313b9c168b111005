#include "app/programlock.h"
#include "app/sessionend.h"
#include "app/startup.h"
#include "ui/shell/aboutarea.h"
#include "ui/shell/mainwindow.h"
#include "ui/shell/messages.h"
#include "ui/shell/uikit.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>

#include <csignal>
#include <cstdlib>

namespace {

// What is left to save when the process ends by exit() from inside Qt (the display
// connection was lost): the stack of main is not unwound then, so the program state is
// still there.
zet::AppCore* g_core = nullptr;
QString* g_fallbackFolder = nullptr;

void saveAtExit() {
    if (g_core)
        g_core->saveBeforeExit(g_fallbackFolder ? *g_fallbackFolder : QString());
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Orvelant"));
    QApplication::setApplicationName(QStringLiteral("razividerur"));
    QApplication::setWindowIcon(zet::ui::programIcon());
    zet::ui::registerFontSubstitutions();

    // One running program per program folder; a second start touches no file.
    const QString folder = zet::defaultProgramFolder();
    const zet::ProgramLock lock(folder);
    if (lock.outcome() == zet::ProgramLock::Outcome::HeldByOther) {
        zet::ui::showMessage(nullptr, QStringLiteral("Программа уже запущена из папки\n%1\n\nВторая копия не "
                                                     "запускается: две копии стёрли бы записи друг друга. "
                                                     "Перейдите в уже открытое окно программы.")
                                          .arg(QDir::toNativeSeparators(folder)));
        return 1;
    }

    zet::AppCore core;
    zet::ui::MainWindow window(core, zet::ui::MainWindowOptions{folder});

    zet::SessionEndWatcher sessionEnd({SIGTERM, SIGHUP});
    QObject::connect(&sessionEnd, &zet::SessionEndWatcher::sessionEnding, &window,
                     &zet::ui::MainWindow::endSession);
    static QString fallbackFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    g_fallbackFolder = &fallbackFolder;
    g_core = &core;
    std::atexit(saveAtExit);

    window.show();
    const int code = QApplication::exec();
    g_core = nullptr;
    return code;
}
