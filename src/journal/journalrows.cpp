#include "journal/journalrows.h"

#include <QVariant>

namespace zet {

namespace {

// A null QString would be bound as SQL NULL; a text field left empty is an empty text.
QString boundText(const QString& text) {
    return text.isNull() ? QStringLiteral("") : text;
}

QVariant boundTime(const QDateTime& time, JournalDialect dialect) {
    if (dialect == JournalDialect::Server)
        return time.isValid() ? QVariant(time.toUTC()) : QVariant(QMetaType(QMetaType::QDateTime));
    return time.isValid() ? QVariant(time.toUTC().toString(Qt::ISODateWithMs))
                          : QVariant(QMetaType(QMetaType::QString));
}

QVariant boundFlag(bool flag, JournalDialect dialect) {
    return dialect == JournalDialect::Server ? QVariant(flag) : QVariant(flag ? 1 : 0);
}

} // namespace

QDate columnDate(const QVariant& v) {
    if (v.isNull())
        return {};
    return v.typeId() == QMetaType::QDate ? v.toDate() : QDate::fromString(v.toString(), Qt::ISODate);
}

QDateTime columnTime(const QVariant& v) {
    if (v.isNull())
        return {};
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime();
    return QDateTime::fromString(v.toString(), Qt::ISODateWithMs);
}

bool columnFlag(const QVariant& v) {
    return v.typeId() == QMetaType::Bool ? v.toBool() : v.toInt() != 0;
}

QString idText(const QUuid& id) {
    return id.toString(QUuid::WithoutBraces);
}

QVariantList examValues(const JournalEntry& e, JournalDialect dialect) {
    return {idText(e.id),
            boundText(e.workstation),
            dialect == JournalDialect::Server ? QVariant(e.date) : QVariant(e.date.toString(Qt::ISODate)),
            e.protocolNo,
            e.profileNo,
            boundText(e.profileName),
            boundText(e.testName),
            boundText(e.databasePath),
            boundText(e.fullName),
            e.birthYear,
            boundText(e.jobTitle),
            e.seniority,
            boundText(e.personnelNo),
            e.grade,
            e.asked,
            e.right,
            e.secondsSpent,
            boundTime(e.startedAt, dialect),
            boundTime(e.finishedAt, dialect),
            boundFlag(e.imported, dialect),
            boundText(e.department)};
}

QVariantList answerValues(const QUuid& examId, const JournalAnswer& answer, JournalDialect dialect) {
    return {idText(examId),
            answer.position,
            answer.theme,
            answer.questionNo,
            boundText(answer.questionText),
            boundText(answer.answerText),
            boundFlag(answer.right, dialect),
            answer.seconds,
            answer.rightAnswerText ? QVariant(boundText(*answer.rightAnswerText)) : QVariant(QMetaType::fromType<QString>())};
}

QString answerSelectColumns() {
    return QStringLiteral("position, theme, question_no, question_text, answer_text, is_right, seconds, right_answer_text");
}

QString answerInsertColumns() {
    return QStringLiteral("exam_id, ") + answerSelectColumns();
}

JournalAnswer answerFromRow(const QSqlQuery& q) {
    JournalAnswer a{q.value(0).toInt(),    q.value(1).toInt(), q.value(2).toInt(), q.value(3).toString(),
                    q.value(4).toString(), columnFlag(q.value(5)), q.value(6).toInt()};
    if (!q.isNull(7))
        a.rightAnswerText = q.value(7).toString();
    return a;
}

QString examColumns(const QString& prefix) {
    static const QStringList columns = {QStringLiteral("id"),
                                        QStringLiteral("workstation"),
                                        QStringLiteral("exam_date"),
                                        QStringLiteral("protocol_no"),
                                        QStringLiteral("profile_no"),
                                        QStringLiteral("profile_name"),
                                        QStringLiteral("test_name"),
                                        QStringLiteral("database_path"),
                                        QStringLiteral("full_name"),
                                        QStringLiteral("birth_year"),
                                        QStringLiteral("job_title"),
                                        QStringLiteral("seniority"),
                                        QStringLiteral("personnel_no"),
                                        QStringLiteral("grade"),
                                        QStringLiteral("asked"),
                                        QStringLiteral("right_answers"),
                                        QStringLiteral("seconds_spent"),
                                        QStringLiteral("started_at"),
                                        QStringLiteral("finished_at"),
                                        QStringLiteral("imported"),
                                        QStringLiteral("department")};
    Q_ASSERT(columns.size() == kExamColumnCount);
    QStringList named;
    for (const QString& column : columns)
        named.append(prefix + column);
    return named.join(QStringLiteral(", "));
}

JournalEntry examFromRow(const QSqlQuery& q) {
    JournalEntry e;
    e.id = QUuid::fromString(q.value(0).toString());
    e.workstation = q.value(1).toString();
    e.date = columnDate(q.value(2));
    e.protocolNo = q.value(3).toInt();
    e.profileNo = q.value(4).toInt();
    e.profileName = q.value(5).toString();
    e.testName = q.value(6).toString();
    e.databasePath = q.value(7).toString();
    e.fullName = q.value(8).toString();
    e.birthYear = q.value(9).toInt();
    e.jobTitle = q.value(10).toString();
    e.seniority = q.value(11).toInt();
    e.personnelNo = q.value(12).toString();
    e.grade = q.value(13).toInt();
    e.asked = q.value(14).toInt();
    e.right = q.value(15).toInt();
    e.secondsSpent = q.value(16).toInt();
    e.startedAt = columnTime(q.value(17));
    e.finishedAt = columnTime(q.value(18));
    e.imported = columnFlag(q.value(19));
    e.department = q.value(20).toString();
    return e;
}

} // namespace zet
