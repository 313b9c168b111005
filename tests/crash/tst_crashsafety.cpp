// A process that is killed while it rewrites the database, the day file or the settings file
// must leave a file that loads and holds either the content it had or the new content.
// A child process rewrites the file in a loop, alternating between two known contents, and
// is killed with SIGKILL at random moments; after every kill the file is checked.
//
// ZET_CRASH_SEED=<number> replays the random moments of an earlier run.

#include "crashcontent.h"

#include "archive/dayfile.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace zet;
using namespace zet::crashtest;

namespace {

constexpr int kKills = 30;

QByteArray readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

// The file the child rewrites, inside its folder.
QString targetFile(Kind kind, const QString& folder) {
    switch (kind) {
    case Kind::Database:
        return databaseFile(folder);
    case Kind::DayFile:
        return dayFileFolder(folder) + QLatin1Char('/') + dayFileName();
    case Kind::Settings:
        break;
    }
    return folder + QStringLiteral("/zetr100.sys");
}

// Writes content `variant` into folder the way the program does; false with a reason on failure.
bool writeVariant(Kind kind, const QString& folder, int variant, QString* error) {
    switch (kind) {
    case Kind::Database: {
        Database db;
        fillDatabase(db, variant);
        db.databasePath = databaseFile(folder);
        const SaveResult r = db.saveDatabase();
        *error = r.error;
        return r.ok();
    }
    case Kind::DayFile: {
        DayArchive archive;
        archive.monthFolder = dayFileFolder(folder);
        archive.dayFileName = dayFileName();
        if (!QDir().mkpath(archive.monthFolder)) {
            *error = QStringLiteral("cannot create ") + archive.monthFolder;
            return false;
        }
        const DayFileResult r = archive.writeDayFile(Register(variant));
        *error = r.error;
        return r.ok;
    }
    case Kind::Settings: {
        Database db;
        db.programFolder = folder + QLatin1Char('/');
        db.databasePath = rememberedPath(variant);
        const SettingsResult r = db.saveSettings();
        *error = r.error;
        return r.ok;
    }
    }
    return false;
}

// Loads the file through the program's reader and tells which variant it holds: 0, 1, or
// -1 when it is neither (with what was wrong in *problem).
int loadedVariant(Kind kind, const QString& folder, QString* problem) {
    switch (kind) {
    case Kind::Database: {
        Database db;
        db.newDatabase();
        db.databasePath = databaseFile(folder);
        const LoadResult r = db.loadDatabase();
        if (!r.ok()) {
            *problem = QStringLiteral("the database was rejected: ") + r.error;
            return -1;
        }
        for (int v = 0; v < 2; ++v) {
            Database expected;
            fillDatabase(expected, v);
            expected.databaseHeader[1] = kVersionMarker;
            if (sameStored(db, expected))
                return v;
        }
        *problem = QStringLiteral("the database holds neither content");
        return -1;
    }
    case Kind::DayFile: {
        DayArchive archive;
        archive.monthFolder = dayFileFolder(folder);
        archive.dayFileName = dayFileName();
        DayRegisterArray reg{};
        const DayFileResult r = archive.readDayFile(reg);
        if (!r.ok) {
            *problem = QStringLiteral("the day file could not be read: ") + r.error;
            return -1;
        }
        for (int v = 0; v < 2; ++v) {
            if (reg == Register(v))
                return v;
        }
        *problem = QStringLiteral("the day file holds neither register");
        return -1;
    }
    case Kind::Settings: {
        Database db;
        db.programFolder = folder + QLatin1Char('/');
        const SettingsResult r = db.loadSettings();
        if (!r.ok) {
            *problem = QStringLiteral("the settings file could not be read: ") + r.error;
            return -1;
        }
        for (int v = 0; v < 2; ++v) {
            if (db.databasePath == rememberedPath(v))
                return v;
        }
        *problem = QStringLiteral("the settings file holds neither path: ") + db.databasePath;
        return -1;
    }
    }
    return -1;
}

// Files other than target left in the folder tree by writes that were cut off; removed.
int removeLeftovers(const QString& folder, const QString& target) {
    int count = 0;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (QFileInfo(path) != QFileInfo(target)) {
            QFile::remove(path);
            ++count;
        }
    }
    return count;
}

quint32 crashSeed() {
    bool ok = false;
    const quint32 seed = qEnvironmentVariable("ZET_CRASH_SEED").toUInt(&ok);
    return ok ? seed : QRandomGenerator::global()->generate();
}

} // namespace

class CrashSafety : public QObject {
    Q_OBJECT

private slots:
    void killWhileWriting_data();
    void killWhileWriting();
};

void CrashSafety::killWhileWriting_data() {
    QTest::addColumn<QString>("kind");
    // Longest pause between the child's start and the kill, in milliseconds: a few writes' time.
    QTest::addColumn<int>("maxDelay");
    QTest::newRow("database") << QStringLiteral("database") << 400;
    QTest::newRow("day file") << QStringLiteral("dayfile") << 60;
    QTest::newRow("settings") << QStringLiteral("settings") << 30;
}

void CrashSafety::killWhileWriting() {
    QFETCH(QString, kind);
    QFETCH(int, maxDelay);
    Kind k{};
    QVERIFY(kindFromName(kind, &k));

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.path();
    const QString target = targetFile(k, folder);
    QString error;
    QVERIFY2(writeVariant(k, folder, 0, &error), qPrintable(error));

    // The exact bytes of both contents, written once by this process.
    std::array<QByteArray, 2> images;
    for (int v = 0; v < 2; ++v) {
        QTemporaryDir other;
        QVERIFY(writeVariant(k, other.path(), v, &error));
        images[v] = readAll(targetFile(k, other.path()));
        QVERIFY(!images[v].isEmpty());
    }
    QVERIFY(images[0] != images[1]);

    const quint32 seed = crashSeed();
    qInfo("ZET_CRASH_SEED=%u", seed);
    QRandomGenerator random(seed);

    std::array<int, 2> seen{};
    int writes = 0;
    int leftovers = 0;
    for (int kill = 1; kill <= kKills; ++kill) {
        QProcess child;
        child.setProcessChannelMode(QProcess::SeparateChannels);
        child.start(QStringLiteral(ZET_CRASH_CHILD), {kind, folder});
        QVERIFY2(child.waitForStarted(10000), qPrintable(child.errorString()));
        QByteArray out;
        while (!out.contains("ready\n")) {
            QVERIFY2(child.waitForReadyRead(20000), "the child did not get ready");
            out += child.readAllStandardOutput();
        }
        const int delay = static_cast<int>(random.bounded(maxDelay + 1));
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < delay) {
            child.waitForReadyRead(static_cast<int>(std::max<qint64>(1, delay - clock.elapsed())));
            out += child.readAllStandardOutput();
            QVERIFY2(child.state() == QProcess::Running, child.readAllStandardError().constData());
        }
        QCOMPARE(::kill(static_cast<pid_t>(child.processId()), SIGKILL), 0);
        QVERIFY(child.waitForFinished(10000));
        out += child.readAllStandardOutput();
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        writes += static_cast<int>(out.count("+\n"));

        const QByteArray bytes = readAll(target);
        const int byBytes = bytes == images[0] ? 0 : bytes == images[1] ? 1 : -1;
        QString problem;
        const int loaded = loadedVariant(k, folder, &problem);
        const QByteArray where = QStringLiteral("kill %1 after %2 ms: ").arg(kill).arg(delay).toUtf8();
        QVERIFY2(byBytes >= 0,
                 where + "the file is neither content (" + QByteArray::number(bytes.size()) + " bytes)");
        QVERIFY2(loaded == byBytes, where + problem.toUtf8());
        ++seen[byBytes];
        leftovers += removeLeftovers(folder, target);
    }
    qInfo("%d kills, %d completed writes, %d files left over by cut-off writes", kKills, writes, leftovers);
    // The kills fell at different points of the loop: both contents were found on disk.
    QVERIFY2(seen[0] > 0 && seen[1] > 0, "the child never replaced the file between kills");
}

QTEST_GUILESS_MAIN(CrashSafety)
#include "tst_crashsafety.moc"
