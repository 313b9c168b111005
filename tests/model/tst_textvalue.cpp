#include "model/textvalue.h"

#include <QTest>

using namespace zet;

class TestTextValue : public QObject {
    Q_OBJECT
private slots:
    void value_data();
    void value();
    void range_data();
    void range();
    void numberTexts();
};

void TestTextValue::value_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("floor");
    QTest::addColumn<double>("rounded");
    QTest::newRow("trailing letter") << "90 x" << 90.0 << 90.0 << 90.0;
    QTest::newRow("comma ends the number") << "1,5" << 1.0 << 1.0 << 1.0;
    QTest::newRow("letter inside") << "19a5" << 19.0 << 19.0 << 19.0;
    QTest::newRow("blank inside") << "1 975" << 1975.0 << 1975.0 << 1975.0;
    QTest::newRow("tab and line feed") << "\t1\n9\r\n7 0" << 1970.0 << 1970.0 << 1970.0;
    QTest::newRow("hexadecimal") << "&HFF" << 255.0 << 255.0 << 255.0;
    QTest::newRow("hexadecimal lower case") << "&hff" << 255.0 << 255.0 << 255.0;
    QTest::newRow("octal") << "&O17" << 15.0 << 15.0 << 15.0;
    QTest::newRow("octal stops at 8") << "&O178" << 15.0 << 15.0 << 15.0;
    QTest::newRow("bad prefix") << "&X12" << 0.0 << 0.0 << 0.0;
    QTest::newRow("exponent") << "1e3" << 1000.0 << 1000.0 << 1000.0;
    QTest::newRow("exponent with sign") << "25E-1" << 2.5 << 2.0 << 2.0;
    QTest::newRow("exponent without digits") << "7e" << 7.0 << 7.0 << 7.0;
    QTest::newRow("negative") << "-2" << -2.0 << -2.0 << -2.0;
    QTest::newRow("negative fraction") << "-1.5" << -1.5 << -2.0 << -2.0;
    QTest::newRow("plus sign") << "+12" << 12.0 << 12.0 << 12.0;
    QTest::newRow("half rounds to even, down") << "2.5" << 2.5 << 2.0 << 2.0;
    QTest::newRow("half rounds to even, up") << "3.5" << 3.5 << 3.0 << 4.0;
    QTest::newRow("fraction above half") << "7.6" << 7.6 << 7.0 << 8.0;
    QTest::newRow("leading point") << ".75" << 0.75 << 0.0 << 1.0;
    QTest::newRow("empty") << "" << 0.0 << 0.0 << 0.0;
    QTest::newRow("letters") << "abc" << 0.0 << 0.0 << 0.0;
    QTest::newRow("sign alone") << "-" << 0.0 << 0.0 << 0.0;
    QTest::newRow("point alone") << "." << 0.0 << 0.0 << 0.0;
    QTest::newRow("Cyrillic digits look-alike") << "З0" << 0.0 << 0.0 << 0.0;
    QTest::newRow("full-width digit is not a digit") << QString::fromUtf16(u"\uFF15") << 0.0 << 0.0 << 0.0;
}

void TestTextValue::value() {
    QFETCH(QString, text);
    QFETCH(double, value);
    QFETCH(double, floor);
    QFETCH(double, rounded);
    QCOMPARE(numericValue(text), value);
    QCOMPARE(valueFloor(text), floor);
    QCOMPARE(valueRounded(text), rounded);
}

void TestTextValue::range_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<int>("floor");
    QTest::newRow("upper bound") << "32767" << true << 32767;
    QTest::newRow("lower bound") << "-32768" << true << -32768;
    QTest::newRow("above") << "32768" << false << 0;
    QTest::newRow("below") << "-32769" << false << 0;
    QTest::newRow("just below upper bound, fraction") << "32767.9" << true << 32767;
    QTest::newRow("huge exponent") << "1e400" << false << 0;
    QTest::newRow("hex above range") << "&H10000" << false << 0;
}

void TestTextValue::range() {
    QFETCH(QString, text);
    QFETCH(bool, fits);
    QFETCH(int, floor);
    const auto v = int16Floor(text);
    QCOMPARE(v.has_value(), fits);
    if (fits)
        QCOMPARE(int(*v), floor);
}

void TestTextValue::numberTexts() {
    QCOMPARE(numberText(7), QStringLiteral("7"));
    QCOMPARE(numberText(-7), QStringLiteral("-7"));
    QCOMPARE(signedNumberText(0), QStringLiteral(" 0"));
    QCOMPARE(signedNumberText(245), QStringLiteral(" 245"));
    QCOMPARE(signedNumberText(-2), QStringLiteral("-2"));
}

QTEST_GUILESS_MAIN(TestTextValue)
#include "tst_textvalue.moc"
