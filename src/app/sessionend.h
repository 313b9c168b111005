#pragma once
// The end of the session from outside: SIGTERM and SIGHUP (log-out, shutdown) are turned into
// a Qt signal in the event loop, so the program can record a running exam before it exits.

#include <QObject>

#include <initializer_list>
#include <vector>

class QSocketNotifier;

namespace zet {

class SessionEndWatcher : public QObject {
    Q_OBJECT
public:
    // Catches the given signals from now on; one watcher per process.
    explicit SessionEndWatcher(std::initializer_list<int> signalNumbers, QObject* parent = nullptr);
    ~SessionEndWatcher() override;

signals:
    // Emitted in the event loop, once per signal received.
    void sessionEnding(int signalNumber);

private:
    void readSignal();

    QSocketNotifier* m_notifier = nullptr;
    std::vector<int> m_signals;
};

} // namespace zet
