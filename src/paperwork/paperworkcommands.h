#pragma once
// The paperwork's commands of the command line (see cli/journalcommand.h and
// cli/protocolcommand.h for their usage):
//   razividerur protocol --date DD.MM.YYYY [--protocol-no N] --to FILE.pdf [--folder DIR] [--local]
//   razividerur journal export|due|register …

#include <QStringList>
#include <QTextStream>

namespace zet {

// args: the words after the program name, "protocol" or "journal" and the action first.
// Returns the process exit code: 0 done, 1 failed, 2 wrong use.
int runPaperworkCommandLine(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace zet
