// Start-up without windows: the program folder, the dated caption and the database that a
// first start finds or creates.

#include "app/startup.h"
#include "archive/monthnames.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace zet;

namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QString Folder(const QTemporaryDir& dir) {
    return WithTrailingSeparator(dir.path());
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void trailingSeparator_data();
    void trailingSeparator();
    void writableFolder();
    void programFolderChoice();
    void freeAsideName();
    void caption_data();
    void caption();
    void firstStartCreatesDefault();
    void firstStartKeepsDatabase();
    void firstStartMovesAsideWhatIsNoDatabase_data();
    void firstStartMovesAsideWhatIsNoDatabase();
    void readOnlyProgramFolderKeepsItsDatabase_data();
    void readOnlyProgramFolderKeepsItsDatabase();
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
    QCOMPARE(WithTrailingSeparator(folder), expected);
}

void TestStartup::writableFolder() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(IsWritableFolder(dir.path()));
    // Nothing can be created below a plain file, whoever runs the test.
    const QString file = dir.filePath(QStringLiteral("plain"));
    QVERIFY(WriteAll(file, "x"));
    QVERIFY(!IsWritableFolder(file));
    QVERIFY(!IsWritableFolder(file + QStringLiteral("/sub")));
    QVERIFY(!IsWritableFolder(QString()));
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
    QCOMPARE(ChooseProgramFolder(exe, fallback), exe + QStringLiteral("/"));
    QVERIFY(!QFileInfo::exists(fallback));

    // Not writable: the per-user folder, created on the way.
    auto readOnly = [](const QString&) { return false; };
    QCOMPARE(ChooseProgramFolder(exe, fallback, readOnly), fallback + QStringLiteral("/"));
    QVERIFY(QFileInfo(fallback).isDir());

    // The per-user folder cannot be made either: the program's folder stays.
    const QString blocker = dir.filePath(QStringLiteral("blocker"));
    QVERIFY(WriteAll(blocker, "x"));
    QCOMPARE(ChooseProgramFolder(exe, blocker + QStringLiteral("/data"), readOnly),
             exe + QStringLiteral("/"));
}

void TestStartup::freeAsideName() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Data.zet"));
    QCOMPARE(FreeAsideName(path), path + QStringLiteral(".bak"));
    QVERIFY(WriteAll(path + QStringLiteral(".bak"), "a"));
    QCOMPARE(FreeAsideName(path), path + QStringLiteral(".bak1"));
    QVERIFY(QDir().mkpath(path + QStringLiteral(".bak1")));
    QCOMPARE(FreeAsideName(path), path + QStringLiteral(".bak2"));
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
    QCOMPARE(DatedCaption(date, SetMonthGenitive(date)), head + tail);
}

void TestStartup::firstStartCreatesDefault() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    Database db;
    db.ProgramFolder = Folder(dir);
    const FirstStartResult r = PrepareFirstStartDatabase(db, QDate(2010, 12, 3));
    QCOMPARE(r.outcome, FirstStartResult::Created);
    QVERIFY(r.settingsSaved);
    QCOMPARE(db.DatabasePath, dir.filePath(QStringLiteral("Data.zet")));

    // What a later start reads back from disk.
    Database again;
    again.ProgramFolder = db.ProgramFolder;
    QVERIFY(again.LoadSettings().ok);
    QCOMPARE(again.DatabasePath, db.DatabasePath);
    QVERIFY(again.LoadDatabase().ok());
    QCOMPARE(again.DatabaseHeader[2], QStringLiteral("Новый тест"));
    QCOMPARE(again.DatabaseHeader[3], QStringLiteral("Неизвестный"));
    QCOMPARE(again.DatabaseHeader[4], QStringLiteral("12-03-2010"));
    QCOMPARE(again.Profiles[20].Number, int16(20));
    QCOMPARE(again.Profiles[1].QuestionCount, int16(10));
}

void TestStartup::firstStartKeepsDatabase() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    Database mine;
    mine.ProgramFolder = Folder(dir);
    mine.DatabasePath = dir.filePath(QStringLiteral("Data.zet"));
    mine.NewDatabase();
    mine.DatabaseHeader[2] = QStringLiteral("Охрана труда");
    mine.Questions(1, 1, 1) = QStringLiteral("Ответ");
    QVERIFY(mine.SaveDatabase().ok());
    const QByteArray before = ReadAll(mine.DatabasePath);

    Database db;
    db.ProgramFolder = Folder(dir);
    const FirstStartResult r = PrepareFirstStartDatabase(db, QDate(2010, 12, 3));
    QCOMPARE(r.outcome, FirstStartResult::KeptExisting);
    QVERIFY(r.settingsSaved);
    QCOMPARE(ReadAll(mine.DatabasePath), before);
    QVERIFY(!QFileInfo::exists(mine.DatabasePath + QStringLiteral(".bak")));
    QVERIFY(db.LoadDatabase().ok());
    QCOMPARE(db.DatabaseHeader[2], QStringLiteral("Охрана труда"));
    Database again;
    again.ProgramFolder = db.ProgramFolder;
    QVERIFY(again.LoadSettings().ok);
    QCOMPARE(again.DatabasePath, mine.DatabasePath);
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
        QVERIFY(WriteAll(path, content));
    if (bakTaken)
        QVERIFY(WriteAll(path + QStringLiteral(".bak"), "older"));
    const QString aside = path + (bakTaken ? QStringLiteral(".bak1") : QStringLiteral(".bak"));

    Database db;
    db.ProgramFolder = Folder(dir);
    const FirstStartResult r = PrepareFirstStartDatabase(db, QDate(2010, 12, 3));
    QCOMPARE(r.outcome, FirstStartResult::MovedAside);
    QCOMPARE(r.movedTo, aside);
    if (isDir)
        QVERIFY(QFileInfo(aside).isDir());
    else
        QCOMPARE(ReadAll(aside), content);
    if (bakTaken)
        QCOMPARE(ReadAll(path + QStringLiteral(".bak")), QByteArray("older"));

    Database again;
    again.DatabasePath = path;
    QVERIFY(again.LoadDatabase().ok());
    QCOMPARE(again.DatabaseHeader[2], QStringLiteral("Новый тест"));
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
        QVERIFY(WriteAll(program.filePath(QStringLiteral("Data.zet")), "database bytes"));
    if (settings) {
        Database there;
        there.ProgramFolder = Folder(program);
        there.DatabasePath = elsewhere;
        QVERIFY(there.SaveSettings().ok);
    }
    Database db;
    db.ProgramFolder = Folder(user);
    const QString note = AdoptProgramFolderDatabase(db, program.path());

    const QString expected = settings  ? elsewhere
                             : dataZet ? program.filePath(QStringLiteral("Data.zet"))
                                       : QString();
    QCOMPARE(db.DatabasePath, expected);
    QCOMPARE(note.isEmpty(), expected.isEmpty());
    Database remembered;
    remembered.ProgramFolder = Folder(user);
    QVERIFY(remembered.LoadSettings().ok);
    QCOMPARE(remembered.DatabasePath, expected);
    if (!note.isEmpty())
        QVERIFY2(note.contains(QDir::toNativeSeparators(user.path())), qPrintable(note));
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
