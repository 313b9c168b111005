#pragma once
// The local journal file as the program's connections opened it: its identity on disk (device
// and inode), to tell when the file was deleted or replaced while the program runs.
//
// A deleted or replaced journal leaves its write-ahead files (-wal, -shm) behind while a
// connection to it is still open, and SQLite would read them as part of the next file of that
// name. So every connection of the program opens the journal between beforeOpening() and
// opened(): once the file on disk is no longer the one last opened, the old write-ahead files
// go before anything reads the new one.

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

// Before a connection opens the journal at path.
void beforeOpening(const QString& path);
// After it opened it: the file it opened, remembered for the next connection.
JournalFileIdentity opened(const QString& path);

} // namespace zet
