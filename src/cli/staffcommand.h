#pragma once
// The staff list from the command line: loading an HR export and assigning profiles to job
// titles and departments.

#include <QStringList>
#include <QTextStream>

namespace zet {

// args: the words after the program name, a leading "staff" allowed. Exit status: 0 done,
// 1 not done, 2 wrong use.
int runStaffCommand(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace zet
