#include "archive/dayfile.h"
#include "model/database.h"
#include "model/savefile.h"

#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace zet;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

qint64 questionOffset(int t, int q, int p) {
    return (10 + (t - 1) * 606 + q * 6 + p) * 500LL;
}
qint64 profileOffset(int profile, int position) {
    return (12130 + (profile - 1) * 32 + position - 1) * 500LL;
}

// A database with a distinct value in every element, Cyrillic text and some 498-byte strings.
void fillEverything(Database& db) {
    db.newDatabase();
    for (int i = 0; i < 10; ++i)
        db.databaseHeader[i] = QStringLiteral("Заголовок %1").arg(i);
    db.databaseHeader[1] = kVersionMarker;
    for (int t = 1; t <= kThemeCount; ++t)
        for (int q = 0; q <= kQuestionSlots; ++q)
            for (int p = 0; p < kParts; ++p)
                db.questions(t, q, p) = QStringLiteral("Т%1 В%2 Ч%3 ёЁ№").arg(t).arg(q).arg(p);
    db.questions(20, 100, 5) = QString(498, QChar(u'Ж'));
    db.questions(1, 1, 0) = QStringLiteral("1010101010") + QString(488, QChar(u'щ'));
    for (int i = 1; i <= kProfileCount; ++i) {
        ExamProfile& pr = db.profiles[i];
        pr.number = static_cast<int16>(i);
        pr.name = QStringLiteral("Профиль «%1»").arg(i);
        pr.timeLimit = static_cast<int16>(-i * 1000);
        pr.questionCount = static_cast<int16>(i % 16);
        pr.excellentMin = static_cast<int16>(i + 1);
        pr.goodMin = static_cast<int16>(i + 2);
        pr.fairMin = static_cast<int16>(i + 3);
        for (int s = 1; s <= kSlotCount; ++s)
            pr.slotTheme[s] = static_cast<int16>((i + s) % 21);
        for (int k = 0; k < kGroupCount; ++k)
            pr.groups[k] = QStringLiteral("%1Группа %2-%3").arg(k % 2).arg(i).arg(k);
    }
    db.profiles[20].name = QString(498, QChar(u'Я'));
}

void compareModels(const Database& a, const Database& b) {
    for (int i = 0; i < 10; ++i)
        QCOMPARE(a.databaseHeader[i], b.databaseHeader[i]);
    for (int t = 1; t <= kThemeCount; ++t)
        for (int q = 0; q <= kQuestionSlots; ++q)
            for (int p = 0; p < kParts; ++p)
                QCOMPARE(a.questions(t, q, p), b.questions(t, q, p));
    for (int i = 1; i <= kProfileCount; ++i)
        QVERIFY2(a.profiles[i] == b.profiles[i], qPrintable(QStringLiteral("profile %1").arg(i)));
}

} // namespace

class TestDatabaseFile : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void defaultDatabaseBytes();
    void questionRecordNumbers_data();
    void questionRecordNumbers();
    void roundTrip();
    void loadOverLoadedModel_data();
    void loadOverLoadedModel();
    void rejected_data();
    void rejected();
    void shortFile();
    void overlongAndUnencodableStrings();
    void refusesToReplaceForeignFile();
    void failedWriteKeepsOldFile();
    void missingFolder();
    void settingsRoundTrip_data();
    void settingsRoundTrip();
    void settingsRefusesPathsItCannotHold_data();
    void settingsRefusesPathsItCannotHold();
    void settingsWithoutModel_data();
    void settingsWithoutModel();
    void newDatabaseDefaults();
    void onlyRegularFilesAreRead_data();
    void onlyRegularFilesAreRead();
    void readOnlyFileIsNotReplaced();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString& name) const { return m_dir->filePath(name); }
};

void TestDatabaseFile::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestDatabaseFile::cleanup() {
    defaultWriterOverride() = {};
}

void TestDatabaseFile::defaultDatabaseBytes() {
    Database db;
    db.newDatabase();
    db.databaseHeader[2] = QStringLiteral("Новый тест");
    db.databasePath = path("Data.zet");
    QVERIFY(db.saveDatabase().ok());
    const QByteArray bytes = readAll(db.databasePath);
    QVERIFY(bytes.size() == 6384502 || bytes.size() == 6385000);
    QCOMPARE(bytes.mid(500, 9), QByteArray("\x07\x00zetr100", 9));
    QCOMPARE(bytes.mid(0, 2), QByteArray("\x00\x00", 2)); // header 0: empty string
    // "Новый тест" in Windows-1251 behind its length.
    QCOMPARE(bytes.mid(1000, 12), QByteArray("\x0a\x00\xcd\xee\xe2\xfb\xe9\x20\xf2\xe5\xf1\xf2", 12));
    for (int profile : {1, 7, 20}) {
        QCOMPARE(bytes.mid(profileOffset(profile, 17), 2), QByteArray("\x58\x02", 2)); // timeLimit 600
        QCOMPARE(bytes.mid(profileOffset(profile, 16), 2), QByteArray("\x0a\x00", 2)); // questionCount 10
        QCOMPARE(bytes.mid(profileOffset(profile, 11), 2), QByteArray("\x09\x00", 2)); // excellentMin 9
        QCOMPARE(bytes.mid(profileOffset(profile, 15), 2),
                 QByteArray(1, char(profile)) + QByteArray(1, '\0'));
        QCOMPARE(bytes.mid(profileOffset(profile, 1), 3), QByteArray("\x01\x00"
                                                                     "1",
                                                                     3));              // groups[0] "1"
        QCOMPARE(bytes.mid(profileOffset(profile, 32), 2), QByteArray("\x01\x00", 2)); // slotTheme[15] 1
    }
}

void TestDatabaseFile::questionRecordNumbers_data() {
    QTest::addColumn<int>("theme");
    QTest::addColumn<int>("question");
    QTest::addColumn<int>("part");
    QTest::newRow("first element") << 1 << 0 << 0;
    QTest::newRow("theme 2 question 5 answer") << 2 << 5 << 1;
    QTest::newRow("theme 11 question 57 wrong 3") << 11 << 57 << 4;
    QTest::newRow("last element") << 20 << 100 << 5;
}

void TestDatabaseFile::questionRecordNumbers() {
    QFETCH(int, theme);
    QFETCH(int, question);
    QFETCH(int, part);
    Database db;
    db.newDatabase();
    db.questions(theme, question, part) = QStringLiteral("Ответ");
    db.databasePath = path("q.zet");
    QVERIFY(db.saveDatabase().ok());
    const QByteArray bytes = readAll(db.databasePath);
    QCOMPARE(bytes.mid(questionOffset(theme, question, part), 7),
             QByteArray("\x05\x00\xce\xf2\xe2\xe5\xf2", 7));
    // The record before it stays empty.
    QCOMPARE(bytes.mid(questionOffset(theme, question, part) - 500, 2), QByteArray(2, '\0'));
}

void TestDatabaseFile::roundTrip() {
    Database written;
    fillEverything(written);
    written.databasePath = path("full.zet");
    const SaveResult saved = written.saveDatabase();
    QVERIFY2(saved.ok(), qPrintable(saved.error));
    QVERIFY(saved.issues.empty());
    // Written a part at a time, the file is the whole image.
    QCOMPARE(readAll(written.databasePath), written.fileBytes());

    Database read;
    read.questions(0, 5, 1) = QStringLiteral("в памяти"); // theme 0 is not in the file
    read.databasePath = written.databasePath;
    QVERIFY(read.loadDatabase().ok());
    compareModels(written, read);
    QCOMPARE(read.questions(0, 5, 1), QStringLiteral("в памяти"));
    QCOMPARE(read.databasePath, written.databasePath);

    // Saving what was read gives the same bytes.
    read.databasePath = path("again.zet");
    QVERIFY(read.saveDatabase().ok());
    QCOMPARE(readAll(read.databasePath), readAll(written.databasePath));
}

void TestDatabaseFile::loadOverLoadedModel_data() {
    QTest::addColumn<bool>("copyHeld");
    QTest::newRow("nothing else holds the strings") << false;
    QTest::newRow("a copy of the model is held") << true;
}

// A load replaces every value of a model that already holds longer, shorter and empty
// strings, and leaves a copy of the previous model as it was.
void TestDatabaseFile::loadOverLoadedModel() {
    QFETCH(bool, copyHeld);
    Database first;
    fillEverything(first);
    Database second;
    fillEverything(second);
    for (int t = 1; t <= kThemeCount; ++t) {
        for (int q = 0; q <= kQuestionSlots; ++q) {
            for (int p = 0; p < kParts; ++p) {
                QString& s = second.questions(t, q, p);
                switch ((t + q + p) % 4) {
                case 0:
                    s.clear();
                    break;
                case 1:
                    s = s.left(3);
                    break;
                case 2:
                    s = (s.repeated(3) + QStringLiteral("ЪъЁё€‰")).left(498);
                    break;
                default:
                    s = (QStringLiteral("абв") + s).left(498);
                    break;
                }
            }
        }
    }
    first.questions(2, 3, 4).clear(); // empty before, text after
    second.questions(2, 3, 4) = QStringLiteral("текст");
    second.profiles[3].name.clear();
    second.profiles[4].groups[2] = QStringLiteral("0");

    Database model;
    QVERIFY(model.loadFromBytes(first.fileBytes()));
    compareModels(first, model);
    const Database copy = copyHeld ? model : Database();
    QVERIFY(model.loadFromBytes(second.fileBytes()));
    compareModels(second, model);
    if (copyHeld)
        compareModels(first, copy);
}

void TestDatabaseFile::rejected_data() {
    QTest::addColumn<QByteArray>("content"); // empty QByteArray() with missing = file not created
    QTest::addColumn<bool>("missing");
    QTest::addColumn<QString>("header0");
    QTest::addColumn<QString>("header1");
    auto file = [](const QByteArray& marker) {
        QByteArray b(12770 * 500, '\0');
        b.replace(0, 3, QByteArray("\x01\x00X", 3));
        qToLittleEndian<quint16>(quint16(marker.size()), b.data() + 500);
        b.replace(502, marker.size(), marker);
        return b;
    };
    QTest::newRow("letter case") << file("Zetr100") << false << "X"
                                 << "Zetr100";
    QTest::newRow("trailing blank") << file("zetr100 ") << false << "X"
                                    << "zetr100 ";
    QTest::newRow("other version") << file("zetr101") << false << "X"
                                   << "zetr101";
    QTest::newRow("empty file") << QByteArray() << false << ""
                                << "";
    QTest::newRow("missing file") << QByteArray() << true << ""
                                  << "";
    QTest::newRow("one byte") << QByteArray("\x05") << false << ""
                              << "";
}

void TestDatabaseFile::rejected() {
    QFETCH(QByteArray, content);
    QFETCH(bool, missing);
    QFETCH(QString, header0);
    QFETCH(QString, header1);

    Database db;
    fillEverything(db);
    const Database before = db;
    db.databasePath = path("other.zet");
    if (!missing)
        writeAll(db.databasePath, content);

    const LoadResult r = db.loadDatabase();
    QCOMPARE(r.status, LoadResult::Rejected);
    QVERIFY(!r.error.isEmpty());
    QCOMPARE(db.databaseHeader[0], header0);
    QCOMPARE(db.databaseHeader[1], header1);
    QCOMPARE(db.databasePath, path("other.zet"));
    for (int i = 2; i < 10; ++i)
        QCOMPARE(db.databaseHeader[i], before.databaseHeader[i]);
    for (int t = 1; t <= kThemeCount; ++t)
        for (int q = 0; q <= kQuestionSlots; ++q)
            for (int p = 0; p < kParts; ++p)
                QCOMPARE(db.questions(t, q, p), before.questions(t, q, p));
    for (int i = 1; i <= kProfileCount; ++i)
        QVERIFY(db.profiles[i] == before.profiles[i]);
    QCOMPARE(QFile::exists(db.databasePath), !missing); // a load never creates a file
}

void TestDatabaseFile::shortFile() {
    Database written;
    fillEverything(written);
    written.databasePath = path("short.zet");
    QVERIFY(written.saveDatabase().ok());
    // Cut in the middle of theme 1, question 2, part 3 (record 11 + 15).
    QByteArray bytes = readAll(written.databasePath);
    bytes.truncate(questionOffset(1, 2, 3) + 5);
    writeAll(written.databasePath, bytes);

    Database read;
    fillEverything(read);
    read.databasePath = written.databasePath;
    QVERIFY(read.loadDatabase().ok());
    QCOMPARE(read.questions(1, 2, 2), written.questions(1, 2, 2));
    QCOMPARE(read.questions(1, 2, 3), QStringLiteral("Т1 ")); // the 3 bytes that are there
    QCOMPARE(read.questions(1, 2, 4), QString());
    QCOMPARE(read.questions(20, 100, 5), QString());
    QCOMPARE(read.profiles[3].timeLimit, int16(0));
    QCOMPARE(read.profiles[3].groups[4], QString());
}

void TestDatabaseFile::overlongAndUnencodableStrings() {
    Database db;
    db.newDatabase();
    db.databaseHeader[2] = QString(600, QChar(u'ш'));
    db.questions(3, 5, 0) = QStringLiteral("1111111111Вопрос 漢字 и 😀");
    db.profiles[4].name = QString(499, QChar(u'a'));
    db.databasePath = path("long.zet");
    const SaveResult r = db.saveDatabase();
    QVERIFY(r.ok());
    QCOMPARE(int(r.issues.size()), 3);
    QCOMPARE(r.issues[0].kind, StoredValueIssue::Truncated);
    QCOMPARE(r.issues[0].field, QStringLiteral("название теста"));
    QCOMPARE(r.issues[1].kind, StoredValueIssue::Replaced);
    QCOMPARE(r.issues[1].field, QStringLiteral("тема 3, вопрос 5, текст вопроса"));
    QCOMPARE(r.issues[1].record, 11 + 2 * 606 + 5 * 6);
    QCOMPARE(r.issues[2].field, QStringLiteral("профиль 4, наименование"));

    Database read;
    read.databasePath = db.databasePath;
    QVERIFY(read.loadDatabase().ok());
    QCOMPARE(read.databaseHeader[2], QString(498, QChar(u'ш')));
    QCOMPARE(read.questions(3, 5, 0), QStringLiteral("1111111111Вопрос ?? и ?"));
    QCOMPARE(read.profiles[4].name, QString(498, QChar(u'a')));
    QCOMPARE(read.profiles[4].number, int16(4)); // the record after the name is intact
}

void TestDatabaseFile::refusesToReplaceForeignFile() {
    Database db;
    db.newDatabase();
    db.databasePath = path("notes.zet");
    const QByteArray foreign("Это не база тестов, а чьи-то записи.");
    writeAll(db.databasePath, foreign);
    QVERIFY(isForeignFile(db.databasePath));

    const SaveResult refused = db.saveDatabase();
    QCOMPARE(refused.status, SaveResult::ForeignFile);
    QVERIFY(refused.error.contains(QStringLiteral("notes.zet")));
    QCOMPARE(readAll(db.databasePath), foreign);

    QVERIFY(db.saveDatabase(true).ok());
    QVERIFY(!isForeignFile(db.databasePath));
    // An existing database and an empty file are replaced without confirmation.
    QVERIFY(db.saveDatabase().ok());
    writeAll(path("empty.zet"), {});
    QVERIFY(!isForeignFile(path("empty.zet")));
    db.databasePath = path("empty.zet");
    QVERIFY(db.saveDatabase().ok());
}

void TestDatabaseFile::failedWriteKeepsOldFile() {
    Database db;
    fillEverything(db);
    db.databasePath = path("Data.zet");
    QVERIFY(db.saveDatabase().ok());
    const QByteArray old = readAll(db.databasePath);

    // A device that takes 100,000 bytes and then fails, like a full disk.
    defaultWriterOverride() = [](QIODevice& dev, const QByteArray& bytes) {
        dev.write(bytes.constData(), 100000);
        return false;
    };
    db.databaseHeader[2] = QStringLiteral("Изменено");
    const SaveResult r = db.saveDatabase();
    QCOMPARE(r.status, SaveResult::WriteFailed);
    QVERIFY(r.error.contains(QStringLiteral("Data.zet")));
    QCOMPARE(readAll(db.databasePath), old);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{QStringLiteral("Data.zet")});
}

void TestDatabaseFile::missingFolder() {
    Database db;
    db.newDatabase();
    db.databasePath = path("no/such/folder/Data.zet");
    const SaveResult r = db.saveDatabase();
    QCOMPARE(r.status, SaveResult::WriteFailed);
    QVERIFY(!r.error.isEmpty());
    db.databasePath = m_dir->path(); // a folder, not a file
    QCOMPARE(db.saveDatabase().status, SaveResult::WriteFailed);
}

void TestDatabaseFile::settingsRoundTrip_data() {
    QTest::addColumn<QString>("stored");
    QTest::newRow("ordinary") << QStringLiteral("/home/экзамен/Data.zet");
    QTest::newRow("254 bytes") << QStringLiteral("/") + QString(253, QChar(u'п'));
    QTest::newRow("empty") << QString();
}

void TestDatabaseFile::settingsRoundTrip() {
    QFETCH(QString, stored);
    Database db;
    db.programFolder = m_dir->path() + QLatin1Char('/');
    db.databasePath = stored;
    QVERIFY(db.saveSettings().ok);
    const QByteArray bytes = readAll(db.settingsPath());
    QCOMPARE(bytes.size(), 256);
    QCOMPARE(int(qFromLittleEndian<quint16>(bytes.constData())), int(stored.size()));
    db.databasePath = QStringLiteral("something else");
    QVERIFY(db.loadSettings().ok);
    QCOMPARE(db.databasePath, stored);
}

void TestDatabaseFile::settingsRefusesPathsItCannotHold_data() {
    QTest::addColumn<QString>("stored");
    QTest::newRow("255 bytes") << QStringLiteral("/") + QString(254, QChar(u'п'));
    QTest::newRow("not in the code page") << QStringLiteral("/tmp/漢字/Data.zet");
}

void TestDatabaseFile::settingsRefusesPathsItCannotHold() {
    QFETCH(QString, stored);
    Database db;
    db.programFolder = m_dir->path() + QLatin1Char('/');
    db.databasePath = QStringLiteral("/old/Data.zet");
    QVERIFY(db.saveSettings().ok);
    const QByteArray before = readAll(db.settingsPath());
    db.databasePath = stored;
    const SettingsResult r = db.saveSettings();
    QVERIFY(!r.ok);
    QVERIFY(!r.error.isEmpty());
    QCOMPARE(readAll(db.settingsPath()), before);
}

void TestDatabaseFile::settingsWithoutModel_data() {
    QTest::addColumn<QByteArray>("content"); // empty: no settings file
    QTest::addColumn<QString>("expected");
    const QByteArray cyrillic("\xcf\xe0\xef\xea\xe0/Data.zet"); // "Папка/Data.zet"
    QByteArray record(256, 'x');
    qToLittleEndian<quint16>(quint16(cyrillic.size()), record.data());
    record.replace(2, cyrillic.size(), cyrillic);
    QTest::newRow("no file") << QByteArray() << QString();
    QTest::newRow("one byte") << QByteArray("\x05") << QString();
    QTest::newRow("record") << record << QStringLiteral("Папка/Data.zet");
    QTest::newRow("bytes behind the record are ignored")
        << record + QByteArray(300, 'y') << QStringLiteral("Папка/Data.zet");
    QByteArray stated(4, 'z');
    qToLittleEndian<quint16>(quint16(60000), stated.data());
    QTest::newRow("length beyond the end") << stated << QStringLiteral("zz");
    QByteArray overlong(400, 'w');
    qToLittleEndian<quint16>(quint16(300), overlong.data());
    QTest::newRow("length beyond the record") << overlong << QString(254, QLatin1Char('w'));
}

// The path comes from the file's bytes alone; writing it again gives a record that reads back.
void TestDatabaseFile::settingsWithoutModel() {
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);
    const QString settingsPath = settingsFilePath(m_dir->path() + QLatin1Char('/'));
    QCOMPARE(settingsPath, m_dir->path() + QStringLiteral("/zetr100.sys"));
    if (!content.isEmpty())
        writeAll(settingsPath, content);
    QCOMPARE(databasePathFromSettingsBytes(content), expected);
    QString read = QStringLiteral("stale");
    QVERIFY(readSettingsFile(settingsPath, &read).ok);
    QCOMPARE(read, expected);

    QByteArray record;
    QVERIFY(settingsBytes(read, &record).ok);
    QCOMPARE(record.size(), 256);
    QCOMPARE(databasePathFromSettingsBytes(record), expected);
}

void TestDatabaseFile::newDatabaseDefaults() {
    Database db;
    fillEverything(db);
    db.questions(0, 0, 0) = QStringLiteral("тема 0");
    db.databasePath = QStringLiteral("/keep/me.zet");
    db.newDatabase();
    QCOMPARE(db.databasePath, QStringLiteral("/keep/me.zet"));
    QCOMPARE(db.questions(0, 0, 0), QStringLiteral("тема 0"));
    for (const QString& h : db.databaseHeader)
        QVERIFY(h.isEmpty());
    QVERIFY(db.questions(7, 33, 2).isEmpty());
    for (int i = 1; i <= kProfileCount; ++i) {
        const ExamProfile& p = db.profiles[i];
        QCOMPARE(int(p.number), i);
        QCOMPARE(p.timeLimit, int16(600));
        QCOMPARE(p.questionCount, int16(10));
        QCOMPARE(p.excellentMin, int16(9));
        QCOMPARE(p.goodMin, int16(7));
        QCOMPARE(p.fairMin, int16(5));
        QVERIFY(p.name.isEmpty());
        for (int s = 1; s <= kSlotCount; ++s)
            QCOMPARE(p.slotTheme[s], int16(1));
        for (const QString& g : p.groups)
            QCOMPARE(g, QStringLiteral("1"));
    }
}

// A FIFO named as a database, a settings file or a day file: open() would wait for a
// writer forever. Each is refused at once with the reason, as a folder is.
void TestDatabaseFile::onlyRegularFilesAreRead_data() {
    QTest::addColumn<QString>("reader");
    QTest::addColumn<bool>("fifo");
    for (const char* reader : {"database", "settings", "day file"}) {
        QTest::addRow("%s: FIFO", reader) << reader << true;
        QTest::addRow("%s: folder", reader) << reader << false;
    }
}

void TestDatabaseFile::onlyRegularFilesAreRead() {
    QFETCH(QString, reader);
    QFETCH(bool, fifo);
    const QString odd = path(reader == QLatin1String("settings") ? "zetr100.sys" : "odd");
    if (fifo)
        QCOMPARE(::mkfifo(QFile::encodeName(odd).constData(), 0600), 0);
    else
        QVERIFY(QDir().mkdir(odd));
    const QString reason = fifo ? QStringLiteral("не обычный файл") : QStringLiteral("папка");

    QString error;
    if (reader == QLatin1String("database")) {
        Database db;
        db.databasePath = odd;
        const LoadResult loaded = db.loadDatabase();
        QVERIFY(!loaded.ok());
        error = loaded.error;
    } else if (reader == QLatin1String("settings")) {
        Database db;
        db.programFolder = m_dir->path() + QLatin1Char('/');
        const SettingsResult loaded = db.loadSettings();
        QVERIFY(!loaded.ok);
        QCOMPARE(db.databasePath, QString());
        error = loaded.error;
    } else {
        DayArchive archive;
        archive.monthFolder = m_dir->path();
        archive.dayFileName = QStringLiteral("odd");
        DayRegisterArray reg{};
        const DayFileResult read = archive.readDayFile(reg);
        QVERIFY(!read.ok);
        error = read.error;
    }
    QVERIFY2(error.contains(reason), qPrintable(error));
}

// A save to a file without write permission says so, also to a user the system lets write.
void TestDatabaseFile::readOnlyFileIsNotReplaced() {
    Database db;
    db.newDatabase();
    db.databasePath = path("Data.zet");
    QVERIFY(db.saveDatabase().ok());
    QVERIFY(QFile::setPermissions(db.databasePath, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const QByteArray before = readAll(db.databasePath);
    db.databaseHeader[2] = QStringLiteral("Изменено");
    const SaveResult saved = db.saveDatabase();
    QCOMPARE(saved.status, SaveResult::WriteFailed);
    QVERIFY2(saved.error.contains(QStringLiteral("защищён от записи")), qPrintable(saved.error));
    QCOMPARE(readAll(db.databasePath), before);
}

QTEST_GUILESS_MAIN(TestDatabaseFile)
#include "tst_databasefile.moc"
