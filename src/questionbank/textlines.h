#pragma once
// Small pieces the readers and writers of question banks share.

#include "model/linesplit.h"
#include "questionbank/questionbank.h"

#include <QString>
#include <QStringList>

namespace zet {

// A database keeps a few hundred characters of a text; of a longer one the readers convert
// only this much, so that a huge text does not cost many times its size in memory.
constexpr qsizetype kLongestSourceText = 1 << 20;

// Blanks as learning systems trim them: space, tab and line breaks, never a no-break space
// (a teacher may have typed one on purpose).
bool isBlank(QChar c);
QString trimmedBlanks(QStringView text);

// Line breaks made CR LF, blanks at line ends dropped, empty lines at both ends dropped.
QString trimmedLines(const QString& text);

// A text on one line: line breaks become blanks.
QString oneLine(const QString& text);

// The named parts of a category path ("$course$/top/A/B" → A, B; "//" is a slash in a name).
QStringList categoryParts(const QString& path);
// The theme title of a category path: its last part.
QString categoryTitle(const QString& path);
// The category path a theme title is written as.
QString categoryPath(const QString& title);

// For the formats of learning systems: what the bank holds that they cannot keep
// (group flags other than all ten, profiles).
void noteLostForNonPlain(const QuestionBank& bank, QStringList* lost);

} // namespace zet
