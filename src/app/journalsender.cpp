#include "app/journalsender.h"

#include "journal/journal.h"

namespace zet {

JournalSendWorker::JournalSendWorker(const QString& folder, const JournalConfig& config)
    : m_folder(folder), m_config(config) {}

JournalSendWorker::~JournalSendWorker() = default;

void JournalSendWorker::send() {
    if (!m_journal)
        m_journal = std::make_unique<Journal>(m_folder, m_config);
    JournalResult result = m_journal->sendPending();
    // The staff list's copy follows the server's while the server answers.
    if (result.ok)
        result = m_journal->refreshStaff();
    emit finished(result.ok, result.error);
}

JournalSender::JournalSender(const QString& folder, const JournalConfig& config, QObject* parent)
    : QObject(parent) {
    m_thread.setObjectName(QStringLiteral("journal sender"));
    m_worker = new JournalSendWorker(folder, config);
    m_worker->moveToThread(&m_thread);
    // The worker and its connections go with the thread that used them.
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_worker, &JournalSendWorker::finished, this, &JournalSender::onFinished, Qt::QueuedConnection);
    m_thread.start();
}

JournalSender::~JournalSender() {
    m_thread.quit();
    m_thread.wait();
}

void JournalSender::requestSend() {
    if (m_sending) {
        m_again = true;
        return;
    }
    m_sending = true;
    QMetaObject::invokeMethod(m_worker, &JournalSendWorker::send, Qt::QueuedConnection);
}

void JournalSender::onFinished(bool ok, const QString& error) {
    m_sending = false;
    emit sent(ok, error);
    if (m_again) {
        m_again = false;
        requestSend();
    }
}

} // namespace zet
