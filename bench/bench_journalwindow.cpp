// The journal window on a large journal, measured against its aim: from creating the window
// to the first rows painted (aim under 200 ms). Also printed: a search typed into the filter,
// a change of the sort order and reading 50 pages further down, each to its rows painted, and
// the count of the exams found.
//
// Run: bench_journalwindow [journal rows = 1000000] [--screenshots DIR]
// With --screenshots the window, an exam's details and the question statistics are saved as
// PNG files into DIR (journal.png, journal-exam.png, journal-statistics.png).

#include "benchtools.h"
#include "journal/journalstore.h"
#include "ui/journal/journalexamdialog.h"
#include "ui/journal/journaltablemodel.h"
#include "ui/journal/journalwindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <cstdlib>

using namespace zet;
using namespace zet::ui;

using namespace zet::bench;

namespace {

// Fills the journal inside SQLite itself: names, personnel numbers, days, profiles and grades
// vary with the row number. The search text is folded here the way the program folds it.
bool fillJournal(const QString& folder, int rows) {
    {
        JournalStore store(folder);
        if (!store.open().ok)
            return false;
    }
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
        db.setDatabaseName(QDir(folder).filePath(JournalStore::fileName()));
        ok = db.open();
        QSqlQuery q(db);
        // Indexes are made again after the rows are in: much faster than keeping them up.
        QStringList indexes;
        ok = ok &&
             q.exec(QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL"));
        while (ok && q.next())
            indexes << q.value(0).toString();
        ok = ok && q.exec(QStringLiteral("PRAGMA journal_mode=OFF")) &&
             q.exec(QStringLiteral("PRAGMA synchronous=OFF")) &&
             q.exec(QStringLiteral("PRAGMA cache_size=-262144")) && q.exec(QStringLiteral("BEGIN"));
        for (const QString& index : indexes) {
            const QString name = index.section(QLatin1Char(' '), 2, 2);
            ok = ok && q.exec(QStringLiteral("DROP INDEX ") + name);
        }
        ok =
            ok &&
            q.exec(
                QStringLiteral(
                    "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < %1),"
                    " surname(k, name, folded) AS (VALUES (0, 'Иванов', 'иванов'), (1, 'Ёлкин', 'елкин'),"
                    "  (2, 'Кузнецов', 'кузнецов'), (3, 'Смирнов', 'смирнов'), (4, 'Попов', 'попов'),"
                    "  (5, 'Соколов', 'соколов'), (6, 'Лебедев', 'лебедев'), (7, 'Козлов', 'козлов'),"
                    "  (8, 'Новиков', 'новиков'), (9, 'Морозов', 'морозов'), (10, 'Волков', 'волков')),"
                    " job(k, title) AS (VALUES (0, 'машинист'), (1, 'электромонтёр'), (2, "
                    "'слесарь-ремонтник'),"
                    "  (3, 'мастер участка'), (4, 'диспетчер')),"
                    " profile(k, name) AS (VALUES (0, 'Электробезопасность'), (1, 'Охрана труда'),"
                    "  (2, 'Пожарная безопасность'))"
                    " INSERT INTO exams (id, workstation, exam_date, protocol_no, profile_no, profile_name, "
                    "test_name,"
                    "  database_path, full_name, birth_year, job_title, seniority, personnel_no, grade, "
                    "asked,"
                    "  right_answers, seconds_spent, started_at, finished_at, imported, search_text)"
                    " SELECT printf('%08x-0000-4000-8000-%012x', i, i), 'Класс-' || (i % 3 + 1),"
                    "  date('2024-06-30', '-' || (i / 300) || ' days'), i % 100 + 1, i % 3 + 1, profile.name,"
                    "  'Проверка знаний', '/opt/razividerur/Data.zet',"
                    "  surname.name || ' ' || char(1040 + i % 31) || '.' || char(1040 + i / 7 % 31) || '. ' "
                    "|| (i % 997),"
                    "  1960 + i % 40, job.title, i % 30, 'Т-' || (i * 7919 % 50000), 2 + i % 4, 10, 5 + i % "
                    "6,"
                    "  200 + i % 400, NULL, NULL, 1,"
                    "  surname.folded || ' ' || char(1072 + i % 31) || '.' || char(1072 + i / 7 % 31)"
                    "   || '. ' || (i % 997) || char(10) || 'т-' || (i * 7919 % 50000)"
                    " FROM n JOIN surname ON surname.k = i % 11 JOIN job ON job.k = i % 5"
                    " JOIN profile ON profile.k = i % 3")
                    .arg(rows));
        if (!ok)
            std::fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
        for (const QString& index : indexes)
            ok = ok && q.exec(index);
        ok = ok && q.exec(QStringLiteral("COMMIT")) && q.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        if (!ok)
            std::fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
    return ok;
}

// A few exams of today with their answers, on top of the list (for the pictures).
void recordRecentExams(const QString& folder) {
    JournalStore store(folder);
    const QStringList names = {QStringLiteral("Ёлкина Мария Сергеевна"),
                               QStringLiteral("Петров Андрей Ильич"),
                               QStringLiteral("Сидоренко Олег Викторович")};
    const QStringList questions = {
        QStringLiteral("Какое напряжение считается безопасным в помещениях с повышенной опасностью?"),
        QStringLiteral("Кто допускается к работам в электроустановках?"),
        QStringLiteral("Каким огнетушителем тушат электроустановки под напряжением?"),
        QStringLiteral("Что делать при обнаружении обрыва провода?"),
        QStringLiteral("Как часто проводится проверка знаний по охране труда?")};
    const QStringList answers = {QStringLiteral("Не выше 42 В"), QStringLiteral("Лица не моложе 18 лет"),
                                 QStringLiteral("Углекислотным"), QStringLiteral("Не приближаться ближе 8 м"),
                                 QStringLiteral("Раз в три года")};
    for (int n = 0; n < names.size(); ++n) {
        JournalEntry e;
        e.id = QUuid::createUuid();
        e.workstation = QStringLiteral("Класс-1");
        e.date = QDate(2024, 7, 1);
        e.protocolNo = 101 + n;
        e.profileNo = 1;
        e.profileName = QStringLiteral("Электробезопасность");
        e.testName = QStringLiteral("Проверка знаний");
        e.fullName = names.at(n);
        e.birthYear = 1985 + n;
        e.jobTitle = QStringLiteral("электромонтёр");
        e.personnelNo = QStringLiteral("Т-%1").arg(4711 + n);
        e.asked = int(questions.size());
        e.startedAt = QDateTime(e.date, QTime(9, 10 * n));
        for (int i = 0; i < questions.size(); ++i) {
            const bool right = (i + n) % 3 != 0;
            e.answers.append({i + 1, i + 1, 3 + i * 7, questions.at(i),
                              right ? answers.at(i) : QStringLiteral("Любым"), right, 15 + 4 * i});
            e.right += right ? 1 : 0;
        }
        e.grade = e.right >= 5 ? 5 : e.right >= 4 ? 4 : e.right >= 3 ? 3 : 2;
        e.secondsSpent = 95 + 20 * n;
        e.finishedAt = e.startedAt.addSecs(e.secondsSpent);
        store.record(e);
    }
}

// Waits until the table has rows and has painted them; the milliseconds since timer started.
double untilPainted(QTableView* table, QElapsedTimer& timer) {
    struct PaintWatch : QObject {
        bool painted = false;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint)
                painted = true;
            return false;
        }
    } watch;
    table->viewport()->installEventFilter(&watch);
    while (!(watch.painted && table->model()->rowCount() > 0)) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (timer.elapsed() > 60000)
            break;
    }
    table->viewport()->removeEventFilter(&watch);
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    quietPlatformNoise();
    int rows = 1000000;
    QString screenshots;
    for (int i = 1; i < argc; ++i) {
        if (QString::fromLocal8Bit(argv[i]) == QLatin1String("--screenshots") && i + 1 < argc)
            screenshots = QString::fromLocal8Bit(argv[++i]);
        else
            rows = std::atoi(argv[i]);
    }
    QTemporaryDir dir;
    QElapsedTimer fillTimer;
    fillTimer.start();
    if (!fillJournal(dir.path(), rows)) {
        std::fprintf(stderr, "could not fill the journal\n");
        return 1;
    }
    recordRecentExams(dir.path());
    std::printf("journal of %d rows filled in %.1f s\n", rows + 3, double(fillTimer.elapsed()) / 1000);

    QElapsedTimer timer;
    timer.start();
    JournalWindow window(dir.path());
    window.show();
    const double openMs = untilPainted(window.table(), timer);
    std::printf("window opened to the first rows painted: %.1f ms; ratio to the aim (200 ms) %.3f\n", openMs,
                openMs / 200);
    // Let the count and the profile names that follow the first paint arrive.
    QTest::qWait(50);

    timer.restart();
    window.searchField()->setText(QStringLiteral("ЕЛКИН"));
    window.applyFilter();
    const double searchMs = untilPainted(window.table(), timer);
    std::printf("search «ЕЛКИН» to the first rows painted: %.1f ms; ratio to the aim (200 ms) %.3f\n",
                searchMs, searchMs / 200);
    timer.restart();
    const int found = window.query().count(window.filter());
    const double countMs = double(timer.nsecsElapsed()) / 1e6;
    std::printf("counting the %d exams found: %.1f ms; ratio to the aim (200 ms) %.3f\n", found, countMs,
                countMs / 200);

    window.searchField()->clear();
    window.applyFilter();
    timer.restart();
    window.table()->horizontalHeader()->setSortIndicator(JournalTableModel::FullName, Qt::AscendingOrder);
    const double sortMs = untilPainted(window.table(), timer);
    std::printf("sorted by name to the first rows painted: %.1f ms; ratio to the aim (200 ms) %.3f\n", sortMs,
                sortMs / 200);

    timer.restart();
    for (int page = 0; page < 50; ++page)
        window.model()->fetchMore({});
    window.table()->scrollToBottom();
    const double scrollMs = untilPainted(window.table(), timer);
    std::printf("50 more pages (%d rows) read and the end shown: %.1f ms, %.2f ms a page\n",
                window.model()->rowCount(), scrollMs, scrollMs / 50);

    if (!screenshots.isEmpty()) {
        QDir().mkpath(screenshots);
        window.table()->horizontalHeader()->setSortIndicator(JournalTableModel::Date, Qt::DescendingOrder);
        window.table()->scrollToTop();
        window.table()->selectRow(1);
        QTest::qWait(200);
        QTest::qWait(3000); // the count arrives from its thread
        saveScreenshot(&window, screenshots, QStringLiteral("journal.png"));
        window.openExam(1);
        QTest::qWait(200);
        if (window.examDialog())
            saveScreenshot(window.examDialog(), screenshots, QStringLiteral("journal-exam.png"));
        QList<QuestionStatisticsRow> statistics;
        for (int i = 0; i < 24; ++i) {
            const int asked = 400 - 9 * i;
            statistics.append({1 + i % 6, 3 + (i * 7) % 40,
                               QStringLiteral("Вопрос %1 темы %2").arg(3 + (i * 7) % 40).arg(1 + i % 6),
                               asked, asked * (62 - 2 * i) / 100});
        }
        window.showStatistics(statistics, QStringLiteral("Экзамены за 2024 год, все профили"));
        QTest::qWait(300);
        saveScreenshot(window.statisticsView(), screenshots, QStringLiteral("journal-statistics.png"));
    }
    return 0;
}
