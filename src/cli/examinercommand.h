#pragma once
// The examiner's password on the command line:
//   razividerur examiner password [--folder DIR]
//     sets, changes or removes (an empty new password) the password of the program folder;
//     reads the current one (when set) and the new one twice from the terminal, or line by line
//     from standard input when that is not a terminal.
// And the question the commands that change data ask before they do (questions import,
// journal import-archive).

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <optional>

namespace zet {

// Where passwords are read from: the terminal without echo, or standard input.
class PasswordInput {
public:
    virtual ~PasswordInput() = default;
    virtual bool isTerminal() const = 0;
    // One line without its end; nothing at the end of the input. prompt goes to the terminal.
    virtual std::optional<QString> read(const QString& prompt) = 0;
};

// The input the commands read passwords from: standard input, unless a test has set another.
PasswordInput& commandPasswordInput();
PasswordInput*& passwordInputOverride();

// Takes "--password-stdin" out of args; true when it was there.
bool takePasswordStdinFlag(QStringList& args);

// Whether a command that changes data in folder may run: no password is set there, or the
// right one is given, on the terminal or, with passwordStdin, on standard input. Otherwise
// tells err why not.
bool examinerConfirmed(const QString& folder, bool passwordStdin, QTextStream& err);

// args: the words after the program name, a leading "examiner" allowed. Exit status: 0 done,
// 1 refused or not written, 2 wrong use.
int runExaminerCommand(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace zet
