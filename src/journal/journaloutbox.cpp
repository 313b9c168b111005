#include "journal/journaloutbox.h"

#include "model/regularfile.h"
#include "model/savefile.h"
#include "model/systemerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

namespace zet {

namespace {

// The objects of a damaged JSON array, each as its own text: whatever stands between
// matching braces at the array's level, strings and escapes respected.
QList<QByteArrayView> topLevelObjects(QByteArrayView bytes) {
    QList<QByteArrayView> objects;
    int depth = 0;
    bool inString = false;
    bool escaped = false;
    qsizetype start = -1;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
            continue;
        }
        if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            if (c == '{' && depth == 1)
                start = i;
            ++depth;
        } else if (c == '}' || c == ']') {
            --depth;
            if (c == '}' && depth == 1 && start >= 0) {
                objects.append(bytes.sliced(start, i - start + 1));
                start = -1;
            }
            if (depth < 0)
                depth = 0;
        }
    }
    return objects;
}

QString damagedText(const QString& path) {
    return QStringLiteral("Файл «%1» повреждён и оставлен как есть.").arg(QDir::toNativeSeparators(path));
}

} // namespace

bool JournalOutbox::exists() const {
    return QFileInfo::exists(m_path) || QFileInfo(m_path).isSymLink();
}

OutboxContents JournalOutbox::read() const {
    OutboxContents contents;
    if (!exists())
        return contents;
    QFile file(m_path);
    if (!openRegularFile(file, &contents.error))
        return contents;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        contents.error = QStringLiteral("Не удалось прочитать файл «%1»: %2")
                             .arg(QDir::toNativeSeparators(m_path), russianSystemError(file.errorString()));
        return contents;
    }
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &parse);
    QList<QJsonObject> objects;
    if (parse.error == QJsonParseError::NoError && doc.isArray()) {
        for (const QJsonValue& v : doc.array()) {
            if (!v.isObject())
                contents.damaged = true;
            objects.append(v.toObject());
        }
    } else {
        contents.damaged = true;
        for (QByteArrayView text : topLevelObjects(bytes)) {
            const QJsonDocument one = QJsonDocument::fromJson(text.toByteArray());
            if (one.isObject())
                objects.append(one.object());
        }
    }
    for (const QJsonObject& object : objects) {
        JournalEntry entry;
        if (JournalEntry::fromJson(object, entry))
            contents.entries.append(entry);
        else
            contents.damaged = true;
    }
    return contents;
}

bool JournalOutbox::read(QList<JournalEntry>& entries, QString* error) const {
    OutboxContents contents = read();
    entries = contents.entries;
    if (contents.error.isEmpty() && !contents.damaged)
        return true;
    entries.clear();
    if (error)
        *error = contents.error.isEmpty() ? damagedText(m_path) : contents.error;
    return false;
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

QByteArray JournalOutbox::fileBytes(const QList<JournalEntry>& entries) {
    QJsonArray array;
    for (const JournalEntry& e : entries)
        array.append(e.toJson());
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

JournalResult JournalOutbox::keepOnly(const QList<JournalEntry>& entries) const {
    if (entries.isEmpty()) {
        if (QFileInfo::exists(m_path) && !QFile::remove(m_path)) {
            return JournalResult::failure(
                QStringLiteral("Не удалось удалить файл «%1».").arg(QDir::toNativeSeparators(m_path)));
        }
        return {};
    }
    QString error;
    if (!writeFileAtomically(m_path, fileBytes(entries), &error))
        return JournalResult::failure(error);
    return {};
}

JournalResult JournalOutbox::setAside(const QList<JournalEntry>& readable, QString* copy) const {
    QString aside = m_path + QStringLiteral(".bak");
    for (int n = 2; QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++n)
        aside = m_path + QStringLiteral(".bak%1").arg(n);
    QFile file(m_path);
    QString error;
    if (!openRegularFile(file, &error))
        return JournalResult::failure(error);
    const QByteArray bytes = file.readAll();
    // The copy is checked like every other write: a full disk must not leave a cut copy
    // behind while the original is replaced.
    if (file.error() != QFileDevice::NoError || !writeFileAtomically(aside, bytes, &error)) {
        return JournalResult::failure(QStringLiteral("Не удалось сохранить копию файла «%1»: %2")
                                          .arg(QDir::toNativeSeparators(m_path),
                                               error.isEmpty() ? russianSystemError(file.errorString()) : error));
    }
    if (copy)
        *copy = aside;
    return keepOnly(readable);
}

} // namespace zet
