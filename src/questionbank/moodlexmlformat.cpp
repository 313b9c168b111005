// Moodle XML: <quiz> with <question type="…"> elements; "category" questions set the
// category of the ones after them.

#include "questionbank/questionbank.h"
#include "questionbank/textlines.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace zet {

namespace {

// Text of a Moodle text field in the given format attribute, as plain text.
QString fieldText(const QString& text, const QString& format) {
    const QString head = text.left(kLongestSourceText);
    if (format == QLatin1String("plain_text") || format == QLatin1String("markdown"))
        return trimmedLines(head);
    return htmlToPlainText(head);
}

QuestionKind kindOf(const QString& type) {
    if (type == QLatin1String("multichoice"))
        return QuestionKind::SingleChoice;
    if (type == QLatin1String("truefalse"))
        return QuestionKind::TrueFalse;
    if (type == QLatin1String("shortanswer"))
        return QuestionKind::ShortAnswer;
    if (type == QLatin1String("numerical"))
        return QuestionKind::Numerical;
    if (type == QLatin1String("matching"))
        return QuestionKind::Matching;
    if (type == QLatin1String("essay"))
        return QuestionKind::Essay;
    if (type == QLatin1String("cloze") || type == QLatin1String("multianswer"))
        return QuestionKind::Cloze;
    if (type == QLatin1String("description"))
        return QuestionKind::Description;
    return QuestionKind::Other;
}

class MoodleXmlReader {
public:
    QuestionBank bank;

    void read(QString&& text) {
        QXmlStreamReader xml(text);
        text = QString(); // the reader keeps the text in a form of its own: one copy is enough
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == QLatin1String("question"))
                question(xml);
        }
        if (m_feedbackLine > 0)
            bank.notes.push_back({m_feedbackLine, QStringLiteral("Отзывы к ответам (<feedback>) не переносятся: "
                                                                 "в базе для них нет места.")});
        if (xml.hasError())
            bank.notes.push_back({static_cast<int>(xml.lineNumber()),
                                  QStringLiteral("Ошибка XML: %1. Дальше файл не прочитан.").arg(xml.errorString())});
    }

private:
    // The <text> child of the current element (and the element's format attribute). An
    // embedded <file> sets media; the text of a <feedback> child is noted as dropped.
    QString textChild(QXmlStreamReader& xml, QString* format = nullptr, bool* media = nullptr) {
        if (format)
            *format = xml.attributes().value(QLatin1String("format")).toString();
        QString text;
        while (xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("text")) {
                text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            } else if (xml.name() == QLatin1String("file") && media) {
                *media = true;
                xml.skipCurrentElement();
            } else if (xml.name() == QLatin1String("feedback")) {
                feedback(xml);
            } else {
                xml.skipCurrentElement();
            }
        }
        return text;
    }

    void feedback(QXmlStreamReader& xml) {
        const int line = static_cast<int>(xml.lineNumber());
        if (!htmlToPlainText(textChild(xml)).isEmpty() && m_feedbackLine == 0)
            m_feedbackLine = line;
    }

    void question(QXmlStreamReader& xml) {
        const QString type = xml.attributes().value(QLatin1String("type")).toString();
        BankQuestion q;
        q.line = static_cast<int>(xml.lineNumber());
        q.kind = kindOf(type);
        q.kindName = type;
        q.category = m_category;
        bool single = true;
        QString categoryPathText;
        while (xml.readNextStartElement()) {
            const auto name = xml.name();
            if (name == QLatin1String("name")) {
                q.title = oneLine(textChild(xml));
            } else if (name == QLatin1String("questiontext")) {
                QString format;
                const QString text = textChild(xml, &format, &q.media);
                q.text = fieldText(text, format.isEmpty() ? QStringLiteral("html") : format);
                q.media = q.media || htmlHasMedia(text);
            } else if (name == QLatin1String("image") || name == QLatin1String("image_base64")) {
                // Pictures as older versions wrote them.
                const QString picture = xml.readElementText(QXmlStreamReader::IncludeChildElements);
                q.media = q.media || !picture.trimmed().isEmpty();
            } else if (name == QLatin1String("generalfeedback")) {
                feedback(xml);
            } else if (name == QLatin1String("category")) {
                categoryPathText = textChild(xml).trimmed();
            } else if (name == QLatin1String("single")) {
                const QString v = xml.readElementText().trimmed().toLower();
                single = v != QLatin1String("false") && v != QLatin1String("0");
            } else if (name == QLatin1String("answer")) {
                const int line = static_cast<int>(xml.lineNumber());
                const double weight =
                    xml.attributes().value(QLatin1String("fraction")).toString().replace(u',', u'.').toDouble();
                QString format;
                const QString text = textChild(xml, &format, &q.media);
                q.media = q.media || htmlHasMedia(text);
                BankAnswer a{fieldText(text, format), weight, line};
                if (q.kind == QuestionKind::TrueFalse) {
                    const QString word = a.text.trimmed().toLower();
                    a.text = word == QLatin1String("true")    ? QStringLiteral("Верно")
                             : word == QLatin1String("false") ? QStringLiteral("Неверно")
                                                              : a.text;
                }
                q.answers.push_back(std::move(a));
            } else {
                xml.skipCurrentElement();
            }
        }
        if (type == QLatin1String("category")) {
            if (!categoryPathText.isEmpty()) {
                m_category = categoryPathText;
                bank.addCategory(m_category, categoryTitle(m_category), 0, q.line);
            }
            return;
        }
        // Several answers allowed, yet only one scores and the others score nothing: a single
        // choice question as GIFT files come over.
        const auto scoring = std::count_if(q.answers.begin(), q.answers.end(),
                                           [](const BankAnswer& a) { return a.weight > 0; });
        const auto right = std::count_if(q.answers.begin(), q.answers.end(),
                                         [](const BankAnswer& a) { return a.isRight(); });
        if (q.kind == QuestionKind::SingleChoice && !single && !(right == 1 && scoring == 1))
            q.kind = QuestionKind::MultipleChoice;
        bank.addQuestion(std::move(q));
    }

    QString m_category;
    int m_feedbackLine = 0; // line of the first feedback with text, 0 for none
};

// XML 1.0 has no place for most control characters.
QString xmlSafe(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        if (c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r')
            c = u' ';
    }
    return out;
}

void writeText(QXmlStreamWriter& xml, const QString& element, const QString& text, bool withFormat) {
    xml.writeStartElement(element);
    if (withFormat)
        xml.writeAttribute(QStringLiteral("format"), QStringLiteral("plain_text"));
    xml.writeTextElement(QStringLiteral("text"), xmlSafe(text));
    xml.writeEndElement();
}

} // namespace

QuestionBank parseMoodleXml(QString text, bool placeableOnly) {
    MoodleXmlReader reader;
    reader.bank.placeableOnly = placeableOnly;
    reader.read(std::move(text));
    reader.bank.settle();
    return std::move(reader.bank);
}

QString writeMoodleXml(const QuestionBank& bank, QStringList* lost) {
    noteLostForNonPlain(bank, lost);
    QString out = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(2);
    xml.writeStartElement(QStringLiteral("quiz"));
    QString current;
    bool first = true;
    for (const BankQuestion& q : bank.questions) {
        if (first || q.category != current) {
            const BankCategory* c = bank.category(q.category);
            xml.writeStartElement(QStringLiteral("question"));
            xml.writeAttribute(QStringLiteral("type"), QStringLiteral("category"));
            writeText(xml, QStringLiteral("category"), categoryPath(c && !c->title.isEmpty() ? c->title : q.category), false);
            xml.writeEndElement();
            current = q.category;
            first = false;
        }
        xml.writeStartElement(QStringLiteral("question"));
        xml.writeAttribute(QStringLiteral("type"), QStringLiteral("multichoice"));
        QString name = oneLine(q.text);
        if (name.size() > 60)
            name = name.left(57) + QStringLiteral("…");
        writeText(xml, QStringLiteral("name"), q.title.isEmpty() ? name : q.title, false);
        writeText(xml, QStringLiteral("questiontext"), q.text, true);
        xml.writeTextElement(QStringLiteral("defaultgrade"), QStringLiteral("1"));
        xml.writeTextElement(QStringLiteral("single"), QStringLiteral("true"));
        xml.writeTextElement(QStringLiteral("shuffleanswers"), QStringLiteral("true"));
        xml.writeTextElement(QStringLiteral("answernumbering"), QStringLiteral("abc"));
        for (const BankAnswer& a : q.answers) {
            xml.writeStartElement(QStringLiteral("answer"));
            xml.writeAttribute(QStringLiteral("fraction"), a.isRight() ? QStringLiteral("100") : QStringLiteral("0"));
            xml.writeAttribute(QStringLiteral("format"), QStringLiteral("plain_text"));
            xml.writeTextElement(QStringLiteral("text"), xmlSafe(a.text));
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    xml.writeEndElement();
    out += u'\n';
    return out;
}

} // namespace zet
