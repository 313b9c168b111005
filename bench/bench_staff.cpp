// The staff list, measured against plain baselines run side by side:
//  - loading an HR export of 50,000 people (CSV read and merged into an empty journal, then the
//    same list again with 1 % changed and 1 % gone) against plain INSERTs of the same rows into
//    a bare table;
//  - the due list over those people with assignments and a journal of 1,000,000 exams, against
//    reading every exam into the program (what the due list did before), on SQLite and on a
//    PostgreSQL server the benchmark starts (as the tests do); the aim is 2 s.
//
// Run: bench_staff [people = 50000] [exams = 1000000] [--no-server]

#include "app/stafflist.h"
#include "benchtools.h"
#include "journal/journalreports.h"
#include "journal/journalserver.h"
#include "journal/journalstore.h"
#include "journal/staffstore.h"
#include "staff/stafffile.h"
#include "staff/staffxlsx.h"
#include "../tests/journal/postgresfixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

using namespace zet;
using namespace zet::bench;

namespace {

const QDate kToday(2026, 7, 1);
const QStringList kJobs = {QStringLiteral("машинист"), QStringLiteral("электромонтёр"), QStringLiteral("слесарь-ремонтник"),
                           QStringLiteral("мастер участка"), QStringLiteral("диспетчер")};

void printAgainst(const char* what, double value, double baseline, const char* baselineName) {
    std::printf("  %-52s %9.3f s   %s %8.3f s   ratio %.2f\n", what, value, baselineName, baseline, value / baseline);
}

bool exec(QSqlQuery& q, const QString& sql) {
    if (q.exec(sql))
        return true;
    std::fprintf(stderr, "%s\n  %s\n", qPrintable(q.lastError().text()), qPrintable(sql.left(300)));
    return false;
}

// Processor time of this program in the last seconds() measured: the machine is shared, and
// the wall clock counts the other builds too (the server's own time is not in it).
double g_processorSeconds = 0;

double seconds(const std::function<void()>& work) {
    QElapsedTimer t;
    const std::clock_t started = std::clock();
    t.start();
    work();
    g_processorSeconds = double(std::clock() - started) / CLOCKS_PER_SEC;
    return t.nsecsElapsed() / 1e9;
}

// An HR export: person i has the number Т-i, one of five jobs and one of forty departments.
// changed: every hundredth person has moved; gone: every hundredth from the 50th is missing.
QByteArray staffCsv(int people, bool later) {
    QByteArray csv = QStringLiteral("Табельный номер;ФИО;Должность;Подразделение;Дата рождения;Дата приёма\r\n").toUtf8();
    for (int i = 0; i < people; ++i) {
        if (later && i % 100 == 50)
            continue;
        const int department = (later && i % 100 == 0) ? (i / 7 + 1) % 40 + 1 : i / 7 % 40 + 1;
        csv += QStringLiteral("Т-%1;\"Кузнецов%2 Алексей Петрович\";%3;Цех %4;%5;%6\r\n")
                   .arg(i)
                   .arg(i % 997)
                   .arg(kJobs.at(i % kJobs.size()))
                   .arg(department)
                   .arg(QDate(1960, 1, 1).addDays(i % 14000).toString(QStringLiteral("dd.MM.yyyy")),
                        QDate(2000, 1, 1).addDays(i % 9000).toString(QStringLiteral("dd.MM.yyyy")))
                   .toUtf8();
    }
    return csv;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.flush();
}

// The baseline of a load: the same rows by plain INSERTs into a bare table, one transaction.
double plainInserts(const QString& folder, const StaffFile& file) {
    const QString connection = QStringLiteral("plain");
    double spent = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(QDir(folder).filePath(QStringLiteral("plain.sqlite")));
        db.open();
        QSqlQuery q(db);
        exec(q, QStringLiteral("CREATE TABLE people (no TEXT PRIMARY KEY, name TEXT, job TEXT, department TEXT,"
                               " born TEXT, hired TEXT)"));
        spent = seconds([&] {
            db.transaction();
            q.prepare(QStringLiteral("INSERT INTO people VALUES (?, ?, ?, ?, ?, ?)"));
            for (const StaffRecord& r : file.records) {
                q.addBindValue(r.personnelNo);
                q.addBindValue(r.fullName);
                q.addBindValue(r.jobTitle);
                q.addBindValue(r.department);
                q.addBindValue(r.birthDate.toString(Qt::ISODate));
                q.addBindValue(r.hireDate.toString(Qt::ISODate));
                q.exec();
            }
            db.commit();
        });
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return spent;
}

void assign(StaffStore& staff) {
    using Kind = StaffAssignment::Kind;
    staff.setAssignment({Kind::JobTitle, QStringLiteral("машинист"), 1, 12});
    staff.setAssignment({Kind::JobTitle, QStringLiteral("электромонтёр"), 2, 12});
    staff.setAssignment({Kind::Department, QStringLiteral("Цех 1"), 3, 6});
    staff.setAssignment({Kind::Department, QStringLiteral("Цех 2"), 3, 6});
}

// What the due list did before: every exam read into the program in the order of the exams.
double readEveryExam(QSqlDatabase db, int* rows) {
    return seconds([&] {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        exec(q, QStringLiteral("SELECT personnel_no, full_name, job_title, profile_no, profile_name, exam_date, grade"
                               " FROM exams ORDER BY exam_date, CASE WHEN finished_at IS NULL THEN 0 ELSE 1 END,"
                               " finished_at, protocol_no"));
        *rows = 0;
        while (q.next())
            ++*rows;
    });
}

void dueBench(const char* where, QSqlDatabase db, int exams) {
    QList<DueEntry> due;
    JournalResult result;
    const double spent = seconds([&] { result = JournalReports(db).dueList({}, kToday, due); });
    const double spentProcessor = g_processorSeconds;
    if (!result.ok) {
        std::printf("  due list: %s\n", qPrintable(result.error));
        return;
    }
    int never = 0;
    for (const DueEntry& d : due)
        never += d.neverChecked() ? 1 : 0;
    int rows = 0;
    const double before = readEveryExam(db, &rows);
    std::printf("  %s: %d exams, due list %lld rows (%d never checked)\n", where, exams, qlonglong(due.size()), never);
    printAgainst("due list", spent, before, "reading every exam");
    std::printf("  %-52s %9.3f s   (reading every exam %.3f s)\n", "  processor time of the program", spentProcessor,
                g_processorSeconds);
    std::printf("  %-52s %9.3f s   ratio to the 2 s aim %.2f\n", "", spent, spent / 2.0);
}

// A million exams made by the database itself in one statement: personnel numbers of the staff
// list (and 5 % outside it), three profiles, ten years of days, every eighth failed.
QString examRows(bool server, int people) {
    // Put together by concatenation: the SQL holds "%" of its own.
    const QString id = server ? QStringLiteral("md5('exam-' || i)::uuid")
                              : QStringLiteral("printf('%08x-0000-4000-8000-%012x', i, i)");
    const QString day = server ? QStringLiteral("DATE '2026-06-30' - (i % 3650)::int")
                               : QStringLiteral("date('2026-06-30', '-' || (i % 3650) || ' days')");
    const QString finish = server ? QStringLiteral("TIMESTAMPTZ '2026-06-30 09:10+00' - (i % 3650) * INTERVAL '1 day'")
                                  : QStringLiteral("strftime('%Y-%m-%dT09:10:00.000Z', '2026-06-30', '-' || (i % 3650) || ' days')");
    const QString number = QStringLiteral("'Т-' || (i * 7919 % ") + QString::number(people + people / 20) +
                           QStringLiteral(")");
    return QStringLiteral("SELECT ") + id + QStringLiteral(", 'Класс-1', ") + day +
           QStringLiteral(", i % 1000 + 1, i % 3 + 1, 'Профиль ' || (i % 3 + 1), 'Проверка', 'Data.zet',"
                          " 'Кузнецов Алексей Петрович', 1970, 'машинист', 10, ") +
           number + QStringLiteral(", CASE WHEN i % 8 = 0 THEN 2 ELSE 4 END, 10, 8, 300, ") + finish +
           QStringLiteral(", ") + finish + (server ? QStringLiteral(", false, ''") : QStringLiteral(", 0, ''"));
}

const QString kExamInsert = QStringLiteral(
    "INSERT INTO exams (id, workstation, exam_date, protocol_no, profile_no, profile_name, test_name, database_path,"
    " full_name, birth_year, job_title, seniority, personnel_no, grade, asked, right_answers, seconds_spent,"
    " started_at, finished_at, imported, department) ");

void sqliteBench(const QString& folder, const StaffFile& file, int exams, int people) {
    JournalStore store(folder);
    if (!store.open().ok)
        return;
    QSqlQuery q(store.database());
    const double made = seconds([&] {
        // The indexes are made again after the rows, which is many times faster.
        QStringList names, indexes;
        exec(q, QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = 'index' AND tbl_name = 'exams'"
                               " AND sql IS NOT NULL"));
        while (q.next()) {
            names << q.value(0).toString();
            indexes << q.value(1).toString();
        }
        for (const QString& name : std::as_const(names))
            exec(q, QStringLiteral("DROP INDEX ") + name);
        exec(q, QStringLiteral("PRAGMA synchronous = OFF"));
        exec(q, QStringLiteral("BEGIN"));
        exec(q, kExamInsert + QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < %1) ")
                                  .arg(exams - 1) +
                    examRows(false, people) + QStringLiteral(" FROM n"));
        exec(q, QStringLiteral("COMMIT"));
        for (const QString& index : std::as_const(indexes))
            exec(q, index);
        exec(q, QStringLiteral("ANALYZE"));
    });
    std::printf("SQLite journal: %d exams made in %.1f s\n", exams, made);
    StaffStore staff(store.database());
    StaffImportReport report;
    staff.import(file, kToday, report);
    assign(staff);
    dueBench("SQLite", store.database(), exams);
}

void serverBench(const StaffFile& file, int exams, int people) {
    test::PostgresFixture pg;
    const QString problem = pg.init();
    if (!problem.isEmpty()) {
        std::printf("PostgreSQL: %s\n", qPrintable(problem));
        return;
    }
    JournalServer server(pg.config(pg.createDatabase(), QStringLiteral("Класс-1")));
    const JournalResult connected = server.connect();
    if (!connected.ok) {
        std::printf("PostgreSQL: %s\n", qPrintable(connected.error));
        return;
    }
    QSqlQuery q(server.database());
    const double made = seconds([&] {
        exec(q, QStringLiteral("SET synchronous_commit = off"));
        exec(q, kExamInsert + examRows(true, people) +
                    QStringLiteral(" FROM generate_series(0::bigint, %1::bigint) AS i").arg(exams - 1));
        exec(q, QStringLiteral("VACUUM ANALYZE exams"));
    });
    std::printf("PostgreSQL journal: %d exams made in %.1f s\n", exams, made);
    StaffStore staff(server.database());
    StaffImportReport report;
    const double imported = seconds([&] { staff.import(file, kToday, report); });
    std::printf("  staff list loaded on the server: %.3f s\n", imported);
    assign(staff);
    dueBench("PostgreSQL", server.database(), exams);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool noServer = args.removeAll(QStringLiteral("--no-server")) > 0;
    const int people = args.value(0, QStringLiteral("50000")).toInt();
    const int exams = args.value(1, QStringLiteral("1000000")).toInt();
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("staff.csv"));
    const QString later = dir.filePath(QStringLiteral("staff-later.csv"));
    if (!writeFile(first, staffCsv(people, false)) || !writeFile(later, staffCsv(people, true)))
        return 1;

    std::printf("Staff list of %d people (CSV, %.1f MB)\n", people, QFileInfo(first).size() / 1e6);
    StaffFile file;
    QString error;
    const double read = seconds([&] { readStaffFile(first, file, error, parseStaffXlsx); });
    const double plain = plainInserts(dir.path(), file);
    StaffList list([&] { return dir.path(); }, [] { return kToday; });
    StaffImportReport report;
    list.isEmpty(); // the journal made before the clock starts, as the baseline's table is
    const double load = seconds([&] { list.importFile(first, report); });
    printAgainst("first load (read and merge)", load, plain, "plain INSERTs");
    std::printf("  %-52s %9.3f s\n", "  processor time", g_processorSeconds);
    std::printf("  %-52s %9.3f s (added %d)\n", "  of which reading the file", read, report.added);
    const double again = seconds([&] { list.importFile(later, report); });
    printAgainst("second load (1 % changed, 1 % gone)", again, plain, "plain INSERTs");
    std::printf("  %-52s changed %d, dismissed %d, unchanged %d\n", "", report.changed, report.dismissed,
                report.unchanged);
    const double lookup = medianMs(101, [&] { list.departmentOf(QStringLiteral("Т-%1").arg(people / 2)); });
    const double suggest = medianMs(101, [&] { list.matching(QStringLiteral("кузнецов1")); });
    std::printf("  department at a finish %.3f ms, completer on «кузнецов1» %.3f ms (median of 101)\n", lookup,
                suggest);

    sqliteBench(dir.path(), file, exams, people);
    if (!noServer)
        serverBench(file, exams, people);
    return 0;
}
