#include "model/linesplit.h"

namespace zet {

QStringList splitLines(const QString& text, FinalLineEnd finalLineEnd) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < size && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < size || finalLineEnd == FinalLineEnd::StartsEmptyLine)
        lines.append(text.mid(start));
    return lines;
}

} // namespace zet
