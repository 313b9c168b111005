#include "app/journallinker.h"

#include "journal/journalstore.h"

#include <QFileInfo>

namespace zet {

JournalLinker::JournalLinker(JournalStore& store, QObject* parent) : QObject(parent), m_store(store) {
    connect(&m_timer, &QTimer::timeout, this, &JournalLinker::step);
}

void JournalLinker::start() {
    // A journal not made yet is not made here: it comes with the first exam.
    if (!QFileInfo::exists(m_store.path()) || m_store.pendingLinks() == 0)
        return;
    m_timer.start(kStartDelayMs);
}

void JournalLinker::step() {
    m_timer.setInterval(0); // the next batch when the events that came meanwhile are handled
    int left = 0;
    const JournalResult linked = m_store.linkPending(kBatch, &left);
    if (linked.ok && left > 0)
        return;
    m_timer.stop();
    emit finished(linked.ok ? QString() : linked.error);
}

} // namespace zet
