#pragma once
// The program's command line: either one of the commands that run without a window
// (journal, questions, protocol) or the options of the window program.
//
//   razividerur [--folder DIR]
//   razividerur journal import-archive|export|due …
//   razividerur protocol --date DD.MM.YYYY …
//   razividerur questions import|export …
//   razividerur --help

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <optional>

namespace zet {

// What the window program was asked for.
struct WindowOptions {
    // Folder for the database, the settings, the archive and the journal; empty: the
    // program's own folder (or the per-user data folder when that cannot be written).
    QString programFolder;
    // Quit as soon as the main window has been painted (for timing the start-up).
    bool quitAfterStart = false;
};

// True when args (the words after the program name) name a command that runs without a
// window, or ask for help.
bool isCommand(const QStringList& args);

// True for a command that needs a QGuiApplication (fonts for a PDF): the caller makes one,
// after useOffscreenPlatformUnlessSet() (cli/protocolcommand.h) when there is no display.
// The others need only a QCoreApplication.
bool commandNeedsGui(const QStringList& args);

// Runs that command; returns the process exit code (0 done, 1 failed, 2 wrong use).
int runCommand(const QStringList& args, QTextStream& out, QTextStream& err);

// The options of the window program, or nothing after telling err what is wrong.
std::optional<WindowOptions> parseWindowOptions(const QStringList& args, QTextStream& err);

// args without the options Qt's application object takes for itself (-platform NAME,
// -style NAME, -reverse …), so that the program's own can be read before that object is made.
QStringList withoutQtOptions(const QStringList& args);

// The text of --help.
QString commandLineHelp();

} // namespace zet
