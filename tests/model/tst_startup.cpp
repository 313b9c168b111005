// Start-up without windows: the program folder, the dated caption and the database that a
// first start finds or creates.

#include "app/appcore.h"
#include "app/startup.h"
#include "archive/dayfile.h"
#include "archive/monthnames.h"
#include "model/savefile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QSignalSpy>
#include <QtTest>

#include <sys/stat.h>

using namespace zet;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QString folder(const QTemporaryDir& dir) {
    return withTrailingSeparator(dir.path());
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void trailingSeparator_data();
    void trailingSeparator();
    void writableFolder();
    void programFolderChoice();
    void installedProgramFolder_data();
    void installedProgramFolder();
    void freeAsideName();
    void caption_data();
    void caption();
    void firstStartCreatesDefault();
    void firstStartKeepsDatabase();
    void firstStartMovesAsideWhatIsNoDatabase_data();
    void firstStartMovesAsideWhatIsNoDatabase();
    void readOnlyProgramFolderKeepsItsDatabase_data();
    void readOnlyProgramFolderKeepsItsDatabase();
    void coreStartUp_data();
    void coreStartUp();
    void firstDatabaseLater_data();
    void firstDatabaseLater();
    void unreadableFilesAreNamed_data();
    void unreadableFilesAreNamed();
    void sampleDatabase_data();
    void sampleDatabase();
};

void TestStartup::trailingSeparator_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << "/opt/zet"
                           << "/opt/zet/";
    QTest::newRow("already ends in one") << "/opt/zet/"
                                         << "/opt/zet/";
    QTest::newRow("root") << "/"
                          << "/";
}

void TestStartup::trailingSeparator() {
    QFETCH(QString, folder);
    QFETCH(QString, expected);
    QCOMPARE(withTrailingSeparator(folder), expected);
}

void TestStartup::writableFolder() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(isWritableFolder(dir.path()));
    // Nothing can be created below a plain file, whoever runs the test.
    const QString file = dir.filePath(QStringLiteral("plain"));
    QVERIFY(writeAll(file, "x"));
    QVERIFY(!isWritableFolder(file));
    QVERIFY(!isWritableFolder(file + QStringLiteral("/sub")));
    QVERIFY(!isWritableFolder(QString()));
    // The probe leaves nothing behind.
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("plain")});
}

void TestStartup::programFolderChoice() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString exe = dir.filePath(QStringLiteral("bin"));
    QVERIFY(QDir().mkpath(exe));
    const QString fallback = dir.filePath(QStringLiteral("user/data"));

    // Writable: the program's own folder, nothing else is created.
    QCOMPARE(chooseProgramFolder(exe, fallback), exe + QStringLiteral("/"));
    QVERIFY(!QFileInfo::exists(fallback));

    // Not writable: the per-user folder, created on the way.
    auto readOnly = [](const QString&) { return false; };
    QCOMPARE(chooseProgramFolder(exe, fallback, readOnly), fallback + QStringLiteral("/"));
    QVERIFY(QFileInfo(fallback).isDir());

    // The per-user folder cannot be made either: the program's folder stays.
    const QString blocker = dir.filePath(QStringLiteral("blocker"));
    QVERIFY(writeAll(blocker, "x"));
    QCOMPARE(chooseProgramFolder(exe, blocker + QStringLiteral("/data"), readOnly),
             exe + QStringLiteral("/"));
}

void TestStartup::installedProgramFolder_data() {
    QTest::addColumn<QString>("executableFolder");
    QTest::addColumn<QString>("madeFolder");
    QTest::addColumn<bool>("installed");
    // A package puts the program into usr/bin and its sample into usr/share/razividerur.
    QTest::newRow("package") << "usr/bin" << "usr/share/razividerur/examples" << true;
    QTest::newRow("another prefix") << "opt/zet/bin" << "opt/zet/share/razividerur" << true;
    QTest::newRow("bin without the shared files") << "usr/bin" << "usr/share/other" << false;
    QTest::newRow("build folder") << "build/src" << "build/share/razividerur" << false;
    QTest::newRow("shared files are a file") << "usr/bin" << "" << false;
}

void TestStartup::installedProgramFolder() {
    QFETCH(QString, executableFolder);
    QFETCH(QString, madeFolder);
    QFETCH(bool, installed);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir().mkpath(dir.filePath(executableFolder)));
    if (madeFolder.isEmpty()) {
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("usr/share"))));
        QVERIFY(writeAll(dir.filePath(QStringLiteral("usr/share/razividerur")), "x"));
    } else {
        QVERIFY(QDir().mkpath(dir.filePath(madeFolder)));
    }
    QCOMPARE(isInstalledProgramFolder(dir.filePath(executableFolder)), installed);
}

void TestStartup::freeAsideName() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Data.zet"));
    QCOMPARE(zet::freeAsideName(path), path + QStringLiteral(".bak"));
    QVERIFY(writeAll(path + QStringLiteral(".bak"), "a"));
    QCOMPARE(zet::freeAsideName(path), path + QStringLiteral(".bak1"));
    QVERIFY(QDir().mkpath(path + QStringLiteral(".bak1")));
    QCOMPARE(zet::freeAsideName(path), path + QStringLiteral(".bak2"));
}

void TestStartup::caption_data() {
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("tail");
    QTest::newRow("single-digit day, Friday") << QDate(2010, 12, 3) << "3  Декабря  2010 года  пятница";
    QTest::newRow("Sunday in January") << QDate(2023, 1, 15) << "15  Января  2023 года  воскресенье";
    QTest::newRow("leap day, Thursday") << QDate(2024, 2, 29) << "29  Февраля  2024 года  четверг";
    QTest::newRow("May, Monday") << QDate(2025, 5, 5) << "5  Мая  2025 года  понедельник";
}

void TestStartup::caption() {
    QFETCH(QDate, date);
    QFETCH(QString, tail);
    const QString head = QStringLiteral("Orvelant       Zetrova v.1.0               Сегодня: ");
    QCOMPARE(datedCaption(date, setMonthGenitive(date)), head + tail);
}

void TestStartup::firstStartCreatesDefault() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    Database db;
    db.programFolder = folder(dir);
    const FirstStartResult r = prepareFirstStartDatabase(db, QDate(2010, 12, 3));
    QCOMPARE(r.outcome, FirstStartResult::Created);
    QVERIFY(r.settingsSaved);
    QCOMPARE(db.databasePath, dir.filePath(QStringLiteral("Data.zet")));

    // What a later start reads back from disk.
    Database again;
    again.programFolder = db.programFolder;
    QVERIFY(again.loadSettings().ok);
    QCOMPARE(again.databasePath, db.databasePath);
    QVERIFY(again.loadDatabase().ok());
    QCOMPARE(again.databaseHeader[2], QStringLiteral("Новый тест"));
    QCOMPARE(again.databaseHeader[3], QStringLiteral("Неизвестный"));
    QCOMPARE(again.databaseHeader[4], QStringLiteral("12-03-2010"));
    QCOMPARE(again.profiles[20].number, int16(20));
    QCOMPARE(again.profiles[1].questionCount, int16(10));
}

void TestStartup::firstStartKeepsDatabase() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    Database mine;
    mine.programFolder = folder(dir);
    mine.databasePath = dir.filePath(QStringLiteral("Data.zet"));
    mine.newDatabase();
    mine.databaseHeader[2] = QStringLiteral("Охрана труда");
    mine.questions(1, 1, 1) = QStringLiteral("Ответ");
    QVERIFY(mine.saveDatabase().ok());
    const QByteArray before = readAll(mine.databasePath);

    Database db;
    db.programFolder = folder(dir);
    const FirstStartResult r = prepareFirstStartDatabase(db, QDate(2010, 12, 3));
    QCOMPARE(r.outcome, FirstStartResult::KeptExisting);
    QVERIFY(r.settingsSaved);
    QCOMPARE(readAll(mine.databasePath), before);
    QVERIFY(!QFileInfo::exists(mine.databasePath + QStringLiteral(".bak")));
    QVERIFY(db.loadDatabase().ok());
    QCOMPARE(db.databaseHeader[2], QStringLiteral("Охрана труда"));
    Database again;
    again.programFolder = db.programFolder;
    QVERIFY(again.loadSettings().ok);
    QCOMPARE(again.databasePath, mine.databasePath);
}

void TestStartup::firstStartMovesAsideWhatIsNoDatabase_data() {
    QTest::addColumn<QByteArray>("content"); // empty with isDir: a folder named Data.zet
    QTest::addColumn<bool>("isDir");
    QTest::addColumn<bool>("bakTaken");
    QTest::newRow("text file") << QByteArray("notes, not tests\r\n") << false << false;
    QTest::newRow("text file, .bak taken") << QByteArray("notes") << false << true;
    QTest::newRow("empty file") << QByteArray() << false << false;
    QTest::newRow("folder") << QByteArray() << true << false;
    QByteArray wrongMarker(1000, '\0');
    wrongMarker[500] = 7;
    wrongMarker.replace(502, 7, "zetr099");
    QTest::newRow("other version") << wrongMarker << false << false;
}

void TestStartup::firstStartMovesAsideWhatIsNoDatabase() {
    QFETCH(QByteArray, content);
    QFETCH(bool, isDir);
    QFETCH(bool, bakTaken);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Data.zet"));
    if (isDir)
        QVERIFY(QDir().mkpath(path));
    else
        QVERIFY(writeAll(path, content));
    if (bakTaken)
        QVERIFY(writeAll(path + QStringLiteral(".bak"), "older"));
    const QString aside = path + (bakTaken ? QStringLiteral(".bak1") : QStringLiteral(".bak"));

    Database db;
    db.programFolder = folder(dir);
    const FirstStartResult r = prepareFirstStartDatabase(db, QDate(2010, 12, 3));
    QCOMPARE(r.outcome, FirstStartResult::MovedAside);
    QCOMPARE(r.movedTo, aside);
    if (isDir)
        QVERIFY(QFileInfo(aside).isDir());
    else
        QCOMPARE(readAll(aside), content);
    if (bakTaken)
        QCOMPARE(readAll(path + QStringLiteral(".bak")), QByteArray("older"));

    Database again;
    again.databasePath = path;
    QVERIFY(again.loadDatabase().ok());
    QCOMPARE(again.databaseHeader[2], QStringLiteral("Новый тест"));
}

void TestStartup::readOnlyProgramFolderKeepsItsDatabase_data() {
    QTest::addColumn<bool>("dataZet");
    QTest::addColumn<bool>("settings");
    QTest::newRow("Data.zet") << true << false;
    QTest::newRow("settings naming a database elsewhere") << false << true;
    QTest::newRow("both: the settings win") << true << true;
    QTest::newRow("neither") << false << false;
}

// The program's folder cannot be written, so the per-user folder holds settings and archive;
// the centre's database in the program's folder is opened, not replaced by an empty one.
void TestStartup::readOnlyProgramFolderKeepsItsDatabase() {
    QFETCH(bool, dataZet);
    QFETCH(bool, settings);
    QTemporaryDir program, user;
    QVERIFY(program.isValid() && user.isValid());
    const QString elsewhere = user.filePath(QStringLiteral("Центр.zet"));
    if (dataZet)
        QVERIFY(writeAll(program.filePath(QStringLiteral("Data.zet")), "database bytes"));
    if (settings) {
        Database there;
        there.programFolder = folder(program);
        there.databasePath = elsewhere;
        QVERIFY(there.saveSettings().ok);
    }
    Database db;
    db.programFolder = folder(user);
    const QString note = adoptProgramFolderDatabase(db, program.path());

    const QString expected = settings  ? elsewhere
                             : dataZet ? program.filePath(QStringLiteral("Data.zet"))
                                       : QString();
    QCOMPARE(db.databasePath, expected);
    QCOMPARE(note.isEmpty(), expected.isEmpty());
    Database remembered;
    remembered.programFolder = folder(user);
    QVERIFY(remembered.loadSettings().ok);
    QCOMPARE(remembered.databasePath, expected);
    if (!note.isEmpty())
        QVERIFY2(note.contains(QDir::toNativeSeparators(user.path())), qPrintable(note));
}

void TestStartup::coreStartUp_data() {
    QTest::addColumn<QByteArray>("namedFile"); // what the file the settings name holds; empty: no settings
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("testName");
    QTest::newRow("first start") << QByteArray() << QStringList() << QStringLiteral("Новый тест");
    QTest::newRow("named file is no database")
        << QByteArray(600, 'x') << QStringList{QStringLiteral("Неправильная версия файла!")} << QString();
}

void TestStartup::coreStartUp() {
    QFETCH(QByteArray, namedFile);
    QFETCH(QStringList, messages);
    QFETCH(QString, testName);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = withTrailingSeparator(dir.path());
    if (!namedFile.isEmpty()) {
        const QString named = folder + QStringLiteral("other.zet");
        QFile file(named);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(namedFile);
        file.close();
        QByteArray record;
        QVERIFY(settingsBytes(named, &record).ok);
        QFile settings(settingsFilePath(folder));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write(record);
    }

    AppCore core(nullptr, [] { return QDate(2024, 5, 13); });
    QSignalSpy changed(&core, &AppCore::databaseChanged);
    const StartupReport report = core.startUp({dir.path()});

    QCOMPARE(report.messages, messages);
    QVERIFY(report.caption.endsWith(QStringLiteral("Сегодня: 13  Мая  2024 года  понедельник")));
    QVERIFY(report.dayFileNote.isEmpty());
    QCOMPARE(changed.count(), 1);
    QCOMPARE(core.database().programFolder, folder);
    QCOMPARE(core.database().databaseHeader[2], testName);
    QCOMPARE(int(core.examState().currentExaminee), 1);
    QCOMPARE(int(core.examState().currentProfile), 1);
    QVERIFY(QFileInfo(core.dayArchive().dayFilePath()).isFile());
}

// A first start that leaves its new database for after the first frame: nothing is on disk
// until then, the database in memory is the one the written file gives, and a failed write or
// another database opened meanwhile are handled.
void TestStartup::firstDatabaseLater_data() {
    QTest::addColumn<QString>("meanwhile"); // "", "folder gone", "other database"
    QTest::addColumn<bool>("written");
    QTest::addColumn<QString>("told");
    QTest::newRow("written") << QString() << true << QString();
    QTest::newRow("folder gone") << QStringLiteral("folder gone") << false
                                 << QStringLiteral("Не удалось создать базу данных по умолчанию");
    QTest::newRow("other database opened") << QStringLiteral("other database") << false << QString();
}

void TestStartup::firstDatabaseLater() {
    QFETCH(QString, meanwhile);
    QFETCH(bool, written);
    QFETCH(QString, told);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString data = dir.filePath(QStringLiteral("Data.zet"));
    AppCore core(nullptr, [] { return QDate(2024, 5, 13); });
    const StartupReport report = core.startUp({dir.path(), false, /*firstDatabaseLater=*/true});
    QVERIFY(report.messages.isEmpty());
    QVERIFY(core.isFirstDatabaseDue());
    QVERIFY(!QFileInfo::exists(data) && !QFileInfo::exists(settingsFilePath(folder(dir))));
    QCOMPARE(core.database().databaseHeader[2], QStringLiteral("Новый тест"));

    if (meanwhile == QLatin1String("folder gone")) {
        QVERIFY(dir.remove());
    } else if (meanwhile == QLatin1String("other database")) {
        Database other;
        other.databasePath = dir.filePath(QStringLiteral("other.zet"));
        other.startNew(QStringLiteral("Другой"), QStringLiteral("Петров"), QDate(2024, 5, 1));
        QVERIFY(other.saveDatabase().ok());
        QVERIFY(core.loadDatabase(other.databasePath).ok());
        // Nothing is written then: a write now would fail.
        defaultWriterOverride() = [](QIODevice&, const QByteArray&) { return false; };
    }
    const QString message = core.writeFirstDatabase();
    defaultWriterOverride() = {};
    QVERIFY(!core.isFirstDatabaseDue());
    QVERIFY2(told.isEmpty() ? message.isEmpty() : message.contains(told), qPrintable(message));
    QCOMPARE(QFileInfo::exists(data), written);
    if (!written)
        return;
    Database read;
    read.programFolder = folder(dir);
    QVERIFY(read.loadSettings().ok);
    QCOMPARE(read.databasePath, data);
    QVERIFY(read.loadDatabase().ok());
    const Database& held = core.database();
    QCOMPARE(held.databaseHeader, read.databaseHeader);
    QVERIFY(held.profiles == read.profiles);
    int differing = 0;
    for (int t = 0; t <= kThemeCount; ++t)
        for (int q = 0; q <= kQuestionSlots; ++q)
            for (int p = 0; p < kParts; ++p)
                differing += held.questions(t, q, p) != read.questions(t, q, p);
    QCOMPARE(differing, 0);
}

// A database that cannot be read at all, or settings of garbage, are named with the reason;
// a Data.zet that is no database at a first start is named with its copy and the new database;
// a day file that cannot be made is named once the window is up.
void TestStartup::unreadableFilesAreNamed_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("told");
    QTest::newRow("settings name a FIFO") << "fifo" << QStringList{QStringLiteral("named"), QStringLiteral("канал")};
    QTest::newRow("settings name a link loop")
        << "loop" << QStringList{QStringLiteral("named"), QStringLiteral("ссылка указывает сама на себя")};
    QTest::newRow("settings of garbage") << "garbage" << QStringList{QStringLiteral("zetr100.sys"), QStringLiteral("повреждён")};
    QTest::newRow("empty Data.zet") << "empty" << QStringList{QStringLiteral("Data.zet.bak"), QStringLiteral("пуст"), QStringLiteral("Новый тест")};
    QTest::newRow("folder as Data.zet") << "folder" << QStringList{QStringLiteral("Data.zet.bak"), QStringLiteral("папка"), QStringLiteral("Новый тест")};
    QTest::newRow("foreign Data.zet") << "foreign" << QStringList{QStringLiteral("Data.zet.bak"), QStringLiteral("не является"), QStringLiteral("Новый тест")};
    QTest::newRow("folder as today's day file")
        << "day folder" << QStringList{QStringLiteral("не подготовлен"), QStringLiteral("13.05.2024.txt"), QStringLiteral("папка")};
}

void TestStartup::unreadableFilesAreNamed() {
    QFETCH(QString, kind);
    QFETCH(QStringList, told);
    QTemporaryDir dir;
    const QString folder = withTrailingSeparator(dir.path());
    const QString named = folder + QStringLiteral("named");
    const QString data = folder + QStringLiteral("Data.zet");
    QByteArray settings;
    if (kind == QLatin1String("fifo") || kind == QLatin1String("loop")) {
        if (kind == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(named).constData(), 0600), 0);
        else
            QVERIFY(QFile::link(named, named));
        QVERIFY(settingsBytes(named, &settings).ok);
    } else if (kind == QLatin1String("garbage")) {
        settings = QByteArray::fromHex("4000") + QByteArray(64, '\x01') + QByteArray(190, '\x9c');
    } else if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkdir(data));
    } else if (kind == QLatin1String("day folder")) {
        const QDate day(2024, 5, 13);
        QVERIFY(QDir().mkpath(QDir(monthFolderFor(folder, day)).filePath(dayFileNameFor(day))));
    } else {
        QFile file(data);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kind == QLatin1String("foreign") ? QByteArray(1000, 'x') : QByteArray());
    }
    if (!settings.isEmpty()) {
        QFile file(settingsFilePath(folder));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(settings);
    }
    AppCore core(nullptr, [] { return QDate(2024, 5, 13); });
    const StartupReport report = core.startUp({dir.path()});
    const QString messages = (report.messages + QStringList{report.dayFileNote}).join(QLatin1Char('\n'));
    for (const QString& part : told)
        QVERIFY2(messages.contains(part), qPrintable(messages));
    QVERIFY2(!messages.contains(QStringLiteral("Неправильная версия файла!")), qPrintable(messages));
}

void TestStartup::sampleDatabase_data() {
    QTest::addColumn<QString>("sample"); // where the sample lies, beside the folders prefix/bin and build/src
    QTest::addColumn<QString>("executableFolder");
    QTest::addColumn<bool>("found");
    QTest::newRow("installed") << "prefix/share/razividerur/examples/Образец.zet"
                               << "prefix/bin" << true;
    QTest::newRow("build") << "build/examples/Образец.zet"
                           << "build/src" << true;
    QTest::newRow("another installation's") << "other/share/razividerur/examples/Образец.zet"
                                            << "prefix/bin" << false;
    QTest::newRow("none") << QString() << "prefix/bin" << false;
}

void TestStartup::sampleDatabase() {
    QFETCH(QString, sample);
    QFETCH(QString, executableFolder);
    QFETCH(bool, found);
    QTemporaryDir dir;
    const QDir root(dir.path());
    QVERIFY(root.mkpath(executableFolder));
    if (!sample.isEmpty()) {
        QVERIFY(root.mkpath(QFileInfo(sample).path()));
        QFile file(root.filePath(sample));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QCOMPARE(sampleDatabasePath(root.filePath(executableFolder)), found ? root.filePath(sample) : QString());
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
