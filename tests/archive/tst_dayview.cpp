#include "archive/dayfile.h"
#include "archive/dayview.h"
#include "model/cp1251.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace zet;

namespace {

// The 13 lines of one record as the day file holds them; protocol 0 gives an empty record.
QStringList recordLines(int protocol) {
    const QStringList& labels = dayFileLabels();
    const bool used = protocol != 0;
    QStringList lines;
    lines << labels[0] + QStringLiteral(" %1").arg(protocol)
          << labels[1] + (used ? QStringLiteral(" 2") : QStringLiteral(" 0"))
          << labels[2] + (used ? QStringLiteral("Основной") : QString())
          << labels[3] + (used ? QStringLiteral("Иванов И.И. №%1").arg(protocol) : QString())
          << labels[4] + (used ? QStringLiteral(" 1970") : QStringLiteral(" 0"))
          << labels[5] + (used ? QStringLiteral("слесарь") : QString())
          << labels[6] + (used ? QStringLiteral("-2") : QStringLiteral(" 0"))
          << labels[7] + (used ? QStringLiteral(" 4") : QStringLiteral(" 0"))
          << labels[8] + (used ? QStringLiteral(" 10") : QStringLiteral(" 0"))
          << labels[9] + (used ? QStringLiteral(" 8") : QStringLiteral(" 0"))
          << labels[10] + (used ? QStringLiteral(" 245") : QStringLiteral(" 0"))
          << labels[11] + (used ? QStringLiteral("А-15") : QString()) << dayFileSeparator();
    return lines;
}

// A whole day: `filled` used records followed by empty ones up to 100.
QStringList dayLines(int filled) {
    QStringList lines;
    for (int slot = 1; slot <= 100; ++slot)
        lines += recordLines(slot <= filled ? slot : 0);
    return lines;
}

QByteArray bytes(const QStringList& lines, const QString& lineEnd = QStringLiteral("\r\n")) {
    QString text;
    for (const QString& line : lines)
        text += line + lineEnd;
    return encodeCp1251(text).bytes;
}

} // namespace

class TestDayView : public QObject {
    Q_OBJECT
private slots:
    void lines_data();
    void lines();
    void cyrillicIsDecoded();
    void text();
    void loadDayView();
    void unreadableFile();
    void daysWithDayFile();
};

void TestDayView::lines_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected");

    const QStringList three = dayLines(3);
    QTest::newRow("three records") << bytes(three) << three.mid(0, 39);
    QTest::newRow("nobody finished") << bytes(dayLines(0)) << QStringList();
    const QStringList full = dayLines(100);
    QTest::newRow("full day shows all 1300 lines") << bytes(full) << full.mid(0, 1300);
    QTest::newRow("empty file") << QByteArray() << QStringList();

    const QStringList cut = recordLines(1).mid(0, 5);
    QTest::newRow("no end marker") << bytes(cut) << cut;
    QByteArray noLastEnd = bytes(cut);
    noLastEnd.chop(2);
    QTest::newRow("last line without line end") << noLastEnd << cut;
    QByteArray cutMidLine = bytes(cut);
    cutMidLine.chop(4); // "...1970\r\n" loses "70\r\n"
    QTest::newRow("cut inside a line") << cutMidLine << (cut.mid(0, 4) << cut[4].chopped(2));

    QTest::newRow("bare line feeds") << bytes(three, QStringLiteral("\n")) << three.mid(0, 39);
    QTest::newRow("bare carriage returns") << bytes(three, QStringLiteral("\r")) << three.mid(0, 39);
    QTest::newRow("empty lines count") << QByteArray("a\r\n\r\n\nb\r\n") << QStringList{"a", "", "", "b"};

    const QString marker = dayFileEndMarker();
    QTest::newRow("marker ends reading") << bytes({"x", marker, "y"}) << QStringList{"x"};
    QTest::newRow("marker without line end") << bytes({"x"}) + encodeCp1251(marker).bytes << QStringList{"x"};
    QTest::newRow("protocol 10 is not the marker")
        << bytes({marker.chopped(1) + "10", "y"}) << QStringList{marker.chopped(1) + "10", "y"};
    QTest::newRow("marker with trailing blank is a line")
        << bytes({marker + " ", "y"}) << QStringList{marker + " ", "y"};
    QTest::newRow("marker with one blank is a line")
        << bytes({dayFileLabels()[0] + "0", "y"}) << QStringList{dayFileLabels()[0] + "0", "y"};

    // The limit counts lines, also when a marker would come later.
    QStringList many;
    for (int i = 0; i < 1400; ++i)
        many << QString::number(i);
    many << marker;
    QTest::newRow("limit before a late marker") << bytes(many) << many.mid(0, 1300);
    QTest::newRow("marker as line 1301 is never read")
        << bytes(many.mid(0, 1300) << marker) << many.mid(0, 1300);
}

void TestDayView::lines() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);
    const QStringList lines = dayViewLines(bytes);
    QCOMPARE(lines.size(), expected.size());
    QCOMPARE(lines, expected);
}

void TestDayView::cyrillicIsDecoded() {
    // "Ф.И.О.: Щукин" in Windows-1251, written byte by byte.
    const QByteArray bytes("\xD4.\xC8.\xCE.: \xD9\xF3\xEA\xE8\xED\r\n");
    QCOMPARE(dayViewLines(bytes), QStringList{QStringLiteral("Ф.И.О.: Щукин")});
}

void TestDayView::text() {
    QCOMPARE(dayViewText({}), QString());
    QCOMPARE(dayViewText({"a", "", "b"}), QStringLiteral("a\n\nb\n"));
}

void TestDayView::loadDayView() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("13.05.2024.txt"));

    DayView missing = zet::loadDayView(path);
    QCOMPARE(missing.status, DayView::Missing);
    QVERIFY(missing.lines.isEmpty());

    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("14.05.2024.txt")));
    QCOMPARE(zet::loadDayView(dir.filePath(QStringLiteral("14.05.2024.txt"))).status, DayView::Missing);

    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes(dayLines(2)));
    file.close();
    const DayView shown = zet::loadDayView(path);
    QCOMPARE(shown.status, DayView::Shown);
    QCOMPARE(shown.lines, dayLines(2).mid(0, 26));
    QVERIFY(shown.error.isEmpty());
}

void TestDayView::unreadableFile() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("13.05.2024.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes(dayLines(1)));
    file.close();
    QVERIFY(file.setPermissions(QFileDevice::Permissions{}));
    QFile probe(path);
    if (probe.open(QIODevice::ReadOnly))
        QSKIP("the file stays readable for this user (running as root)");
    const DayView view = zet::loadDayView(path);
    QCOMPARE(view.status, DayView::Unreadable);
    QVERIFY(view.lines.isEmpty());
    QVERIFY(view.error.contains(QDir::toNativeSeparators(path)));
}

void TestDayView::daysWithDayFile() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString programFolder = dir.path() + QDir::separator();
    auto touch = [&](const QDate& date) {
        const QString path = dayFilePathFor(programFolder, date);
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    };
    QCOMPARE(zet::daysWithDayFile(programFolder, 2024, 2), QList<int>());
    touch(QDate(2024, 2, 1));
    touch(QDate(2024, 2, 17));
    touch(QDate(2024, 2, 29));
    touch(QDate(2024, 3, 2));                                                 // another month
    touch(QDate(2023, 2, 17));                                                // another year
    QVERIFY(QDir().mkpath(dayFilePathFor(programFolder, QDate(2024, 2, 5)))); // a folder, not a day file
    QCOMPARE(zet::daysWithDayFile(programFolder, 2024, 2), (QList<int>{1, 17, 29}));
    QCOMPARE(zet::daysWithDayFile(programFolder, 2024, 3), QList<int>{2});
    QCOMPARE(zet::daysWithDayFile(programFolder, 2024, 13), QList<int>());
}

QTEST_APPLESS_MAIN(TestDayView)
#include "tst_dayview.moc"
