#pragma once
// Conversion between Unicode strings and the Windows-1251 bytes stored in files.

#include <QByteArray>
#include <QString>

namespace zet {

struct EncodedText {
    QByteArray bytes;
    bool replaced = false; // some characters had no Windows-1251 form and became '?'
};

EncodedText encodeCp1251(const QString& text);
// The characters of text that Windows-1251 cannot hold, each once, in their first order.
QString unencodableCharacters(const QString& text);
QString decodeCp1251(QByteArrayView bytes);

struct FittedText {
    QString text;           // what a stored value of the limit holds and gives back
    bool replaced = false;  // characters without a Windows-1251 form became '?'
    bool truncated = false; // the text was cut to the limit
};

// The text as a stored value of at most limit bytes keeps it: characters the code page
// lacks become '?', and the text is cut to limit bytes (one byte per character; a line
// break cut in half goes with the cut).
FittedText fitCp1251(const QString& text, qsizetype limit);

// Decodes into target, reusing its storage when it is not shared and large enough, so that
// loading over a loaded model allocates little; an empty text leaves target without storage.
void decodeCp1251Into(QByteArrayView bytes, QString& target);

} // namespace zet
