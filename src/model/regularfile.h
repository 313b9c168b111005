#pragma once
// Reading only from regular files: a FIFO or a device named as a database, the settings
// file or a day file would block open() or never end.

#include <QString>

class QFile;

namespace zet {

// Why path cannot be read as a file of the program (missing, a folder, or not a regular
// file such as a FIFO, a device or a socket), in Russian; empty when it names a regular
// file or a link to one.
QString regularFileProblem(const QString& path);

// Opens file for reading when its name passes regularFileProblem(); otherwise, or when the
// open fails, returns false and sets error to "Файл «…» не удалось открыть: <reason>".
bool openRegularFile(QFile& file, QString* error);

} // namespace zet
