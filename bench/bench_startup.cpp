// Start-up time of the main window against a bare QMainWindow of the same size, measured in
// the same run: from creating the window until it is exposed on screen (for MainWindow this
// includes the whole start-up sequence). Each round uses a fresh temporary program folder,
// so "first start" writes the default database; "next start" reuses the folder of a
// previous start and reads the database and today's day file back.
//
// Run: QT_QPA_PLATFORM=offscreen bench_startup [rounds]   (or under xvfb-run)

#include "app/appcore.h"
#include "benchtools.h"
#include "ui/shell/mainwindow.h"
#include "ui/shell/messages.h"
#include "ui/shell/uikit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace zet;
using namespace zet::ui;

using namespace zet::bench;

namespace {

double timeMainWindow(const QString& folder, QSize* size = nullptr) {
    QElapsedTimer t;
    t.start();
    AppCore core;
    MainWindow w(core, MainWindowOptions{folder});
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        std::fprintf(stderr, "MainWindow was not exposed\n");
    const double ms = static_cast<double>(t.nsecsElapsed()) / 1e6;
    if (size)
        *size = w.size();
    // A first start's database, left for after the first frame, is written as the program
    // writes it at its end, so that the next start of the folder is no first start.
    if (const QString message = core.writeFirstDatabase(); !message.isEmpty())
        std::fprintf(stderr, "message: %s\n", qPrintable(message));
    return ms;
}

double timeBare(const QSize& size) {
    QElapsedTimer t;
    t.start();
    QMainWindow w;
    w.resize(size);
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        std::fprintf(stderr, "QMainWindow was not exposed\n");
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    quietPlatformNoise();
    registerFontSubstitutions();
    // A rejected database would otherwise stop the run with a modal box.
    hooks().message = [](const QString& text) { std::fprintf(stderr, "message: %s\n", qPrintable(text)); };
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;

    // Warm-up: plugins, fonts and the first window of the process are not what is measured.
    QSize size;
    {
        QTemporaryDir warm;
        timeMainWindow(warm.path(), &size);
        timeBare(size);
    }

    std::vector<double> first, next, bare;
    QTemporaryDir reused;
    timeMainWindow(reused.path());
    for (int i = 0; i < rounds; ++i) {
        QTemporaryDir dir;
        first.push_back(timeMainWindow(dir.path()));
        bare.push_back(timeBare(size));
        next.push_back(timeMainWindow(reused.path()));
    }

    const double b = median(bare);
    const double f = median(first);
    const double n = median(next);
    std::printf("platform %s, %d rounds, medians:\n", qPrintable(QGuiApplication::platformName()), rounds);
    std::printf("  bare QMainWindow %dx%d: %8.2f ms\n", size.width(), size.height(), b);
    std::printf("  MainWindow, first start:     %8.2f ms  ratio %.2f\n", f, f / b);
    std::printf("  MainWindow, next start:      %8.2f ms  ratio %.2f\n", n, n / b);
    return 0;
}
