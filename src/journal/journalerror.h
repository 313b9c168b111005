#pragma once
// The reasons a journal database gives for a failure, in Russian: SQLite's result codes
// (a busy or locked journal, a full disk, a damaged file …) and the common troubles of a
// connection to the exam centre's PostgreSQL server.

#include <QString>

class QSqlError;

namespace zet {

// The reason of a failed statement or connection as the examiner reads it (server: the error
// came from PostgreSQL, else from SQLite). A failure the program does not know keeps the
// driver's own words after a Russian lead.
QString russianDatabaseError(const QSqlError& error, bool server = false);

} // namespace zet
