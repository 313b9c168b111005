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

// The same lines one at a time, as views into the text (which must outlive them): a large text
// is read without a copy of its lines.
class LineViews {
public:
    explicit LineViews(QStringView text, FinalLineEnd finalLineEnd = FinalLineEnd::EndsLastLine)
        : m_text(text), m_finalLineEnd(finalLineEnd) {}
    // The next line; false after the last one.
    bool next(QStringView* line);

private:
    QStringView m_text;
    FinalLineEnd m_finalLineEnd;
    qsizetype m_start = 0;
    bool m_done = false;
};

} // namespace zet
