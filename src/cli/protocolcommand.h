#pragma once
// The "protocol" command line of the program:
//   razividerur protocol --date DD.MM.YYYY [--protocol-no N] --to FILE.pdf [--folder DIR]
// writes the knowledge-check protocol of every exam of that day in the journal of DIR (the
// program folder by default; the exam centre's server when journal.ini names one), with the
// organisation and the commission of DIR/protocol.ini.
//
// The PDF needs a QGuiApplication. When there is no application object yet, the command
// makes one for itself on the "offscreen" platform (unless QT_QPA_PLATFORM names another),
// so it runs without a display. When the caller has made a QCoreApplication already, the
// command cannot make its own: the caller makes a QGuiApplication for the commands for which
// commandNeedsGui() is true, after useOffscreenPlatformUnlessSet().

#include <QStringList>
#include <QTextStream>

namespace zet {

// args: the words after the program name; a leading "protocol" may be left in or out.
// Returns the process exit code: 0 written, 1 nothing to write or a file error, 2 wrong use.
// The PDF is written by the paperwork's library (app/paperwork.h); "check" and the help are not.
int runProtocolCommand(const QStringList& args, QTextStream& out, QTextStream& err);

// The usage of the "protocol" commands, to err.
void printProtocolUsage(QTextStream& err);

// Sets QT_QPA_PLATFORM to "offscreen" unless it is set: for a QGuiApplication made without a
// display (before the application object is made).
void useOffscreenPlatformUnlessSet();

} // namespace zet
