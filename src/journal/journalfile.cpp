#include "journal/journalfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>

#include <sys/stat.h>

namespace zet {

namespace {

// The file each journal path was last opened as, by any connection of the program (the window,
// the sending thread and the store each have their own).
QMutex openedFilesLock;
QHash<QString, JournalFileIdentity>& openedFiles() {
    static QHash<QString, JournalFileIdentity> files;
    return files;
}

QString key(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

JournalFileIdentity JournalFileIdentity::of(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return {true, quint64(info.st_dev), quint64(info.st_ino)};
}

void beforeOpening(const QString& path) {
    const QMutexLocker lock(&openedFilesLock);
    const auto last = openedFiles().constFind(key(path));
    if (last == openedFiles().constEnd() || JournalFileIdentity::of(path) == *last)
        return;
    // The write-ahead files are the old journal's, unless they were written after the new file
    // came (by another program).
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
    openedFiles().remove(key(path));
}

JournalFileIdentity opened(const QString& path) {
    const QMutexLocker lock(&openedFilesLock);
    const JournalFileIdentity now = JournalFileIdentity::of(path);
    openedFiles().insert(key(path), now);
    return now;
}

} // namespace zet
