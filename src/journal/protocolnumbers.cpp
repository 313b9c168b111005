#include "journal/protocolnumbers.h"

#include "journal/journalrows.h"

#include <QCryptographicHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

#include <algorithm>

namespace zet {

namespace {

// Held while a workstation takes the next number from the server.
constexpr qint64 kNumberLockKey = 7311500216;

JournalResult failure(const QString& reason) {
    return JournalResult::failure(QStringLiteral("Не удалось присвоить номер протоколу: %1").arg(reason));
}

} // namespace

ProtocolNumbers::ProtocolNumbers(QSqlDatabase db)
    : m_db(std::move(db)), m_server(m_db.driverName() == QLatin1String("QPSQL")) {}

QString ProtocolNumbers::examsKey(const QList<QUuid>& exams) {
    QStringList ids;
    ids.reserve(exams.size());
    for (const QUuid& id : exams)
        ids.append(idText(id));
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return QString::fromLatin1(
        QCryptographicHash::hash(ids.join(QLatin1Char(',')).toLatin1(), QCryptographicHash::Sha256).toHex());
}

JournalResult ProtocolNumbers::numberFor(const QList<QUuid>& exams, int requested, int& number) {
    number = 0;
    if (exams.isEmpty())
        return failure(QStringLiteral("в протоколе нет экзаменов"));
    QSqlQuery q(m_db);
    // SQLite takes its write lock at once, so two programs on one journal cannot both read the
    // same last number; the server's lock does the same for the centre's workstations.
    const bool begun = m_server ? m_db.transaction() && q.exec(QStringLiteral("SELECT pg_advisory_xact_lock(%1)")
                                                                   .arg(kNumberLockKey))
                                : q.exec(QStringLiteral("BEGIN IMMEDIATE"));
    if (!begun) {
        const QString reason = q.lastError().isValid() ? q.lastError().text() : m_db.lastError().text();
        if (m_server)
            m_db.rollback();
        return failure(reason);
    }
    const JournalResult assigned = assign(examsKey(exams), exams, requested, number);
    const bool committed = assigned.ok && (m_server ? m_db.commit() : q.exec(QStringLiteral("COMMIT")));
    if (committed)
        return {};
    const QString reason = assigned.ok ? (m_server ? m_db.lastError().text() : q.lastError().text()) : QString();
    if (m_server)
        m_db.rollback();
    else
        q.exec(QStringLiteral("ROLLBACK"));
    number = 0;
    return assigned.ok ? failure(reason) : assigned;
}

JournalResult ProtocolNumbers::assign(const QString& key, const QList<QUuid>& exams, int requested, int& number) {
    QSqlQuery q(m_db);
    auto run = [&q](const QString& sql, const QVariantList& values) {
        q.prepare(sql);
        for (const QVariant& v : values)
            q.addBindValue(v);
        return q.exec();
    };
    if (!run(QStringLiteral("SELECT protocol_no FROM protocols WHERE exams_key = ?"), {key}))
        return failure(q.lastError().text());
    const int given = q.next() ? q.value(0).toInt() : 0;
    if (requested <= 0 && given > 0) {
        number = given;
        return {};
    }
    if (requested > 0 && requested == given) {
        number = given;
        return {};
    }
    if (requested > 0) {
        if (!run(QStringLiteral("SELECT 1 FROM protocols WHERE protocol_no = ?"), {requested}))
            return failure(q.lastError().text());
        if (q.next())
            return JournalResult::failure(
                QStringLiteral("Номер %1 уже присвоен другому протоколу; укажите другой номер или не указывайте "
                               "его, чтобы протокол получил следующий номер.")
                    .arg(requested));
        number = requested;
    } else {
        if (!run(QStringLiteral("SELECT coalesce(max(protocol_no), 0) + 1 FROM protocols"), {}) || !q.next())
            return failure(q.lastError().text());
        number = q.value(0).toInt();
    }
    if (given > 0) { // a number set by hand replaces the one given before
        if (!run(QStringLiteral("UPDATE protocols SET protocol_no = ? WHERE protocol_no = ?"), {number, given}) ||
            !run(QStringLiteral("UPDATE protocol_exams SET protocol_no = ? WHERE protocol_no = ?"), {number, given}))
            return failure(q.lastError().text());
        return {};
    }
    if (!run(QStringLiteral("INSERT INTO protocols (protocol_no, exams_key) VALUES (?, ?)"), {number, key}))
        return failure(q.lastError().text());
    q.prepare(QStringLiteral("INSERT INTO protocol_exams (protocol_no, exam_id) VALUES (?, ?) ON CONFLICT DO NOTHING"));
    for (const QUuid& id : exams) {
        q.addBindValue(number);
        q.addBindValue(idText(id));
        if (!q.exec())
            return failure(q.lastError().text());
    }
    return {};
}

} // namespace zet
