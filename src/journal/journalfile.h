#pragma once
// The local journal file as a connection opened it: its identity on disk (device and inode),
// to tell when the file was deleted or replaced while the program runs, and the write-ahead
// files a replaced journal leaves behind.

#include <QString>

namespace zet {

struct JournalFileIdentity {
    bool present = false;
    quint64 device = 0;
    quint64 inode = 0;

    // The file at path as it is on disk now.
    static JournalFileIdentity of(const QString& path);
    bool operator==(const JournalFileIdentity&) const = default;
};

// The journal at path is not the file a connection of this program opened: the write-ahead
// files of the old journal would be taken for part of the new one, so they go, unless they
// were written after the new file came (by another connection of this program).
void dropStaleWriteAhead(const QString& path);

} // namespace zet
