// Rewrites one file in a loop, alternating between two known contents, until it is killed.
// Usage: zet_crash_child database|dayfile|settings <folder>
// Prints "ready" before the first write and "+" after every completed one.

#include "crashcontent.h"

#include "archive/dayfile.h"

#include <QDir>

#include <cstdio>

using namespace zet;
using namespace zet::crashtest;

namespace {

int fail(const QString& what) {
    std::fprintf(stderr, "%s\n", qPrintable(what));
    return 2;
}

void completed() {
    std::fputs("+\n", stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[]) {
    Kind kind{};
    if (argc != 3 || !kindFromName(QString::fromLocal8Bit(argv[1]), &kind))
        return fail(QStringLiteral("usage: zet_crash_child database|dayfile|settings <folder>"));
    const QString folder = QString::fromLocal8Bit(argv[2]);

    std::array<Database, 2> databases;
    std::array<DayRegisterArray, 2> registers{Register(0), Register(1)};
    for (int v = 0; v < 2; ++v) {
        fillDatabase(databases[v], v);
        databases[v].databasePath = databaseFile(folder);
        databases[v].programFolder = folder + QLatin1Char('/');
    }
    DayArchive archive;
    archive.monthFolder = dayFileFolder(folder);
    archive.dayFileName = dayFileName();

    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    for (unsigned i = 1;; ++i) {
        const int v = static_cast<int>(i % 2);
        switch (kind) {
        case Kind::Database: {
            const SaveResult r = databases[v].saveDatabase();
            if (!r.ok())
                return fail(r.error);
            break;
        }
        case Kind::DayFile: {
            const DayFileResult r = archive.writeDayFile(registers[v]);
            if (!r.ok)
                return fail(r.error);
            break;
        }
        case Kind::Settings: {
            Database& db = databases[0];
            db.databasePath = rememberedPath(v);
            const SettingsResult r = db.saveSettings();
            if (!r.ok)
                return fail(r.error);
            break;
        }
        }
        completed();
    }
}
