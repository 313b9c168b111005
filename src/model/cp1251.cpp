#include "model/cp1251.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace zet {

namespace {
// Characters that the code page holds, found once by a round trip through the encoder.
bool Representable(char16_t c) {
    static const std::array<bool, 65536> table = [] {
        std::array<bool, 65536> t{};
        QStringDecoder dec("windows-1251");
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            const QString s = dec.decode(QByteArrayView(&byte, 1));
            if (s.size() == 1)
                t[s.at(0).unicode()] = true;
        }
        return t;
    }();
    return table[c];
}
} // namespace

EncodedText EncodeCp1251(const QString& text) {
    EncodedText out;
    QString clean = text;
    for (qsizetype i = 0; i < clean.size(); ++i) {
        if (!Representable(clean.at(i).unicode())) {
            // A surrogate pair is one character: one '?' for both halves.
            if (clean.at(i).isHighSurrogate() && i + 1 < clean.size() && clean.at(i + 1).isLowSurrogate())
                clean.remove(i + 1, 1);
            clean[i] = QLatin1Char('?');
            out.replaced = true;
        }
    }
    QStringEncoder enc("windows-1251");
    out.bytes = enc.encode(clean);
    return out;
}

QString DecodeCp1251(QByteArrayView bytes) {
    QStringDecoder dec("windows-1251");
    return dec.decode(bytes);
}

} // namespace zet
