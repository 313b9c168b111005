#include "journal/protocolcheck.h"

#include "journal/journalchain.h"
#include "journal/journalrows.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

namespace zet {

namespace {

const QRegularExpression& codePattern() {
    static const QRegularExpression pattern(QStringLiteral("^([1-9][0-9]{0,8})-([A-Z2-7]{4})-([A-Z2-7]{4})$"));
    return pattern;
}

// Eight characters of RFC 4648 base32 over the first five bytes of bytes.
QString base32Of(const QByteArray& bytes) {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ234567";
    quint64 bits = 0;
    for (int i = 0; i < 5; ++i)
        bits = (bits << 8) | quint8(bytes.at(i));
    QString text;
    for (int i = 7; i >= 0; --i)
        text += QLatin1Char(alphabet[(bits >> (5 * i)) & 31]);
    return text;
}

QString examLine(const JournalEntry& e, const QString& what) {
    return QStringLiteral("%1, протокол дня № %2, %3 — %4")
        .arg(e.date.toString(QStringLiteral("dd.MM.yyyy")))
        .arg(e.protocolNo)
        .arg(e.fullName.isEmpty() ? QStringLiteral("(без имени)") : e.fullName, what);
}

} // namespace

namespace protocolcode {

QString make(int number, QStringList rowHashes) {
    for (QString& h : rowHashes)
        h = h.toLower();
    std::sort(rowHashes.begin(), rowHashes.end());
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QByteArray("razividerur-protocol-1\n") + QByteArray::number(number) + '\n');
    hash.addData(rowHashes.join(QLatin1Char('\n')).toLatin1());
    const QString digest = base32Of(hash.result());
    return QStringLiteral("%1-%2-%3").arg(number).arg(digest.left(4), digest.mid(4));
}

QString normalised(const QString& text) {
    return text.trimmed().toUpper();
}

std::optional<int> numberOf(const QString& text) {
    const QRegularExpressionMatch m = codePattern().match(normalised(text));
    if (!m.hasMatch())
        return std::nullopt;
    return m.captured(1).toInt();
}

} // namespace protocolcode

QString protocolCheckCode(QSqlDatabase db, int number, const QList<QUuid>& exams, QString* why) {
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT row_hash FROM exams WHERE id = ?"));
    QStringList hashes;
    for (const QUuid& id : exams) {
        q.addBindValue(idText(id));
        if (!q.exec() || !q.next() || q.value(0).toString().isEmpty()) {
            if (why)
                *why = QStringLiteral("Код проверки не указан: не все экзамены протокола связаны в цепочку журнала.");
            return {};
        }
        hashes.append(q.value(0).toString());
    }
    return protocolcode::make(number, hashes);
}

ProtocolCheckResult checkProtocolCode(QSqlDatabase db, const QString& code) {
    ProtocolCheckResult result;
    const std::optional<int> number = protocolcode::numberOf(code);
    if (!number)
        return result;
    QSqlQuery q(db);
    auto failed = [&](const QSqlQuery& query) {
        result.error = QStringLiteral("Не удалось прочитать журнал: %1").arg(query.lastError().text());
        return result;
    };
    q.prepare(QStringLiteral("SELECT exam_id FROM protocol_exams WHERE protocol_no = ?"));
    q.addBindValue(*number);
    if (!q.exec())
        return failed(q);
    QList<QUuid> ids;
    while (q.next())
        ids.append(QUuid::fromString(q.value(0).toString()));
    result.known = !ids.isEmpty();

    QSqlQuery exam(db);
    exam.prepare(QStringLiteral("SELECT %1, %2 FROM exams WHERE id = ?").arg(examColumns(), chain::linkColumns()));
    QSqlQuery answers(db);
    answers.prepare(
        QStringLiteral("SELECT %1 FROM answers WHERE exam_id = ? ORDER BY position").arg(answerSelectColumns()));
    constexpr int kLink = kExamColumnCount; // where the link columns follow the exam's
    QStringList hashes;
    QList<JournalEntry> exams;
    for (const QUuid& id : std::as_const(ids)) {
        exam.addBindValue(idText(id));
        if (!exam.exec())
            return failed(exam);
        if (!exam.next()) {
            result.problems << QStringLiteral("экзамен %1 удалён из журнала").arg(idText(id));
            continue;
        }
        JournalEntry e = examFromRow(exam);
        ChainLink link;
        link.position = exam.value(kLink).isNull() ? 0 : exam.value(kLink).toLongLong();
        link.previous = exam.value(kLink + 1).toString();
        link.hash = exam.value(kLink + 2).toString();
        if (!link.linked()) {
            result.problems << examLine(e, QStringLiteral("не связан в цепочку журнала"));
            continue;
        }
        hashes.append(link.hash);
        answers.addBindValue(idText(id));
        if (!answers.exec())
            return failed(answers);
        while (answers.next())
            e.answers.append(answerFromRow(answers));
        if (chain::examHash(e, link.position, link.previous, chain::answersDigest(e.answers)) != link.hash)
            result.problems << examLine(e, QStringLiteral("изменён после записи"));
    }
    result.digestOk = result.known && protocolcode::make(*number, hashes) == protocolcode::normalised(code);
    return result;
}

} // namespace zet
