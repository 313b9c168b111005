// A second copy of the program in the same folder, and a signal that ends the session in the
// middle of an exam, each with a real second process.

#include "app/appcore.h"
#include "../common/coreaccess.h"
#include "app/programlock.h"
#include "archive/dayfile.h"
#include "journal/journal.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

using namespace zet;

namespace {

// Starts the child and waits for its "ready".
bool startChild(QProcess& child, const QString& mode, const QString& folder) {
    child.start(QStringLiteral(ZET_SESSION_CHILD), {mode, folder});
    if (!child.waitForStarted(5000))
        return false;
    while (!child.canReadLine()) {
        if (!child.waitForReadyRead(10000))
            return false;
    }
    return child.readLine().trimmed() == "ready";
}

const QDate kChildDay(2026, 12, 7);

// The program core started in folder as the child starts it, with its journal.
std::unique_ptr<AppCore> restartedCore(const QString& folder) {
    auto core = std::make_unique<AppCore>(nullptr, [] { return kChildDay; });
    coreDatabase(*core).newDatabase();
    coreDatabase(*core).programFolder = folder;
    if (!coreArchive(*core).prepare(folder, kChildDay, coreExam(*core).dayRegister).ok)
        return nullptr;
    coreExam(*core).findFreeSlot();
    if (!core->startJournal().isEmpty())
        return nullptr;
    return core;
}

} // namespace

class TestSession : public QObject {
    Q_OBJECT
private slots:
    void secondCopyInTheSameFolder() {
        QTemporaryDir dir;
        QProcess first;
        QVERIFY(startChild(first, QStringLiteral("lock"), dir.path()));
        {
            const ProgramLock second(dir.path());
            QCOMPARE(second.outcome(), ProgramLock::Outcome::HeldByOther);
            QCOMPARE(second.ownerPid(), first.processId());
        }
        // Another folder is another program.
        QTemporaryDir other;
        QCOMPARE(ProgramLock(other.path()).outcome(), ProgramLock::Outcome::Locked);

        // A program killed outright leaves its lock file; the next start takes it over.
        first.kill();
        QVERIFY(first.waitForFinished(5000));
        QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("razividerur.lock"))));
        QCOMPARE(ProgramLock(dir.path()).outcome(), ProgramLock::Outcome::Locked);
    }

    void signalRecordsTheRunningExam_data() {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }
    void signalRecordsTheRunningExam() {
        QFETCH(int, signalNumber);
        QTemporaryDir dir;
        QProcess child;
        QVERIFY(startChild(child, QStringLiteral("exam"), dir.path()));
        QCOMPARE(::kill(static_cast<pid_t>(child.processId()), signalNumber), 0);
        QVERIFY(child.waitForFinished(10000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);

        QFile file(dayFilePathFor(dir.path() + QLatin1Char('/'), QDate(2026, 12, 7)));
        QVERIFY(file.open(QIODevice::ReadOnly));
        DayRegisterArray reg{};
        QVERIFY(parseDayFile(file.readAll(), reg).exact);
        QCOMPARE(reg[1].fullName, QStringLiteral("Сигналов С.С."));
        QCOMPARE(int(reg[1].profileNo), 1);
        QCOMPARE(int(reg[1].protocolNo), 1);

        // The journal got the exam as well.
        JournalStore store(dir.path() + QLatin1Char('/'));
        const QList<JournalEntry> exams = store.findByPersonnelNo(QStringLiteral("С-1"));
        QCOMPARE(store.examCount(), 1);
        const std::optional<JournalEntry> exam = store.find(exams.value(0).id);
        QVERIFY(exam);
        QVERIFY(!exam->imported);
        QCOMPARE(exam->fullName, QStringLiteral("Сигналов С.С."));
        QCOMPARE(exam->protocolNo, 1);
        QCOMPARE(exam->date, kChildDay);
    }

    void killedBeforeTheJournalLosesNoExam() {
        QTemporaryDir dir;
        const QString folder = dir.path() + QLatin1Char('/');
        QProcess child;
        child.start(QStringLiteral(ZET_SESSION_CHILD), {QStringLiteral("journal-kill"), dir.path()});
        QVERIFY(child.waitForFinished(10000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);

        QFile file(dayFilePathFor(folder, kChildDay));
        QVERIFY(file.open(QIODevice::ReadOnly));
        DayRegisterArray reg{};
        QVERIFY(parseDayFile(file.readAll(), reg).exact);
        QCOMPARE(reg[1].fullName, QStringLiteral("Сигналов С.С."));
        QCOMPARE(JournalStore(folder).examCount(), 0);

        for (int restart = 0; restart < 2; ++restart) {
            std::unique_ptr<AppCore> core = restartedCore(folder);
            QVERIFY(core);
            JournalStore& store = core->journal()->store();
            QCOMPARE(store.examCount(), 1);
            QVERIFY(store.hasExam(core->journal()->config().workstation, kChildDay, 1));
        }
    }

    // A full disk (a real write failure: the child may not grow any file) neither cuts the
    // outbox nor claims the exam was saved; the exam waits in memory and goes in once the
    // disk has room again, with its answers and the exam that waited in the outbox.
    void fullDiskLosesNoJournalExam() {
        QTemporaryDir dir;
        const QString folder = dir.path() + QLatin1Char('/');
        QProcess child;
        child.start(QStringLiteral(ZET_SESSION_CHILD), {QStringLiteral("disk-full"), dir.path()});
        QVERIFY(child.waitForFinished(20000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        const QString out = QString::fromUtf8(child.readAllStandardOutput());
        QVERIFY2(!out.contains(QStringLiteral("сохранён в файле")), qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("хранится в памяти")), qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("in memory: 1")), qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("in memory after the retry: 0")), qPrintable(out));

        JournalStore store(folder);
        QCOMPARE(store.examCount(), 2);
        QCOMPARE(store.outboxCount(), 0);
        QCOMPARE(store.findByPersonnelNo(QStringLiteral("")).value(0).fullName, QStringLiteral("Ожидающий О.О."));
        const std::optional<JournalEntry> exam =
            store.find(store.findByPersonnelNo(QStringLiteral("С-1")).value(0).id);
        QVERIFY(exam);
        QCOMPARE(exam->answers.size(), 3);
    }
};

QTEST_GUILESS_MAIN(TestSession)
#include "tst_session.moc"
