// The journal's chain, measured against its aims:
//  - checking an untouched journal of 100,000 exams with ten answers each (aim: a few
//    seconds, counted as 5 s);
//  - linking the same journal after an upgrade, batch by batch as the program does after its
//    start: the whole time, and the longest batch, which is how long the window waits at
//    most (aim: under 100 ms).
//
// Run: bench_journalverify [exams = 100000]

#include "app/journallinker.h"
#include "journal/journalstore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <cstdlib>

using namespace zet;

namespace {

constexpr int kAnswers = 10;

JournalEntry exam(int n) {
    JournalEntry e;
    e.id = QUuid::createUuid();
    e.workstation = QStringLiteral("Класс-%1").arg(n % 4 + 1);
    e.date = QDate(2010, 1, 1).addDays(n / 30);
    e.protocolNo = n % 100 + 1;
    e.profileNo = 1;
    e.profileName = QStringLiteral("Основной");
    e.testName = QStringLiteral("Пожарная безопасность");
    e.databasePath = QStringLiteral("/opt/razividerur/Data.zet");
    e.fullName = QStringLiteral("Кузнецов Алексей Петрович %1").arg(n);
    e.birthYear = 1978;
    e.jobTitle = QStringLiteral("машинист");
    e.seniority = 12;
    e.personnelNo = QStringLiteral("Т-%1").arg(n);
    e.grade = 4;
    e.asked = kAnswers;
    e.right = kAnswers - 2;
    e.secondsSpent = 400;
    e.startedAt = QDateTime(e.date, QTime(9, 0), Qt::UTC);
    e.finishedAt = e.startedAt.addSecs(400);
    for (int i = 1; i <= kAnswers; ++i)
        e.answers.append({i, i, i * 3, QStringLiteral("Какой огнетушитель применяют при пожаре класса %1?").arg(i),
                          QStringLiteral("Порошковый"), i % 5 != 0, 30});
    return e;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int exams = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    JournalStore store(dir.path());
    store.setBulkWrites(true);
    constexpr int kBatch = 5000;
    for (int first = 0; first < exams; first += kBatch) {
        QList<JournalEntry> batch;
        for (int n = first; n < qMin(exams, first + kBatch); ++n)
            batch.append(exam(n));
        store.recordImported(batch);
    }

    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpu = std::clock();
    const IntegrityReport report = store.verify();
    const double verifySeconds = timer.nsecsElapsed() / 1e9;
    std::printf("verify: processor time %.2f s (the rest of the time above is waiting for a shared machine)\n",
                double(std::clock() - cpu) / CLOCKS_PER_SEC);
    std::printf("verify, SQLite, %d exams with %d answers each: %.2f s (found %d, intact: %s); "
                "ratio to the aim (5 s) %.3f\n",
                report.checked, kAnswers, verifySeconds, int(report.findings.size()),
                report.intact() ? "yes" : "no", verifySeconds / 5);

    // As after an upgrade: every row waits for its link.
    QSqlQuery q(store.database());
    q.exec(QStringLiteral("UPDATE exams SET chain_seq = NULL, prev_hash = NULL, row_hash = NULL"));
    q.exec(QStringLiteral("INSERT INTO chain_pending SELECT id FROM exams ORDER BY rowid"));
    q = QSqlQuery();
    timer.restart();
    double longest = 0;
    for (int left = 1; left > 0;) {
        QElapsedTimer step;
        step.start();
        store.linkPending(JournalLinker::kBatch, &left);
        longest = qMax(longest, step.nsecsElapsed() / 1e6);
    }
    const double linkSeconds = timer.nsecsElapsed() / 1e9;
    std::printf("linking after an upgrade, %d exams in batches of %d: %.2f s, longest batch %.1f ms; "
                "ratio to the aim (100 ms) %.3f\n",
                exams, JournalLinker::kBatch, linkSeconds, longest, longest / 100);
    const IntegrityReport after = store.verify();
    std::printf("verify after linking: %d exams, intact: %s\n", after.checked, after.intact() ? "yes" : "no");
    return 0;
}
