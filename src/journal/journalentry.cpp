#include "journal/journalentry.h"

#include <QJsonArray>

namespace zet {

namespace {

QString timeText(const QDateTime& time) {
    return time.isValid() ? time.toString(Qt::ISODateWithMs) : QString();
}

QDateTime timeFromText(const QString& text) {
    return text.isEmpty() ? QDateTime() : QDateTime::fromString(text, Qt::ISODateWithMs);
}

} // namespace

QJsonObject JournalEntry::toJson() const {
    QJsonArray answerRows;
    for (const JournalAnswer& a : answers) {
        QJsonObject row{{"position", a.position},     {"theme", a.theme}, {"questionNo", a.questionNo},
                        {"questionText", a.questionText}, {"answerText", a.answerText}, {"right", a.right},
                        {"seconds", a.seconds}};
        if (a.rightAnswerText)
            row.insert("rightAnswerText", *a.rightAnswerText);
        answerRows.append(row);
    }
    return QJsonObject{{"id", id.toString(QUuid::WithoutBraces)},
                       {"workstation", workstation},
                       {"date", date.toString(Qt::ISODate)},
                       {"protocolNo", protocolNo},
                       {"profileNo", profileNo},
                       {"profileName", profileName},
                       {"testName", testName},
                       {"databasePath", databasePath},
                       {"fullName", fullName},
                       {"birthYear", birthYear},
                       {"jobTitle", jobTitle},
                       {"seniority", seniority},
                       {"personnelNo", personnelNo},
                       {"grade", grade},
                       {"asked", asked},
                       {"right", right},
                       {"secondsSpent", secondsSpent},
                       {"startedAt", timeText(startedAt)},
                       {"finishedAt", timeText(finishedAt)},
                       {"imported", imported},
                       {"department", department},
                       {"answers", answerRows}};
}

bool JournalEntry::fromJson(const QJsonObject& o, JournalEntry& e) {
    e = JournalEntry();
    e.id = QUuid::fromString(o.value("id").toString());
    if (e.id.isNull())
        return false;
    e.workstation = o.value("workstation").toString();
    e.date = QDate::fromString(o.value("date").toString(), Qt::ISODate);
    e.protocolNo = o.value("protocolNo").toInt();
    e.profileNo = o.value("profileNo").toInt();
    e.profileName = o.value("profileName").toString();
    e.testName = o.value("testName").toString();
    e.databasePath = o.value("databasePath").toString();
    e.fullName = o.value("fullName").toString();
    e.birthYear = o.value("birthYear").toInt();
    e.jobTitle = o.value("jobTitle").toString();
    e.seniority = o.value("seniority").toInt();
    e.personnelNo = o.value("personnelNo").toString();
    e.grade = o.value("grade").toInt();
    e.asked = o.value("asked").toInt();
    e.right = o.value("right").toInt();
    e.secondsSpent = o.value("secondsSpent").toInt();
    e.startedAt = timeFromText(o.value("startedAt").toString());
    e.finishedAt = timeFromText(o.value("finishedAt").toString());
    e.imported = o.value("imported").toBool();
    e.department = o.value("department").toString();
    for (const QJsonValue& v : o.value("answers").toArray()) {
        const QJsonObject a = v.toObject();
        JournalAnswer answer{a.value("position").toInt(),         a.value("theme").toInt(),
                             a.value("questionNo").toInt(),       a.value("questionText").toString(),
                             a.value("answerText").toString(),    a.value("right").toBool(),
                             a.value("seconds").toInt()};
        if (a.contains("rightAnswerText"))
            answer.rightAnswerText = a.value("rightAnswerText").toString();
        e.answers.append(answer);
    }
    return true;
}

} // namespace zet
