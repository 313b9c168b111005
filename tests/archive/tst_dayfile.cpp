// Day files of the results archive: names, format, reading back, preparation of today's archive.

#include "archive/dayfile.h"
#include "archive/monthnames.h"
#include "model/cp1251.h"
#include "model/savefile.h"

#include "testdata.h"

#include <QStringEncoder>
#include <QtTest>

using namespace zet;

namespace {

const QByteArray kCrLf = "\r\n";

QByteArray win1251(const QString& text) {
    QStringEncoder encoder("windows-1251");
    QByteArray bytes = encoder.encode(text);
    Q_ASSERT(!encoder.hasError());
    return bytes;
}

// The 13 lines of an empty record, written out by hand.
QString emptyRecordText() {
    return QStringLiteral("Порядковый номер:  0\r\n"
                          "Номер профиля:  0\r\n"
                          "Название теста: \r\n"
                          "Ф.И.О.: \r\n"
                          "Год рождения:  0\r\n"
                          "Профессия: \r\n"
                          "Стаж работы:  0\r\n"
                          "Оценка за экзамен:  0\r\n"
                          "Количество заданных вопросов:  0\r\n"
                          "Количество правильных ответов:  0\r\n"
                          "Время затраченое на экзамен, сек.:  0\r\n"
                          "Табельный номер: \r\n"
                          "**********************************************************\r\n");
}

ExamineeRecord ivanov() {
    return testing::sampleRecord(3);
}

QList<QByteArray> splitLines(const QByteArray& bytes) {
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QByteArray slurp(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void spit(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

// Restores the plain writer even when a test fails half-way.
struct WriterOverrideGuard {
    ~WriterOverrideGuard() { defaultWriterOverride() = {}; }
};

} // namespace

class TestDayFile : public QObject {
    Q_OBJECT

private slots:
    void labels() {
        const QList<int> lengths{18, 15, 16, 8, 14, 11, 13, 19, 30, 31, 35, 17};
        const QStringList& labels = dayFileLabels();
        QCOMPARE(labels.size(), 12);
        for (int k = 0; k < 12; ++k) {
            QCOMPARE(labels[k].size(), lengths[k]);
            QVERIFY(labels[k].endsWith(QStringLiteral(": ")));
        }
        QCOMPARE(dayFileSeparator(), QString(58, QLatin1Char('*')));
        QCOMPARE(dayFileEndMarker(), QStringLiteral("Порядковый номер:  0"));
    }

    void names_data() {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("month");
        QTest::addColumn<QString>("genitive");
        QTest::addColumn<QString>("file");

        const char* nominative[] = {"Январь", "Февраль", "Март",     "Апрель",  "Май",    "Июнь",
                                    "Июль",   "Август",  "Сентябрь", "Октябрь", "Ноябрь", "Декабрь"};
        const char* genitive[] = {"Января", "Февраля", "Марта",    "Апреля",  "Мая",    "Июня",
                                  "Июля",   "Августа", "Сентября", "Октября", "Ноября", "Декабря"};
        for (int m = 1; m <= 12; ++m) {
            const QDate date(2010, m, m == 2 ? 28 : 3);
            QTest::addRow("month %d", m)
                << date << QString::fromUtf8(nominative[m - 1]) << QString::fromUtf8(genitive[m - 1])
                << QStringLiteral("%1.%2.2010.txt")
                       .arg(date.day(), 2, 10, QLatin1Char('0'))
                       .arg(m, 2, 10, QLatin1Char('0'));
        }
    }
    void names() {
        QFETCH(QDate, date);
        QFETCH(QString, month);
        QFETCH(QString, genitive);
        QFETCH(QString, file);
        QCOMPARE(monthFolderFor(QStringLiteral("/opt/zet/"), date), QStringLiteral("/opt/zet/2010/") + month);
        QCOMPARE(dayFileNameFor(date), file);
        QCOMPARE(dayFilePathFor(QStringLiteral("/opt/zet/"), date),
                 QStringLiteral("/opt/zet/2010/") + month + QLatin1Char('/') + file);
        QCOMPARE(setMonthGenitive(date), genitive);
        QCOMPARE(genitiveOf(month), genitive);
    }

    void monthTableIsCaseSensitive() {
        QCOMPARE(genitiveOf(QStringLiteral("январь")), QStringLiteral("январь"));
        QCOMPARE(genitiveOf(QStringLiteral("January")), QStringLiteral("January"));
    }

    void emptyFile() {
        DayRegisterArray reg{};
        const QByteArray bytes = formatDayFile(reg);
        QByteArray expected;
        for (int n = 0; n < 100; ++n)
            expected += win1251(emptyRecordText());
        QCOMPARE(bytes, expected);

        // Every line ends in CR LF, the last one included; 1300 lines.
        QVERIFY(bytes.endsWith(kCrLf));
        QCOMPARE(bytes.count('\n'), 1300);
        QCOMPARE(bytes.count('\r'), 1300);
        QCOMPARE(bytes.count("\r\n"), 1300);
        const QList<QByteArray> lines = splitLines(bytes);
        const QByteArray zero = win1251(QStringLiteral(":  0\r"));
        int numeric = 0;
        for (int i = 0; i < lines.size(); ++i) {
            const int k = i % 13;
            const bool isNumber = k == 0 || k == 1 || k == 4 || (k >= 6 && k <= 10);
            if (isNumber) {
                QVERIFY2(lines[i].endsWith(zero), lines[i].constData());
                ++numeric;
            }
        }
        QCOMPARE(numeric, 800);
    }

    void ivanovRecord() {
        DayRegisterArray reg{};
        reg[3] = ivanov();
        const QByteArray bytes = formatDayFile(reg);

        const QString record =
            QStringLiteral("Порядковый номер:  3\r\n"
                           "Номер профиля:  2\r\n"
                           "Название теста: Основной\r\n"
                           "Ф.И.О.: Иванов И.И.\r\n"
                           "Год рождения:  1970\r\n"
                           "Профессия: слесарь\r\n"
                           "Стаж работы:  12\r\n"
                           "Оценка за экзамен:  4\r\n"
                           "Количество заданных вопросов:  10\r\n"
                           "Количество правильных ответов:  8\r\n"
                           "Время затраченое на экзамен, сек.:  245\r\n"
                           "Табельный номер: А-15\r\n"
                           "**********************************************************\r\n");
        QByteArray expected = win1251(emptyRecordText() + emptyRecordText() + record);
        for (int n = 4; n <= 100; ++n)
            expected += win1251(emptyRecordText());
        QCOMPARE(bytes, expected);
        // Spot check of the code page itself: "Ф.И.О.: Иванов И.И." in Windows-1251.
        QVERIFY(bytes.contains(QByteArray::fromHex("d42ec82ece2e3a20c8e2e0edeee220c82ec82e0d0a")));

        DayRegisterArray back{};
        parseDayFile(bytes, back);
        QVERIFY(back == reg);
    }

    void values_data() {
        QTest::addColumn<int>("seniority");
        QTest::addColumn<QString>("line");

        QTest::newRow("negative") << -2 << QStringLiteral("Стаж работы: -2");
        QTest::newRow("zero") << 0 << QStringLiteral("Стаж работы:  0");
        QTest::newRow("positive") << 7 << QStringLiteral("Стаж работы:  7");
        QTest::newRow("lowest") << -32768 << QStringLiteral("Стаж работы: -32768");
        QTest::newRow("highest") << 32767 << QStringLiteral("Стаж работы:  32767");
    }
    void values() {
        QFETCH(int, seniority);
        QFETCH(QString, line);
        DayRegisterArray reg{};
        reg[1].profileNo = 1;
        reg[1].seniority = static_cast<int16>(seniority);
        const QByteArray bytes = formatDayFile(reg);
        QCOMPARE(splitLines(bytes).at(6), win1251(line) + '\r');
        DayRegisterArray back{};
        parseDayFile(bytes, back);
        QCOMPARE(int(back[1].seniority), seniority);
    }

    void textsKeepTheirBlanks() {
        DayRegisterArray reg{};
        reg[1].protocolNo = 1;
        reg[1].profileNo = 1;
        reg[1].fullName = QStringLiteral("  Петров   П.П.  ");
        reg[1].jobTitle = QStringLiteral(" ");
        reg[1].profileName = QStringLiteral("Профиль: 12 ");
        reg[1].personnelNo = QStringLiteral("\t7 ");
        DayRegisterArray back{};
        parseDayFile(formatDayFile(reg), back);
        QVERIFY(back == reg);
    }

    void lineBreaksInTextsBecomeBlanks() {
        DayRegisterArray reg{};
        reg[1].profileNo = 1;
        reg[1].fullName = QStringLiteral("Иванов\r\nИван\nИванович\rмл.");
        reg[1].jobTitle = QStringLiteral("\r\n\r\n");
        reg[2].profileNo = 2;
        reg[2].fullName = QStringLiteral("Сидоров");
        const QByteArray bytes = formatDayFile(reg);
        QCOMPARE(bytes.count('\n'), 1300);
        QCOMPARE(bytes.count('\r'), 1300);
        DayRegisterArray back{};
        parseDayFile(bytes, back);
        QCOMPARE(back[1].fullName, QStringLiteral("Иванов Иван Иванович мл."));
        QCOMPARE(back[1].jobTitle, QStringLiteral("  "));
        QCOMPARE(back[2].fullName, QStringLiteral("Сидоров"));
        QCOMPARE(int(back[2].profileNo), 2);
    }

    // A file cut short: slots the file does not hold are empty, whatever the register held; a
    // record cut inside keeps what it holds and stays used.
    void shortFile_data() {
        QTest::addColumn<int>("keepLines");
        QTest::addColumn<int>("readSlots");
        QTest::addColumn<int>("cutSlot");

        QTest::newRow("empty file") << 0 << 0 << 0;
        QTest::newRow("inside the first record") << 5 << 0 << 1;
        QTest::newRow("two records") << 26 << 2 << 0;
        QTest::newRow("third without separator") << 38 << 3 << 0;
        QTest::newRow("third cut before its last line") << 37 << 2 << 3;
        QTest::newRow("all but the last separator") << 1299 << 100 << 0;
    }
    void shortFile() {
        QFETCH(int, keepLines);
        QFETCH(int, readSlots);
        QFETCH(int, cutSlot);
        DayRegisterArray full{};
        for (int n = 1; n <= 100; ++n) {
            full[n].protocolNo = static_cast<int16>(n);
            full[n].profileNo = static_cast<int16>(1 + n % 20);
            full[n].fullName = QStringLiteral("Экзаменуемый %1").arg(n);
        }
        const QList<QByteArray> lines = splitLines(formatDayFile(full));
        QByteArray cut;
        for (int i = 0; i < keepLines; ++i)
            cut += lines[i] + '\n';

        DayRegisterArray reg = full; // whatever stood there before
        QVERIFY(!parseDayFile(cut, reg).exact);
        for (int n = 1; n <= 100; ++n) {
            if (n <= readSlots) {
                QVERIFY(reg[n] == full[n]);
            } else if (n == cutSlot) {
                QCOMPARE(reg[n].fullName, full[n].fullName);
                QCOMPARE(reg[n].profileNo, full[n].profileNo);
                QVERIFY(!isFreeRecord(reg[n]));
            } else {
                QVERIFY2(reg[n] == ExamineeRecord{}, qPrintable(QString::number(n)));
            }
        }
    }

    void cutInsideALine() {
        DayRegisterArray full{};
        full[1] = ivanov();
        QByteArray bytes = formatDayFile(full);
        const int cut = bytes.indexOf(win1251(QStringLiteral("Иванов")));
        bytes.truncate(cut + 2); // "Ив", no line end
        DayRegisterArray reg{};
        parseDayFile(bytes, reg);
        QCOMPARE(reg[1].fullName, QStringLiteral("Ив"));
        QCOMPARE(reg[1].profileName, ivanov().profileName);
        QVERIFY(reg[2] == ExamineeRecord{});
    }

    void lastLineWithoutLineEnd() {
        DayRegisterArray reg{};
        reg[100] = ivanov();
        QByteArray bytes = formatDayFile(reg);
        bytes.chop(kCrLf.size() + 58 + kCrLf.size()); // the separator and both line ends
        QVERIFY(bytes.endsWith(win1251(QStringLiteral("А-15"))));
        DayRegisterArray back{};
        parseDayFile(bytes, back);
        QVERIFY(back == reg);
    }

    void damagedNumbers_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("number");

        QTest::newRow("no number") << "abc" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("above 16 bits") << " 40000" << 0;
        QTest::newRow("below 16 bits") << "-32769" << 0;
        QTest::newRow("highest") << " 32767" << 32767;
        QTest::newRow("rounded to nearest") << " 7.6" << 8;
        QTest::newRow("blanks inside ignored") << " 1 975" << 1975;
        QTest::newRow("trailing text") << " 12 лет" << 12;
    }
    void damagedNumbers() {
        QFETCH(QString, value);
        QFETCH(int, number);
        DayRegisterArray reg{};
        reg[1].profileNo = 1;
        QList<QByteArray> lines = splitLines(formatDayFile(reg));
        lines[0] = win1251(QStringLiteral("Порядковый номер: ") + value) + '\r';
        lines[10] = win1251(QStringLiteral("Время затраченое на экзамен, сек.: ") + value) + '\r';
        lines[14] = win1251(QStringLiteral("Xомер профиля: ") + value) + '\r'; // label is not compared
        DayRegisterArray back{};
        parseDayFile(lines.join('\n') + '\n', back);
        // A used record whose number is out of range keeps its slot's number, never 0 (the end mark).
        QCOMPARE(int(back[1].protocolNo), number >= 1 && number <= kRegisterSlots ? number : 1);
        QCOMPARE(int(back[1].timeSpent), number);
        QCOMPARE(int(back[2].profileNo), number);
        QCOMPARE(int(back[1].profileNo), 1);
    }

    void lfOnlyLineEndsReadTheSame() {
        DayRegisterArray reg{};
        reg[3] = ivanov();
        QByteArray bytes = formatDayFile(reg);
        bytes.replace("\r\n", "\n");
        DayRegisterArray back{};
        parseDayFile(bytes, back);
        QVERIFY(back == reg);
    }

    void prepareAndRestart() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString program = dir.path() + QLatin1Char('/');
        const QDate today(2010, 12, 3);

        DayRegisterArray reg{};
        DayArchive archive;
        QVERIFY(archive.prepare(program, today, reg).ok);
        QCOMPARE(archive.monthFolder, program + QStringLiteral("2010/Декабрь"));
        QCOMPARE(archive.dayFileName, QStringLiteral("03.12.2010.txt"));
        QCOMPARE(archive.monthGenitive, QStringLiteral("Декабря"));
        QCOMPARE(archive.dayFilePath(), program + QStringLiteral("2010/Декабрь/03.12.2010.txt"));
        QVERIFY(QFileInfo(program + QStringLiteral("2010")).isDir());
        QVERIFY(QFileInfo(archive.monthFolder).isDir());
        QCOMPARE(slurp(archive.dayFilePath()), formatDayFile(DayRegisterArray{}));

        // Three exams later the program starts again the same day.
        for (int n = 1; n <= 3; ++n) {
            reg[n] = ivanov();
            reg[n].protocolNo = static_cast<int16>(n);
        }
        QVERIFY(archive.writeDayFile(reg).ok);

        ExamState restarted;
        DayArchive again;
        QVERIFY(again.prepare(program, today, restarted.dayRegister).ok);
        QVERIFY(restarted.dayRegister == reg);
        restarted.findFreeSlot();
        QCOMPARE(int(restarted.currentExaminee), 4);
        QCOMPARE(restarted.dayRegister[3].jobTitle, QStringLiteral("слесарь"));
    }

    void prepareKeepsExistingFolders() {
        QTemporaryDir dir;
        const QString program = dir.path() + QLatin1Char('/');
        const QDate today(2011, 5, 9);
        QVERIFY(QDir().mkpath(program + QStringLiteral("2011/Май")));
        spit(program + QStringLiteral("2011/Май/старый.txt"), "x");
        DayRegisterArray reg{};
        DayArchive archive;
        QVERIFY(archive.prepare(program, today, reg).ok);
        QVERIFY(QFileInfo::exists(program + QStringLiteral("2011/Май/старый.txt")));
        QVERIFY(QFileInfo(program + QStringLiteral("2011/Май/09.05.2011.txt")).isFile());
    }

    void prepareWhereNothingCanBeCreated() {
        QTemporaryDir dir;
        const QString blocker = dir.path() + QStringLiteral("/file");
        spit(blocker, "not a folder");
        DayRegisterArray reg{};
        DayArchive archive;
        const DayFileResult r = archive.prepare(blocker + QLatin1Char('/'), QDate(2010, 1, 1), reg);
        QVERIFY(!r.ok);
        QVERIFY2(r.error.contains(QStringLiteral("01.01.2010.txt")), qPrintable(r.error));
        QVERIFY(reg == DayRegisterArray{});
    }

    void writeFailureKeepsTheOldFile() {
        QTemporaryDir dir;
        const QString program = dir.path() + QLatin1Char('/');
        DayRegisterArray reg{};
        DayArchive archive;
        QVERIFY(archive.prepare(program, QDate(2012, 2, 29), reg).ok);
        const QByteArray before = slurp(archive.dayFilePath());

        reg[1] = ivanov();
        {
            WriterOverrideGuard guard;
            defaultWriterOverride() = [](QIODevice& device, const QByteArray& bytes) {
                device.write(bytes.left(100));
                return false;
            };
            const DayFileResult r = archive.writeDayFile(reg);
            QVERIFY(!r.ok);
            QVERIFY2(r.error.contains(QStringLiteral("29.02.2012.txt")), qPrintable(r.error));
        }
        QCOMPARE(slurp(archive.dayFilePath()), before);
        QVERIFY(reg[1] == ivanov());
        QCOMPARE(QDir(archive.monthFolder).entryList(QDir::Files).size(), 1);

        QVERIFY(archive.writeDayFile(reg).ok);
        QCOMPARE(slurp(archive.dayFilePath()), formatDayFile(reg));
    }

    void monthFolderRemovedMeanwhileIsMadeAgain() {
        QTemporaryDir dir;
        const QString program = dir.path() + QLatin1Char('/');
        DayRegisterArray reg{};
        DayArchive archive;
        QVERIFY(archive.prepare(program, QDate(2013, 7, 1), reg).ok);
        QVERIFY(QDir(program + QStringLiteral("2013")).removeRecursively());
        reg[1] = ivanov();
        QVERIFY(archive.writeDayFile(reg).ok);
        QCOMPARE(slurp(archive.dayFilePath()), formatDayFile(reg));
    }

    void unpreparedArchiveRefusesToWrite() {
        DayArchive archive;
        const DayFileResult r = archive.writeDayFile(DayRegisterArray{});
        QVERIFY(!r.ok);
        QVERIFY(!r.error.isEmpty());
    }

    // A day file that does not read exactly loses none of its records: each is read where it
    // stands, the file is copied aside untouched and rewritten in the exact format.
    void damagedFileKeepsEveryRecord_data() {
        QTest::addColumn<QString>("damage");
        QTest::newRow("one line deleted") << "deleted";
        QTest::newRow("saved as UTF-8") << "utf8";
        QTest::newRow("lines without labels") << "unlabelled";
        QTest::newRow("number out of range") << "range";
    }
    void damagedFileKeepsEveryRecord() {
        QFETCH(QString, damage);
        QTemporaryDir dir;
        const QString program = dir.path() + QLatin1Char('/');
        const QDate today(2026, 12, 7);
        DayRegisterArray written{};
        for (int n = 1; n <= 3; ++n)
            written[n] = testing::sampleRecord(n, QStringLiteral("Экзаменуемый %1").arg(n));
        QList<QByteArray> lines = splitLines(formatDayFile(written));
        if (damage == "deleted")
            lines.removeAt(5); // the job title of the first record
        for (int i = 13; i < 25 && damage == "unlabelled"; ++i)
            lines[i] = lines[i].mid(win1251(dayFileLabels().at(i - 13)).size());
        if (damage == "range")
            lines[14] = win1251(QStringLiteral("Номер профиля:  77777")) + '\r';
        QByteArray bytes = lines.join('\n') + '\n';
        if (damage == "utf8")
            bytes = decodeCp1251(bytes).toUtf8();
        const QString path = dayFilePathFor(program, today);
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        spit(path, bytes);

        ExamState state;
        DayArchive archive;
        const DayFilePreparation prepared = archive.prepare(program, today, state.dayRegister);
        QVERIFY2(prepared.ok, qPrintable(prepared.error));
        QCOMPARE(prepared.backupPath, path + QStringLiteral(".bak"));
        QCOMPARE(slurp(prepared.backupPath), bytes);
        for (int n = 1; n <= 3; ++n)
            QCOMPARE(state.dayRegister[n].fullName, written[n].fullName);
        QVERIFY(state.dayRegister[3] == written[3]);
        state.findFreeSlot();
        QCOMPARE(int(state.currentExaminee), 4);
        const QByteArray rewritten = slurp(path);
        QCOMPARE(rewritten, formatDayFile(state.dayRegister));

        // The next start reads the rewritten file exactly and makes no further copy.
        DayRegisterArray again{};
        QVERIFY(archive.prepare(program, today, again).backupPath.isEmpty());
        QVERIFY(again == state.dayRegister);
    }

    // A day file re-saved as UTF-8 may hold what the day file cannot: such a value reads as
    // it will be written back, so the record read now equals the record after the next save.
    void utf8ValuesReadAsStored_data() {
        QTest::addColumn<QByteArray>("prefix");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("read");
        QTest::newRow("mark, snowman") << QByteArray("\xEF\xBB\xBF") << QByteArray("\xE2\x98\x83") << "?";
        QTest::newRow("mark, broken sequence") << QByteArray("\xEF\xBB\xBF") << QByteArray("\xFF") << "?";
        QTest::newRow("no mark, snowman") << QByteArray() << QByteArray("\xE2\x98\x83") << "?";
        QTest::newRow("no mark, Cyrillic") << QByteArray() << QString("Ёж").toUtf8() << "Ёж";
    }
    void utf8ValuesReadAsStored() {
        QFETCH(QByteArray, prefix);
        QFETCH(QByteArray, name);
        QFETCH(QString, read);
        DayRegisterArray written{};
        written[1] = testing::sampleRecord(1, QStringLiteral("Иванов"));
        QByteArray bytes = prefix + decodeCp1251(formatDayFile(written)).toUtf8();
        bytes.replace(QString("Иванов").toUtf8(), name);
        DayRegisterArray reg{};
        parseDayFile(bytes, reg);
        QCOMPARE(reg[1].fullName, read);
        DayRegisterArray back{};
        QVERIFY(parseDayFile(formatDayFile(reg), back).exact);
        QVERIFY(back == reg);
    }

    // A save killed before its temporary copy was put in place: the copy is taken only when
    // it holds everything the day file holds and more.
    void strayTemporaryCopy_data() {
        QTest::addColumn<QList<int>>("inCopy");
        QTest::addColumn<bool>("cutShort");
        QTest::addColumn<bool>("taken");
        QTest::newRow("one record more") << QList<int>{1, 2} << false << true;
        QTest::newRow("a record missing") << QList<int>{2} << false << false;
        QTest::newRow("cut short") << QList<int>{1, 2} << true << false;
    }
    void strayTemporaryCopy() {
        QFETCH(QList<int>, inCopy);
        QFETCH(bool, cutShort);
        QFETCH(bool, taken);
        QTemporaryDir dir;
        const QString program = dir.path() + QLatin1Char('/');
        const QDate today(2026, 12, 7);
        const QString path = dayFilePathFor(program, today);
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        DayRegisterArray onDisk{};
        onDisk[1] = testing::sampleRecord(1);
        spit(path, formatDayFile(onDisk));
        DayRegisterArray copy{};
        for (int n : inCopy)
            copy[n] = testing::sampleRecord(n, QStringLiteral("Экзаменуемый %1").arg(n));
        copy[1] = onDisk[1];
        if (!inCopy.contains(1))
            copy[1] = ExamineeRecord{};
        QByteArray copyBytes = formatDayFile(copy);
        if (cutShort)
            copyBytes.truncate(copyBytes.size() / 2);
        const QString stray = path + QStringLiteral(".rBjCLU");
        spit(stray, copyBytes);

        DayRegisterArray reg{};
        DayArchive archive;
        const DayFilePreparation prepared = archive.prepare(program, today, reg);
        QVERIFY(prepared.ok);
        QVERIFY(prepared.backupPath.isEmpty());
        QCOMPARE(prepared.recoveredFrom, taken ? stray : QString());
        QVERIFY(reg == (taken ? copy : onDisk));
        QCOMPARE(slurp(path), formatDayFile(reg));
        QCOMPARE(QFileInfo::exists(stray), !taken);
    }

    void readMissingFileLeavesRegister() {
        QTemporaryDir dir;
        DayArchive archive;
        archive.monthFolder = dir.path();
        archive.dayFileName = QStringLiteral("нет.txt");
        DayRegisterArray reg{};
        reg[5] = ivanov();
        const DayFileResult r = archive.readDayFile(reg);
        QVERIFY(!r.ok);
        QVERIFY(r.error.contains(QStringLiteral("нет.txt")));
        QVERIFY(reg[5] == ivanov());
    }
};

QTEST_GUILESS_MAIN(TestDayFile)
#include "tst_dayfile.moc"
