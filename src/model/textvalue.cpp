#include "model/textvalue.h"

#include <cmath>
#include <limits>

namespace zet {

namespace {

bool skipped(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// The text without blanks, tabs and line breaks, which the reading ignores wherever they stand.
QString squeezed(const QString& text) {
    QString s;
    s.reserve(text.size());
    for (QChar c : text) {
        if (!skipped(c))
            s.append(c);
    }
    return s;
}

int digitOf(QChar c, int radix) {
    const char16_t u = c.unicode();
    int d = -1;
    if (u >= u'0' && u <= u'9')
        d = u - u'0';
    else if (u >= u'a' && u <= u'f')
        d = u - u'a' + 10;
    else if (u >= u'A' && u <= u'F')
        d = u - u'A' + 10;
    return d < radix ? d : -1;
}

double radixValue(const QString& s, qsizetype pos, int radix) {
    double v = 0;
    for (; pos < s.size(); ++pos) {
        const int digit = digitOf(s.at(pos), radix);
        if (digit < 0)
            break;
        v = v * radix + digit;
    }
    return v;
}

bool asciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

} // namespace

double numericValue(const QString& text) {
    const QString s = squeezed(text);
    const qsizetype n = s.size();
    if (n >= 2 && s.at(0) == u'&') {
        const QChar p = s.at(1).toUpper();
        if (p == u'H')
            return radixValue(s, 2, 16);
        if (p == u'O')
            return radixValue(s, 2, 8);
        return 0.0;
    }
    qsizetype i = 0;
    QString number;
    if (i < n && (s.at(i) == u'+' || s.at(i) == u'-')) {
        number.append(s.at(i));
        ++i;
    }
    bool mantissa = false;
    while (i < n && asciiDigit(s.at(i))) {
        number.append(s.at(i++));
        mantissa = true;
    }
    if (i < n && s.at(i) == u'.') {
        number.append(u'.');
        ++i;
        while (i < n && asciiDigit(s.at(i))) {
            number.append(s.at(i++));
            mantissa = true;
        }
    }
    if (!mantissa)
        return 0.0;
    if (i < n && (s.at(i) == u'e' || s.at(i) == u'E' || s.at(i) == u'd' || s.at(i) == u'D')) {
        qsizetype j = i + 1;
        QString exponent = QStringLiteral("e");
        if (j < n && (s.at(j) == u'+' || s.at(j) == u'-'))
            exponent.append(s.at(j++));
        bool digits = false;
        while (j < n && asciiDigit(s.at(j))) {
            exponent.append(s.at(j++));
            digits = true;
        }
        if (digits)
            number.append(exponent);
    }
    bool ok = false;
    const double v = number.toDouble(&ok);
    if (!ok)
        return std::isinf(v) ? v : 0.0;
    return v;
}

double valueFloor(const QString& text) {
    return std::floor(numericValue(text));
}

double valueRounded(const QString& text) {
    return std::nearbyint(numericValue(text));
}

namespace {
std::optional<std::int16_t> toInt16(double v) {
    if (!(v >= std::numeric_limits<std::int16_t>::min() && v <= std::numeric_limits<std::int16_t>::max()))
        return std::nullopt;
    return static_cast<std::int16_t>(v);
}
} // namespace

std::optional<std::int16_t> int16Floor(const QString& text) {
    return toInt16(valueFloor(text));
}

std::optional<std::int16_t> int16Rounded(const QString& text) {
    return toInt16(valueRounded(text));
}

QString numberText(int value) {
    return QString::number(value);
}

QString signedNumberText(int value) {
    return value < 0 ? QString::number(value) : QLatin1Char(' ') + QString::number(value);
}

} // namespace zet
