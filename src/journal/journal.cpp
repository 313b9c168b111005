#include "journal/journal.h"

#include "journal/archiveimport.h"
#include "journal/staffstore.h"
#include "model/savefile.h"

#include <QFileInfo>
#include <QUuid>

#include <algorithm>

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

QString Journal::catchUp(const DayRegisterArray& reg, const QDate& day) {
    QString message = m_configError;
    auto addMessage = [&message](const QString& text) {
        if (!message.isEmpty())
            message += QStringLiteral("\n\n");
        message += text;
    };
    const JournalResult flushed = m_store.flushOutbox();
    if (!flushed.ok)
        addMessage(flushed.error);
    // An exam whose program ended between the day file and the journal is in the day file
    // only. Exams that still wait in the outbox are left for it: they carry their answers.
    QList<JournalEntry> entries = importedEntries(reg, m_config.workstation, day);
    // The folder's id is made only when there is something to key with it.
    if (!entries.isEmpty()) {
        const QString folderId = programFolderId(m_folder);
        for (JournalEntry& e : entries)
            e.id = importedExamId(e.workstation, e.date, e.protocolNo, folderId);
    }
    const QList<JournalEntry> waiting = m_store.waitingInOutbox();
    entries.removeIf([&waiting](const JournalEntry& e) {
        return std::any_of(waiting.begin(), waiting.end(), [&e](const JournalEntry& w) {
            return w.workstation == e.workstation && w.date == e.date && w.protocolNo == e.protocolNo;
        });
    });
    // A journal not yet made is made with its first exam, not at every start; one that is
    // there is opened now, so that a damaged journal shows at once.
    if (!entries.isEmpty() || QFileInfo::exists(m_store.path())) {
        const JournalResult imported = m_store.recordImported(entries);
        if (!imported.ok)
            addMessage(imported.error);
    }
    if (const QString notes = m_store.takeNotes(); !notes.isEmpty())
        addMessage(notes);
    return message;
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
        // A short chunk was all there was; exams written meanwhile come with the next request.
        if (batch.size() < kSendBatch)
            break;
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
