// Every committed seed of the fuzz corpus, run through the same checks as the fuzz targets.
// Inputs that once broke a reader are kept in the corpus, so they are tested here on every
// build, also without clang or libFuzzer.

#include "fuzzchecks.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace zet::fuzz;

class FuzzCorpus : public QObject {
    Q_OBJECT

private slots:
    void everyTargetHasSeeds();
    void seed_data();
    void seed();
};

namespace {
const QStringList kTargets = {QStringLiteral("database"),  QStringLiteral("dayfile"),
                              QStringLiteral("settings"),  QStringLiteral("dayview"),
                              QStringLiteral("textvalue"), QStringLiteral("gift"),
                              QStringLiteral("aiken"),     QStringLiteral("moodlexml"),
                              QStringLiteral("staff")};
const QString kCorpus = QStringLiteral(ZET_FUZZ_CORPUS);
} // namespace

void FuzzCorpus::everyTargetHasSeeds() {
    const QStringList folders = QDir(kCorpus).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(QSet<QString>(folders.begin(), folders.end()), QSet<QString>(kTargets.begin(), kTargets.end()));
    for (const QString& target : kTargets) {
        QVERIFY2(!QDir(kCorpus + QLatin1Char('/') + target).isEmpty(QDir::Files), qPrintable(target));
        QVERIFY(checkFor(target) != nullptr);
    }
}

void FuzzCorpus::seed_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("path");
    for (const QString& target : kTargets) {
        const QDir dir(kCorpus + QLatin1Char('/') + target);
        for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
            const QString row = target + QLatin1Char('/') + name;
            QTest::newRow(qPrintable(row)) << target << dir.filePath(name);
        }
    }
}

void FuzzCorpus::seed() {
    QFETCH(QString, target);
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QTemporaryDir work;
    QVERIFY(work.isValid());
    const QString failure = checkFor(target)(bytes, work.path() + QLatin1Char('/'));
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

QTEST_GUILESS_MAIN(FuzzCorpus)
#include "tst_fuzzcorpus.moc"
