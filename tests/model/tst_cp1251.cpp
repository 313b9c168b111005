#include "model/cp1251.h"

#include <QStringDecoder>
#include <QTest>

#include <algorithm>

using namespace zet;

namespace {

// Every byte value from first to last, then again from the start, for size bytes.
QByteArray run(int first, int last, int size) {
    QByteArray b;
    for (int i = 0; b.size() < size; ++i)
        b.append(char(first + i % (last - first + 1)));
    return b;
}

QString systemDecode(const QByteArray& bytes) {
    QStringDecoder dec("windows-1251");
    return dec.decode(bytes);
}

} // namespace

class TestCp1251 : public QObject {
    Q_OBJECT
private slots:
    void decodeAgreesWithSystemConverter_data();
    void decodeAgreesWithSystemConverter();
    void decodeIntoReusedString();
};

void TestCp1251::decodeAgreesWithSystemConverter_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("every byte value") << run(0, 255, 256);
    QByteArray backwards = run(0, 255, 256);
    std::reverse(backwards.begin(), backwards.end());
    QTest::newRow("every byte value backwards") << backwards;
    for (int size : {1, 15, 16, 17, 31, 33, 170, 498}) {
        QTest::addRow("ASCII, %d bytes", size) << run(0x20, 0x7e, size);
        QTest::addRow("Cyrillic letters, %d bytes", size) << run(0xc0, 0xff, size);
        QTest::addRow("bytes 80..BF, %d bytes", size) << run(0x80, 0xbf, size);
    }
    // One byte of 80..BF among letters, at the ends of a block and in the last bytes.
    for (int at : {0, 15, 16, 31, 40, 47}) {
        QByteArray b = run(0xc0, 0xff, 48);
        b[at] = char(0xa8); // Ё
        QTest::addRow("Ё at byte %d of 48", at) << b;
        b = run(0x30, 0xff, 45);
        b[at % 45] = char(0xb9); // №
        QTest::addRow("№ at byte %d of 45", at % 45) << b;
    }
}

void TestCp1251::decodeAgreesWithSystemConverter() {
    QFETCH(QByteArray, bytes);
    const QString expected = systemDecode(bytes);
    QCOMPARE(expected.size(), bytes.size());
    QCOMPARE(decodeCp1251(bytes), expected);
    QString target = QString(600, QLatin1Char('#'));
    decodeCp1251Into(bytes, target);
    QCOMPARE(target, expected);
}

// Decoding into a string replaces its whole value and never changes a copy that shares it.
void TestCp1251::decodeIntoReusedString() {
    QString target = QStringLiteral("длинная строка, длиннее новой");
    decodeCp1251Into("\xc4\xe0", target);
    QCOMPARE(target, QStringLiteral("Да"));
    const QString shared = target;
    decodeCp1251Into("\xcd\xe5\xf2, abc", target);
    QCOMPARE(target, QStringLiteral("Нет, abc"));
    QCOMPARE(shared, QStringLiteral("Да"));
    decodeCp1251Into({}, target);
    QVERIFY(target.isEmpty());
    QCOMPARE(target.capacity(), 0); // an empty value keeps no storage
}

QTEST_GUILESS_MAIN(TestCp1251)
#include "tst_cp1251.moc"
