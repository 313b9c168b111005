// Aiken: the question on its own line(s), options "A. …" or "A) …", then "ANSWER: X".

#include "questionbank/questionbank.h"
#include "questionbank/textlines.h"

#include <QRegularExpression>

namespace zet {

namespace {

class AikenReader {
public:
    QuestionBank bank;

    void read(const QString& text) {
        static const QRegularExpression option(QStringLiteral("^([A-Z])[.)]\\s*(.*)$"));
        static const QRegularExpression answer(QStringLiteral("^ANSWER\\s*:\\s*(.*)$"),
                                               QRegularExpression::CaseInsensitiveOption);
        LineViews lines(text, FinalLineEnd::StartsEmptyLine);
        QStringView view;
        for (qsizetype i = 0; lines.next(&view); ++i) {
            const QString line = view.trimmed().toString();
            const int number = static_cast<int>(i + 1);
            if (line.isEmpty()) {
                // A blank line ends a question only once it has options.
                if (!m_letters.isEmpty())
                    finish(QStringLiteral("Нет строки «ANSWER:» с буквой правильного ответа."));
                continue;
            }
            QRegularExpressionMatch m;
            if (m_open && (m = answer.match(line)).hasMatch()) {
                settle(m.captured(1).trimmed(), number);
                continue;
            }
            if (m_open && !m_text.isEmpty() && (m = option.match(line)).hasMatch()) {
                m_letters << m.captured(1);
                m_question.answers.push_back({m.captured(2).trimmed(), 0, number});
                continue;
            }
            if (!m_letters.isEmpty())
                finish(QStringLiteral("Нет строки «ANSWER:» с буквой правильного ответа."));
            if (!m_open) {
                m_open = true;
                m_question = BankQuestion();
                m_question.line = number;
            }
            m_text << line;
        }
        if (m_open)
            finish(m_letters.isEmpty() ? QString()
                                       : QStringLiteral("Нет строки «ANSWER:» с буквой правильного ответа."));
    }

private:
    void settle(const QString& given, int line) {
        const QStringList letters = given.toUpper().split(QRegularExpression(QStringLiteral("[\\s,;]+")),
                                                          Qt::SkipEmptyParts);
        for (const QString& letter : letters) {
            const qsizetype k = m_letters.indexOf(letter);
            if (k < 0)
                bank.notes.push_back({line, QStringLiteral("В строке «ANSWER:» буква «%1», а такого ответа нет.")
                                                .arg(letter)});
            else
                m_question.answers[static_cast<std::size_t>(k)].weight = 100;
        }
        finish({});
    }

    void finish(const QString& problem) {
        if (!m_open)
            return;
        m_question.text = m_text.join(QStringLiteral("\r\n"));
        if (m_letters.isEmpty())
            m_question.kind = QuestionKind::Description;
        if (!problem.isEmpty())
            bank.notes.push_back({m_question.line, problem});
        bank.addQuestion(std::move(m_question));
        m_question = BankQuestion();
        m_text.clear();
        m_letters.clear();
        m_open = false;
    }

    bool m_open = false;
    BankQuestion m_question;
    QStringList m_text;
    QStringList m_letters;
};

} // namespace

QuestionBank parseAiken(const QString& text, bool placeableOnly) {
    AikenReader reader;
    reader.bank.placeableOnly = placeableOnly;
    reader.read(text);
    reader.bank.settle();
    return std::move(reader.bank);
}

QString writeAiken(const QuestionBank& bank, QStringList* lost) {
    noteLostForNonPlain(bank, lost);
    if (lost && bank.categories.size() > 1)
        lost->append(QStringLiteral("Темы не сохраняются в формате Aiken: все вопросы попадут в одну тему."));
    bool joined = false;
    QStringList out;
    for (const BankQuestion& q : bank.questions) {
        const QString text = oneLine(q.text);
        joined = joined || text != q.text;
        out << text;
        QChar letter = u'A';
        QChar right = u'A';
        for (const BankAnswer& a : q.answers) {
            const QString answer = oneLine(a.text);
            joined = joined || answer != a.text;
            if (a.isRight())
                right = letter;
            out << QStringLiteral("%1. %2").arg(letter, answer);
            letter = QChar(letter.unicode() + 1);
        }
        out << QStringLiteral("ANSWER: %1").arg(right) << QString();
    }
    if (lost && joined)
        lost->append(QStringLiteral("В формате Aiken текст занимает одну строку: переносы строк заменены пробелами."));
    return out.join(QStringLiteral("\r\n"));
}

} // namespace zet
