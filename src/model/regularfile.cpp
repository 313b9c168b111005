#include "model/regularfile.h"

#include "model/systemerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>

namespace zet {

QString regularFileProblem(const QString& path) {
    const QFileInfo info(path);
    if (!path.isEmpty() && !info.exists() && info.isSymLink()) {
        // A link that loops or leads nowhere: the system's own reason.
        struct stat target {};
        if (::stat(QFile::encodeName(path).constData(), &target) != 0 && errno != ENOENT)
            return russianSystemError(QString::fromLocal8Bit(std::strerror(errno)));
        return QStringLiteral("символическая ссылка указывает на несуществующий файл");
    }
    if (path.isEmpty() || !info.exists())
        return QStringLiteral("файл не найден");
    if (info.isDir())
        return QStringLiteral("это папка, а не файл");
    if (!info.isFile())
        return QStringLiteral("это не обычный файл (канал, устройство или сокет)");
    return {};
}

bool openRegularFile(QFile& file, QString* error) {
    QString reason = regularFileProblem(file.fileName());
    if (reason.isEmpty() && !file.open(QIODevice::ReadOnly))
        reason = russianSystemError(file.errorString());
    if (reason.isEmpty())
        return true;
    if (error) {
        *error = QStringLiteral("Файл «%1» не удалось открыть: %2")
                     .arg(QDir::toNativeSeparators(file.fileName()), reason);
    }
    return false;
}

} // namespace zet
