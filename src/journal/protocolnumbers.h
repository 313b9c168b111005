#pragma once
// Numbers of knowledge-check protocols: one sequence per journal, so that on an exam centre's
// server no two workstations ever issue the same number. A number is kept with the exams its
// protocol covers; the same exams made into a protocol again get the same number.

#include "journal/journalentry.h"

#include <QList>
#include <QSqlDatabase>
#include <QUuid>

namespace zet {

class ProtocolNumbers {
public:
    // db: an open connection to a journal (QSQLITE or QPSQL) with the protocols tables.
    explicit ProtocolNumbers(QSqlDatabase db);

    // The number of the protocol over exams: the one these exams were given before, else the
    // next of the sequence. requested > 0 sets the number by hand and keeps it for these exams;
    // a number that another protocol holds is refused.
    JournalResult numberFor(const QList<QUuid>& exams, int requested, int& number);

    // The key a set of exams is known by: the same for any order of the same exams.
    static QString examsKey(const QList<QUuid>& exams);

private:
    JournalResult assign(const QString& key, const QList<QUuid>& exams, int requested, int& number);

    QSqlDatabase m_db;
    bool m_server = false;
};

} // namespace zet
