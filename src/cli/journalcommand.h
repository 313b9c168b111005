#pragma once
// The "journal" command line of the program (DIR: the program folder by default):
//   razividerur journal import-archive [--folder DIR]
//     reads every day file of the archive in DIR into the journal there, showing a progress
//     line, and sends the new rows on when journal.ini names a server;
//   razividerur journal export --to FILE.xlsx|FILE.csv [--from DD.MM.YYYY] [--until DD.MM.YYYY] [--folder DIR]
//     writes the exams of a period to a spreadsheet;
//   razividerur journal due [--within DAYS] [--to FILE.xlsx|FILE.csv] [--folder DIR]
//     prints who is due for the next periodic check (and writes the list to a file).
// export and due read the exam centre's server when journal.ini names one and it answers.
// export, due and register are run by the paperwork's library (app/paperwork.h).

#include "cli/commandoptions.h"

#include <QStringList>
#include <QTextStream>

#include <optional>

namespace zet {

// args: the words after the program name; a leading "journal" may be left in or out.
// Returns the process exit code: 0 done, 1 done with damaged files or a journal or file error,
// 2 wrong use. --help prints the usage and returns 0.
int runJournalCommand(const QStringList& args, QTextStream& out, QTextStream& err);

// The usage of the "journal" commands, to err.
void printJournalUsage(QTextStream& err);

// CommandOptions::parse for a "journal" command: on wrong use the usage follows the reason.
std::optional<CommandOptions> parseJournalOptions(const QStringList& args, const QStringList& allowed,
                                                  QTextStream& err, const QStringList& flags = {});

} // namespace zet
