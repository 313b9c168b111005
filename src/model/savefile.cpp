#include "model/savefile.h"

#include "model/systemerror.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace zet {

DeviceWriter& defaultWriterOverride() {
    static DeviceWriter writer;
    return writer;
}

namespace {

// Opens a QSaveFile at path, lets writeAll write into it, and replaces the file only when that
// and the flush, the sync and the commit succeeded.
bool saveThrough(const QString& path, QString* error, const std::function<bool(QIODevice&)>& writeAll) {
    if (path.isEmpty()) {
        if (error)
            *error = noFileNameMessage();
        return false;
    }
    const QString shown = QDir::toNativeSeparators(path);
    auto fail = [&](const QString& reason) {
        if (error)
            *error = QStringLiteral("Не удалось записать файл «%1»: %2").arg(shown, russianSystemError(reason));
        return false;
    };
    const QFileInfo info(path);
    if (info.exists() && info.isDir())
        return fail(QStringLiteral("это папка"));
    // A file without any write permission is protected, even from a user (root) whom the
    // system would let replace it.
    constexpr auto anyWrite = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (info.exists() && (!info.isWritable() || !(info.permissions() & anyWrite)))
        return fail(QStringLiteral("файл защищён от записи"));
    if (!info.dir().exists())
        return fail(QStringLiteral("папка не существует"));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        const QFileInfo folder(info.absolutePath());
        if (!folder.isWritable())
            return fail(QStringLiteral("папка «%1» защищена от записи")
                            .arg(QDir::toNativeSeparators(folder.absoluteFilePath())));
        return fail(file.errorString());
    }
    if (!writeAll(file)) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return fail(reason.isEmpty() ? QStringLiteral("ошибка записи") : reason);
    }
    // QSaveFile::commit() does not look at the outcome of writing out its buffer, nor of the
    // sync: a full disk would leave a cut file in place and report success.
    if (!file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return fail(reason.isEmpty() ? QStringLiteral("ошибка записи") : reason);
    }
    if (file.handle() >= 0 && ::fsync(file.handle()) != 0 && errno != EINVAL) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        file.cancelWriting();
        return fail(reason);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

} // namespace

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error,
                         const DeviceWriter& writer) {
    const DeviceWriter& write = writer ? writer : defaultWriterOverride();
    return saveThrough(path, error, [&](QIODevice& file) {
        return write ? write(file, bytes) : file.write(bytes) == bytes.size();
    });
}

bool writeFileAtomically(const QString& path, const ChunkProducer& produce, QString* error) {
    const DeviceWriter& write = defaultWriterOverride();
    return saveThrough(path, error, [&](QIODevice& file) {
        return produce([&](const QByteArray& part) { return write ? write(file, part) : file.write(part) == part.size(); });
    });
}

} // namespace zet
