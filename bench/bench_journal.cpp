// The results journal, measured against its aims:
//  - a finish: writing the day file alone against the day file and the journal row with
//    its answers, in the same run (aim: under 1.2 times);
//  - importing generated day files (full run: 3,650 files of 30 exams, aim under 10 s);
//  - looking up one personnel number among many journal rows (aim under 20 ms), in SQLite,
//    and in PostgreSQL when PGHOST (with PGPORT, PGDATABASE, PGUSER, PGPASSWORD) names a server.
//
// Run: bench_journal [day files = 3650] [journal rows = 1000000]

#include "archive/dayfile.h"
#include "journal/archiveimport.h"
#include "journal/journalserver.h"
#include "journal/journalstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

using namespace zet;

namespace {

constexpr int kExamsPerDay = 30;
constexpr int kPeople = 50000;

ExamineeRecord someone(int n) {
    ExamineeRecord r;
    r.protocolNo = qint16(n);
    r.profileNo = 1;
    r.profileName = QStringLiteral("Основной");
    r.fullName = QStringLiteral("Кузнецов Алексей Петрович");
    r.birthYear = 1978;
    r.jobTitle = QStringLiteral("машинист");
    r.seniority = 12;
    r.grade = 4;
    r.askedCount = 10;
    r.rightCount = 8;
    r.timeSpent = 400;
    r.personnelNo = QStringLiteral("Т-%1").arg(n * 7919 % kPeople);
    return r;
}

JournalEntry finishedExam(int n, int questions) {
    JournalEntry e;
    e.id = QUuid::createUuid();
    e.workstation = QStringLiteral("Класс-1");
    e.date = QDate(2010, 1, 1).addDays(n / kExamsPerDay);
    e.protocolNo = n % 100 + 1;
    e.profileNo = 1;
    e.profileName = QStringLiteral("Основной");
    e.testName = QStringLiteral("Пожарная безопасность");
    e.databasePath = QStringLiteral("/opt/razividerur/Data.zet");
    e.fullName = QStringLiteral("Кузнецов Алексей Петрович");
    e.birthYear = 1978;
    e.jobTitle = QStringLiteral("машинист");
    e.seniority = 12;
    e.personnelNo = QStringLiteral("Т-%1").arg(n % kPeople);
    e.grade = 4;
    e.asked = questions;
    e.right = questions - 2;
    e.secondsSpent = 400;
    e.startedAt = QDateTime::currentDateTimeUtc();
    e.finishedAt = e.startedAt.addSecs(400);
    for (int i = 1; i <= questions; ++i)
        e.answers.append({i, i, i * 3,
                          QStringLiteral("Какой огнетушитель применяют при пожаре класса %1?").arg(i),
                          QStringLiteral("Порошковый"), i % 5 != 0, 30});
    return e;
}

void finishBench() {
    QTemporaryDir dir;
    DayArchive archive;
    DayRegisterArray reg{};
    archive.prepare(dir.path() + QLatin1Char('/'), QDate(2024, 3, 1), reg);
    JournalStore store(dir.path());
    store.open();
    constexpr int kRounds = 100;
    double plain = 0;
    double journalled = 0;
    QElapsedTimer t;
    for (int n = 1; n <= kRounds; ++n) {
        reg[n] = someone(n);
        t.start();
        archive.writeDayFile(reg);
        plain += double(t.nsecsElapsed());
        t.start();
        archive.writeDayFile(reg);
        store.record(finishedExam(n, 15));
        journalled += double(t.nsecsElapsed());
    }
    std::printf("finish: day file %.2f ms, day file + journal %.2f ms, ratio %.2f (aim under 1.2)\n",
                plain / kRounds / 1e6, journalled / kRounds / 1e6, journalled / plain);
}

void importBench(int files) {
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    DayRegisterArray reg{};
    for (int n = 1; n <= kExamsPerDay; ++n)
        reg[n] = someone(n);
    const QByteArray bytes = formatDayFile(reg);
    for (int i = 0; i < files; ++i) {
        const QString path = dayFilePathFor(folder, QDate(2010, 1, 1).addDays(i));
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }
    JournalStore store(dir.path());
    QElapsedTimer t;
    t.start();
    const ArchiveImportReport report = importArchive(store, dir.path(), QStringLiteral("Класс-1"));
    const double seconds = double(t.nsecsElapsed()) / 1e9;
    const double aim = 10.0 * files / 3650;
    std::printf("import: %d files, %d exams in %.2f s, %.2f ms per file; ratio to the aim (%.1f s) %.2f%s\n",
                report.filesImported, report.examsAdded, seconds, seconds * 1000 / qMax(1, files), aim,
                seconds / aim, report.result.ok ? "" : " (journal error)");
}

template <typename Lookup> double lookupMs(Lookup lookup) {
    constexpr int kLookups = 200;
    QElapsedTimer t;
    t.start();
    int found = 0;
    for (int i = 0; i < kLookups; ++i)
        found += lookup(QStringLiteral("Т-%1").arg(i * 241 % kPeople));
    if (found == 0)
        std::printf("  (no rows found)\n");
    return double(t.nsecsElapsed()) / kLookups / 1e6;
}

QList<JournalEntry> rowBatch(int first, int count) {
    QList<JournalEntry> batch;
    for (int n = first; n < first + count; ++n) {
        JournalEntry e = finishedExam(n, 0);
        e.imported = true;
        e.protocolNo = n; // unique per workstation and day
        batch.append(e);
    }
    return batch;
}

void queryBench(int rows) {
    QTemporaryDir dir;
    JournalStore store(dir.path());
    store.setBulkWrites(true);
    constexpr int kBatch = 10000;
    for (int first = 0; first < rows; first += kBatch)
        store.recordImported(rowBatch(first, qMin(kBatch, rows - first)));
    store.setBulkWrites(false);
    const double ms =
        lookupMs([&store](const QString& no) { return int(store.findByPersonnelNo(no).size()); });
    std::printf("query by personnel number, SQLite, %d rows: %.3f ms; ratio to the aim (20 ms) %.3f\n",
                store.examCount(), ms, ms / 20);

    if (qEnvironmentVariableIsEmpty("PGHOST"))
        return;
    JournalConfig config;
    config.driver = JournalConfig::Driver::Postgresql;
    config.host = qEnvironmentVariable("PGHOST");
    config.port = qEnvironmentVariableIntValue("PGPORT") ? qEnvironmentVariableIntValue("PGPORT") : 5432;
    config.database = qEnvironmentVariable("PGDATABASE");
    config.user = qEnvironmentVariable("PGUSER");
    config.password = qEnvironmentVariable("PGPASSWORD");
    JournalServer server(config);
    const JournalResult connected = server.connect();
    if (!connected.ok) {
        std::printf("PostgreSQL: %s\n", qPrintable(connected.error));
        return;
    }
    const int present = server.examCount();
    for (int first = present; first < rows; first += kBatch)
        server.send(rowBatch(first, qMin(kBatch, rows - first)));
    QSqlQuery q(server.database());
    q.prepare(QStringLiteral("SELECT id, full_name, exam_date, grade FROM exams WHERE personnel_no = ?"));
    const double pgMs = lookupMs([&q](const QString& no) {
        q.addBindValue(no);
        int n = 0;
        if (q.exec())
            while (q.next())
                ++n;
        return n;
    });
    std::printf("query by personnel number, PostgreSQL, %d rows: %.3f ms; ratio to the aim (20 ms) %.3f\n",
                server.examCount(), pgMs, pgMs / 20);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int files = argc > 1 ? std::atoi(argv[1]) : 3650;
    const int rows = argc > 2 ? std::atoi(argv[2]) : 1000000;
    finishBench();
    importBench(files);
    queryBench(rows);
    return 0;
}
