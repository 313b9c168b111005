// The whole program from exec to its first painted frame, against the smallest Qt Widgets
// program that shows one window (minimal_window), in the same run. Both quit after their
// first frame (the program through its hidden --quit-after-start option). Each start's wall
// time, processor time and peak resident memory are taken from the ended process.
//   next start   reuses one program folder;
//   first start  gives every run a new, empty folder, so the default database is written;
//   cold start   the next start after the page cache was dropped (as root only; bare window
//                likewise), as after the computer was switched on;
//   large journal  a folder whose journal holds many exams (1,000,000 unless given), a
//                hundredth of them waiting in the outbox, against the next start of a folder
//                without one.
//
// Peak memory is the ended process's own (wait4), which counts what the process it was started
// from held at the time: this one stays small.
//
// Each start is timed twice: to the end of its first frame, which the program and the bare
// window tell on their output with the time on the shared monotonic clock, and to the end of
// the process, which adds what the program does after its first frame (the journal's start)
// and the tearing down.
//
// Run: QT_QPA_PLATFORM=offscreen bench_process [runs] [exams in the large journal] [--compare BUILD]
//      where BUILD is an earlier build of the program, timed in the same runs (one that tells its
//      first frame, as every build since this measure does)
//      (or under xvfb-run)

#include "benchtools.h"
#include "journal/journalstore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

extern char** environ;

using namespace zet;
using namespace zet::bench;

namespace {

struct Run {
    double frameMs = -1; // from the start to the end of the first frame, as the program tells
    double wallMs = -1;
    double cpuMs = 0;
    double peakMiB = 0;
};

struct Runs {
    std::vector<double> frame, wall, cpu, peak;
    void add(const Run& r) {
        frame.push_back(r.frameMs);
        wall.push_back(r.wallMs);
        cpu.push_back(r.cpuMs);
        peak.push_back(r.peakMiB);
    }
    bool failed() const {
        auto negative = [](double w) { return w < 0; };
        return std::any_of(wall.begin(), wall.end(), negative) || std::any_of(frame.begin(), frame.end(), negative);
    }
};

double monotonicMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The time of the first frame that the program wrote to its output ("first frame <ns>", on the
// monotonic clock), or -1.
double firstFrameMs(const QString& outputLog) {
    QFile output(outputLog);
    if (!output.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : output.readAll().split('\n')) {
        if (line.startsWith("first frame "))
            return line.mid(12).toDouble() / 1e6;
    }
    return -1;
}

// Runs the program to its end. Its error output goes to a scratch file, of which only the
// lines that are no known platform noise are passed on; its output, to another.
Run runOnce(const QString& program, const QStringList& args, const QString& errorLog) {
    const QByteArray path = QFile::encodeName(program);
    QList<QByteArray> argBytes{path};
    for (const QString& a : args)
        argBytes << QFile::encodeName(a);
    std::vector<char*> argv;
    for (QByteArray& a : argBytes)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const QByteArray output = QFile::encodeName(errorLog + QStringLiteral(".out"));
    posix_spawn_file_actions_addopen(&actions, 1, output.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const QByteArray log = QFile::encodeName(errorLog);
    posix_spawn_file_actions_addopen(&actions, 2, log.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    Run run;
    QElapsedTimer timer;
    timer.start();
    const double started = monotonicMs();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, path.constData(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    if (spawned != 0 || wait4(pid, &status, 0, &usage) != pid) {
        std::fprintf(stderr, "%s could not be run\n", path.constData());
        return run;
    }
    const double wall = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    QFile errors(errorLog);
    if (errors.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : errors.readAll().split('\n')) {
            if (!line.isEmpty() && !isPlatformNoise(QString::fromLocal8Bit(line)))
                std::fprintf(stderr, "%s\n", line.constData());
        }
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s %s failed\n", path.constData(), qPrintable(args.join(QLatin1Char(' '))));
        return run;
    }
    run.wallMs = wall;
    // Only the program and the bare window tell their first frame; the large journal's maker
    // is checked by its wall time alone.
    const double frame = firstFrameMs(QFile::decodeName(output));
    run.frameMs = frame < 0 ? -1 : frame - started;
    run.cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    run.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
    return run;
}

// Drops the page cache, so that the next start reads its libraries and files from the disk.
// Needs root; false when it cannot be done.
bool dropPageCache() {
    ::sync();
    QFile drop(QStringLiteral("/proc/sys/vm/drop_caches"));
    return drop.open(QIODevice::WriteOnly) && drop.write("1\n") == 2;
}

// A journal of exams rows in folder, in the layout the program makes (the program's own store
// makes it), written in one transaction; waiting more exams in the outbox. The rows are
// imported ones without answers: the start reads no row.
bool makeLargeJournal(const QString& folder, int exams, int waiting) {
    const QString withSeparator = folder + QLatin1Char('/');
    {
        JournalStore store(withSeparator);
        if (!store.open().ok)
            return false;
    }
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-large"));
        db.setDatabaseName(withSeparator + JournalStore::fileName());
        QSqlQuery q(db);
        // A cache that holds the indexes, and ids in ascending order: rows go in at the speed of
        // the disk, not of random page reads.
        ok = db.open() && q.exec(QStringLiteral("PRAGMA synchronous=OFF")) &&
             q.exec(QStringLiteral("PRAGMA cache_size=-262144")) && db.transaction() &&
             q.prepare(QStringLiteral(
                 "INSERT INTO exams (id, workstation, exam_date, protocol_no, profile_no, profile_name,"
                 " test_name, database_path, full_name, birth_year, job_title, seniority, personnel_no,"
                 " grade, asked, right_answers, seconds_spent, imported, sent_at, search_text)"
                 " VALUES (?, 'ПК-1', ?, ?, 1, 'Электромонтёр', 'Охрана труда', 'C:\\ZET\\Data.zet', ?,"
                 " 1980, 'Электромонтёр', 10, ?, ?, 20, ?, 600, 1, '2026-01-01T00:00:00', ?)"));
        const QDate first(2000, 1, 1);
        for (int i = 0; ok && i < exams; ++i) {
            const QString name = QStringLiteral("Иванов Иван Иванович %1").arg(i % 50000);
            const QString personnelNo = QString::number(100000 + i % 50000);
            q.addBindValue(QStringLiteral("00000000-0000-4000-8000-%1").arg(i, 12, 10, QLatin1Char('0')));
            q.addBindValue(first.addDays(i / 100).toString(Qt::ISODate));
            q.addBindValue(i % 100 + 1);
            q.addBindValue(name);
            q.addBindValue(personnelNo);
            q.addBindValue(2 + i % 4);
            q.addBindValue(10 + i % 11);
            q.addBindValue(JournalStore::searchText(name, personnelNo));
            ok = q.exec();
        }
        if (!ok)
            std::fprintf(stderr, "large journal: %s\n", qPrintable(q.lastError().text()));
        ok = ok && db.commit();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-large"));
    QList<JournalEntry> outbox;
    for (int i = 0; i < waiting; ++i) {
        JournalEntry e;
        e.id = QUuid::createUuid();
        e.workstation = QStringLiteral("ПК-1");
        e.date = QDate(2026, 1, 2);
        e.protocolNo = i + 1;
        e.fullName = QStringLiteral("Петров Пётр %1").arg(i);
        e.grade = 5;
        outbox << e;
    }
    return ok && JournalOutbox(withSeparator + JournalStore::outboxFileName()).keepOnly(outbox).ok;
}

void printRow(const char* what, const Runs& runs, const Runs& base) {
    const double f = median(runs.frame), w = median(runs.wall);
    std::printf("  %-40s %7.1f ms %5.2f   %7.1f ms %5.2f   cpu %6.1f ms   peak %5.1f MiB %5.2f\n", what, f,
                f / median(base.frame), w, w / median(base.wall), median(runs.cpu), median(runs.peak),
                median(runs.peak) / median(base.peak));
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    // The large journal is made by a process of its own: a child inherits the peak memory of
    // the process it is started from, so this one must stay smaller than what it measures.
    if (argc == 4 && qstrcmp(argv[1], "--make-journal") == 0) {
        const int exams = QString::fromLocal8Bit(argv[3]).toInt();
        return makeLargeJournal(QString::fromLocal8Bit(argv[2]), exams - exams / 100, exams / 100) ? 0 : 1;
    }
    QStringList args = QCoreApplication::arguments().mid(1);
    // An earlier build of the program, timed in the same runs: before and after side by side.
    QString earlier;
    if (const qsizetype at = args.indexOf(QStringLiteral("--compare")); at >= 0 && at + 1 < args.size()) {
        earlier = args.at(at + 1);
        args.remove(at, 2);
    }
    const int runs = args.size() > 0 ? std::max(1, args.at(0).toInt()) : 15;
    const int largeExams = args.size() > 1 ? std::max(0, args.at(1).toInt()) : 1000000;
    // Without a session bus Qt starts dbus-launch in every program it runs, which adds a noise of
    // many milliseconds to the program and the baseline alike; a desktop session has its bus.
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
    const QString here = QCoreApplication::applicationDirPath();
    const QString program = here + QStringLiteral("/../src/razividerur");
    const QString baseline = here + QStringLiteral("/minimal_window");
    QTemporaryDir scratch;
    const QString errorLog = scratch.filePath(QStringLiteral("stderr.txt"));
    auto startOf = [&](const QString& build, const QString& folder) {
        return runOnce(build, {QStringLiteral("--quit-after-start"), QStringLiteral("--folder"), folder}, errorLog);
    };
    auto start = [&](const QString& folder) { return startOf(program, folder); };

    QTemporaryDir reused;
    start(reused.path()); // the first start of this folder, not counted
    QTemporaryDir large;
    QElapsedTimer made;
    made.start();
    if (largeExams > 0 && runOnce(QCoreApplication::applicationFilePath(),
                                  {QStringLiteral("--make-journal"), large.path(), QString::number(largeExams)},
                                  errorLog).wallMs < 0) {
        std::fprintf(stderr, "could not make the large journal in %s\n", qPrintable(large.path()));
        return 1;
    }
    std::printf("large journal of %d exams made in %.1f s\n", largeExams, made.elapsed() / 1e3);
    start(large.path()); // its first start, not counted
    // The staff list of the large folder (50,000 people) is to be written here once the program
    // reads one at its start.

    Runs bare, withText, next, first, largeRuns, earlierNext, earlierFirst;
    for (int i = 0; i < runs; ++i) {
        if (!earlier.isEmpty()) {
            earlierNext.add(startOf(earlier, reused.path()));
            QTemporaryDir fresh;
            earlierFirst.add(startOf(earlier, fresh.path()));
        }
        bare.add(runOnce(baseline, {}, errorLog));
        withText.add(runOnce(baseline, {QStringLiteral("--text")}, errorLog));
        next.add(start(reused.path()));
        QTemporaryDir fresh;
        first.add(start(fresh.path()));
        if (largeExams > 0)
            largeRuns.add(start(large.path()));
    }
    // Dropping the page cache slows every other program on the computer for a moment: a few
    // runs are enough.
    Runs coldBare, coldNext;
    const int coldRuns = std::min(runs, 5);
    for (int i = 0; i < coldRuns && dropPageCache(); ++i) {
        coldBare.add(runOnce(baseline, {}, errorLog));
        dropPageCache();
        coldNext.add(start(reused.path()));
    }
    if (bare.failed() || withText.failed() || next.failed() || first.failed() || largeRuns.failed() || coldBare.failed() ||
        coldNext.failed() || earlierNext.failed() || earlierFirst.failed())
        return 1;

    double load[3] = {};
    std::printf("median of %d runs (%s; load average %.2f); each ratio is to the row's baseline\n", runs,
                qPrintable(qEnvironmentVariable("QT_QPA_PLATFORM", QStringLiteral("default platform"))),
                getloadavg(load, 3) > 0 ? load[0] : -1.0);
    std::printf("  %-40s %-16s   %-16s\n", "", "to first frame", "whole process");
    std::printf("  %-40s %7.1f ms         %7.1f ms         cpu %6.1f ms   peak %5.1f MiB\n", "minimal Qt window",
                median(bare.frame), median(bare.wall), median(bare.cpu), median(bare.peak));
    printRow("the same window with a line of text", withText, bare);
    printRow("program, next start", next, bare);
    // The bare window draws no text and so never loads a font; this is how much of the program's
    // start is the rest.
    printRow("program, next start, to window with text", next, withText);
    printRow("program, first start (new folder)", first, bare);
    if (!earlier.isEmpty()) {
        printRow("earlier build, next start", earlierNext, bare);
        printRow("earlier build, first start", earlierFirst, bare);
    }
    if (!coldNext.wall.empty()) {
        std::printf("  cold start, page cache dropped (%d runs): minimal window %.1f ms to its first frame\n",
                    coldRuns, median(coldBare.frame));
        printRow("program, cold start", coldNext, coldBare);
    } else {
        std::printf("  cold start: left out (the page cache can be dropped by root only)\n");
    }
    if (largeExams > 0) {
        // The journal is opened after the first frame: the whole process tells what it costs.
        std::printf("  %-40s %7.1f ms %5.2f   %7.1f ms %5.2f   (ratios to the next start without a journal)\n",
                    qPrintable(QStringLiteral("large journal, %1 exams").arg(largeExams)), median(largeRuns.frame),
                    median(largeRuns.frame) / median(next.frame), median(largeRuns.wall),
                    median(largeRuns.wall) / median(next.wall));
    }
    return 0;
}
