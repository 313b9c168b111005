#pragma once
// The volumes the drive list offers: file systems a user keeps files on, not the kernel's
// pseudo file systems or the images that packages are mounted from.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace zet::ui {

struct Volume {
    QString rootPath; // where it is mounted, "/" for the root
    QString caption;  // what the drive list shows
};

// Whether a mounted file system belongs in the drive list.
bool isUserVolume(const QString& rootPath, const QByteArray& fileSystemType);

// The mounted user volumes, the root first, plus the volumes holding each of the given
// folders (the home folder, the program's folder, the folder shown) even where the rule
// above would leave them out.
QList<Volume> userVolumes(const QStringList& foldersToKeep);

// The mount point of the volume that holds path.
QString volumeRootOf(const QString& path);

} // namespace zet::ui
