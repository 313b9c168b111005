#pragma once
// Numeric value of a text, the way the program has always read numbers typed into boxes
// and list items: blanks, tabs and line feeds anywhere are ignored; the leading decimal
// number is read up to the first character that cannot continue it (point as decimal
// separator, optional sign and exponent, &H / &O prefixes for hexadecimal and octal);
// a text that does not begin with a number is 0.

#include <QString>

#include <cstdint>
#include <optional>

namespace zet {

double numericValue(const QString& text);

// Rounded down to an integer.
double valueFloor(const QString& text);
// Rounded to the nearest integer, halves to the even neighbour.
double valueRounded(const QString& text);

// The same, as a 16-bit signed integer; empty when the value lies outside -32768..32767.
std::optional<std::int16_t> int16Floor(const QString& text);
std::optional<std::int16_t> int16Rounded(const QString& text);

// Number to text for boxes and captions: plain decimal, no leading blank.
QString numberText(int value);
// Number to text for the day file: a sign position in front (blank for 0 and positive).
QString signedNumberText(int value);

} // namespace zet
