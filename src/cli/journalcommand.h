#pragma once
// The "journal" command line of the program:
//   razividerur journal import-archive [--folder DIR]
// reads every day file of the archive in DIR (default: the program folder) into the journal
// there, showing a progress line, and sends the new rows on when journal.ini names a server.

#include <QStringList>
#include <QTextStream>

namespace zet {

// args: the words after the program name; a leading "journal" may be left in or out.
// Returns the process exit code: 0 done, 1 done with damaged files or a journal error, 2 wrong use.
int runJournalCommand(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace zet
