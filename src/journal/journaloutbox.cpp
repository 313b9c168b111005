#include "journal/journaloutbox.h"

#include "model/savefile.h"
#include "model/systemerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

namespace zet {

bool JournalOutbox::exists() const {
    return QFileInfo::exists(m_path);
}

bool JournalOutbox::read(QList<JournalEntry>& entries, QString* error) const {
    entries.clear();
    QFile file(m_path);
    if (!file.exists())
        return true;
    const QString shown = QDir::toNativeSeparators(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Не удалось прочитать файл «%1»: %2").arg(shown, russianSystemError(file.errorString()));
        return false;
    }
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parse);
    if (parse.error != QJsonParseError::NoError || !doc.isArray()) {
        if (error)
            *error = QStringLiteral("Файл «%1» повреждён и оставлен как есть.").arg(shown);
        return false;
    }
    for (const QJsonValue& v : doc.array()) {
        JournalEntry entry;
        if (!JournalEntry::fromJson(v.toObject(), entry)) {
            if (error)
                *error = QStringLiteral("Файл «%1» повреждён и оставлен как есть.").arg(shown);
            entries.clear();
            return false;
        }
        entries.append(entry);
    }
    return true;
}

JournalResult JournalOutbox::add(const JournalEntry& entry) const {
    QList<JournalEntry> entries;
    QString error;
    if (!read(entries, &error))
        return JournalResult::failure(error);
    for (const JournalEntry& waiting : entries) {
        if (waiting.id == entry.id)
            return {};
    }
    entries.append(entry);
    return keepOnly(entries);
}

JournalResult JournalOutbox::keepOnly(const QList<JournalEntry>& entries) const {
    if (entries.isEmpty()) {
        if (QFileInfo::exists(m_path) && !QFile::remove(m_path)) {
            return JournalResult::failure(
                QStringLiteral("Не удалось удалить файл «%1».").arg(QDir::toNativeSeparators(m_path)));
        }
        return {};
    }
    QJsonArray array;
    for (const JournalEntry& e : entries)
        array.append(e.toJson());
    QString error;
    if (!writeFileAtomically(m_path, QJsonDocument(array).toJson(QJsonDocument::Indented), &error))
        return JournalResult::failure(error);
    return {};
}

} // namespace zet
