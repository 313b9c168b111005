#include "app/firstframe.h"
#include "app/programlock.h"
#include "app/sessionend.h"
#include "app/startup.h"
#include "cli/commandline.h"
#include "cli/protocolcommand.h"
#include "ui/shell/aboutarea.h"
#include "ui/shell/mainwindow.h"
#include "ui/shell/messages.h"
#include "ui/shell/programstyle.h"
#include "ui/shell/translations.h"
#include "ui/shell/uikit.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTextStream>
#include <QTimer>

#include <csignal>
#include <cstdlib>

namespace {

// What is left to save when the process ends by exit() from inside Qt (the display
// connection was lost): the stack of main is not unwound then, so the program state is
// still there.
zet::AppCore* g_core = nullptr;
QString* g_fallbackFolder = nullptr;

void saveAtExit() {
    if (!g_core)
        return;
    // Nobody can be asked any more: what could not be saved is at least named in the log.
    const zet::DayFileResult saved = g_core->saveBeforeExit(g_fallbackFolder ? *g_fallbackFolder : QString());
    if (!saved.ok)
        qWarning("%s", qPrintable(saved.error));
}

void nameTheProgram() {
    QCoreApplication::setOrganizationName(QStringLiteral("Orvelant"));
    QCoreApplication::setApplicationName(QStringLiteral("razividerur"));
}

// Quits once the first frame of any window has been painted (for timing the start-up), and
// tells when the frame was over: the work the program does after its first frame is then told
// apart from the frame itself.
class QuitAfterFirstFrame : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            // Runs once the frame's painting is over.
            QTimer::singleShot(0, qApp, [] {
                zet::tellFirstFrame();
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

// The commands that run without a window: the journal, the protocol and the question banks.
int runCommandLine(int argc, char* argv[], const QStringList& args) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (zet::commandNeedsGui(args)) {
        zet::useOffscreenPlatformUnlessSet();
        QGuiApplication app(argc, argv);
        nameTheProgram();
        return zet::runCommand(args, out, err);
    }
    QCoreApplication app(argc, argv);
    nameTheProgram();
    return zet::runCommand(args, out, err);
}

} // namespace

int main(int argc, char* argv[]) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    if (zet::isCommand(args))
        return runCommandLine(argc, argv, args);

    // Wrong arguments are told before the window system is asked for, so that they are told
    // without a display too.
    QTextStream err(stderr);
    const std::optional<zet::WindowOptions> options = zet::parseWindowOptions(zet::withoutQtOptions(args), err);
    if (!options) {
        err << "\n" << zet::commandLineHelp();
        err.flush();
        return 2;
    }

    QApplication app(argc, argv);
    nameTheProgram();
    zet::ui::useProgramStyle();
    QApplication::setWindowIcon(zet::ui::programIcon());
    zet::ui::registerFontSubstitutions();
    zet::ui::installRussianTranslations(app);

    // One running program per program folder; a second start touches no file.
    const QString folder = options->programFolder.isEmpty()
                               ? zet::defaultProgramFolder()
                               : zet::withTrailingSeparator(options->programFolder);
    const zet::ProgramLock lock(folder);
    if (lock.outcome() == zet::ProgramLock::Outcome::HeldByOther) {
        zet::ui::showMessage(nullptr, QStringLiteral("Программа уже запущена из папки\n%1\n\nВторая копия не "
                                                     "запускается: две копии стёрли бы записи друг друга. "
                                                     "Перейдите в уже открытое окно программы.")
                                          .arg(QDir::toNativeSeparators(folder)));
        return 1;
    }

    zet::AppCore core;
    // Without --folder the core chooses the folder itself, and may open the database of a
    // program folder it cannot write to.
    zet::ui::MainWindow window(core, zet::ui::MainWindowOptions{options->programFolder});

    zet::SessionEndWatcher sessionEnd({SIGTERM, SIGHUP});
    QObject::connect(&sessionEnd, &zet::SessionEndWatcher::sessionEnding, &window,
                     &zet::ui::MainWindow::endSession);
    static QString fallbackFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    g_fallbackFolder = &fallbackFolder;
    g_core = &core;
    std::atexit(saveAtExit);

    QuitAfterFirstFrame quitAfterFirstFrame;
    if (options->quitAfterStart)
        app.installEventFilter(&quitAfterFirstFrame);

    window.show();
    const int code = QApplication::exec();
    // A program that ends right after its first frame has not written a first start's database
    // yet: it is written now, so that the next start finds it.
    if (const QString message = core.writeFirstDatabase(); !message.isEmpty())
        qWarning("%s", qUtf8Printable(message));
    g_core = nullptr;
    return code;
}
