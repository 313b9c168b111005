#include "journal/journalfile.h"

#include <QFile>

#include <sys/stat.h>

namespace zet {

JournalFileIdentity JournalFileIdentity::of(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return {true, quint64(info.st_dev), quint64(info.st_ino)};
}

void dropStaleWriteAhead(const QString& path) {
    struct stat info {};
    const bool present = ::stat(QFile::encodeName(path).constData(), &info) == 0;
    struct stat wal {};
    const QString walPath = path + QStringLiteral("-wal");
    const bool walPresent = ::stat(QFile::encodeName(walPath).constData(), &wal) == 0;
    const auto nanoseconds = [](const timespec& t) { return qint64(t.tv_sec) * 1000000000 + t.tv_nsec; };
    if (walPresent && (!present || nanoseconds(wal.st_mtim) < nanoseconds(info.st_ctim))) {
        QFile::remove(walPath);
        QFile::remove(path + QStringLiteral("-shm"));
    }
}

} // namespace zet
