#pragma once
// One finished exam as the results journal keeps it: the examinee's data as typed, the
// result, and one row per question asked. Imported archive rows carry no answers.

#include <QDate>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

namespace zet {

struct JournalAnswer {
    int position = 0;     // 1 .. number of questions asked, in the order asked
    int theme = 0;        // theme number of the question
    int questionNo = 0;   // question number inside the theme
    QString questionText; // as shown
    QString answerText;   // the chosen answer as shown; empty when none was chosen
    bool right = false;
    int seconds = 0; // seconds from showing the question to the answer
    // The right answer as shown; none for rows written before the journal kept it.
    std::optional<QString> rightAnswerText;

    bool operator==(const JournalAnswer&) const = default;
};

struct JournalEntry {
    QUuid id;            // the key: the same exam is never written twice
    QString workstation; // host name or the name set in journal.ini
    QDate date;          // the date of the day file the exam was written into
    int protocolNo = 0;
    int profileNo = 0;
    QString profileName;
    QString testName;     // the database's test name
    QString databasePath; // the database file the exam was taken from
    QString fullName;
    int birthYear = 0;
    QString jobTitle;
    int seniority = 0;
    QString personnelNo;
    int grade = 0;
    int asked = 0;
    int right = 0;
    int secondsSpent = 0;
    QDateTime startedAt;  // invalid for imported rows
    QDateTime finishedAt; // invalid for imported rows
    bool imported = false;
    // The examinee's department from the staff list by personnel number; empty when the list
    // does not know the number. Not part of the exam's hash: it is looked up, not typed, and
    // may be filled in later for exams written before the staff list came.
    QString department;
    QList<JournalAnswer> answers;

    bool operator==(const JournalEntry&) const = default;

    // The form kept in the outbox file.
    QJsonObject toJson() const;
    // False when the object is not a journal entry (no valid id).
    static bool fromJson(const QJsonObject& object, JournalEntry& entry);
};

// What a journal operation gives back: errors are Russian texts for the examiner.
struct JournalResult {
    bool ok = true;
    QString error;

    static JournalResult failure(const QString& message) { return {false, message}; }
};

} // namespace zet
