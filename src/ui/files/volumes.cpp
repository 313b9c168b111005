#include "ui/files/volumes.h"

#include <QDir>
#include <QSet>
#include <QStorageInfo>

#include <algorithm>

namespace zet::ui {

namespace {

bool isPseudoType(const QByteArray& type) {
    static const QSet<QByteArray> pseudo = {
        "autofs",   "binfmt_misc", "bpf",      "cgroup",  "cgroup2",     "configfs",       "debugfs",
        "devpts",   "devtmpfs",    "efivarfs", "fusectl", "hugetlbfs",   "mqueue",         "nsfs",
        "overlay",  "proc",        "pstore",   "ramfs",   "rpc_pipefs",  "securityfs",     "selinuxfs",
        "squashfs", "sysfs",       "tmpfs",    "tracefs", "fuse.portal", "fuse.gvfsd-fuse"};
    return pseudo.contains(type);
}

bool isSystemPlace(const QString& rootPath) {
    for (const char* prefix : {"/proc", "/sys", "/dev", "/snap", "/var/lib/docker", "/var/lib/snapd"}) {
        const QString p = QLatin1String(prefix);
        if (rootPath == p || rootPath.startsWith(p + QLatin1Char('/')))
            return true;
    }
    // /run holds runtime state; removable media mounted below /run/media are the exception.
    return (rootPath == QLatin1String("/run") || rootPath.startsWith(QLatin1String("/run/"))) &&
           !rootPath.startsWith(QLatin1String("/run/media/"));
}

QString caption(const QStorageInfo& info) {
    const QString name = info.name();
    return name.isEmpty() ? info.rootPath() : QStringLiteral("%1 [%2]").arg(info.rootPath(), name);
}

} // namespace

bool isUserVolume(const QString& rootPath, const QByteArray& fileSystemType) {
    if (rootPath == QLatin1String("/"))
        return true;
    return !isPseudoType(fileSystemType) && !isSystemPlace(rootPath);
}

QString volumeRootOf(const QString& path) {
    const QStorageInfo info(path);
    return info.isValid() ? info.rootPath() : QDir::rootPath();
}

QList<Volume> userVolumes(const QStringList& foldersToKeep) {
    QSet<QString> keep;
    for (const QString& folder : foldersToKeep)
        if (!folder.isEmpty())
            keep.insert(volumeRootOf(folder));

    QList<Volume> volumes;
    QSet<QString> seen;
    auto add = [&](const QStorageInfo& info) {
        if (!info.isValid() || seen.contains(info.rootPath()))
            return;
        seen.insert(info.rootPath());
        volumes.append({info.rootPath(), caption(info)});
    };
    for (const QStorageInfo& info : QStorageInfo::mountedVolumes()) {
        if (info.isReady() &&
            (isUserVolume(info.rootPath(), info.fileSystemType()) || keep.contains(info.rootPath())))
            add(info);
    }
    for (const QString& root : keep)
        add(QStorageInfo(root));
    add(QStorageInfo::root());

    std::sort(volumes.begin(), volumes.end(), [](const Volume& a, const Volume& b) {
        const bool aRoot = a.rootPath == QLatin1String("/");
        const bool bRoot = b.rootPath == QLatin1String("/");
        if (aRoot != bRoot)
            return aRoot;
        return a.rootPath < b.rootPath;
    });
    return volumes;
}

} // namespace zet::ui
