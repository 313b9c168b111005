// The smallest Qt Widgets program that shows one window of the main window's size and quits
// once its first frame has been painted, telling when on its output: the baseline of
// bench_process. With --text the window shows one line of text, so that it finds and loads a
// font as every real window does.

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QTimer>

#include <cstdio>
#include <ctime>

namespace {

class FirstFrameWindow : public QMainWindow {
protected:
    void paintEvent(QPaintEvent* event) override {
        QMainWindow::paintEvent(event);
        if (!m_painted) {
            m_painted = true;
            // As the program does: the time the first frame is over, on the shared clock.
            QTimer::singleShot(0, qApp, [] {
                timespec now{};
                clock_gettime(CLOCK_MONOTONIC, &now);
                std::printf("first frame %lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
    }

private:
    bool m_painted = false;
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    FirstFrameWindow window;
    window.resize(1000, 761);
    if (app.arguments().contains(QStringLiteral("--text")))
        window.setCentralWidget(new QLabel(QStringLiteral("Проверка знаний персонала")));
    window.show();
    return QApplication::exec();
}
