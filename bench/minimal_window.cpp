// The smallest Qt Widgets program that shows one window of the main window's size and quits
// once its first frame has been painted, telling when on its output: the baseline of
// bench_process. With --text the window shows one line of text, so that it finds and loads a
// font as every real window does.

#include "app/firstframe.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QTimer>

namespace {

class FirstFrameWindow : public QMainWindow {
protected:
    void paintEvent(QPaintEvent* event) override {
        QMainWindow::paintEvent(event);
        if (!m_painted) {
            m_painted = true;
            // As the program does: the time the first frame is over, on the shared clock.
            QTimer::singleShot(0, qApp, [] {
                zet::tellFirstFrame();
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
