#pragma once
// Whole-file writes that never leave a half-written file behind.

#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;

namespace zet {

// Writes the bytes through a QSaveFile: the file at path is replaced only when every byte
// was written and committed; otherwise it stays as it was and error gets a Russian reason.
// writer performs the actual write (tests substitute one that fails part-way).
using DeviceWriter = std::function<bool(QIODevice& device, const QByteArray& bytes)>;
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error,
                         const DeviceWriter& writer = {});

// Test seam: when set, writeFileAtomically() uses this writer instead of a plain write.
DeviceWriter& defaultWriterOverride();

} // namespace zet
