#include "journal/journal.h"

#include <QUuid>

namespace zet {

Journal::Journal(const QString& folder) : m_folder(folder), m_store(folder) {
    m_config = JournalConfig::read(folder, &m_configError);
}

Journal::Journal(const QString& folder, const JournalConfig& config)
    : m_folder(folder), m_config(config), m_store(folder) {}

Journal::~Journal() = default;

JournalEntry Journal::newEntry() const {
    JournalEntry entry;
    entry.id = QUuid::createUuid();
    entry.workstation = m_config.workstation;
    return entry;
}

JournalResult Journal::record(const JournalEntry& entry) {
    return m_store.record(entry);
}

JournalResult Journal::sendPending(int* sent) {
    if (sent)
        *sent = 0;
    if (!m_config.usesServer())
        return {};
    if (!m_server)
        m_server = std::make_unique<JournalServer>(m_config);
    for (;;) {
        QString error;
        QList<ChainLink> links;
        const QList<JournalEntry> batch = m_store.unsent(kSendBatch, &error, &links);
        if (!error.isEmpty())
            return JournalResult::failure(error);
        if (batch.isEmpty())
            return {};
        const JournalResult result = m_server->send(batch, links);
        if (!result.ok)
            return result;
        // Marked after the server has them: a failure in between sends them again, which the
        // server turns into nothing.
        QList<QUuid> ids;
        for (const JournalEntry& e : batch)
            ids.append(e.id);
        const JournalResult marked = m_store.markSent(ids);
        if (!marked.ok)
            return marked;
        if (sent)
            *sent += int(batch.size());
    }
}

} // namespace zet
