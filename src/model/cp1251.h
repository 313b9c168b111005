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
QString DecodeCp1251(QByteArrayView bytes);

// Decodes into target, reusing its storage when it is not shared and large enough, so that
// loading over a loaded model allocates little; an empty text leaves target without storage.
void decodeCp1251Into(QByteArrayView bytes, QString& target);

} // namespace zet
