#pragma once
// Two distinct, complete contents for each kind of file the program rewrites: the database,
// the day file and the settings file. The child process alternates between them while it
// is being killed; the test checks that the file on disk always holds one of the two.

#include "exam/dayregister.h"
#include "model/database.h"

#include <QString>

namespace zet::crashtest {

// Which file a child rewrites: "database", "dayfile" or "settings".
enum class Kind { Database, DayFile, Settings };
bool kindFromName(const QString& name, Kind* kind);

// variant 0 or 1: the whole model of a database, with questions and profiles filled.
void fillDatabase(Database& db, int variant);
// variant 0 or 1: a day register with some filled slots.
DayRegisterArray Register(int variant);
// variant 0 or 1: the path the settings file remembers.
QString rememberedPath(int variant);

// The file a child rewrites inside its folder.
QString databaseFile(const QString& folder);
QString dayFileFolder(const QString& folder);
QString dayFileName();

// Whether two models hold the same values in every place the database file stores.
bool sameStored(const Database& a, const Database& b);

} // namespace zet::crashtest
