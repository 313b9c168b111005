#pragma once
// Check codes of protocols: a protocol numbered by the journal prints "N-XXXX-XXXX", its number
// and a digest of the stored hashes of the exams it lists, so that the paper can be held against
// the journal later: every exam still as linked, none taken out, none with its hash replaced.

#include "journal/journalentry.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <optional>

namespace zet {

namespace protocolcode {

// The code of protocol number over the exams whose stored row hashes are given (any order).
QString make(int number, QStringList rowHashes);
// The number of a code written as make() writes it (letters in either case, blanks around
// ignored); nullopt when text is not such a code.
std::optional<int> numberOf(const QString& text);
// The code in the form make() writes it.
QString normalised(const QString& text);

} // namespace protocolcode

// The code for the exams of a protocol numbered number in db; empty with why set (Russian) when
// one of the exams has no link yet.
QString protocolCheckCode(QSqlDatabase db, int number, const QList<QUuid>& exams, QString* why);

struct ProtocolCheckResult {
    bool known = false;     // the journal holds a protocol of that number
    bool digestOk = false;  // the stored hashes of its exams still give the code
    QStringList problems;   // one line per exam changed, missing or not linked (Russian)
    QString error;          // the journal could not be read

    bool intact() const { return known && digestOk && problems.isEmpty() && error.isEmpty(); }
};

// Checks the code against db: each exam of the protocol recomputed from its values and answers
// and compared with its stored hash, and the stored hashes against the code's digest.
ProtocolCheckResult checkProtocolCode(QSqlDatabase db, const QString& code);

} // namespace zet
