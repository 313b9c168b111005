#pragma once
// Splitting a text into lines, the one way every reader of the program's text files does it.

#include <QString>
#include <QStringList>

namespace zet {

// What a line end at the very end of the text does.
enum class FinalLineEnd {
    EndsLastLine,    // "a\n" is one line: the way day files are read
    StartsEmptyLine, // "a\n" is "a" and an empty line, as QString::split gives it
};

// The lines of a text, whatever its line ends (CR LF, a lone CR or a lone LF).
QStringList splitLines(const QString& text, FinalLineEnd finalLineEnd = FinalLineEnd::EndsLastLine);

} // namespace zet
