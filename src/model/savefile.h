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

// The same for a file made a part at a time: produce hands every part to write in order and
// returns false when write did (or it cannot go on).
using ChunkProducer = std::function<bool(const std::function<bool(const QByteArray& part)>& write)>;
bool writeFileAtomically(const QString& path, const ChunkProducer& produce, QString* error);

// Test seam: when set, writeFileAtomically() uses this writer instead of a plain write.
DeviceWriter& defaultWriterOverride();

} // namespace zet
