#pragma once
// Options of the commands that run without a window: "--name value" or "--name=value".

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <optional>

namespace zet {

class CommandOptions {
public:
    // Reads args against the option names allowed (without "--") and the flags (options
    // without a value). Unknown options, a missing value or an option given twice are told to
    // err (Russian); the result is then empty.
    static std::optional<CommandOptions> parse(const QStringList& args, const QStringList& allowed,
                                               QTextStream& err, const QStringList& flags = {});

    bool has(const QString& name) const { return m_values.contains(name); }
    QString value(const QString& name) const { return m_values.value(name); }

    // The date of an option in the form DD.MM.YYYY; a null date when the option is not given.
    // A date that cannot be read is told to err and ok is set false.
    QDate date(const QString& name, QTextStream& err, bool& ok) const;
    // A whole number from minimum up; fallback when not given. Like date() otherwise.
    int number(const QString& name, int minimum, int fallback, QTextStream& err, bool& ok) const;
    // --folder, or the program folder; empty after telling err when it is not a folder.
    QString folder(QTextStream& err) const;

private:
    QHash<QString, QString> m_values;
};

// Tells err message (one line) and gives code, the command's exit status.
int commandFailed(QTextStream& err, const QString& message, int code);

// True when out writes to a terminal (where progress may be drawn over itself), false for a
// file, a pipe or a stream in memory.
bool writesToTerminal(QTextStream& out);

} // namespace zet
