// The other process of the session tests.
// Usage: zet_session_child lock <folder>   holds the program lock of folder until killed
//        zet_session_child exam <folder>   runs an exam in folder until SIGTERM or SIGHUP
//        zet_session_child journal-kill <folder>
//                                          finishes an exam and kills itself (SIGKILL) once the
//                                          day file is written, before the journal is
//        zet_session_child disk-full <folder>
//                                          with an exam waiting in the outbox, finishes an exam
//                                          while no file can grow (RLIMIT_FSIZE), prints the
//                                          examiner's message, then frees the limit and tries
//                                          again as a change of mode does
// Prints "ready" once it holds the lock or runs the exam.

#include "app/appcore.h"
#include "../common/coreaccess.h"
#include "app/programlock.h"
#include "app/sessionend.h"
#include "journal/journal.h"

#include <QCoreApplication>
#include <QDir>

#include <csignal>
#include <cstdio>

#include <sys/resource.h>

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
    if (mode == QLatin1String("disk-full")) {
        // Three questions of theme 1, so that the exam has answer rows.
        Database& db = coreDatabase(core);
        db.databaseHeader[1] = kVersionMarker;
        for (int q = 1; q <= 3; ++q) {
            db.questions(1, q, 0) = QStringLiteral("1111111111Вопрос %1").arg(q);
            for (int p = 1; p <= 5; ++p)
                db.questions(1, q, p) = QStringLiteral("ответ %1.%2").arg(q).arg(p);
        }
        db.profiles[1].questionCount = 3;
    }
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
    if (mode == QLatin1String("disk-full")) {
        JournalEntry waiting = core.journal()->newEntry();
        waiting.date = core.today();
        waiting.protocolNo = 50;
        waiting.fullName = QStringLiteral("Ожидающий О.О.");
        if (!JournalOutbox(core.journal()->store().outboxPath()).add(waiting).ok)
            return 8;
        // From here on no file can grow: every write fails as on a full disk.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        const rlim_t hard = limit.rlim_max;
        limit.rlim_cur = 0;
        setrlimit(RLIMIT_FSIZE, &limit);
        for (int n = 1; n <= 3; ++n) {
            core.answerClick(1);
            if (!core.advanceExam())
                break;
        }
        const std::optional<FinishResult> finished = core.finishRunningExam();
        std::printf("%s\n", finished ? finished->journalMessage.toUtf8().constData() : "not finished");
        std::printf("in memory: %d\n", core.hasUnwrittenJournalExams() ? 1 : 0);
        limit.rlim_cur = hard;
        setrlimit(RLIMIT_FSIZE, &limit);
        (void)core.writeUnwrittenRecords();
        std::printf("in memory after the retry: %d\n", core.hasUnwrittenJournalExams() ? 1 : 0);
        return 0;
    }
    ready();
    return QCoreApplication::exec();
}
