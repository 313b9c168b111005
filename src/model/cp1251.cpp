#include "model/cp1251.h"

#include <QStringDecoder>

#include <array>

namespace zet {

namespace {

// Both directions are taken once from the system's Windows-1251 converter and then used as
// lookup tables, so a database of twelve thousand strings converts in a few milliseconds.
struct CodePage {
    std::array<char16_t, 256> toUnicode{};
    std::array<qint16, 65536> fromUnicode{}; // byte value, or -1 when the code page lacks the character

    CodePage() {
        fromUnicode.fill(-1);
        QStringDecoder dec("windows-1251");
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            const QString s = dec.decode(QByteArrayView(&byte, 1));
            const char16_t c = s.size() == 1 ? s.at(0).unicode() : u'\uFFFD';
            toUnicode[b] = c;
            if (s.size() == 1 && fromUnicode[c] < 0)
                fromUnicode[c] = static_cast<qint16>(b);
        }
    }
};

const CodePage& Table() {
    static const CodePage table;
    return table;
}

} // namespace

EncodedText EncodeCp1251(const QString& text) {
    const CodePage& cp = Table();
    EncodedText out;
    out.bytes.resize(text.size());
    qsizetype n = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        qint16 b = cp.fromUnicode[c.unicode()];
        if (b < 0) {
            // A character the code page lacks becomes '?'; a surrogate pair is one character.
            if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
                ++i;
            b = '?';
            out.replaced = true;
        }
        out.bytes[n++] = static_cast<char>(b);
    }
    out.bytes.truncate(n);
    return out;
}

QString UnencodableCharacters(const QString& text) {
    const CodePage& cp = Table();
    QString found;
    for (qsizetype i = 0; i < text.size(); ++i) {
        QString one(text.at(i));
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            one += text.at(++i);
        else if (cp.fromUnicode[text.at(i).unicode()] >= 0)
            continue;
        if (!found.contains(one))
            found += one;
    }
    return found;
}

FittedText FitCp1251(const QString& text, qsizetype limit) {
    EncodedText enc = EncodeCp1251(text);
    FittedText fitted;
    fitted.replaced = enc.replaced;
    if (enc.bytes.size() > limit) {
        enc.bytes.truncate(limit);
        if (enc.bytes.endsWith('\r'))
            enc.bytes.chop(1);
        fitted.truncated = true;
    }
    fitted.text = fitted.replaced || fitted.truncated ? DecodeCp1251(enc.bytes) : text;
    return fitted;
}

QString DecodeCp1251(QByteArrayView bytes) {
    const CodePage& cp = Table();
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* d = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        d[i] = QChar(cp.toUnicode[static_cast<unsigned char>(bytes[i])]);
    return out;
}

} // namespace zet
