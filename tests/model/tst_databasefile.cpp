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

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

qint64 QuestionOffset(int t, int q, int p) {
    return (10 + (t - 1) * 606 + q * 6 + p) * 500LL;
}
qint64 ProfileOffset(int profile, int position) {
    return (12130 + (profile - 1) * 32 + position - 1) * 500LL;
}

// A database with a distinct value in every element, Cyrillic text and some 498-byte strings.
void FillEverything(Database& db) {
    db.NewDatabase();
    for (int i = 0; i < 10; ++i)
        db.DatabaseHeader[i] = QStringLiteral("Заголовок %1").arg(i);
    db.DatabaseHeader[1] = kVersionMarker;
    for (int t = 1; t <= kThemeCount; ++t)
        for (int q = 0; q <= kQuestionSlots; ++q)
            for (int p = 0; p < kParts; ++p)
                db.Questions(t, q, p) = QStringLiteral("Т%1 В%2 Ч%3 ёЁ№").arg(t).arg(q).arg(p);
    db.Questions(20, 100, 5) = QString(498, QChar(u'Ж'));
    db.Questions(1, 1, 0) = QStringLiteral("1010101010") + QString(488, QChar(u'щ'));
    for (int i = 1; i <= kProfileCount; ++i) {
        ExamProfile& pr = db.Profiles[i];
        pr.Number = static_cast<int16>(i);
        pr.Name = QStringLiteral("Профиль «%1»").arg(i);
        pr.TimeLimit = static_cast<int16>(-i * 1000);
        pr.QuestionCount = static_cast<int16>(i % 16);
        pr.ExcellentMin = static_cast<int16>(i + 1);
        pr.GoodMin = static_cast<int16>(i + 2);
        pr.FairMin = static_cast<int16>(i + 3);
        for (int s = 1; s <= kSlotCount; ++s)
            pr.SlotTheme[s] = static_cast<int16>((i + s) % 21);
        for (int k = 0; k < kGroupCount; ++k)
            pr.Groups[k] = QStringLiteral("%1Группа %2-%3").arg(k % 2).arg(i).arg(k);
    }
    db.Profiles[20].Name = QString(498, QChar(u'Я'));
}

void CompareModels(const Database& a, const Database& b) {
    for (int i = 0; i < 10; ++i)
        QCOMPARE(a.DatabaseHeader[i], b.DatabaseHeader[i]);
    for (int t = 1; t <= kThemeCount; ++t)
        for (int q = 0; q <= kQuestionSlots; ++q)
            for (int p = 0; p < kParts; ++p)
                QCOMPARE(a.Questions(t, q, p), b.Questions(t, q, p));
    for (int i = 1; i <= kProfileCount; ++i)
        QVERIFY2(a.Profiles[i] == b.Profiles[i], qPrintable(QStringLiteral("profile %1").arg(i)));
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
    DefaultWriterOverride() = {};
}

void TestDatabaseFile::defaultDatabaseBytes() {
    Database db;
    db.NewDatabase();
    db.DatabaseHeader[2] = QStringLiteral("Новый тест");
    db.DatabasePath = path("Data.zet");
    QVERIFY(db.SaveDatabase().ok());
    const QByteArray bytes = ReadAll(db.DatabasePath);
    QVERIFY(bytes.size() == 6384502 || bytes.size() == 6385000);
    QCOMPARE(bytes.mid(500, 9), QByteArray("\x07\x00zetr100", 9));
    QCOMPARE(bytes.mid(0, 2), QByteArray("\x00\x00", 2)); // header 0: empty string
    // "Новый тест" in Windows-1251 behind its length.
    QCOMPARE(bytes.mid(1000, 12), QByteArray("\x0a\x00\xcd\xee\xe2\xfb\xe9\x20\xf2\xe5\xf1\xf2", 12));
    for (int profile : {1, 7, 20}) {
        QCOMPARE(bytes.mid(ProfileOffset(profile, 17), 2), QByteArray("\x58\x02", 2)); // TimeLimit 600
        QCOMPARE(bytes.mid(ProfileOffset(profile, 16), 2), QByteArray("\x0a\x00", 2)); // QuestionCount 10
        QCOMPARE(bytes.mid(ProfileOffset(profile, 11), 2), QByteArray("\x09\x00", 2)); // ExcellentMin 9
        QCOMPARE(bytes.mid(ProfileOffset(profile, 15), 2),
                 QByteArray(1, char(profile)) + QByteArray(1, '\0'));
        QCOMPARE(bytes.mid(ProfileOffset(profile, 1), 3), QByteArray("\x01\x00"
                                                                     "1",
                                                                     3));              // Groups(0) "1"
        QCOMPARE(bytes.mid(ProfileOffset(profile, 32), 2), QByteArray("\x01\x00", 2)); // SlotTheme(15) 1
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
    db.NewDatabase();
    db.Questions(theme, question, part) = QStringLiteral("Ответ");
    db.DatabasePath = path("q.zet");
    QVERIFY(db.SaveDatabase().ok());
    const QByteArray bytes = ReadAll(db.DatabasePath);
    QCOMPARE(bytes.mid(QuestionOffset(theme, question, part), 7),
             QByteArray("\x05\x00\xce\xf2\xe2\xe5\xf2", 7));
    // The record before it stays empty.
    QCOMPARE(bytes.mid(QuestionOffset(theme, question, part) - 500, 2), QByteArray(2, '\0'));
}

void TestDatabaseFile::roundTrip() {
    Database written;
    FillEverything(written);
    written.DatabasePath = path("full.zet");
    const SaveResult saved = written.SaveDatabase();
    QVERIFY2(saved.ok(), qPrintable(saved.error));
    QVERIFY(saved.issues.empty());

    Database read;
    read.Questions(0, 5, 1) = QStringLiteral("в памяти"); // theme 0 is not in the file
    read.DatabasePath = written.DatabasePath;
    QVERIFY(read.LoadDatabase().ok());
    CompareModels(written, read);
    QCOMPARE(read.Questions(0, 5, 1), QStringLiteral("в памяти"));
    QCOMPARE(read.DatabasePath, written.DatabasePath);

    // Saving what was read gives the same bytes.
    read.DatabasePath = path("again.zet");
    QVERIFY(read.SaveDatabase().ok());
    QCOMPARE(ReadAll(read.DatabasePath), ReadAll(written.DatabasePath));
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
    FillEverything(first);
    Database second;
    FillEverything(second);
    for (int t = 1; t <= kThemeCount; ++t) {
        for (int q = 0; q <= kQuestionSlots; ++q) {
            for (int p = 0; p < kParts; ++p) {
                QString& s = second.Questions(t, q, p);
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
    first.Questions(2, 3, 4).clear(); // empty before, text after
    second.Questions(2, 3, 4) = QStringLiteral("текст");
    second.Profiles[3].Name.clear();
    second.Profiles[4].Groups[2] = QStringLiteral("0");

    Database model;
    QVERIFY(model.loadFromBytes(first.fileBytes()));
    CompareModels(first, model);
    const Database copy = copyHeld ? model : Database();
    QVERIFY(model.loadFromBytes(second.fileBytes()));
    CompareModels(second, model);
    if (copyHeld)
        CompareModels(first, copy);
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
    FillEverything(db);
    const Database before = db;
    db.DatabasePath = path("other.zet");
    if (!missing)
        WriteAll(db.DatabasePath, content);

    const LoadResult r = db.LoadDatabase();
    QCOMPARE(r.status, LoadResult::Rejected);
    QVERIFY(!r.error.isEmpty());
    QCOMPARE(db.DatabaseHeader[0], header0);
    QCOMPARE(db.DatabaseHeader[1], header1);
    QCOMPARE(db.DatabasePath, path("other.zet"));
    for (int i = 2; i < 10; ++i)
        QCOMPARE(db.DatabaseHeader[i], before.DatabaseHeader[i]);
    for (int t = 1; t <= kThemeCount; ++t)
        for (int q = 0; q <= kQuestionSlots; ++q)
            for (int p = 0; p < kParts; ++p)
                QCOMPARE(db.Questions(t, q, p), before.Questions(t, q, p));
    for (int i = 1; i <= kProfileCount; ++i)
        QVERIFY(db.Profiles[i] == before.Profiles[i]);
    QCOMPARE(QFile::exists(db.DatabasePath), !missing); // a load never creates a file
}

void TestDatabaseFile::shortFile() {
    Database written;
    FillEverything(written);
    written.DatabasePath = path("short.zet");
    QVERIFY(written.SaveDatabase().ok());
    // Cut in the middle of theme 1, question 2, part 3 (record 11 + 15).
    QByteArray bytes = ReadAll(written.DatabasePath);
    bytes.truncate(QuestionOffset(1, 2, 3) + 5);
    WriteAll(written.DatabasePath, bytes);

    Database read;
    FillEverything(read);
    read.DatabasePath = written.DatabasePath;
    QVERIFY(read.LoadDatabase().ok());
    QCOMPARE(read.Questions(1, 2, 2), written.Questions(1, 2, 2));
    QCOMPARE(read.Questions(1, 2, 3), QStringLiteral("Т1 ")); // the 3 bytes that are there
    QCOMPARE(read.Questions(1, 2, 4), QString());
    QCOMPARE(read.Questions(20, 100, 5), QString());
    QCOMPARE(read.Profiles[3].TimeLimit, int16(0));
    QCOMPARE(read.Profiles[3].Groups[4], QString());
}

void TestDatabaseFile::overlongAndUnencodableStrings() {
    Database db;
    db.NewDatabase();
    db.DatabaseHeader[2] = QString(600, QChar(u'ш'));
    db.Questions(3, 5, 0) = QStringLiteral("1111111111Вопрос 漢字 и 😀");
    db.Profiles[4].Name = QString(499, QChar(u'a'));
    db.DatabasePath = path("long.zet");
    const SaveResult r = db.SaveDatabase();
    QVERIFY(r.ok());
    QCOMPARE(int(r.issues.size()), 3);
    QCOMPARE(r.issues[0].kind, StoredValueIssue::Truncated);
    QCOMPARE(r.issues[0].field, QStringLiteral("название теста"));
    QCOMPARE(r.issues[1].kind, StoredValueIssue::Replaced);
    QCOMPARE(r.issues[1].field, QStringLiteral("тема 3, вопрос 5, текст вопроса"));
    QCOMPARE(r.issues[1].record, 11 + 2 * 606 + 5 * 6);
    QCOMPARE(r.issues[2].field, QStringLiteral("профиль 4, наименование"));

    Database read;
    read.DatabasePath = db.DatabasePath;
    QVERIFY(read.LoadDatabase().ok());
    QCOMPARE(read.DatabaseHeader[2], QString(498, QChar(u'ш')));
    QCOMPARE(read.Questions(3, 5, 0), QStringLiteral("1111111111Вопрос ?? и ?"));
    QCOMPARE(read.Profiles[4].Name, QString(498, QChar(u'a')));
    QCOMPARE(read.Profiles[4].Number, int16(4)); // the record after the name is intact
}

void TestDatabaseFile::refusesToReplaceForeignFile() {
    Database db;
    db.NewDatabase();
    db.DatabasePath = path("notes.zet");
    const QByteArray foreign("Это не база тестов, а чьи-то записи.");
    WriteAll(db.DatabasePath, foreign);
    QVERIFY(IsForeignFile(db.DatabasePath));

    const SaveResult refused = db.SaveDatabase();
    QCOMPARE(refused.status, SaveResult::ForeignFile);
    QVERIFY(refused.error.contains(QStringLiteral("notes.zet")));
    QCOMPARE(ReadAll(db.DatabasePath), foreign);

    QVERIFY(db.SaveDatabase(true).ok());
    QVERIFY(!IsForeignFile(db.DatabasePath));
    // An existing database and an empty file are replaced without confirmation.
    QVERIFY(db.SaveDatabase().ok());
    WriteAll(path("empty.zet"), {});
    QVERIFY(!IsForeignFile(path("empty.zet")));
    db.DatabasePath = path("empty.zet");
    QVERIFY(db.SaveDatabase().ok());
}

void TestDatabaseFile::failedWriteKeepsOldFile() {
    Database db;
    FillEverything(db);
    db.DatabasePath = path("Data.zet");
    QVERIFY(db.SaveDatabase().ok());
    const QByteArray old = ReadAll(db.DatabasePath);

    // A device that takes 100,000 bytes and then fails, like a full disk.
    DefaultWriterOverride() = [](QIODevice& dev, const QByteArray& bytes) {
        dev.write(bytes.constData(), 100000);
        return false;
    };
    db.DatabaseHeader[2] = QStringLiteral("Изменено");
    const SaveResult r = db.SaveDatabase();
    QCOMPARE(r.status, SaveResult::WriteFailed);
    QVERIFY(r.error.contains(QStringLiteral("Data.zet")));
    QCOMPARE(ReadAll(db.DatabasePath), old);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{QStringLiteral("Data.zet")});
}

void TestDatabaseFile::missingFolder() {
    Database db;
    db.NewDatabase();
    db.DatabasePath = path("no/such/folder/Data.zet");
    const SaveResult r = db.SaveDatabase();
    QCOMPARE(r.status, SaveResult::WriteFailed);
    QVERIFY(!r.error.isEmpty());
    db.DatabasePath = m_dir->path(); // a folder, not a file
    QCOMPARE(db.SaveDatabase().status, SaveResult::WriteFailed);
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
    db.ProgramFolder = m_dir->path() + QLatin1Char('/');
    db.DatabasePath = stored;
    QVERIFY(db.SaveSettings().ok);
    const QByteArray bytes = ReadAll(db.SettingsPath());
    QCOMPARE(bytes.size(), 256);
    QCOMPARE(int(qFromLittleEndian<quint16>(bytes.constData())), int(stored.size()));
    db.DatabasePath = QStringLiteral("something else");
    QVERIFY(db.LoadSettings().ok);
    QCOMPARE(db.DatabasePath, stored);
}

void TestDatabaseFile::settingsRefusesPathsItCannotHold_data() {
    QTest::addColumn<QString>("stored");
    QTest::newRow("255 bytes") << QStringLiteral("/") + QString(254, QChar(u'п'));
    QTest::newRow("not in the code page") << QStringLiteral("/tmp/漢字/Data.zet");
}

void TestDatabaseFile::settingsRefusesPathsItCannotHold() {
    QFETCH(QString, stored);
    Database db;
    db.ProgramFolder = m_dir->path() + QLatin1Char('/');
    db.DatabasePath = QStringLiteral("/old/Data.zet");
    QVERIFY(db.SaveSettings().ok);
    const QByteArray before = ReadAll(db.SettingsPath());
    db.DatabasePath = stored;
    const SettingsResult r = db.SaveSettings();
    QVERIFY(!r.ok);
    QVERIFY(!r.error.isEmpty());
    QCOMPARE(ReadAll(db.SettingsPath()), before);
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
        WriteAll(settingsPath, content);
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
    FillEverything(db);
    db.Questions(0, 0, 0) = QStringLiteral("тема 0");
    db.DatabasePath = QStringLiteral("/keep/me.zet");
    db.NewDatabase();
    QCOMPARE(db.DatabasePath, QStringLiteral("/keep/me.zet"));
    QCOMPARE(db.Questions(0, 0, 0), QStringLiteral("тема 0"));
    for (const QString& h : db.DatabaseHeader)
        QVERIFY(h.isEmpty());
    QVERIFY(db.Questions(7, 33, 2).isEmpty());
    for (int i = 1; i <= kProfileCount; ++i) {
        const ExamProfile& p = db.Profiles[i];
        QCOMPARE(int(p.Number), i);
        QCOMPARE(p.TimeLimit, int16(600));
        QCOMPARE(p.QuestionCount, int16(10));
        QCOMPARE(p.ExcellentMin, int16(9));
        QCOMPARE(p.GoodMin, int16(7));
        QCOMPARE(p.FairMin, int16(5));
        QVERIFY(p.Name.isEmpty());
        for (int s = 1; s <= kSlotCount; ++s)
            QCOMPARE(p.SlotTheme[s], int16(1));
        for (const QString& g : p.Groups)
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
        db.DatabasePath = odd;
        const LoadResult loaded = db.LoadDatabase();
        QVERIFY(!loaded.ok());
        error = loaded.error;
    } else if (reader == QLatin1String("settings")) {
        Database db;
        db.ProgramFolder = m_dir->path() + QLatin1Char('/');
        const SettingsResult loaded = db.LoadSettings();
        QVERIFY(!loaded.ok);
        QCOMPARE(db.DatabasePath, QString());
        error = loaded.error;
    } else {
        DayArchive archive;
        archive.MonthFolder = m_dir->path();
        archive.DayFileName = QStringLiteral("odd");
        DayRegisterArray reg{};
        const DayFileResult read = archive.ReadDayFile(reg);
        QVERIFY(!read.ok);
        error = read.error;
    }
    QVERIFY2(error.contains(reason), qPrintable(error));
}

// A save to a file without write permission says so, also to a user the system lets write.
void TestDatabaseFile::readOnlyFileIsNotReplaced() {
    Database db;
    db.NewDatabase();
    db.DatabasePath = path("Data.zet");
    QVERIFY(db.SaveDatabase().ok());
    QVERIFY(QFile::setPermissions(db.DatabasePath, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const QByteArray before = ReadAll(db.DatabasePath);
    db.DatabaseHeader[2] = QStringLiteral("Изменено");
    const SaveResult saved = db.SaveDatabase();
    QCOMPARE(saved.status, SaveResult::WriteFailed);
    QVERIFY2(saved.error.contains(QStringLiteral("защищён от записи")), qPrintable(saved.error));
    QCOMPARE(ReadAll(db.DatabasePath), before);
}

QTEST_GUILESS_MAIN(TestDatabaseFile)
#include "tst_databasefile.moc"
