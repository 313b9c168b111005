#include "app/startup.h"

#include "archive/monthnames.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace zet {

QString DatedCaption(const QDate& today, const QString& monthGenitive) {
    return QStringLiteral("Orvelant       Zetrova v.1.0               Сегодня: ") +
           QString::number(today.day()) + QStringLiteral("  ") + monthGenitive + QStringLiteral("  ") +
           QStringLiteral("%1").arg(today.year(), 4, 10, QLatin1Char('0')) + QStringLiteral(" года  ") +
           WeekdayName(today);
}

QString WithTrailingSeparator(const QString& folder) {
    const QString sep = QDir::separator();
    QString native = QDir::toNativeSeparators(folder);
    if (native.endsWith(sep))
        return native;
    return native + sep;
}

bool IsWritableFolder(const QString& folder) {
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(WithTrailingSeparator(folder) + QStringLiteral(".zet-probe-XXXXXX"));
    return probe.open();
}

QString ChooseProgramFolder(const QString& executableFolder, const QString& fallbackFolder,
                            const std::function<bool(const QString&)>& isWritable) {
    if (isWritable(executableFolder) || fallbackFolder.isEmpty())
        return WithTrailingSeparator(executableFolder);
    if (!QDir().mkpath(fallbackFolder))
        return WithTrailingSeparator(executableFolder);
    return WithTrailingSeparator(fallbackFolder);
}

QString DefaultProgramFolder() {
    return ChooseProgramFolder(QCoreApplication::applicationDirPath(),
                               QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

QString DefaultDatabasePath(const QString& programFolder) {
    return programFolder + QStringLiteral("Data.zet");
}

QString FreeAsideName(const QString& path) {
    const QString base = path + QStringLiteral(".bak");
    QString candidate = base;
    for (int n = 1; QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink(); ++n)
        candidate = base + QString::number(n);
    return candidate;
}

namespace {

// A file counts as a database when the reader accepts it.
bool IsReadableDatabase(const QString& path) {
    Database probe;
    probe.DatabasePath = path;
    return probe.LoadDatabase().ok();
}

} // namespace

QString AdoptProgramFolderDatabase(Database& db, const QString& executableFolder) {
    const QString own = WithTrailingSeparator(executableFolder);
    if (own == db.ProgramFolder)
        return {};
    Database there;
    there.ProgramFolder = own;
    there.LoadSettings();
    if (there.DatabasePath.isEmpty() && QFileInfo(DefaultDatabasePath(own)).isFile())
        there.DatabasePath = DefaultDatabasePath(own);
    if (there.DatabasePath.isEmpty())
        return {};
    db.DatabasePath = there.DatabasePath;
    db.SaveSettings();
    return QStringLiteral("Папка программы «%1» защищена от записи.\n\n"
                          "База данных открыта оттуда: %2\n\n"
                          "Настройки и архив результатов будут записываться в папку «%3».")
        .arg(QDir::toNativeSeparators(own), QDir::toNativeSeparators(db.DatabasePath),
             QDir::toNativeSeparators(db.ProgramFolder));
}

FirstStartResult PrepareFirstStartDatabase(Database& db, const QDate& today) {
    FirstStartResult result;
    db.DatabasePath = DefaultDatabasePath(db.ProgramFolder);
    const QFileInfo existing(db.DatabasePath);

    if (existing.exists() || existing.isSymLink()) {
        if (existing.isFile() && IsReadableDatabase(db.DatabasePath)) {
            result.outcome = FirstStartResult::KeptExisting;
            result.settingsSaved = db.SaveSettings().ok;
            return result;
        }
        const QString aside = FreeAsideName(db.DatabasePath);
        if (!QDir().rename(db.DatabasePath, aside)) {
            result.outcome = FirstStartResult::Failed;
            result.error = QStringLiteral("Не удалось переименовать файл %1").arg(db.DatabasePath);
            return result;
        }
        result.outcome = FirstStartResult::MovedAside;
        result.movedTo = aside;
    }

    db.NewDatabase();
    db.DatabaseHeader[1] = kVersionMarker;
    db.DatabaseHeader[2] = QStringLiteral("Новый тест");
    db.DatabaseHeader[3] = QStringLiteral("Неизвестный");
    db.DatabaseHeader[4] = FixedDateText(today);
    const SaveResult saved = db.SaveDatabase();
    if (!saved.ok()) {
        // The settings stay as they were, so the next start tries again.
        result.outcome = FirstStartResult::Failed;
        result.error = saved.error;
        return result;
    }
    result.settingsSaved = db.SaveSettings().ok;
    return result;
}

} // namespace zet
