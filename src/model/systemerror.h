#pragma once
// The reasons the system gives for a failed file operation, in Russian.

#include <QString>

namespace zet {

// The Russian wording of a system error text (as QFile::errorString() gives it) for the
// common causes: no such file or folder, no permission, disk full, read-only file system,
// a folder where a file was expected, quota exceeded. Any other text comes back unchanged,
// so that a message can still name it after its own Russian sentence.
QString russianSystemError(const QString& systemText);

// The message for a file operation that was given no file name.
QString noFileNameMessage();

} // namespace zet
