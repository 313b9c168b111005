#pragma once
// Start-up work that needs no window: where the program keeps its files, and the database
// that a first start finds or creates.

#include "model/database.h"

#include <QDate>
#include <QString>

#include <functional>

namespace zet {

// The main window's caption for a day: maker and product, then "Сегодня: " with the day,
// the month in the genitive, the year and the Russian weekday name.
QString datedCaption(const QDate& today, const QString& monthGenitive);

// The folder with the native separator appended, unless it already ends in one (the root).
QString withTrailingSeparator(const QString& folder);

// True when a file can be created in the folder (tried for real, so it holds for every user).
bool isWritableFolder(const QString& folder);

// The program folder: the executable's folder when files can be written there (portable
// use); otherwise the per-user fallback folder, created if missing. The result ends in the
// separator. When the fallback cannot be created either, the executable's folder stays.
QString chooseProgramFolder(const QString& executableFolder, const QString& fallbackFolder,
                            const std::function<bool(const QString&)>& isWritable = isWritableFolder);

// True for a program installed by a package or `cmake --install`: its folder is a "bin" folder
// with "share/razividerur" beside it. Such a folder belongs to the system even where the user
// (root) may write to it, so the program keeps no files there.
bool isInstalledProgramFolder(const QString& executableFolder);

// chooseProgramFolder() for the running program: its own folder, or the per-user data folder;
// always the per-user one for an installed program.
QString defaultProgramFolder();

// The sample database that comes with the program: share/razividerur/examples/Образец.zet of
// the installation the executable's folder belongs to, or examples/Образец.zet of the build
// folder the executable was built in. Empty when neither is there.
QString sampleDatabasePath(const QString& executableFolder);

// "Data.zet" in the program folder.
QString defaultDatabasePath(const QString& programFolder);

// A name next to path that is not taken yet: path + ".bak", ".bak1", ".bak2" …
QString freeAsideName(const QString& path);

// What the first start (no database named in the settings) did.
struct FirstStartResult {
    enum Outcome {
        Created,      // no Data.zet was there; the default database was written
        KeptExisting, // a database was already there and is kept as it is
        MovedAside,   // a file that is not a database was renamed to movedTo, then the default was written
        Failed,       // the default database could not be written (error says why)
    };
    Outcome outcome = Created;
    QString movedTo;
    QString reason; // MovedAside: why the file there is no database (Russian, names the file)
    QString error;  // Russian reason when Failed
    bool settingsSaved = false;
    bool writeDue = false; // the new database is only in memory yet (writeFirstStartDatabase)
};

// First start in the per-user folder (programFolder) of a program whose own folder cannot
// be written: when that folder holds the centre's database (named by its settings file, or
// its Data.zet), databasePath names it and the settings in programFolder remember it, so it
// is opened instead of a new empty one. Returns a note for the examiner that says where the
// settings and the archive go instead; empty when the folder holds no database.
QString adoptProgramFolderDatabase(Database& db, const QString& executableFolder);

// First start: databasePath = programFolder + "Data.zet". A database already there is kept
// (and loaded later); anything else there is renamed aside and the default database
// "Новый тест" / "Неизвестный" / today's date is written. The settings then name the file.
// Without writeNow the new database is left in memory (writeDue) for writeFirstStartDatabase:
// the 6.4 MB file and the wait until it is on disk need not hold up the first frame, and a
// program that ends before writing it simply has its first start again.
FirstStartResult prepareFirstStartDatabase(Database& db, const QDate& today, bool writeNow = true);
// Writes the new database of a first start and names it in the settings.
FirstStartResult writeFirstStartDatabase(Database& db, FirstStartResult result = {});

} // namespace zet
