// An exam centre on one PostgreSQL server, measured against its aims: workstations sending
// their exams at once, one workstation catching up after an outage, and the journal window and
// the paperwork reading years of history on the server.
//
// The benchmark starts a server of its own (initdb and pg_ctl in a temporary folder, as the
// tests do), fills it with the history, then runs the workstations: each has its local journal
// in a folder of its own and its own sending thread (JournalSender), finishes an exam every
// 100 ms, writes it into its journal and asks for it to be sent, as the program does. The time
// of an exam runs from its finish until its workstation hears that the server has it.
//
// Run: bench_centre [full|short] [--exams N] [--workstations W] [--seconds S] [--queued Q]
//   full (default): 1,000,000 exams of history, 20 workstations for 60 s, 10,000 queued exams
//   short:          100,000 exams, 5 workstations for 15 s, 2,000 queued exams (for CI)
// Figures are printed as ratios against their aims and never fail the run; the exit status
// is non-zero only when an exam did not arrive exactly once.

#include "app/journalsender.h"
#include "benchtools.h"
#include "journal/journal.h"
#include "journal/journalquery.h"
#include "journal/journalreports.h"
#include "journal/journalserver.h"
#include "../tests/journal/postgresfixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <deque>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

using namespace zet;
using namespace zet::bench;

namespace {

constexpr int kAnswersPerExam = 10;
constexpr int kExamPeriodMs = 100;
// A workstation whose send failed tries again after this long (the program waits a minute).
constexpr int kRetryMs = 1000;
// The day whose protocol is read: 500 exams of history are on it.
const QDate kProtocolDay(2026, 7, 1);
constexpr int kProtocolDayExams = 500;
const QString kWorkstationPrefix = QStringLiteral("Станция-");

qint64 nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

struct Scale {
    int exams = 1000000;
    int workstations = 20;
    int seconds = 60;
    int queued = 10000;
};

double percentile(std::vector<double> v, double p) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const auto rank = std::size_t(std::ceil(p * double(v.size())));
    return v[std::min(v.size() - 1, rank == 0 ? 0 : rank - 1)];
}

void printAgainst(const char* what, double value, const char* unit, double aim) {
    std::printf("  %-58s %9.3f %s   aim %7.3f %s   ratio %.2f\n", what, value, unit, aim, unit, value / aim);
}

bool exec(QSqlQuery& q, const QString& sql) {
    if (q.exec(sql))
        return true;
    std::fprintf(stderr, "%s\n  %s\n", qPrintable(q.lastError().text()), qPrintable(sql.left(300)));
    return false;
}

// Ten years of history made inside the server: names, personnel numbers, days, profiles and
// grades vary with the row number; every exam has its answers. The secondary indexes are made
// again afterwards (by the next connection of the program), which is much faster than keeping
// them up row by row.
bool loadHistory(JournalServer& server, int exams) {
    QSqlQuery q(server.database());
    QStringList dropped;
    if (!exec(q, QStringLiteral("SELECT indexname FROM pg_indexes WHERE tablename IN ('exams', 'answers')"
                                " AND indexname NOT LIKE '%_pkey'")))
        return false;
    while (q.next())
        dropped << q.value(0).toString();
    for (const QString& index : dropped) {
        if (!exec(q, QStringLiteral("DROP INDEX ") + index))
            return false;
    }
    // Answers are checked against their exams by the foreign key only when sent, not here.
    if (!exec(q, QStringLiteral("SET synchronous_commit = off")) ||
        !exec(q, QStringLiteral("SET maintenance_work_mem = '512MB'")) ||
        !exec(q, QStringLiteral("SET session_replication_role = replica")) ||
        !exec(q, QStringLiteral("ALTER TABLE answers DROP CONSTRAINT answers_pkey")))
        return false;
    const QString examId = QStringLiteral("md5('history-' || i)::uuid");
    constexpr int kChunk = 100000;
    for (int from = 0; from < exams; from += kChunk) {
        const int until = std::min(exams, from + kChunk) - 1;
        const QString rows = QStringLiteral("generate_series(%1::bigint, %2::bigint) AS i").arg(from).arg(until);
        const QString examsSql =
            QStringLiteral(
                "INSERT INTO exams (id, workstation, exam_date, protocol_no, profile_no, profile_name, test_name,"
                " database_path, full_name, birth_year, job_title, seniority, personnel_no, grade, asked,"
                " right_answers, seconds_spent, started_at, finished_at, imported)"
                " SELECT %1, 'Класс-' || lpad((i %% 20 + 1)::text, 2, '0'),"
                "  CASE WHEN i < %2 THEN DATE '%3' ELSE DATE '%3' - 1 - (i %% 3650)::int END,"
                "  CASE WHEN i < %2 THEN i + 1 ELSE i / 20 %% 1000 + 1 END,"
                "  i %% 3 + 1, (ARRAY['Электробезопасность', 'Охрана труда', 'Пожарная безопасность'])[i %% 3 + 1],"
                "  'Проверка знаний', '/opt/razividerur/Data.zet',"
                "  (ARRAY['Иванов', 'Ёлкин', 'Кузнецов', 'Смирнов', 'Попов', 'Соколов', 'Лебедев', 'Козлов',"
                "   'Новиков', 'Морозов', 'Волков'])[i %% 11 + 1] || ' ' || chr(1040 + (i %% 31)::int) || '.'"
                "   || chr(1040 + (i / 7 %% 31)::int) || '. ' || (i %% 997),"
                "  1960 + i %% 40,"
                "  (ARRAY['машинист', 'электромонтёр', 'слесарь-ремонтник', 'мастер участка', 'диспетчер'])[i %% 5 + 1],"
                "  i %% 30, 'Т-' || (i * 7919 %% 50000), 2 + i %% 4, %4, 5 + i %% 6, 200 + i %% 400,"
                "  TIMESTAMPTZ '2026-07-01 09:00+03' - (i %% 3650) * INTERVAL '1 day',"
                "  TIMESTAMPTZ '2026-07-01 09:10+03' - (i %% 3650) * INTERVAL '1 day', false"
                " FROM %5")
                .arg(examId)
                .arg(kProtocolDayExams)
                .arg(kProtocolDay.toString(Qt::ISODate))
                .arg(kAnswersPerExam)
                .arg(rows)
                .replace(QStringLiteral("%%"), QStringLiteral("%"));
        const QString answersSql =
            QStringLiteral("INSERT INTO answers (exam_id, position, theme, question_no, question_text, answer_text,"
                           " is_right, seconds)"
                           " SELECT %1, p, p, (i + p) %% 40 + 1,"
                           "  'Вопрос ' || ((i + p) %% 40 + 1) || '. Какое напряжение считается безопасным в"
                           " помещениях с повышенной опасностью?',"
                           "  (ARRAY['Не выше 42 В', 'Не выше 220 В', 'Любое'])[(i + p) %% 3 + 1],"
                           "  (i + p) %% 3 = 0, 10 + (i + p) %% 50"
                           " FROM %2, generate_series(1, %3) AS p")
                .arg(examId, rows)
                .arg(kAnswersPerExam)
                .replace(QStringLiteral("%%"), QStringLiteral("%"));
        if (!exec(q, examsSql) || !exec(q, answersSql))
            return false;
        std::printf("  history: %d exams\r", until + 1);
        std::fflush(stdout);
    }
    std::printf("\n");
    // The layout is made again by the next connection only when the server's recorded version
    // is older than the program's.
    return exec(q, QStringLiteral("SET session_replication_role = origin")) &&
           exec(q, QStringLiteral("ALTER TABLE answers ADD PRIMARY KEY (exam_id, position)")) &&
           exec(q, QStringLiteral("UPDATE journal_schema SET version = 0"));
}

// One workstation of the centre: its program folder with the local journal, the sending thread,
// and a thread of its own standing for the workstation's program. Everything below the
// constructor runs in that thread.
class Workstation {
public:
    Workstation(const QString& name, const JournalConfig& serverConfig) {
        m_config = serverConfig;
        m_config.workstation = name;
        m_context = new QObject;
        m_context->moveToThread(&m_thread);
        QObject::connect(&m_thread, &QThread::finished, m_context, &QObject::deleteLater);
        m_thread.start();
        run([this] { m_journal = std::make_unique<Journal>(m_folder.path(), m_config); });
    }

    ~Workstation() {
        run([this] {
            m_sender.reset();
            m_journal.reset();
        });
        m_thread.quit();
        m_thread.wait();
    }

    // Exams left in the journal unsent while the server was away; waits until they are written.
    void queue(int count) {
        run([this, count] {
            m_journal->store().setBulkWrites(true);
            for (int i = 0; i < count; ++i)
                recordExam(false);
            m_journal->store().setBulkWrites(false);
        });
    }

    // Finishes an exam every period until stopAt (steady clock), then sends what is left.
    void startLive(const std::atomic<qint64>* stopAt) {
        QMetaObject::invokeMethod(m_context, [this, stopAt] {
            startSender();
            auto* timer = new QTimer(m_context);
            timer->setInterval(kExamPeriodMs);
            QObject::connect(timer, &QTimer::timeout, m_context, [this, timer, stopAt] {
                if (nowNs() >= stopAt->load()) {
                    timer->stop();
                    m_stopped = true;
                    checkDone();
                    return;
                }
                recordExam(true);
                m_sender->requestSend();
            });
            timer->start();
        });
    }

    // Comes back to the server with its queue and sends it; finishes no exam of its own.
    void startCatchUp() {
        QMetaObject::invokeMethod(m_context, [this] {
            m_catchUpStart = nowNs();
            m_stopped = true;
            startSender();
            m_sender->requestSend();
        });
    }

    bool done() const { return m_done.load(); }
    // Read once done().
    const std::vector<double>& latenciesMs() const { return m_latenciesMs; }
    const QList<QUuid>& ids() const { return m_ids; }
    int failedSends() const { return m_failedSends; }
    QString lastError() const { return m_lastError; }
    int notKept() const { return m_notKept; }
    double catchUpMs() const { return m_catchUpNs / 1e6; }

private:
    void run(const std::function<void()>& work) {
        QMetaObject::invokeMethod(m_context, work, Qt::BlockingQueuedConnection);
    }

    void startSender() {
        m_sender = std::make_unique<JournalSender>(m_folder.path(), m_config);
        QObject::connect(m_sender.get(), &JournalSender::sent, m_context,
                         [this](bool ok, const QString& error) { onSent(ok, error); });
    }

    void recordExam(bool timed) {
        JournalEntry e = m_journal->newEntry();
        const int n = ++m_number;
        e.date = QDate::currentDate();
        e.protocolNo = n;
        e.profileNo = n % 3 + 1;
        e.profileName = QStringLiteral("Электробезопасность");
        e.testName = QStringLiteral("Проверка знаний");
        e.databasePath = QStringLiteral("/opt/razividerur/Data.zet");
        e.fullName = QStringLiteral("%1 Пётр Ильич %2").arg(m_config.workstation).arg(n);
        e.birthYear = 1970 + n % 30;
        e.jobTitle = QStringLiteral("электромонтёр");
        e.seniority = n % 25;
        e.personnelNo = QStringLiteral("С-%1").arg(n);
        e.asked = kAnswersPerExam;
        for (int p = 1; p <= kAnswersPerExam; ++p) {
            const bool right = (n + p) % 4 != 0;
            e.answers.append({p, p, (n + p) % 40 + 1,
                              QStringLiteral("Вопрос %1. Кто допускается к работам в электроустановках?").arg(p),
                              right ? QStringLiteral("Лица не моложе 18 лет") : QStringLiteral("Любые"), right,
                              10 + p});
            e.right += right ? 1 : 0;
        }
        e.grade = e.right >= 9 ? 5 : e.right >= 8 ? 4 : e.right >= 7 ? 3 : 2;
        e.secondsSpent = 300;
        e.finishedAt = QDateTime::currentDateTime();
        e.startedAt = e.finishedAt.addSecs(-e.secondsSpent);
        const qint64 finished = nowNs();
        const JournalRecordResult recorded = m_journal->record(e);
        if (recorded.kept != JournalRecordResult::Kept::Journal) {
            ++m_notKept;
            m_lastError = recorded.error;
            // One kept in the outbox goes into the journal with the next exam and is sent
            // then: it must arrive too, but its time is not the sending's.
            if (recorded.kept == JournalRecordResult::Kept::Outbox)
                m_ids.append(e.id);
            return;
        }
        m_ids.append(e.id);
        if (timed)
            m_waiting.push_back(finished);
    }

    void onSent(bool ok, const QString& error) {
        if (!ok) {
            ++m_failedSends;
            m_lastError = error;
            QTimer::singleShot(kRetryMs, m_context, [this] { m_sender->requestSend(); });
            return;
        }
        // Sent oldest first: whatever is no longer unsent has reached the server.
        const qint64 now = nowNs();
        const int unsent = m_journal->store().unsentCount();
        while (int(m_waiting.size()) > unsent) {
            m_latenciesMs.push_back((now - m_waiting.front()) / 1e6);
            m_waiting.pop_front();
        }
        if (m_catchUpStart != 0 && m_catchUpNs == 0 && unsent == 0)
            m_catchUpNs = now - m_catchUpStart;
        checkDone();
    }

    void checkDone() {
        if (!m_stopped || m_done.load())
            return;
        if (m_journal->store().unsentCount() == 0 && !m_sender->isSending())
            m_done.store(true);
        else if (!m_sender->isSending())
            m_sender->requestSend();
    }

    QTemporaryDir m_folder;
    JournalConfig m_config;
    QThread m_thread;
    QObject* m_context = nullptr;
    std::unique_ptr<Journal> m_journal;
    std::unique_ptr<JournalSender> m_sender;
    int m_number = 0;
    std::deque<qint64> m_waiting; // finish times of the exams not yet on the server
    std::vector<double> m_latenciesMs;
    QList<QUuid> m_ids;
    int m_failedSends = 0;
    int m_notKept = 0;
    QString m_lastError;
    bool m_stopped = false;
    qint64 m_catchUpStart = 0;
    qint64 m_catchUpNs = 0;
    std::atomic<bool> m_done{false};
};

struct SendingFigures {
    std::vector<double> latenciesMs;
    int failedSends = 0;
    bool finished = true;
};

// Waits until every workstation is done (or the time is up) and gathers their figures.
SendingFigures gather(const std::vector<std::unique_ptr<Workstation>>& stations, qint64 giveUpAt,
                      QList<QUuid>& sentIds) {
    SendingFigures figures;
    for (const auto& station : stations) {
        while (!station->done() && nowNs() < giveUpAt)
            QThread::msleep(20);
        if (!station->done()) {
            figures.finished = false;
            continue;
        }
        figures.latenciesMs.insert(figures.latenciesMs.end(), station->latenciesMs().begin(),
                                   station->latenciesMs().end());
        figures.failedSends += station->failedSends();
        sentIds += station->ids();
        if (station->notKept() > 0 || station->failedSends() > 0)
            std::printf("  %d exams not written, %d failed sends; last error: %s\n", station->notKept(),
                        station->failedSends(), qPrintable(station->lastError()));
    }
    return figures;
}

void printSending(const SendingFigures& f, double aimP99Ms) {
    std::printf("  exams timed: %zu, failed sends: %d\n", f.latenciesMs.size(), f.failedSends);
    printAgainst("finish to server, p50", percentile(f.latenciesMs, 0.5), "ms", aimP99Ms);
    printAgainst("finish to server, p99", percentile(f.latenciesMs, 0.99), "ms", aimP99Ms);
}

// Every exam the workstations finished is on the server once, with all its answers.
bool checkArrived(JournalServer& server, const QList<QUuid>& sent, int history) {
    QSqlQuery q(server.database());
    QSet<QString> onServer;
    if (!exec(q, QStringLiteral("SELECT id::text FROM exams WHERE workstation LIKE '%1%'").arg(kWorkstationPrefix)))
        return false;
    int rows = 0;
    while (q.next()) {
        onServer.insert(q.value(0).toString());
        ++rows;
    }
    int missing = 0;
    QSet<QString> expected;
    for (const QUuid& id : sent) {
        const QString text = id.toString(QUuid::WithoutBraces);
        expected.insert(text);
        if (!onServer.contains(text))
            ++missing;
    }
    const int extra = int(onServer.size()) - (int(expected.size()) - missing);
    bool ok = missing == 0 && extra == 0 && rows == int(sent.size()) && expected.size() == sent.size();
    std::printf("  exams finished: %lld, on the server: %d, missing: %d, unknown: %d\n",
                qlonglong(sent.size()), rows, missing, extra);
    if (!exec(q, QStringLiteral("SELECT count(*) FROM answers a JOIN exams e ON e.id = a.exam_id"
                                " WHERE e.workstation LIKE '%1%'")
                     .arg(kWorkstationPrefix)) ||
        !q.next())
        return false;
    const qint64 answers = q.value(0).toLongLong();
    std::printf("  answers on the server: %lld of %lld\n", answers, qlonglong(sent.size()) * kAnswersPerExam);
    ok = ok && answers == qint64(sent.size()) * kAnswersPerExam;
    if (!exec(q, QStringLiteral("SELECT count(*) FROM exams WHERE workstation LIKE 'Класс-%'")) || !q.next())
        return false;
    std::printf("  history on the server: %d of %d\n", q.value(0).toInt(), history);
    return ok && q.value(0).toInt() == history;
}

// The journal window's reads through the program's own query layer.
// searched: the full name of one exam of the history, searched for in lower case.
void measureWindow(const JournalConfig& config, const QString& folder, const QString& searched) {
    const double firstRows = medianMs(3, [&] {
        JournalQuery query(folder, config);
        query.open();
        query.page({}, {}, nullptr);
    });
    printAgainst("journal window: connect and first rows", firstRows, "ms", 300);

    JournalQuery query(folder, config);
    if (!query.open().ok || !query.readsServer()) {
        std::printf("  the journal query did not reach the server\n");
        return;
    }
    JournalFilter byName;
    byName.text = searched.toLower();
    JournalFilter byNumber;
    byNumber.text = QStringLiteral("т-4711");
    JournalSort byFullName{JournalSortKey::FullName, Qt::AscendingOrder};
    QList<JournalRow> rows;
    const double nameSearch = medianMs(3, [&] { rows = query.page(byName, {}, nullptr); });
    printAgainst(qPrintable(QStringLiteral("name search, first rows (%1 found)").arg(rows.size())), nameSearch, "ms",
                 100);
    const double numberSearch = medianMs(3, [&] { rows = query.page(byNumber, {}, nullptr); });
    printAgainst(qPrintable(QStringLiteral("personnel-number search, first rows (%1 found)").arg(rows.size())),
                 numberSearch, "ms", 100);
    int found = 0;
    const double nameCount = medianMs(3, [&] { found = query.count(byName); });
    printAgainst(qPrintable(QStringLiteral("name search, count (%1)").arg(found)), nameCount, "ms", 100);
    const double sortByName = medianMs(3, [&] { rows = query.page({}, byFullName, nullptr); });
    printAgainst("sort by name, first rows", sortByName, "ms", 300);
    JournalRow after;
    const double nextPage = medianMs(3, [&] {
        const QList<JournalRow> first = query.page({}, byFullName, nullptr);
        if (!first.isEmpty())
            after = first.constLast();
        query.page({}, byFullName, &after);
    });
    printAgainst("sort by name, first and next page", nextPage, "ms", 300);
    const double count = medianMs(3, [&] { found = query.count({}); });
    printAgainst(qPrintable(QStringLiteral("count of all exams (%1)").arg(found)), count, "ms", 300);
    // The window's count line waits for the lists of profiles and workstations too.
    int listed = 0;
    const double lists = medianMs(3, [&] { listed = int(query.profileNames().size() + query.workstationNames().size()); });
    printAgainst(qPrintable(QStringLiteral("profile and workstation lists (%1 names)").arg(listed)), lists, "ms", 300);
}

void measurePaperwork(JournalServer& server) {
    JournalReports reports(server.database());
    QList<JournalEntry> day;
    ReportFilter filter;
    filter.from = filter.until = kProtocolDay;
    const double protocol = medianMs(3, [&] { reports.exams(filter, day); });
    printAgainst(qPrintable(QStringLiteral("day protocol (%1 exams)").arg(day.size())), protocol / 1000, "s", 2);
    QList<DueEntry> due;
    // The first one reads the index into the server's buffers after the sending has filled them.
    const double firstDueList = medianMs(1, [&] { reports.dueList({}, kProtocolDay, due); });
    printAgainst(qPrintable(QStringLiteral("due list over the whole journal (%1 rows), first").arg(due.size())),
                 firstDueList / 1000, "s", 2);
    const double dueList = medianMs(3, [&] { reports.dueList({}, kProtocolDay, due); });
    printAgainst("due list, again (median of 3)", dueList / 1000, "s", 2);
    // How much of it is the server's part: the passed exams read, oldest first, nothing done with them.
    int passed = 0;
    const double rowsOnly = medianMs(1, [&] {
        QSqlQuery q(server.database());
        q.setForwardOnly(true);
        if (exec(q, QStringLiteral("SELECT personnel_no, full_name, job_title, profile_no, profile_name, exam_date,"
                                   " grade FROM exams WHERE grade > 2 ORDER BY exam_date, finished_at")))
            while (q.next())
                ++passed;
    });
    std::printf("  of which reading the %d passed exams from the server: %.3f s\n", passed, rowsOnly / 1000);
}

void measureSize(JournalServer& server) {
    QSqlQuery q(server.database());
    if (!exec(q, QStringLiteral("SELECT pg_total_relation_size('exams') + pg_total_relation_size('answers'),"
                                " pg_total_relation_size('exams'), (SELECT count(*) FROM exams)")) ||
        !q.next())
        return;
    const double total = q.value(0).toDouble();
    const double exams = q.value(2).toDouble();
    std::printf("  server size: %.0f MiB (exams with indexes %.0f MiB) for %.0f exams: %.0f bytes an exam with"
                " %d answers\n",
                total / 1048576, q.value(1).toDouble() / 1048576, exams, total / exams, kAnswersPerExam);
}

std::vector<std::unique_ptr<Workstation>> makeStations(int count, int first, const JournalConfig& config) {
    std::vector<std::unique_ptr<Workstation>> stations;
    for (int i = 0; i < count; ++i)
        stations.push_back(std::make_unique<Workstation>(
            kWorkstationPrefix + QStringLiteral("%1").arg(first + i, 2, 10, QLatin1Char('0')), config));
    return stations;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Scale scale;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        const int value = i + 1 < args.size() ? args.at(i + 1).toInt() : 0;
        if (a == QLatin1String("short"))
            scale = {100000, 5, 15, 2000};
        else if (a == QLatin1String("full"))
            scale = {};
        else if (a == QLatin1String("--exams") && value > 0)
            scale.exams = value, ++i;
        else if (a == QLatin1String("--workstations") && value > 1)
            scale.workstations = value, ++i;
        else if (a == QLatin1String("--seconds") && value > 0)
            scale.seconds = value, ++i;
        else if (a == QLatin1String("--queued") && value > 0)
            scale.queued = value, ++i;
        else {
            std::fprintf(stderr, "usage: bench_centre [full|short] [--exams N] [--workstations W (2 or more)]"
                                 " [--seconds S] [--queued Q]\n");
            return 2;
        }
    }
    scale.exams = std::max(scale.exams, kProtocolDayExams);
    std::printf("bench_centre: %d exams of history, %d workstations, %d s of sending, %d queued exams\n",
                scale.exams, scale.workstations, scale.seconds, scale.queued);

    test::PostgresFixture pg;
    // A server as a centre runs it: commits wait for the disk.
    pg.setServerOptions(QStringLiteral("-c fsync=on -c max_connections=80 -c shared_buffers=512MB"
                                       " -c max_wal_size=4GB -c checkpoint_timeout=30min"));
    if (const QString error = pg.init(); !error.isEmpty()) {
        std::printf("no PostgreSQL server: %s\n", qPrintable(error));
        return 0;
    }
    // A database whose locale knows Cyrillic letters, as a centre's server has.
    const JournalConfig config = pg.config(pg.createDatabase(QStringLiteral("TEMPLATE template0 LOCALE 'C.UTF-8'")),
                                           QStringLiteral("Наблюдатель"));
    QTemporaryDir observerFolder;

    QElapsedTimer timer;
    timer.start();
    {
        JournalServer server(config);
        if (const JournalResult connected = server.connect(); !connected.ok) {
            std::printf("no connection: %s\n", qPrintable(connected.error));
            return 0;
        }
        std::printf("\nhistory, bulk-loaded\n");
        if (!loadHistory(server, scale.exams)) {
            std::printf("could not load the history\n");
            return 0;
        }
    }
    JournalServer server(config);
    // The program's connection makes the indexes again. A server that took its exams over the
    // years has had them vacuumed by autovacuum as they came (it runs after inserts too), so its
    // index-only scans need not visit the table: so here.
    QSqlQuery analyze;
    if (!server.connect().ok || !exec(analyze = QSqlQuery(server.database()), QStringLiteral("VACUUM ANALYZE"))) {
        std::printf("could not index the history\n");
        return 0;
    }
    std::printf("  loaded and indexed in %.0f s\n", timer.elapsed() / 1000.0);
    measureSize(server);

    QList<QUuid> sentIds;
    bool arrived = true;

    std::printf("\nlive sending: %d workstations, an exam every %d ms each, for %d s\n", scale.workstations,
                kExamPeriodMs, scale.seconds);
    {
        auto stations = makeStations(scale.workstations, 1, config);
        std::atomic<qint64> stopAt{nowNs() + qint64(scale.seconds) * 1000000000};
        for (auto& s : stations)
            s->startLive(&stopAt);
        const SendingFigures f = gather(stations, stopAt.load() + qint64(300) * 1000000000, sentIds);
        arrived = arrived && f.finished;
        printSending(f, 2000);
    }

    std::printf("\ncatch-up: one workstation with %d queued exams while %d others send\n", scale.queued,
                scale.workstations - 1);
    {
        Workstation back(kWorkstationPrefix + QStringLiteral("%1").arg(scale.workstations + 1), config);
        QElapsedTimer queueing;
        queueing.start();
        back.queue(scale.queued);
        std::printf("  queue written into the local journal in %.1f s\n", queueing.elapsed() / 1000.0);
        auto stations = makeStations(scale.workstations - 1, 1, config);
        // The others send for as long as the catch-up takes, and at least a few seconds.
        const qint64 start = nowNs();
        std::atomic<qint64> stopAt{std::numeric_limits<qint64>::max()};
        for (auto& s : stations)
            s->startLive(&stopAt);
        QThread::msleep(1000);
        back.startCatchUp();
        const qint64 giveUpAt = nowNs() + qint64(600) * 1000000000;
        while (!back.done() && nowNs() < giveUpAt)
            QThread::msleep(20);
        stopAt.store(std::max(nowNs(), start + qint64(5) * 1000000000));
        const SendingFigures others = gather(stations, stopAt.load() + qint64(300) * 1000000000, sentIds);
        arrived = arrived && others.finished && back.done();
        if (back.done()) {
            sentIds += back.ids();
            printAgainst(qPrintable(QStringLiteral("%1 queued exams on the server").arg(scale.queued)),
                         back.catchUpMs() / 1000, "s", 30);
        } else {
            std::printf("  the queue was not sent in 10 minutes: %s\n", qPrintable(back.lastError()));
        }
        std::printf("  the others:\n");
        printSending(others, 2000);
    }

    std::printf("\nevery exam on the server exactly once\n");
    arrived = checkArrived(server, sentIds, scale.exams) && arrived;

    std::printf("\nthe journal window on the server (%d exams)\n", scale.exams);
    QSqlQuery named(server.database());
    const bool hasName = exec(named, QStringLiteral("SELECT full_name FROM exams WHERE id = md5('history-%1')::uuid")
                                         .arg(scale.exams / 2)) &&
                         named.next();
    measureWindow(config, observerFolder.path(), hasName ? named.value(0).toString() : QStringLiteral("Кузнецов"));

    std::printf("\nthe paperwork on the server\n");
    measurePaperwork(server);
    measureSize(server);

    if (!arrived) {
        std::printf("\nFAILED: not every exam arrived exactly once\n");
        return 1;
    }
    return 0;
}
