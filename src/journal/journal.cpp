#include "journal/journal.h"

#include "journal/staffstore.h"
#include "model/savefile.h"

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

JournalRecordResult Journal::record(const JournalEntry& entry) {
    JournalRecordResult result = m_store.record(entry);
    if (result.kept == JournalRecordResult::Kept::Nowhere)
        m_unwritten.append(entry);
    return result;
}

JournalResult Journal::writeUnwritten() {
    QList<JournalEntry> left;
    JournalResult result;
    for (const JournalEntry& entry : std::as_const(m_unwritten)) {
        const JournalRecordResult written = m_store.record(entry);
        if (written.kept == JournalRecordResult::Kept::Nowhere) {
            left.append(entry);
            result = written;
        }
    }
    m_unwritten = left;
    return result;
}

JournalResult Journal::saveUnwrittenTo(const QString& path) {
    QString error;
    if (!writeFileAtomically(path, JournalOutbox::fileBytes(m_unwritten), &error))
        return JournalResult::failure(error);
    m_unwritten.clear();
    return {};
}

JournalResult Journal::sendPending(int* sent) {
    if (sent)
        *sent = 0;
    if (!m_config.usesServer())
        return {};
    if (!m_server)
        m_server = std::make_unique<JournalServer>(m_config);
    // Exams that clash with another exam on the server stay unsent, first in the order.
    QList<JournalEntry> clashing;
    for (;;) {
        QString error;
        QList<ChainLink> links;
        const QList<JournalEntry> batch = m_store.unsent(kSendBatch, &error, int(clashing.size()), &links);
        if (!error.isEmpty())
            return JournalResult::failure(error);
        if (batch.isEmpty())
            break;
        QList<JournalEntry> clashes;
        const JournalResult result = m_server->send(batch, links, &clashes);
        if (!result.ok)
            return result;
        // Marked after the server has them: a failure in between sends them again, which the
        // server turns into nothing.
        QList<QUuid> ids;
        for (const JournalEntry& e : batch) {
            if (!clashes.contains(e))
                ids.append(e.id);
        }
        const JournalResult marked = m_store.markSent(ids);
        if (!marked.ok)
            return marked;
        if (sent)
            *sent += int(ids.size());
        clashing += clashes;
    }
    if (clashing.isEmpty())
        return {};
    QStringList names;
    for (const JournalEntry& e : std::as_const(clashing).first(std::min<qsizetype>(clashing.size(), 5)))
        names << QStringLiteral("%1 (%2, № %3)").arg(e.fullName, e.date.toString(QStringLiteral("dd.MM.yyyy")))
                     .arg(e.protocolNo);
    return JournalResult::failure(
        QStringLiteral("На сервере журнала %1 под теми же ключами уже записаны другие экзамены; эти экзамены "
                       "не отправлены: %2 (%3%4). Проверьте, не указано ли одно имя рабочего места "
                       "(workstation в journal.ini) на двух компьютерах.")
            .arg(m_config.serverText())
            .arg(clashing.size())
            .arg(names.join(QStringLiteral(", ")), clashing.size() > names.size() ? QStringLiteral(", …") : QString()));
}

JournalResult Journal::refreshStaff() {
    if (!m_config.usesServer())
        return {};
    if (!m_server)
        m_server = std::make_unique<JournalServer>(m_config);
    JournalResult result = m_server->connect();
    if (result.ok)
        result = m_store.open();
    if (!result.ok)
        return result;
    return StaffStore(m_store.database()).copyFrom(StaffStore(m_server->database()));
}

} // namespace zet
