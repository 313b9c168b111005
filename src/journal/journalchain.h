#pragma once
// The journal's chain of exams: every exam row carries a SHA-256 over its own values, its
// answer rows and the hash of the workstation's exam before it, so that a row changed, taken
// out or slipped in afterwards no longer fits. The local journal computes the links when it
// writes an exam; the server keeps them as sent, and both are checked by verifyChain().
//
// The hashed form of an exam (version 1) is a sequence of fields, each its UTF-8 bytes behind
// their length as a 4-byte big-endian number, so that no field can run into the next:
//   "razividerur-exam-1", id, workstation, date (yyyy-MM-dd), protocol no, profile no,
//   profile name, test name, database path, full name, birth year, job title, seniority,
//   personnel no, grade, asked, right, seconds, start, finish (UTC yyyy-MM-ddTHH:mm:ss.zzzZ,
//   empty when unknown), imported (0/1), chain position, previous hash (hex, empty for the
//   first exam), answers digest (hex).
// Numbers are decimal text. The answers digest is a SHA-256 over "razividerur-answers-1",
// the number of answers, then for each answer in order of position: position, theme,
// question no, question text, answer text, right (0/1), seconds.

#include "journal/journalentry.h"

#include <QByteArray>
#include <QList>
#include <QSqlDatabase>
#include <QString>

namespace zet {

// One exam's place in the chain of its workstation.
struct ChainLink {
    qint64 position = 0; // 1 for the workstation's first exam; 0: not linked
    QString previous;    // hex hash of the exam before, empty for the first
    QString hash;        // hex SHA-256 of the exam at this place

    bool linked() const { return position > 0 && !hash.isEmpty(); }
};

namespace chain {

// The columns that hold a link, in ChainLink's order.
QString linkColumns(const QString& prefix = {});

// The raw digest of the answers, in the order given.
QByteArray answersDigest(const QList<JournalAnswer>& answers);
// The hex hash of exam e at place position after previous.
QString examHash(const JournalEntry& e, qint64 position, const QString& previous, const QByteArray& answersDigest);
// The link of e when it follows tail (an unlinked tail: e is the first of its workstation).
ChainLink follow(const JournalEntry& e, const ChainLink& tail);

} // namespace chain

// What a check of the journal found wrong with one exam.
struct IntegrityFinding {
    enum class Kind {
        Changed,  // the exam's values or answers differ from those it was linked with
        Deleted,  // exams before this one in its workstation's chain are missing
        Inserted, // the row was written past the program (no link, or a place already taken)
        DayFile,  // the day file's record differs from the journal's copy of the exam
    };
    Kind kind = Kind::Changed;
    QString where; // "журнал …", "сервер журнала …" or the day file
    QString workstation;
    QDate date;
    int protocolNo = 0;
    QString fullName;
    QString detail; // what exactly, when there is more to say

    // One line for the report.
    QString text() const;
};

struct IntegrityReport {
    int checked = 0;     // linked exams checked
    int unlinked = 0;    // exams written before the chain, still waiting for their links
    int dayRecords = 0;  // day-file records compared with the journal
    QList<IntegrityFinding> findings;
    QStringList errors;  // a journal or file that could not be read (Russian)

    bool intact() const { return findings.isEmpty() && errors.isEmpty(); }
    void add(const IntegrityReport& other);
    // The report as lines for the terminal or a message box.
    QStringList lines() const;
};

// Checks the chain of every workstation in db (the local journal or the server: both have
// the same exams and answers tables). pendingTable: the table of exams written before the
// chain that wait for their links; a row without a link that is not listed there counts as
// slipped in (empty: every row without a link counts as waiting). where names db in findings.
IntegrityReport verifyChain(QSqlDatabase db, const QString& pendingTable, const QString& where);

} // namespace zet
