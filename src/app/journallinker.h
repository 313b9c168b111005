#pragma once
// Gives the exams of an upgraded journal their links in the chain (journalchain.h) a batch
// at a time on the event loop, after the window is up, so that a large journal neither holds
// up the start nor a running exam.

#include <QObject>
#include <QString>
#include <QTimer>

namespace zet {

class JournalStore;

class JournalLinker : public QObject {
    Q_OBJECT
public:
    // Exams linked in one step, and the pause before the first step.
    static constexpr int kBatch = 50;
    static constexpr int kStartDelayMs = 1000;

    // store: the main thread's journal; it outlives the linker.
    explicit JournalLinker(JournalStore& store, QObject* parent = nullptr);

    // Starts linking when exams wait for their links; does nothing otherwise.
    void start();
    bool isLinking() const { return m_timer.isActive(); }

signals:
    // Linking has ended: every exam has its link, or error (Russian) says why not.
    void finished(const QString& error);

private:
    void step();

    JournalStore& m_store;
    QTimer m_timer;
};

} // namespace zet
