#include "questionbank/questionbank.h"

#include "model/cp1251.h"
#include "model/database.h"
#include "questionbank/questionimport.h"

#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>

namespace zet {

const BankCategory* QuestionBank::category(const QString& key) const {
    for (const BankCategory& c : categories) {
        if (c.key == key)
            return &c;
    }
    return nullptr;
}

QString QuestionBank::addCategory(const QString& key, const QString& title, int theme, int line) {
    if (!category(key))
        categories.push_back({key, title, theme, line});
    return key;
}

void QuestionBank::addQuestion(BankQuestion&& question) {
    settle();
    questions.push_back(std::move(question));
}

void QuestionBank::settle() {
    if (!placeableOnly || m_settled >= questions.size()) {
        m_settled = questions.size();
        return;
    }
    const BankQuestion& q = questions.back();
    auto placeable = std::find_if(m_placeable.begin(), m_placeable.end(),
                                  [&q](const std::pair<QString, int>& p) { return p.first == q.category; });
    if (placeable == m_placeable.end()) {
        m_placeable.emplace_back(q.category, 0);
        placeable = m_placeable.end() - 1;
    }
    ImportOptions loose;
    loose.keepMediaText = true;
    const bool strict = importProblem(q, {}).isEmpty();
    const bool lenient = strict || importProblem(q, loose).isEmpty();
    ++m_settled;
    if (placeable->second < kQuestionSlots) {
        placeable->second += strict ? 1 : 0;
        return;
    }
    // Beyond a hundred that can be placed: skipped whatever the import's options. The report
    // names its first skipped questions and its first warnings, so the first of these are kept
    // whole: a hundred, and a hundred of each kind that warns of an empty answer.
    const int empty = int(std::count_if(q.answers.begin(), q.answers.end(),
                                        [](const BankAnswer& a) { return a.text.trimmed().isEmpty(); }));
    const int listed = ImportReport::kListedEntries;
    if (m_keptBeyond < listed) {
        ++m_keptBeyond;
        return;
    }
    if (empty > 0 && ((strict && m_keptEmptyStrict < listed) || (lenient && m_keptEmptyLoose < listed))) {
        m_keptEmptyStrict += strict ? 1 : 0;
        m_keptEmptyLoose += lenient ? 1 : 0;
        return;
    }
    auto tally = std::find_if(dropped.begin(), dropped.end(),
                              [&q](const BankDropped& d) { return d.category == q.category; });
    if (tally == dropped.end()) {
        dropped.push_back({q.category});
        tally = dropped.end() - 1;
    }
    ++tally->count;
    if (strict) {
        ++tally->importable;
        tally->emptyAnswers += empty;
    } else if (lenient) {
        ++tally->mediaOnly;
        tally->mediaEmptyAnswers += empty;
    }
    questions.pop_back();
    --m_settled;
}

QuestionBank parseBank(QString text, BankFormat format, bool placeableOnly) {
    switch (format) {
    case BankFormat::Gift:
        return parseGift(text, placeableOnly);
    case BankFormat::Aiken:
        return parseAiken(text, placeableOnly);
    case BankFormat::MoodleXml:
        return parseMoodleXml(std::move(text), placeableOnly);
    case BankFormat::PlainText:
        break;
    }
    return parsePlainText(text, placeableOnly);
}

QString writeBank(const QuestionBank& bank, BankFormat format, QStringList* lost) {
    switch (format) {
    case BankFormat::Gift:
        return writeGift(bank, lost);
    case BankFormat::Aiken:
        return writeAiken(bank, lost);
    case BankFormat::MoodleXml:
        return writeMoodleXml(bank, lost);
    case BankFormat::PlainText:
        break;
    }
    return writePlainText(bank, lost);
}

std::optional<BankFormat> formatFromName(const QString& name) {
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("gift"))
        return BankFormat::Gift;
    if (n == QLatin1String("aiken"))
        return BankFormat::Aiken;
    if (n == QLatin1String("moodlexml") || n == QLatin1String("xml"))
        return BankFormat::MoodleXml;
    if (n == QLatin1String("text") || n == QLatin1String("txt"))
        return BankFormat::PlainText;
    return std::nullopt;
}

QString formatName(BankFormat format) {
    switch (format) {
    case BankFormat::Gift:
        return QStringLiteral("gift");
    case BankFormat::Aiken:
        return QStringLiteral("aiken");
    case BankFormat::MoodleXml:
        return QStringLiteral("moodlexml");
    case BankFormat::PlainText:
        break;
    }
    return QStringLiteral("text");
}

QString formatTitle(BankFormat format) {
    switch (format) {
    case BankFormat::Gift:
        return QStringLiteral("GIFT");
    case BankFormat::Aiken:
        return QStringLiteral("Aiken");
    case BankFormat::MoodleXml:
        return QStringLiteral("Moodle XML");
    case BankFormat::PlainText:
        break;
    }
    return QStringLiteral("Текст программы");
}

QStringList formatFilters() {
    return {QStringLiteral("GIFT (*.gift *.txt)"), QStringLiteral("Aiken (*.txt *.aiken)"),
            QStringLiteral("Moodle XML (*.xml)"), QStringLiteral("Текст программы (*.txt)")};
}

BankFormat guessFormat(const QString& fileName, const QString& content) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("gift"))
        return BankFormat::Gift;
    if (suffix == QLatin1String("xml"))
        return BankFormat::MoodleXml;
    if (suffix == QLatin1String("aiken"))
        return BankFormat::Aiken;
    const QString head = content.left(4096).trimmed();
    if (head.startsWith(QLatin1String("<?xml")) || head.startsWith(QLatin1String("<quiz")))
        return BankFormat::MoodleXml;
    static const QRegularExpression aiken(QStringLiteral("^ANSWER\\s*:\\s*[A-Za-z]\\s*$"),
                                          QRegularExpression::MultilineOption);
    static const QRegularExpression plain(
        QStringLiteral("^\\s*(\\? |Тема\\s+\\d+\\s*:|Название теста:|Профиль\\s+\\d+\\s*:)"),
        QRegularExpression::MultilineOption);
    if (aiken.match(content).hasMatch())
        return BankFormat::Aiken;
    if (plain.match(content).hasMatch())
        return BankFormat::PlainText;
    return BankFormat::Gift;
}

std::optional<TextEncoding> encodingFromName(const QString& name) {
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("utf-8") || n == QLatin1String("utf8"))
        return TextEncoding::Utf8;
    if (n == QLatin1String("windows-1251") || n == QLatin1String("cp1251") || n == QLatin1String("1251"))
        return TextEncoding::Windows1251;
    if (n == QLatin1String("auto"))
        return TextEncoding::Detect;
    return std::nullopt;
}

QString decodeText(const QByteArray& bytes, TextEncoding encoding, TextEncoding* found) {
    static const QByteArray utf8Mark("\xEF\xBB\xBF");
    const bool marked = bytes.startsWith(utf8Mark);
    if (encoding == TextEncoding::Detect) {
        if (!marked) {
            // A UTF-16 file announces itself by its mark; take it as it is.
            const auto other = QStringConverter::encodingForData(bytes);
            if (other && *other != QStringConverter::Utf8) {
                QStringDecoder dec(*other);
                if (found)
                    *found = TextEncoding::Utf8;
                return dec.decode(bytes);
            }
        }
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString text = utf8.decode(marked ? QByteArrayView(bytes).sliced(3) : QByteArrayView(bytes));
        if (marked || !utf8.hasError()) {
            if (found)
                *found = TextEncoding::Utf8;
            return text;
        }
        encoding = TextEncoding::Windows1251;
    }
    if (found)
        *found = encoding;
    if (encoding == TextEncoding::Utf8)
        return QString::fromUtf8(marked ? QByteArrayView(bytes).sliced(3) : QByteArrayView(bytes));
    return decodeCp1251(bytes);
}

namespace {

const QHash<QString, char16_t>& namedEntities() {
    static const QHash<QString, char16_t> table = {
        {QStringLiteral("amp"), u'&'},      {QStringLiteral("lt"), u'<'},
        {QStringLiteral("gt"), u'>'},       {QStringLiteral("quot"), u'"'},
        {QStringLiteral("apos"), u'\''},    {QStringLiteral("nbsp"), u' '},
        {QStringLiteral("laquo"), u'«'},    {QStringLiteral("raquo"), u'»'},
        {QStringLiteral("mdash"), u'—'},    {QStringLiteral("ndash"), u'–'},
        {QStringLiteral("hellip"), u'…'},   {QStringLiteral("copy"), u'©'},
        {QStringLiteral("reg"), u'®'},      {QStringLiteral("trade"), u'™'},
        {QStringLiteral("deg"), u'°'},      {QStringLiteral("plusmn"), u'±'},
        {QStringLiteral("times"), u'×'},    {QStringLiteral("divide"), u'÷'},
        {QStringLiteral("minus"), u'−'},    {QStringLiteral("euro"), u'€'},
        {QStringLiteral("bull"), u'•'},     {QStringLiteral("middot"), u'·'},
        {QStringLiteral("ldquo"), u'“'},    {QStringLiteral("rdquo"), u'”'},
        {QStringLiteral("bdquo"), u'„'},    {QStringLiteral("lsquo"), u'‘'},
        {QStringLiteral("rsquo"), u'’'},    {QStringLiteral("sbquo"), u'‚'},
        {QStringLiteral("shy"), u'\u00AD'}, {QStringLiteral("sect"), u'§'},
        {QStringLiteral("para"), u'¶'},     {QStringLiteral("sup2"), u'²'},
        {QStringLiteral("sup3"), u'³'},     {QStringLiteral("frac12"), u'½'},
        {QStringLiteral("frac14"), u'¼'},   {QStringLiteral("frac34"), u'¾'},
        {QStringLiteral("le"), u'≤'},       {QStringLiteral("ge"), u'≥'},
        {QStringLiteral("ne"), u'≠'},       {QStringLiteral("asymp"), u'≈'},
        {QStringLiteral("infin"), u'∞'},    {QStringLiteral("micro"), u'µ'},
        {QStringLiteral("numero"), u'№'},   {QStringLiteral("larr"), u'←'},
        {QStringLiteral("rarr"), u'→'},     {QStringLiteral("uarr"), u'↑'},
        {QStringLiteral("darr"), u'↓'},     {QStringLiteral("alpha"), u'α'},
        {QStringLiteral("beta"), u'β'},     {QStringLiteral("gamma"), u'γ'},
        {QStringLiteral("delta"), u'δ'},    {QStringLiteral("pi"), u'π'},
        {QStringLiteral("sigma"), u'σ'},    {QStringLiteral("Omega"), u'Ω'},
        {QStringLiteral("ensp"), u' '},     {QStringLiteral("emsp"), u' '},
        {QStringLiteral("thinsp"), u' '},
    };
    return table;
}

// Appends the character an entity stands for; false when it is not one we know.
bool appendEntity(QStringView name, QString& out) {
    if (name.startsWith(u'#')) {
        bool ok = false;
        const uint code = name.size() > 1 && (name.at(1) == u'x' || name.at(1) == u'X')
                              ? name.mid(2).toUInt(&ok, 16)
                              : name.mid(1).toUInt(&ok, 10);
        if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        const char32_t c = code;
        out += QString::fromUcs4(&c, 1);
        return true;
    }
    const auto it = namedEntities().constFind(name.toString());
    if (it == namedEntities().constEnd())
        return false;
    out += QChar(*it);
    return true;
}

bool isBreakingTag(QStringView tag) {
    static const QStringList tags = {QStringLiteral("br"), QStringLiteral("p"),  QStringLiteral("div"),
                                     QStringLiteral("li"), QStringLiteral("tr"), QStringLiteral("h1"),
                                     QStringLiteral("h2"), QStringLiteral("h3"), QStringLiteral("h4"),
                                     QStringLiteral("ul"), QStringLiteral("ol"), QStringLiteral("table")};
    return tags.contains(tag.toString().toLower());
}

} // namespace

QString htmlToPlainText(const QString& html) {
    // First the structure: tags out, block ends as '\n', white space runs as one blank.
    QString flat;
    flat.reserve(html.size());
    bool blank = false;
    const auto put = [&](QChar c) {
        if (c == u'\n') {
            while (flat.endsWith(u' '))
                flat.chop(1);
            flat += c;
            blank = true; // no blank at the start of a line
            return;
        }
        if (c.isSpace() && c != QChar(0x00A0)) {
            if (!blank)
                flat += u' ';
            blank = true;
            return;
        }
        flat += c;
        blank = false;
    };
    for (qsizetype i = 0; i < html.size(); ++i) {
        const QChar c = html.at(i);
        if (c == u'<') {
            const QChar next = i + 1 < html.size() ? html.at(i + 1) : QChar();
            const bool tag = next.isLetter() || next == u'/' || next == u'!' || next == u'?';
            const qsizetype end = tag ? html.indexOf(u'>', i + 1) : -1;
            if (end < 0) {
                put(c);
                continue;
            }
            QStringView inside = QStringView(html).mid(i + 1, end - i - 1).trimmed();
            if (inside.startsWith(u'/'))
                inside = inside.mid(1);
            qsizetype n = 0;
            while (n < inside.size() && inside.at(n).isLetterOrNumber())
                ++n;
            if (isBreakingTag(inside.left(n)))
                put(u'\n');
            i = end;
        } else if (c == u'&') {
            const qsizetype end = html.indexOf(u';', i + 1);
            QString decoded;
            if (end > i + 1 && end - i <= 12 &&
                appendEntity(QStringView(html).mid(i + 1, end - i - 1), decoded)) {
                for (QChar d : std::as_const(decoded))
                    put(d == QChar(0x00A0) ? QChar(u' ') : d);
                i = end;
            } else {
                put(c);
            }
        } else {
            // A line break of the source is white space like any other.
            put(c == u'\n' || c == u'\r' ? QChar(u' ') : c);
        }
    }
    // Then the lines: trimmed, and no empty ones (paragraphs follow each other line by line).
    QStringList lines;
    for (const QString& line : flat.split(u'\n')) {
        const QString t = line.trimmed();
        if (!t.isEmpty())
            lines << t;
    }
    return lines.join(QStringLiteral("\r\n"));
}

bool htmlHasMedia(const QString& html) {
    static const QRegularExpression media(
        QStringLiteral("<\\s*(img|audio|video|source|object|embed|iframe)\\b|@@PLUGINFILE@@|"
                       "href\\s*=\\s*[\"']?[^\"'>\\s]+\\.(mp3|wav|ogg|oga|m4a|aac|flac|mp4|webm|avi|mov|flv|swf)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    return media.match(html).hasMatch();
}

QString questionLabel(const BankQuestion& question) {
    if (!question.title.trimmed().isEmpty())
        return QStringLiteral("«%1»").arg(question.title.trimmed());
    QString text = question.text.simplified();
    if (text.size() > 60)
        text = text.left(57) + QStringLiteral("…");
    return QStringLiteral("«%1»").arg(text);
}

QString kindTitle(const BankQuestion& question) {
    switch (question.kind) {
    case QuestionKind::SingleChoice:
        return QStringLiteral("с выбором одного ответа");
    case QuestionKind::TrueFalse:
        return QStringLiteral("«верно/неверно»");
    case QuestionKind::MultipleChoice:
        return QStringLiteral("с несколькими верными ответами");
    case QuestionKind::ShortAnswer:
        return QStringLiteral("с коротким ответом");
    case QuestionKind::Numerical:
        return QStringLiteral("с числовым ответом");
    case QuestionKind::Matching:
        return QStringLiteral("на соответствие");
    case QuestionKind::Essay:
        return QStringLiteral("эссе");
    case QuestionKind::Cloze:
        return QStringLiteral("со вложенными ответами (cloze)");
    case QuestionKind::Description:
        return QStringLiteral("описание без ответов");
    case QuestionKind::Other:
        break;
    }
    return question.kindName.isEmpty() ? QStringLiteral("неизвестного типа")
                                       : QStringLiteral("типа «%1»").arg(question.kindName);
}

} // namespace zet
