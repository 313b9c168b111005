#include "questionbank/textlines.h"

#include <QRegularExpression>

namespace zet {

QString trimmedLines(const QString& text) {
    QStringList lines = splitLines(text, FinalLineEnd::StartsEmptyLine);
    for (QString& line : lines) {
        qsizetype end = line.size();
        while (end > 0 && line.at(end - 1).isSpace())
            --end;
        line.truncate(end);
    }
    while (!lines.isEmpty() && lines.first().trimmed().isEmpty())
        lines.removeFirst();
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    if (!lines.isEmpty()) {
        QString& first = lines.first();
        qsizetype start = 0;
        while (start < first.size() && first.at(start).isSpace())
            ++start;
        first.remove(0, start);
    }
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
