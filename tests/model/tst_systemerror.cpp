// Failures of real file operations reach the user in Russian.

#include "model/savefile.h"
#include "model/systemerror.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTest>

using namespace zet;

class TestSystemError : public QObject {
    Q_OBJECT
private slots:
    void realFailuresAreRussian_data();
    void realFailuresAreRussian();
    void emptyPathNamesTheCause();
};

void TestSystemError::realFailuresAreRussian_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("mode");
    QTest::newRow("missing file") << QStringLiteral("/nonexistent-zet/x.zet") << int(QIODevice::ReadOnly);
    QTest::newRow("folder as a file") << QStringLiteral("/tmp") << int(QIODevice::ReadWrite);
    QTest::newRow("no permission") << QStringLiteral("/sys/zet-test") << int(QIODevice::WriteOnly);
    QTest::newRow("not permitted") << QStringLiteral("/proc/1/zet-test") << int(QIODevice::WriteOnly);
}

void TestSystemError::realFailuresAreRussian() {
    QFETCH(QString, path);
    QFETCH(int, mode);
    QSaveFile saved(path);
    QFile plain(path);
    QFileDevice& file = mode == QIODevice::WriteOnly ? static_cast<QFileDevice&>(saved) : plain;
    QVERIFY(!file.open(QIODevice::OpenMode(mode)));
    const QString russian = russianSystemError(file.errorString());
    QVERIFY2(!russian.contains(QRegularExpression(QStringLiteral("[A-Za-z]"))),
             qPrintable(file.errorString() + QStringLiteral(" -> ") + russian));
}

void TestSystemError::emptyPathNamesTheCause() {
    QString error;
    QVERIFY(!writeFileAtomically(QString(), "x", &error));
    QCOMPARE(error, noFileNameMessage());
}

QTEST_GUILESS_MAIN(TestSystemError)
#include "tst_systemerror.moc"
