// The other process of the session tests.
// Usage: zet_session_child lock <folder>   holds the program lock of folder until killed
//        zet_session_child exam <folder>   runs an exam in folder until SIGTERM or SIGHUP
// Prints "ready" once it holds the lock or runs the exam.

#include "app/appcore.h"
#include "app/programlock.h"
#include "app/sessionend.h"

#include <QCoreApplication>
#include <QDir>

#include <csignal>
#include <cstdio>

using namespace zet;

namespace {

void ready() {
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
        ready();
        return QCoreApplication::exec();
    }

    AppCore core(nullptr, [] { return QDate(2026, 12, 7); });
    core.db.newDatabase();
    core.db.programFolder = folder;
    if (!core.archive.prepare(folder, core.today(), core.exam.dayRegister).ok)
        return 4;
    core.exam.findFreeSlot();
    SessionEndWatcher watcher({SIGTERM, SIGHUP});
    QObject::connect(&watcher, &SessionEndWatcher::sessionEnding, [&] {
        core.saveBeforeExit(folder + QStringLiteral("fallback"));
        QCoreApplication::quit();
    });
    RegistrationTexts texts;
    texts.fullName = QStringLiteral("Сигналов С.С.");
    texts.profileNo = QStringLiteral("1");
    texts.askedCount = QStringLiteral("10");
    core.startExam(texts);
    if (core.exam.examRunning == 0)
        return 5;
    ready();
    return QCoreApplication::exec();
}
