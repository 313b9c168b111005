// GIFT, the plain text format of Moodle: questions separated by blank lines, answers in
// braces, "=" right and "~" wrong, "%n%" weights, "#" feedback, "//" comments, "$CATEGORY:"
// lines, "::title::" names, "[html]"-style format markers and backslash escapes.

#include "questionbank/questionbank.h"
#include "questionbank/textlines.h"

#include <QRegularExpression>

namespace zet {

namespace {

// Position of the first unescaped occurrence of any of the characters at or after from.
qsizetype findUnescaped(QStringView s, QStringView chars, qsizetype from = 0) {
    for (qsizetype i = from; i < s.size(); ++i) {
        if (s.at(i) == u'\\') {
            ++i;
            continue;
        }
        if (chars.contains(s.at(i)))
            return i;
    }
    return -1;
}

qsizetype findUnescapedText(QStringView s, QStringView what, qsizetype from = 0) {
    for (qsizetype i = from; i + what.size() <= s.size(); ++i) {
        if (s.at(i) == u'\\') {
            ++i;
            continue;
        }
        if (s.mid(i, what.size()) == what)
            return i;
    }
    return -1;
}

// The text with its escapes undone; "\n" becomes newline (a line break of its own in HTML).
QString unescape(QStringView s, QStringView newline = u"\n") {
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c == u'\\' && i + 1 < s.size()) {
            const QChar next = s.at(i + 1);
            if (next == u'n') {
                out += newline;
                ++i;
                continue;
            }
            if (QStringView(u"~=#{}:\\").contains(next)) {
                out += next;
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

QString escape(const QString& s) {
    QString out;
    out.reserve(s.size() + 8);
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c == u'\r' && i + 1 < s.size() && s.at(i + 1) == u'\n')
            continue;
        if (c == u'\n' || c == u'\r') {
            out += QStringLiteral("\\n");
            continue;
        }
        if (QStringView(u"~=#{}:\\").contains(c))
            out += u'\\';
        out += c;
    }
    return out;
}

enum class TextFormat { Auto, Html, Plain };

// Drops a leading "[html]", "[plain]", "[moodle]" or "[markdown]" and tells which it was.
TextFormat takeFormatMarker(QStringView& text, TextFormat inherited) {
    static const QRegularExpression marker(QStringLiteral("^\\s*\\[(html|plain|moodle|markdown)\\]"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = marker.match(text);
    if (!m.hasMatch())
        return inherited;
    text = text.sliced(m.capturedLength());
    return m.captured(1).compare(QLatin1String("html"), Qt::CaseInsensitive) == 0 ? TextFormat::Html
                                                                                   : TextFormat::Plain;
}

// GIFT's default format renders HTML as [html] does, so both are read as HTML.
QString plainText(QStringView raw, TextFormat format) {
    raw = raw.left(kLongestSourceText);
    if (format == TextFormat::Plain)
        return trimmedLines(unescape(raw));
    return htmlToPlainText(unescape(raw, u"<br>"));
}

bool showsMedia(QStringView raw, TextFormat format) {
    return format != TextFormat::Plain && htmlHasMedia(unescape(raw));
}

// A piece of text where GIFT reads something else: "::" (a title) or "{" (an answer block).
qsizetype questionLike(QStringView text) {
    const qsizetype title = findUnescapedText(text, u"::");
    const qsizetype block = findUnescaped(text, u"{");
    return title < 0 ? block : block < 0 ? title : std::min(title, block);
}

// Plain text as the HTML it stands for, for an [html] answer.
QString htmlEscaped(const QString& text) {
    QString out = text.toHtmlEscaped();
    out.replace(QLatin1String("\r\n"), QLatin1String("<br>"));
    out.replace(u'\n', QLatin1String("<br>"));
    return out;
}

struct Chunk {
    QList<QStringView> lines; // into the file's text
    std::vector<int> lineNumbers;
    int lineOf(qsizetype offset) const {
        // offset into lines.join('\n')
        qsizetype at = 0;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            at += lines.at(i).size() + 1;
            if (offset < at)
                return lineNumbers[static_cast<std::size_t>(i)];
        }
        return lineNumbers.empty() ? 0 : lineNumbers.back();
    }
};

bool bracesOpen(const QList<QStringView>& lines) {
    int depth = 0;
    for (QStringView line : lines) {
        for (qsizetype i = 0; i < line.size(); ++i) {
            if (line.at(i) == u'\\')
                ++i;
            else if (line.at(i) == u'{')
                ++depth;
            else if (line.at(i) == u'}')
                depth = std::max(0, depth - 1);
        }
    }
    return depth > 0;
}

class GiftReader {
public:
    QuestionBank bank;

    void read(const QString& text) {
        LineViews lines(text, FinalLineEnd::StartsEmptyLine);
        Chunk chunk;
        QStringView line;
        for (qsizetype i = 0; lines.next(&line); ++i) {
            const QStringView trimmed = line.trimmed();
            if (trimmed.startsWith(QLatin1String("//")))
                continue;
            if (trimmed.isEmpty() && !bracesOpen(chunk.lines)) {
                take(chunk);
                continue;
            }
            if (trimmed.startsWith(QLatin1String("$CATEGORY:"), Qt::CaseInsensitive) && chunk.lines.isEmpty()) {
                category(trimmed.mid(10).trimmed().toString(), static_cast<int>(i + 1));
                continue;
            }
            chunk.lines << line;
            chunk.lineNumbers.push_back(static_cast<int>(i + 1));
        }
        take(chunk);
        if (m_feedbackDropped)
            bank.notes.push_back({0, QStringLiteral("Отзывы к ответам (после «#») не переносятся: "
                                                    "в базе для них нет места.")});
    }

private:
    void category(const QString& path, int line) {
        m_category = path;
        bank.addCategory(path, categoryTitle(path), 0, line);
    }

    void take(Chunk& chunk) {
        if (!chunk.lines.isEmpty())
            question(chunk);
        chunk = Chunk();
    }

    void question(const Chunk& chunk) {
        // A question of one line is read where it stands; only one of several lines is copied.
        QString joined;
        if (chunk.lines.size() > 1) {
            qsizetype length = chunk.lines.size() - 1;
            for (QStringView line : chunk.lines)
                length += line.size();
            joined.reserve(length);
            for (qsizetype i = 0; i < chunk.lines.size(); ++i) {
                if (i > 0)
                    joined += u'\n';
                joined += chunk.lines.at(i);
            }
        }
        const QStringView raw = chunk.lines.size() > 1 ? QStringView(joined) : chunk.lines.front();
        BankQuestion q;
        q.category = m_category;
        q.line = chunk.lineNumbers.front();
        qsizetype pos = 0;
        qsizetype leadAt = 0;
        while (leadAt < raw.size() && raw.at(leadAt).isSpace())
            ++leadAt;
        if (QStringView(raw).mid(leadAt).startsWith(QLatin1String("::"))) {
            const qsizetype close = findUnescapedText(raw, u"::", leadAt + 2);
            if (close > 0) {
                q.title = unescape(QStringView(raw).mid(leadAt + 2, close - leadAt - 2)).trimmed();
                pos = close + 2;
            }
        }
        const qsizetype open = findUnescaped(raw, u"{", pos);
        QStringView before = open < 0 ? raw.sliced(pos) : raw.sliced(pos, open - pos);
        const TextFormat format = takeFormatMarker(before, TextFormat::Auto);
        q.media = showsMedia(before, format);
        if (const qsizetype title = findUnescapedText(raw.left(open < 0 ? raw.size() : open), u"::", pos);
            title >= 0)
            nextQuestionInside(chunk.lineOf(title));
        if (open < 0) {
            q.text = plainText(before, format);
            q.kind = QuestionKind::Description;
            bank.addQuestion(std::move(q));
            return;
        }
        const qsizetype close = findUnescaped(raw, u"}", open + 1);
        if (close < 0) {
            q.text = plainText(before, format);
            q.kind = QuestionKind::Other;
            q.kindName = QStringLiteral("без закрывающей «}»");
            bank.notes.push_back({q.line, QStringLiteral("Блок ответов не закрыт знаком «}».")});
            bank.addQuestion(std::move(q));
            return;
        }
        q.text = plainText(before, format);
        const QStringView after = raw.sliced(close + 1);
        if (!after.trimmed().isEmpty()) {
            // An answer block inside the text: the gap stays visible in the question.
            q.text += QStringLiteral(" _____ ") + plainText(after, format);
            q.text = q.text.trimmed();
            q.media = q.media || showsMedia(after, format);
            if (const qsizetype next = questionLike(after); next >= 0)
                nextQuestionInside(chunk.lineOf(close + 1 + next));
        }
        answers(q, QStringView(raw).mid(open + 1, close - open - 1), open + 1, chunk, format);
        bank.addQuestion(std::move(q));
    }

    void answers(BankQuestion& q, QStringView block, qsizetype blockAt, const Chunk& chunk, TextFormat format) {
        const QString trimmed = block.trimmed().toString();
        if (trimmed.isEmpty()) {
            q.kind = QuestionKind::Essay;
            return;
        }
        if (trimmed.startsWith(u'#')) {
            q.kind = QuestionKind::Numerical;
            return;
        }
        const qsizetype hash = findUnescaped(trimmed, u"#");
        const QString truth = (hash < 0 ? trimmed : trimmed.left(hash)).trimmed().toUpper();
        if (truth == QLatin1String("T") || truth == QLatin1String("TRUE") || truth == QLatin1String("F") ||
            truth == QLatin1String("FALSE")) {
            const bool isTrue = truth.startsWith(u'T');
            q.kind = QuestionKind::TrueFalse;
            const int line = chunk.lineOf(blockAt);
            q.answers.push_back({QStringLiteral("Верно"), isTrue ? 100.0 : 0.0, line});
            q.answers.push_back({QStringLiteral("Неверно"), isTrue ? 0.0 : 100.0, line});
            m_feedbackDropped = m_feedbackDropped || hash >= 0;
            return;
        }
        if (findUnescapedText(block, u"->") >= 0) {
            q.kind = QuestionKind::Matching;
            return;
        }
        bool anyWrong = false;
        bool anyPart = false;
        qsizetype at = findUnescaped(block, u"=~");
        if (at < 0) {
            q.kind = QuestionKind::Other;
            q.kindName = QStringLiteral("без «=» и «~»");
            return;
        }
        while (at >= 0) {
            const bool right = block.at(at) == u'=';
            const qsizetype next = findUnescaped(block, u"=~", at + 1);
            QStringView body = block.mid(at + 1, next < 0 ? -1 : next - at - 1);
            const qsizetype feedback = findUnescaped(body, u"#");
            if (feedback >= 0) {
                m_feedbackDropped = true;
                body = body.left(feedback);
            }
            QString text = trimmedBlanks(body);
            double weight = right ? 100 : 0;
            static const QRegularExpression percent(QStringLiteral("^%(-?\\d+(?:[.,]\\d+)?)%"));
            const QRegularExpressionMatch m = percent.match(text);
            if (m.hasMatch()) {
                weight = m.captured(1).replace(u',', u'.').toDouble();
                text.remove(0, m.capturedLength());
            }
            QStringView marked = text;
            const TextFormat answerFormat = takeFormatMarker(marked, format);
            q.media = q.media || showsMedia(marked, answerFormat);
            BankAnswer a{plainText(marked, answerFormat), weight, chunk.lineOf(blockAt + at)};
            anyWrong = anyWrong || !right;
            anyPart = anyPart || (a.weight > 0 && !a.isRight());
            q.answers.push_back(std::move(a));
            at = next;
        }
        if (!anyWrong)
            q.kind = QuestionKind::ShortAnswer;
        else if (anyPart && std::none_of(q.answers.begin(), q.answers.end(),
                                         [](const BankAnswer& a) { return a.isRight(); }))
            q.kind = QuestionKind::MultipleChoice;
        else
            q.kind = QuestionKind::SingleChoice;
    }

    // Questions not parted by a blank line run into one: the later ones end up in the text.
    void nextQuestionInside(int line) {
        bank.notes.push_back({line, QStringLiteral("Похоже, здесь начинается следующий вопрос, а он попал "
                                                   "в текст этого: вопросы разделяют пустой строкой.")});
    }

    QString m_category;
    bool m_feedbackDropped = false;
};

} // namespace

QStringList categoryParts(const QString& path) {
    // "$course$/top/Охрана труда/Пожарная безопасность" → both names; "//" is a slash in a name.
    QString p = path.trimmed();
    p.replace(QLatin1String("//"), QString(QChar(0x1)));
    QStringList parts = p.split(u'/', Qt::SkipEmptyParts);
    while (!parts.isEmpty()) {
        const QString first = parts.first().trimmed();
        if (first.startsWith(u'$') || first == QLatin1String("top"))
            parts.removeFirst();
        else
            break;
    }
    for (QString& part : parts)
        part = part.trimmed().replace(QChar(0x1), u'/');
    return parts;
}

QString categoryTitle(const QString& path) {
    const QStringList parts = categoryParts(path);
    return parts.isEmpty() ? QString() : parts.last();
}

QString categoryPath(const QString& title) {
    QString t = title;
    t.replace(QLatin1String("/"), QLatin1String("//"));
    return QStringLiteral("$course$/top/") + t;
}

QuestionBank parseGift(const QString& text, bool placeableOnly) {
    GiftReader reader;
    reader.bank.placeableOnly = placeableOnly;
    reader.read(text);
    reader.bank.settle();
    return std::move(reader.bank);
}

namespace {

// An answer as GIFT reads it back: a leading "%" would be a weight and a leading "[" a format
// marker, so those get "[plain]"; "->" would make a matching question, so that one is HTML.
QString answerText(const QString& text) {
    if (text.contains(QLatin1String("->")))
        return QStringLiteral("[html]") + escape(htmlEscaped(text)); // "->" is "-&gt;" there
    if (text.startsWith(u'%') || text.startsWith(u'['))
        return QStringLiteral("[plain]") + escape(text);
    return escape(text);
}

} // namespace

QString writeGift(const QuestionBank& bank, QStringList* lost) {
    QStringList out;
    out << QStringLiteral("// %1").arg(bank.testName.isEmpty() ? QStringLiteral("Вопросы") : escape(bank.testName))
        << QString();
    noteLostForNonPlain(bank, lost);
    QString current;
    bool first = true;
    int single = 0;
    for (const BankQuestion& q : bank.questions) {
        if (first || q.category != current) {
            const BankCategory* c = bank.category(q.category);
            out << QStringLiteral("$CATEGORY: ") + categoryPath(c && !c->title.isEmpty() ? c->title : q.category) << QString();
            current = q.category;
            first = false;
        }
        // The text is plain: without the marker GIFT would render it as HTML, and a text that
        // begins with "//" would be a comment.
        out << QStringLiteral("[plain]") + escape(q.text) + QStringLiteral(" {");
        for (const BankAnswer& a : q.answers)
            out << (a.isRight() ? QStringLiteral("\t=") : QStringLiteral("\t~")) + answerText(a.text);
        out << QStringLiteral("}") << QString();
        if (q.answers.size() < 2)
            ++single;
    }
    if (lost && single > 0)
        lost->append(QStringLiteral("Вопросов только с правильным ответом: %1; в формате GIFT они читаются "
                                    "как вопросы с коротким ответом.")
                         .arg(single));
    return out.join(QStringLiteral("\r\n"));
}

} // namespace zet
