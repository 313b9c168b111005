#include "model/linesplit.h"

#include <QTest>

using namespace zet;

class TestLineSplit : public QObject {
    Q_OBJECT
private slots:
    void split_data();
    void split();
};

void TestLineSplit::split_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");              // a final line end ends the last line
    QTest::addColumn<QStringList>("withFinalEmptyLine"); // a final line end starts an empty line
    const QStringList none;
    QTest::newRow("empty") << QString() << none << QStringList{QString()};
    QTest::newRow("one line, no end") << "a" << QStringList{"a"} << QStringList{"a"};
    QTest::newRow("CR LF") << "a\r\nb\r\n" << QStringList{"a", "b"} << QStringList{"a", "b", ""};
    QTest::newRow("lone LF and CR") << "a\nb\rc" << QStringList{"a", "b", "c"} << QStringList{"a", "b", "c"};
    QTest::newRow("LF CR is two ends") << "a\n\rb" << QStringList{"a", "", "b"} << QStringList{"a", "", "b"};
    QTest::newRow("empty lines kept") << "\r\n\r\na\n\n"
                                      << QStringList{"", "", "a", ""} << QStringList{"", "", "a", "", ""};
    QTest::newRow("CR at the very end") << "a\r" << QStringList{"a"} << QStringList{"a", ""};
}

void TestLineSplit::split() {
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, withFinalEmptyLine);
    QCOMPARE(splitLines(text), lines);
    QCOMPARE(splitLines(text, FinalLineEnd::StartsEmptyLine), withFinalEmptyLine);
}

QTEST_GUILESS_MAIN(TestLineSplit)
#include "tst_linesplit.moc"
