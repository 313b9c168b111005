#pragma once
// Small helpers the benchmark programs share: medians of timings and screenshots.

#include <QDir>
#include <QElapsedTimer>
#include <QString>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace zet::bench {

// The median of the values (the mean of the two middle ones for an even count).
inline double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Runs work runs times; the middle time in milliseconds (the upper one for an even count).
inline double medianMs(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// A line Qt writes for every window of the offscreen platform (which cannot pass size hints on)
// or when no XDG_RUNTIME_DIR is set: it says nothing about the program measured.
inline bool isPlatformNoise(const QString& line) {
    return line.contains(QLatin1String("does not support propagateSizeHints()")) ||
           line.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"));
}

// Keeps the platform noise above out of a benchmark's log; every other message goes on as before.
inline void quietPlatformNoise() {
    static QtMessageHandler previous = nullptr;
    previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (!isPlatformNoise(text) && previous)
            previous(type, context, text);
    });
}

// Saves what widget shows as dir/name and says so.
inline void saveScreenshot(QWidget* widget, const QString& dir, const QString& name) {
    const QString path = QDir(dir).filePath(name);
    std::printf("%s %s\n", widget->grab().save(path) ? "saved" : "could not save", qPrintable(path));
}

} // namespace zet::bench
