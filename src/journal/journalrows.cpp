#include "journal/journalrows.h"

#include <QVariant>

namespace zet {

namespace {

QDate dateValue(const QVariant& v) {
    return v.typeId() == QMetaType::QDate ? v.toDate() : QDate::fromString(v.toString(), Qt::ISODate);
}

QDateTime timeValue(const QVariant& v) {
    if (v.isNull())
        return {};
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime();
    return QDateTime::fromString(v.toString(), Qt::ISODateWithMs);
}

bool flagValue(const QVariant& v) {
    return v.typeId() == QMetaType::Bool ? v.toBool() : v.toInt() != 0;
}

} // namespace

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
                                        QStringLiteral("imported")};
    QStringList named;
    for (const QString& column : columns)
        named.append(prefix + column);
    return named.join(QStringLiteral(", "));
}

JournalEntry examFromRow(const QSqlQuery& q) {
    JournalEntry e;
    e.id = QUuid::fromString(q.value(0).toString());
    e.workstation = q.value(1).toString();
    e.date = dateValue(q.value(2));
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
    e.startedAt = timeValue(q.value(17));
    e.finishedAt = timeValue(q.value(18));
    e.imported = flagValue(q.value(19));
    return e;
}

} // namespace zet
