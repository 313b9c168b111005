#include "model/cp1251.h"

#include <QStringDecoder>

#include <array>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zet {

namespace {

// Windows-1251 keeps ASCII as it is and puts the 64 Cyrillic letters А..я of bytes C0..FF in
// one run from U+0410; only bytes 80..BF need the table.
constexpr unsigned kCyrillicFirstByte = 0xC0;
constexpr char16_t kCyrillicOffset = u'\u0410' - kCyrillicFirstByte;

// Both directions are taken once from the system's Windows-1251 converter and then used as
// lookup tables, so a database of twelve thousand strings converts in a few milliseconds.
struct CodePage {
    std::array<char16_t, 256> toUnicode{};
    std::array<qint16, 65536> fromUnicode{}; // byte value, or -1 when the code page lacks the character
    // The converter agrees with the ASCII and Cyrillic runs above, so those bytes may be
    // converted by arithmetic, sixteen at a time.
    bool regularRuns = true;

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
            if (b < 0x80 && c != b)
                regularRuns = false;
            if (b >= int(kCyrillicFirstByte) && c != b + kCyrillicOffset)
                regularRuns = false;
        }
    }
};

const CodePage& table() {
    static const CodePage table;
    return table;
}

// Converts whole blocks of sixteen bytes that hold no byte of 80..BF; returns how many bytes
// were converted (a multiple of sixteen, stopping before the first block it cannot convert).
qsizetype decodeRegularBlocks(const char* src, qsizetype size, char16_t* dst) {
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i belowIrregular = _mm_set1_epi8(static_cast<char>(0xBF)); // as signed: -65
    const __m128i lastIrregular = _mm_set1_epi16(0xBF);
    const __m128i offset = _mm_set1_epi16(static_cast<short>(kCyrillicOffset));
    for (; i + 16 <= size; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        // Seen as signed, 00..7F and C0..FF are all greater than BF (-65); 80..BF are not.
        if (_mm_movemask_epi8(_mm_cmpgt_epi8(bytes, belowIrregular)) != 0xFFFF)
            break;
        __m128i low = _mm_unpacklo_epi8(bytes, zero);
        __m128i high = _mm_unpackhi_epi8(bytes, zero);
        low = _mm_add_epi16(low, _mm_and_si128(_mm_cmpgt_epi16(low, lastIrregular), offset));
        high = _mm_add_epi16(high, _mm_and_si128(_mm_cmpgt_epi16(high, lastIrregular), offset));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), low);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i + 8), high);
    }
#else
    Q_UNUSED(src);
    Q_UNUSED(size);
    Q_UNUSED(dst);
#endif
    return i;
}

} // namespace

EncodedText encodeCp1251(const QString& text) {
    const CodePage& cp = table();
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

QString unencodableCharacters(const QString& text) {
    const CodePage& cp = table();
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

FittedText fitCp1251(const QString& text, qsizetype limit) {
    EncodedText enc = encodeCp1251(text);
    FittedText fitted;
    fitted.replaced = enc.replaced;
    if (enc.bytes.size() > limit) {
        enc.bytes.truncate(limit);
        if (enc.bytes.endsWith('\r'))
            enc.bytes.chop(1);
        fitted.truncated = true;
    }
    fitted.text = fitted.replaced || fitted.truncated ? decodeCp1251(enc.bytes) : text;
    return fitted;
}

namespace {

// Writes bytes.size() characters to d.
void decodeToCharacters(QByteArrayView bytes, char16_t* d) {
    const CodePage& cp = table();
    const char* s = bytes.data();
    const qsizetype size = bytes.size();
    qsizetype i = 0;
    while (i < size) {
        if (cp.regularRuns) {
            i += decodeRegularBlocks(s + i, size - i, d + i);
            // The last few bytes as the end of one more block, which may overlap converted ones.
            if (i < size && size - i < 16 && size >= 16 &&
                decodeRegularBlocks(s + size - 16, 16, d + size - 16) == 16)
                break;
        }
        // A block with a byte of 80..BF, and a string shorter than a block, go through the table.
        const qsizetype blockEnd = std::min(i + 16, size);
        for (; i < blockEnd; ++i)
            d[i] = cp.toUnicode[static_cast<unsigned char>(s[i])];
    }
}

} // namespace

QString decodeCp1251(QByteArrayView bytes) {
    if (bytes.isEmpty())
        return {};
    QString out(bytes.size(), Qt::Uninitialized);
    decodeToCharacters(bytes, reinterpret_cast<char16_t*>(out.data()));
    return out;
}

void decodeCp1251Into(QByteArrayView bytes, QString& target) {
    if (bytes.isEmpty()) {
        target.clear();
        return;
    }
    if (!target.isDetached() || target.capacity() < bytes.size())
        target = QString(bytes.size(), Qt::Uninitialized);
    else
        target.resize(bytes.size());
    decodeToCharacters(bytes, reinterpret_cast<char16_t*>(target.data()));
}

} // namespace zet
