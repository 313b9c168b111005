// The other process of the session tests.
// Usage: zet_session_child lock <folder>   holds the program lock of folder until killed
//        zet_session_child exam <folder>   runs an exam in folder until SIGTERM or SIGHUP
// Prints "ready" once it holds the lock or runs the exam.

#include "app/module1.h"
#include "app/programlock.h"
#include "app/sessionend.h"

#include <QCoreApplication>
#include <QDir>

#include <csignal>
#include <cstdio>

using namespace zet;

namespace {

void Ready() {
    std::puts("ready");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const QString mode = QString::fromLocal8Bit(argv[1]);
    const QString folder = QDir(QString::fromLocal8Bit(argv[2])).absolutePath() + QLatin1Char('/');

    if (mode == QLatin1String("lock")) {
        const ProgramLock lock(folder);
        if (lock.outcome() != ProgramLock::Outcome::Locked)
            return 3;
        Ready();
        return QCoreApplication::exec();
    }

    Module1 core(nullptr, [] { return QDate(2026, 12, 7); });
    core.db.NewDatabase();
    core.db.ProgramFolder = folder;
    if (!core.archive.Prepare(folder, core.Today(), core.exam.DayRegister).ok)
        return 4;
    core.exam.FindFreeSlot();
    SessionEndWatcher watcher({SIGTERM, SIGHUP});
    QObject::connect(&watcher, &SessionEndWatcher::sessionEnding, [&] {
        core.SaveBeforeExit(folder + QStringLiteral("fallback"));
        QCoreApplication::quit();
    });
    RegistrationTexts texts;
    texts.FullName = QStringLiteral("Сигналов С.С.");
    texts.ProfileNo = QStringLiteral("1");
    texts.AskedCount = QStringLiteral("10");
    core.StartExam(texts);
    if (core.exam.ExamRunning == 0)
        return 5;
    Ready();
    return QCoreApplication::exec();
}
