// The whole program from exec to its first painted frame, against the smallest Qt Widgets
// program that shows one window (minimal_window), in the same run. Both quit after their
// first frame (the program through its hidden --quit-after-start option). "next start"
// reuses one program folder; "first start" gives every run a new, empty one, so the default
// database is written.
//
// Run: QT_QPA_PLATFORM=offscreen bench_process [runs]   (or under xvfb-run)

#include "benchtools.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace zet::bench;

namespace {

// Milliseconds from starting the program until it has ended; negative when it failed.
double timeRun(const QString& program, const QStringList& args) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    process.start(program, args);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(program), qPrintable(process.errorString()));
        return -1;
    }
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 15;
    const QString here = QCoreApplication::applicationDirPath();
    const QString program = here + QStringLiteral("/../src/razividerur");
    const QString baseline = here + QStringLiteral("/minimal_window");

    QTemporaryDir reused;
    const QStringList nextArgs{QStringLiteral("--quit-after-start"), QStringLiteral("--folder"),
                               reused.path()};
    timeRun(program, nextArgs); // the first start of this folder, not counted
    std::vector<double> bare, next, first;
    for (int i = 0; i < runs; ++i) {
        bare.push_back(timeRun(baseline, {}));
        next.push_back(timeRun(program, nextArgs));
        QTemporaryDir fresh;
        first.push_back(timeRun(
            program, {QStringLiteral("--quit-after-start"), QStringLiteral("--folder"), fresh.path()}));
    }
    if (std::min({*std::min_element(bare.begin(), bare.end()), *std::min_element(next.begin(), next.end()),
                  *std::min_element(first.begin(), first.end())}) < 0)
        return 1;
    const double b = median(bare);
    std::printf("whole process to first frame, median of %d runs (%s)\n", runs,
                qPrintable(qEnvironmentVariable("QT_QPA_PLATFORM", QStringLiteral("default platform"))));
    std::printf("  minimal Qt window     %8.1f ms\n", b);
    std::printf("  program, next start   %8.1f ms   ratio %.2f\n", median(next), median(next) / b);
    std::printf("  program, first start  %8.1f ms   ratio %.2f\n", median(first), median(first) / b);
    return 0;
}
