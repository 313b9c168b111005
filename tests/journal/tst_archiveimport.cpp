// Import of the day-file archive into the journal: many day files with one damaged among
// them, a second run, cancelling, and the command line.

#include "archive/dayfile.h"
#include "cli/journalcommand.h"
#include "journal/archiveimport.h"
#include "journal/journalstore.h"
#include "testentries.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace zet;

namespace {

// Day d of the archive holds d % 5 + 1 exams.
int examsOn(int day) {
    return day % 5 + 1;
}

QByteArray dayFileBytes(const QDate& date, int exams) {
    DayRegisterArray reg{};
    for (int n = 1; n <= exams; ++n) {
        ExamineeRecord& r = reg[n];
        r.protocolNo = qint16(n);
        r.profileNo = 1;
        r.profileName = QStringLiteral("Основной");
        r.fullName = QStringLiteral("Сидоров С.С. %1").arg(date.day());
        r.birthYear = 1975;
        r.jobTitle = QStringLiteral("оператор");
        r.seniority = 3;
        r.grade = 5;
        r.askedCount = 10;
        r.rightCount = 9;
        r.timeSpent = 300;
        r.personnelNo = QStringLiteral("Т-%1-%2").arg(date.day()).arg(n);
    }
    return formatDayFile(reg);
}

// Twelve day files over two months (January 28 .. February 8, 2011).
QList<QDate> writeArchive(const QString& folder) {
    QList<QDate> dates;
    for (int i = 0; i < 12; ++i) {
        const QDate date = QDate(2011, 1, 28).addDays(i);
        const QString path = dayFilePathFor(folder + QLatin1Char('/'), date);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(dayFileBytes(date, examsOn(date.day())));
        dates.append(date);
    }
    return dates;
}

} // namespace

class TestArchiveImport : public QObject {
    Q_OBJECT
private slots:
    void skipsADamagedFileAndCanRunAgain_data() {
        QTest::addColumn<int>("cutAt");       // bytes kept; -1 keeps all
        QTest::addColumn<QByteArray>("from"); // replaced in the file
        QTest::addColumn<QByteArray>("to");
        QTest::newRow("cut short by a crash") << 5000 << QByteArray() << QByteArray();
        QTest::newRow("a number line with text") << -1
                                                 << QByteArray(": \x20"
                                                               "1975")
                                                 << QByteArray(": 19x5");
        QTest::newRow("a label changed") << -1 << QByteArray("\xd4.\xc8.\xce.: ") << QByteArray("Name: ");
        QTest::newRow("a separator missing") << -1 << QByteArray(58, '*') + "\r\n" << QByteArray();
    }
    void skipsADamagedFileAndCanRunAgain() {
        QFETCH(int, cutAt);
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QTemporaryDir dir;
        const QList<QDate> dates = writeArchive(dir.path());
        const QDate damagedDay = dates.at(5);
        const QString damagedPath = dayFilePathFor(dir.path() + QLatin1Char('/'), damagedDay);
        QFile f(damagedPath);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray good = f.readAll();
        f.close();
        QByteArray bad = cutAt >= 0 ? good.left(cutAt) : good;
        if (!from.isEmpty()) {
            const qsizetype at = bad.indexOf(from);
            QVERIFY(at >= 0);
            bad.replace(at, from.size(), to);
        }
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bad);
        f.close();

        int expected = 0;
        for (const QDate& d : dates)
            expected += d == damagedDay ? 0 : examsOn(d.day());

        JournalStore store(dir.path());
        QList<int> seen;
        const ArchiveImportReport report = importArchive(store, dir.path(), QStringLiteral("Класс-1"),
                                                         [&seen](int done, int total, const QString&) {
                                                             seen.append(done);
                                                             return total == 12;
                                                         });
        QVERIFY2(report.result.ok, qPrintable(report.result.error));
        QCOMPARE(report.filesFound, 12);
        QCOMPARE(report.filesImported, 11);
        QCOMPARE(report.damaged.size(), 1);
        QVERIFY(report.damaged.first().contains(QDir::toNativeSeparators(damagedPath)));
        QCOMPARE(report.examsAdded, expected);
        QCOMPARE(store.examCount(), expected);
        QCOMPARE(seen.size(), 13);
        QCOMPARE(seen.last(), 12);
        // Nothing of the damaged day went in.
        QVERIFY(!store.hasExam(QStringLiteral("Класс-1"), damagedDay, 1));
        const QList<JournalEntry> one = store.findByPersonnelNo(QStringLiteral("Т-1-2"));
        QCOMPARE(one.size(), 1);
        QVERIFY(one.first().imported);
        QCOMPARE(one.first().date, QDate(2011, 2, 1));
        QVERIFY(one.first().answers.isEmpty());
        QVERIFY(!one.first().finishedAt.isValid());

        // Run again after the file was mended: only its exams are added.
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(good);
        f.close();
        const ArchiveImportReport again = importArchive(store, dir.path(), QStringLiteral("Класс-1"));
        QCOMPARE(again.examsAdded, examsOn(damagedDay.day()));
        QCOMPARE(again.examsAlreadyThere, expected);
        QVERIFY(again.damaged.isEmpty());
    }

    void keepsLiveExamsAndStopsWhenCancelled() {
        QTemporaryDir dir;
        const QList<QDate> dates = writeArchive(dir.path());
        JournalStore store(dir.path());
        // Exam 1 of the first day was journalled when it was taken.
        JournalEntry live = test::finishedExam(QStringLiteral("Класс-1"), 0);
        live.date = dates.first();
        live.protocolNo = 1;
        QVERIFY(store.record(live).ok);

        const ArchiveImportReport report =
            importArchive(store, dir.path(), QStringLiteral("Класс-1"),
                          [](int done, int, const QString&) { return done < 3; });
        QVERIFY(report.cancelled);
        QCOMPARE(report.filesImported, 3);
        const int firstThree =
            examsOn(dates.at(0).day()) + examsOn(dates.at(1).day()) + examsOn(dates.at(2).day());
        QCOMPARE(report.examsAdded, firstThree - 1);
        QCOMPARE(store.examCount(), firstThree);
        QCOMPARE(store.find(live.id)->answers.size(), live.answers.size());
    }

    void commandLine() {
        QTemporaryDir dir;
        writeArchive(dir.path());
        QFile junk(dayFilePathFor(dir.path() + QLatin1Char('/'), QDate(2011, 1, 29)));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("not a day file");
        junk.close();

        QString outText;
        QString errText;
        QTextStream out(&outText);
        QTextStream err(&errText);
        QCOMPARE(runJournalCommand({QStringLiteral("journal"), QStringLiteral("import-archive"),
                                    QStringLiteral("--folder"), dir.path()},
                                   out, err),
                 1);
        // Not a terminal: the summary, without a count drawn over itself.
        QVERIFY2(outText.contains(QStringLiteral("Файлов дня: 12, прочитано: 11, пропущено повреждённых: 1.")),
                 qPrintable(outText));
        QVERIFY2(errText.contains(QStringLiteral("29.01.2011.txt")), qPrintable(errText));
        JournalStore store(dir.path());
        QVERIFY(store.examCount() > 0);

        errText.clear();
        QCOMPARE(runJournalCommand({QStringLiteral("journal"), QStringLiteral("merge")}, out, err), 2);
        QVERIFY(errText.contains(QStringLiteral("import-archive")));
    }
};

QTEST_GUILESS_MAIN(TestArchiveImport)
#include "tst_archiveimport.moc"
