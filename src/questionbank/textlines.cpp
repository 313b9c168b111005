#include "questionbank/textlines.h"

#include <QRegularExpression>

namespace zet {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
}

QString trimmedBlanks(QStringView text) {
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && isBlank(text.at(start)))
        ++start;
    while (end > start && isBlank(text.at(end - 1)))
        --end;
    return text.mid(start, end - start).toString();
}

QString trimmedLines(const QString& text) {
    QStringList lines = splitLines(text, FinalLineEnd::StartsEmptyLine);
    for (QString& line : lines) {
        qsizetype end = line.size();
        while (end > 0 && isBlank(line.at(end - 1)))
            --end;
        line.truncate(end);
    }
    while (!lines.isEmpty() && trimmedBlanks(lines.first()).isEmpty())
        lines.removeFirst();
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    if (!lines.isEmpty())
        lines.first() = trimmedBlanks(lines.first());
    return lines.join(QStringLiteral("\r\n"));
}

QString oneLine(const QString& text) {
    QStringList lines = splitLines(text, FinalLineEnd::StartsEmptyLine);
    for (QString& line : lines)
        line = line.trimmed();
    lines.removeAll(QString());
    return lines.join(u' ');
}

void noteLostForNonPlain(const QuestionBank& bank, QStringList* lost) {
    if (!lost)
        return;
    const bool groups = std::any_of(bank.questions.begin(), bank.questions.end(), [](const BankQuestion& q) {
        return q.groups && std::any_of(q.groups->begin(), q.groups->end(), [](bool b) { return !b; });
    });
    if (groups)
        lost->append(QStringLiteral("Группы вопросов не сохраняются в этом формате: "
                                    "при импорте вопросы получат группы, выбранные при импорте."));
    if (!bank.profiles.empty())
        lost->append(QStringLiteral("Профили экзаменов сохраняются только в текстовом формате программы."));
}

} // namespace zet
