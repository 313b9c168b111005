#pragma once
// Conversion between Unicode strings and the Windows-1251 bytes stored in files.

#include <QByteArray>
#include <QString>

namespace zet {

struct EncodedText {
    QByteArray bytes;
    bool replaced = false; // some characters had no Windows-1251 form and became '?'
};

EncodedText EncodeCp1251(const QString& text);
// The characters of text that Windows-1251 cannot hold, each once, in their first order.
QString UnencodableCharacters(const QString& text);
QString DecodeCp1251(QByteArrayView bytes);

} // namespace zet
