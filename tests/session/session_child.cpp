// The other process of the session tests.
// Usage: zet_session_child lock <folder>   holds the program lock of folder until killed
//        zet_session_child exam <folder>   runs an exam in folder until SIGTERM or SIGHUP
//        zet_session_child journal-kill <folder>
//                                          finishes an exam and kills itself (SIGKILL) once the
//                                          day file is written, before the journal is
// Prints "ready" once it holds the lock or runs the exam.

#include "app/appcore.h"
#include "../common/coreaccess.h"
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
    coreDatabase(core).newDatabase();
    coreDatabase(core).programFolder = folder;
    if (!coreArchive(core).prepare(folder, core.today(), coreExam(core).dayRegister).ok)
        return 4;
    coreExam(core).findFreeSlot();
    if (!core.startJournal().isEmpty())
        return 6;
    SessionEndWatcher watcher({SIGTERM, SIGHUP});
    QObject::connect(&watcher, &SessionEndWatcher::sessionEnding, [&] {
        if (!core.saveBeforeExit(folder + QStringLiteral("fallback")).ok)
            std::fprintf(stderr, "results could not be saved\n");
        QCoreApplication::quit();
    });
    RegistrationTexts texts;
    texts.fullName = QStringLiteral("Сигналов С.С.");
    texts.personnelNo = QStringLiteral("С-1");
    texts.profileNo = QStringLiteral("1");
    texts.askedCount = QStringLiteral("10");
    core.startExam(texts);
    if (!coreExam(core).examRunning)
        return 5;
    if (mode == QLatin1String("journal-kill")) {
        QObject::connect(&core, &AppCore::dayFileWritten, [] { std::raise(SIGKILL); });
        core.finishRunningExam();
        return 7; // not reached
    }
    ready();
    return QCoreApplication::exec();
}
