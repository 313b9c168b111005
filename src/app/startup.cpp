#include "app/startup.h"

#include "archive/monthnames.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace zet {

QString datedCaption(const QDate& today, const QString& monthGenitive) {
    return QStringLiteral("Orvelant       Zetrova v.1.0               Сегодня: ") +
           QString::number(today.day()) + QStringLiteral("  ") + monthGenitive + QStringLiteral("  ") +
           QStringLiteral("%1").arg(today.year(), 4, 10, QLatin1Char('0')) + QStringLiteral(" года  ") +
           weekdayName(today);
}

QString withTrailingSeparator(const QString& folder) {
    const QString sep = QDir::separator();
    QString native = QDir::toNativeSeparators(folder);
    if (native.endsWith(sep))
        return native;
    return native + sep;
}

bool isWritableFolder(const QString& folder) {
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(withTrailingSeparator(folder) + QStringLiteral(".zet-probe-XXXXXX"));
    return probe.open();
}

QString chooseProgramFolder(const QString& executableFolder, const QString& fallbackFolder,
                            const std::function<bool(const QString&)>& isWritable) {
    if (isWritable(executableFolder) || fallbackFolder.isEmpty())
        return withTrailingSeparator(executableFolder);
    if (!QDir().mkpath(fallbackFolder))
        return withTrailingSeparator(executableFolder);
    return withTrailingSeparator(fallbackFolder);
}

bool isInstalledProgramFolder(const QString& executableFolder) {
    const QDir bin(executableFolder);
    return bin.dirName() == QLatin1String("bin") &&
           QFileInfo(bin.filePath(QStringLiteral("../share/razividerur"))).isDir();
}

QString defaultProgramFolder() {
    const QString own = QCoreApplication::applicationDirPath();
    const QString perUser = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (isInstalledProgramFolder(own))
        return chooseProgramFolder(own, perUser, [](const QString&) { return false; });
    return chooseProgramFolder(own, perUser);
}

QString sampleDatabasePath(const QString& executableFolder) {
    const QString name = QStringLiteral("Образец.zet");
    const QDir exe(executableFolder);
    for (const QString& relative :
         {QStringLiteral("../share/razividerur/examples/"), QStringLiteral("../examples/")}) {
        const QFileInfo sample(exe.filePath(relative + name));
        if (sample.isFile())
            return QDir::cleanPath(sample.absoluteFilePath());
    }
    return {};
}

QString defaultDatabasePath(const QString& programFolder) {
    return programFolder + QStringLiteral("Data.zet");
}

QString freeAsideName(const QString& path) {
    const QString base = path + QStringLiteral(".bak");
    QString candidate = base;
    for (int n = 1; QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink(); ++n)
        candidate = base + QString::number(n);
    return candidate;
}

namespace {

// A file counts as a database when the reader accepts it; otherwise reason says why not.
bool isReadableDatabase(const QString& path, QString* reason = nullptr) {
    Database probe;
    probe.databasePath = path;
    const LoadResult loaded = probe.loadDatabase();
    if (reason)
        *reason = loaded.error;
    return loaded.ok();
}

} // namespace

QString adoptProgramFolderDatabase(Database& db, const QString& executableFolder) {
    const QString own = withTrailingSeparator(executableFolder);
    if (own == db.programFolder)
        return {};
    Database there;
    there.programFolder = own;
    there.loadSettings();
    if (there.databasePath.isEmpty() && QFileInfo(defaultDatabasePath(own)).isFile())
        there.databasePath = defaultDatabasePath(own);
    if (there.databasePath.isEmpty())
        return {};
    db.databasePath = there.databasePath;
    db.saveSettings();
    return QStringLiteral("Папка программы «%1» защищена от записи.\n\n"
                          "База данных открыта оттуда: %2\n\n"
                          "Настройки и архив результатов будут записываться в папку «%3».")
        .arg(QDir::toNativeSeparators(own), QDir::toNativeSeparators(db.databasePath),
             QDir::toNativeSeparators(db.programFolder));
}

FirstStartResult prepareFirstStartDatabase(Database& db, const QDate& today, bool writeNow) {
    FirstStartResult result;
    db.databasePath = defaultDatabasePath(db.programFolder);
    const QFileInfo existing(db.databasePath);

    if (existing.exists() || existing.isSymLink()) {
        if (isReadableDatabase(db.databasePath, &result.reason)) {
            result.outcome = FirstStartResult::KeptExisting;
            result.settingsSaved = db.saveSettings().ok;
            return result;
        }
        const QString aside = freeAsideName(db.databasePath);
        if (!QDir().rename(db.databasePath, aside)) {
            result.outcome = FirstStartResult::Failed;
            result.error = QStringLiteral("Не удалось переименовать файл %1").arg(db.databasePath);
            return result;
        }
        result.outcome = FirstStartResult::MovedAside;
        result.movedTo = aside;
    }

    db.startNew(QStringLiteral("Новый тест"), QStringLiteral("Неизвестный"), today);
    if (!writeNow) {
        result.writeDue = true;
        return result;
    }
    return writeFirstStartDatabase(db, result);
}

FirstStartResult writeFirstStartDatabase(Database& db, FirstStartResult result) {
    result.writeDue = false;
    const SaveResult saved = db.saveDatabase();
    if (!saved.ok()) {
        // The settings stay as they were, so the next start tries again.
        result.outcome = FirstStartResult::Failed;
        result.error = saved.error;
        return result;
    }
    result.settingsSaved = db.saveSettings().ok;
    return result;
}

} // namespace zet
