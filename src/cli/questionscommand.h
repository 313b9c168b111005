#pragma once
// The "questions" command of the program's command line:
//   questions import FILE... --into DB.zet [--theme N] [--format gift|aiken|moodlexml|text]
//                            [--encoding utf-8|windows-1251] [--groups 0,1,…|нет] [--strict]
//                            [--folder DIR] [--password-stdin]
//   questions export DB.zet --to FILE [--theme N] [--format gift|aiken|moodlexml|text]
// args are the words after the program name; a leading "questions" is allowed and skipped.
// The report goes to out, mistakes to err. Exit status: 0 done, 1 nothing imported or a file
// could not be read or written or the examiner's password of the program folder (DIR, or the
// default one) was not given, 2 wrong arguments.

#include <QStringList>
#include <QTextStream>

namespace zet {

int runQuestionsCommand(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace zet
