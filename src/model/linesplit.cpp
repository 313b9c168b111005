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

bool LineViews::next(QStringView* line) {
    if (m_done)
        return false;
    const qsizetype size = m_text.size();
    for (qsizetype i = m_start; i < size; ++i) {
        const QChar c = m_text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        *line = m_text.sliced(m_start, i - m_start);
        if (c == QLatin1Char('\r') && i + 1 < size && m_text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        m_start = i + 1;
        return true;
    }
    m_done = true;
    if (m_start < size || m_finalLineEnd == FinalLineEnd::StartsEmptyLine) {
        *line = m_text.sliced(m_start);
        return true;
    }
    return false;
}

} // namespace zet
