// Reading the journal for the journal window, on a real SQLite journal built here and on the
// exam centre's PostgreSQL server of the test's own: the filters (substring in any case,
// «ё» = «е», dates, profile, grade), the sort orders read page by page, and one exam with its
// answers.

#include "journal/journalquery.h"
#include "journal/journalserver.h"
#include "journal/journalstore.h"
#include "postgresfixture.h"
#include "testentries.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace zet;

namespace {

struct Person {
    const char* name;
    const char* personnelNo;
    QDate date;
    int protocolNo;
    const char* profile;
    int grade;
};

// Two people share a name and two exams share a day and protocol number (another
// workstation), so that every order has ties the id must break.
const Person kPeople[] = {
    {"Ёлкин Пётр Сергеевич", "Т-100", {2024, 3, 5}, 1, "Основной", 5},
    {"ЕЛИСЕЕВА Анна Петровна", "Т-200", {2024, 3, 5}, 2, "Основной", 2},
    {"Smith John", "A-7", {2023, 12, 31}, 4, "Электробезопасность", 4},
    {"Иванов Иван", "T-300", {2024, 1, 1}, 1, "Электробезопасность", 3},
    {"Иванов Иван", "Т-301", {2024, 1, 1}, 1, "Основной", 3},
    {"Семёнова Ольга", "", {2024, 2, 29}, 7, "Основной", 4},
    {"Петров_Пётр 100%", "Т-1", {2022, 6, 1}, 3, "Электробезопасность", 2},
};

// One exam of each of the people.
QList<JournalEntry> peopleExams() {
    QList<JournalEntry> entries;
    int n = 0;
    for (const Person& p : kPeople) {
        JournalEntry e = test::finishedExam(QStringLiteral("Класс-%1").arg(n % 2 + 1), n, 2 + n % 3);
        e.fullName = QString::fromUtf8(p.name);
        e.personnelNo = QString::fromUtf8(p.personnelNo);
        e.date = p.date;
        e.protocolNo = p.protocolNo;
        e.profileName = QString::fromUtf8(p.profile);
        e.grade = p.grade;
        e.department = n < 2 ? QStringLiteral("Цех 1") : n == 2 ? QStringLiteral("Цех 2") : QString();
        entries.append(e);
        ++n;
    }
    return entries;
}

// The people's exams in the local journal of a temporary folder or, given the server's
// settings and the exams it holds, read from the server.
class Fixture {
public:
    Fixture() : entries(peopleExams()) {
        JournalStore store(dir.path());
        for (const JournalEntry& e : entries)
            QVERIFY(store.record(e).ok);
    }
    Fixture(const JournalConfig& server, const QList<JournalEntry>& held) : entries(held), m_server(server) {}

    std::unique_ptr<JournalQuery> query() const {
        if (m_server.usesServer())
            return std::make_unique<JournalQuery>(dir.path(), m_server);
        return std::make_unique<JournalQuery>(dir.path());
    }
    QTemporaryDir dir;
    QList<JournalEntry> entries;

private:
    JournalConfig m_server;
};

QStringList names(const QList<JournalRow>& rows) {
    QStringList list;
    for (const JournalRow& r : rows)
        list << r.fullName + QLatin1Char('/') + r.personnelNo;
    return list;
}

// Every row of the order, read in pages of three.
QList<JournalRow> readAll(JournalQuery& query, const JournalFilter& filter, const JournalSort& sort) {
    QList<JournalRow> all;
    for (;;) {
        QString error;
        const QList<JournalRow> page =
            query.page(filter, sort, all.isEmpty() ? nullptr : &all.constLast(), 3, &error);
        if (!error.isEmpty())
            qWarning() << error;
        all += page;
        if (page.size() < 3)
            return all;
    }
}

} // namespace

class TestJournalQuery : public QObject {
    Q_OBJECT
    test::PostgresFixture m_postgres;
    JournalConfig m_serverConfig;

    QList<JournalEntry> m_serverEntries;

    std::unique_ptr<Fixture> fixture(bool server) const {
        return server ? std::make_unique<Fixture>(m_serverConfig, m_serverEntries)
                      : std::make_unique<Fixture>();
    }

private slots:
    void initTestCase() {
        const QString failed = m_postgres.init();
        QVERIFY2(failed.isEmpty(), qPrintable(failed));
        m_serverConfig = m_postgres.config(m_postgres.createDatabase(), QStringLiteral("Класс-1"));
        JournalServer server(m_serverConfig);
        m_serverEntries = peopleExams();
        const JournalResult sent = server.send(m_serverEntries);
        QVERIFY2(sent.ok, qPrintable(sent.error));
    }

    void filters_data() {
        QTest::addColumn<bool>("server");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("until");
        QTest::addColumn<QString>("profile");
        QTest::addColumn<int>("grade");
        QTest::addColumn<QStringList>("expected"); // personnel numbers, in any order

        for (const bool server : {false, true}) {
            auto row = [server](const char* name) -> QTestData& {
                return QTest::addRow("%s%s", server ? "server: " : "", name) << server;
            };
            const QDate none;
            row("no filter") << QString() << none << none << QString() << 0
                             << QStringList{"Т-100", "Т-200", "A-7", "T-300", "Т-301", "", "Т-1"};
            row("ё typed, ё stored") << "ёлкин" << none << none << QString() << 0 << QStringList{"Т-100"};
            row("е typed, ё stored") << "ЕЛКИН" << none << none << QString() << 0 << QStringList{"Т-100"};
            row("lower case finds upper case")
                << "елисеева" << none << none << QString() << 0 << QStringList{"Т-200"};
            row("middle of the name, ё = е")
                << "петр" << none << none << QString() << 0 << QStringList{"Т-100", "Т-200", "Т-1"};
            row("Latin letters, any case") << "SMITH" << none << none << QString() << 0 << QStringList{"A-7"};
            row("personnel number part") << "т-30" << none << none << QString() << 0 << QStringList{"Т-301"};
            row("Latin T is not Cyrillic Т")
                << "t-3" << none << none << QString() << 0 << QStringList{"T-300"};
            row("blanks around are ignored")
                << "  семенова " << none << none << QString() << 0 << QStringList{""};
            row("wildcards are plain characters")
                << "_" << none << none << QString() << 0 << QStringList{"Т-1"};
            row("percent sign") << "100%" << none << none << QString() << 0 << QStringList{"Т-1"};
            row("no match") << "сидоров" << none << none << QString() << 0 << QStringList{};
            row("quote, backslash, question mark")
                << "д'арт\\?" << none << none << QString() << 0 << QStringList{};
            row("days inclusive") << QString() << QDate(2024, 1, 1) << QDate(2024, 2, 29) << QString() << 0
                                  << QStringList{"T-300", "Т-301", ""};
            row("from only") << QString() << QDate(2024, 3, 5) << none << QString() << 0
                             << QStringList{"Т-100", "Т-200"};
            row("until only") << QString() << none << QDate(2023, 12, 31) << QString() << 0
                              << QStringList{"A-7", "Т-1"};
            row("profile") << QString() << none << none << "Электробезопасность" << 0
                           << QStringList{"A-7", "T-300", "Т-1"};
            row("grade") << QString() << none << none << QString() << 2 << QStringList{"Т-200", "Т-1"};
            row("all together") << "иван" << QDate(2024, 1, 1) << QDate(2024, 1, 1) << "Основной" << 3
                                << QStringList{"Т-301"};
        }
    }

    void filters() {
        QFETCH(bool, server);
        QFETCH(QString, text);
        QFETCH(QDate, from);
        QFETCH(QDate, until);
        QFETCH(QString, profile);
        QFETCH(int, grade);
        QFETCH(QStringList, expected);
        const std::unique_ptr<Fixture> fixed = fixture(server);
        const Fixture& f = *fixed;
        const std::unique_ptr<JournalQuery> reader = f.query();
        JournalQuery& query = *reader;
        const JournalResult opened = query.open();
        QVERIFY2(opened.ok, qPrintable(opened.error));
        const JournalFilter filter{from, until, text, profile, grade};
        QStringList found;
        for (const JournalRow& r : readAll(query, filter, {}))
            found << r.personnelNo;
        found.sort();
        expected.sort();
        QCOMPARE(found, expected);
        QCOMPARE(query.count(filter), expected.size());
    }

    // The department is matched whole; the window's list offers the departments found.
    void departmentFilter_data() { newestFirstByDefault_data(); }
    void departmentFilter() {
        QFETCH(bool, server);
        const std::unique_ptr<Fixture> fixed = fixture(server);
        const std::unique_ptr<JournalQuery> query = fixed->query();
        QVERIFY(query->open().ok);
        JournalFilter filter;
        filter.department = QStringLiteral("Цех 1");
        QStringList found;
        for (const JournalRow& r : readAll(*query, filter, {}))
            found << r.personnelNo + QLatin1Char(' ') + r.department;
        found.sort();
        QCOMPARE(found, QStringList({QStringLiteral("Т-100 Цех 1"), QStringLiteral("Т-200 Цех 1")}));
        QCOMPARE(query->departmentNames(), QStringList({QStringLiteral("Цех 1"), QStringLiteral("Цех 2")}));
    }

    void sortOrdersReadPageByPage_data() {
        QTest::addColumn<bool>("server");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("order");
        for (const bool server : {false, true}) {
            const char* source = server ? "server" : "local";
            for (int key = 0; key <= int(JournalSortKey::Grade); ++key) {
                QTest::addRow("%s, key %d ascending", source, key)
                    << server << key << int(Qt::AscendingOrder);
                QTest::addRow("%s, key %d descending", source, key)
                    << server << key << int(Qt::DescendingOrder);
            }
        }
    }

    void sortOrdersReadPageByPage() {
        QFETCH(bool, server);
        QFETCH(int, key);
        QFETCH(int, order);
        const std::unique_ptr<Fixture> fixed = fixture(server);
        const Fixture& f = *fixed;
        const std::unique_ptr<JournalQuery> reader = f.query();
        JournalQuery& query = *reader;
        QVERIFY(query.open().ok);
        const JournalSort sort{JournalSortKey(key), Qt::SortOrder(order)};
        // What the order means, said independently of the SQL: the shown key, the day, the
        // protocol number, then the id.
        QList<JournalEntry> expected = f.entries;
        auto keyOf = [&](const JournalEntry& e) {
            QStringList key;
            switch (sort.key) {
            case JournalSortKey::Date:
                break;
            case JournalSortKey::FullName:
                key << e.fullName;
                break;
            case JournalSortKey::PersonnelNo:
                key << e.personnelNo;
                break;
            case JournalSortKey::Profile:
                key << e.profileName;
                break;
            case JournalSortKey::Grade:
                key << QString::number(e.grade);
                break;
            }
            return key << e.date.toString(Qt::ISODate) << QString::number(e.protocolNo).rightJustified(5, '0')
                       << e.id.toString(QUuid::WithoutBraces);
        };
        // SQLite compares texts by their UTF-8 bytes, which is the order of the code points; so
        // does the test's server, made with the C locale.
        auto less = [&](const JournalEntry& a, const JournalEntry& b) {
            const QStringList ka = keyOf(a), kb = keyOf(b);
            for (int i = 0; i < ka.size(); ++i) {
                if (ka[i] != kb[i])
                    return QString::compare(ka[i], kb[i], Qt::CaseSensitive) < 0;
            }
            return false;
        };
        std::sort(expected.begin(), expected.end(), less);
        if (sort.order == Qt::DescendingOrder)
            std::reverse(expected.begin(), expected.end());
        QStringList expectedIds;
        for (const JournalEntry& e : expected)
            expectedIds << e.id.toString();
        QStringList readIds;
        for (const JournalRow& r : readAll(query, {}, sort))
            readIds << r.id.toString();
        QCOMPARE(readIds, expectedIds);
    }

    void newestFirstByDefault_data() {
        QTest::addColumn<bool>("server");
        QTest::newRow("local") << false;
        QTest::newRow("server") << true;
    }
    void newestFirstByDefault() {
        QFETCH(bool, server);
        const std::unique_ptr<Fixture> fixed = fixture(server);
        const Fixture& f = *fixed;
        const std::unique_ptr<JournalQuery> reader = f.query();
        JournalQuery& query = *reader;
        const QList<JournalRow> rows = query.page({}, {}, nullptr, 2);
        QCOMPARE(names(rows), (QStringList{"ЕЛИСЕЕВА Анна Петровна/Т-200", "Ёлкин Пётр Сергеевич/Т-100"}));
        QCOMPARE(rows.first().date, QDate(2024, 3, 5));
        QCOMPARE(rows.first().grade, 2);
        QCOMPARE(rows.first().profileName, QStringLiteral("Основной"));
    }

    void examWithItsAnswers_data() { newestFirstByDefault_data(); }
    void examWithItsAnswers() {
        QFETCH(bool, server);
        const std::unique_ptr<Fixture> fixed = fixture(server);
        const Fixture& f = *fixed;
        const std::unique_ptr<JournalQuery> reader = f.query();
        JournalQuery& query = *reader;
        const JournalEntry& written = f.entries.at(2);
        const std::optional<JournalEntry> read = query.exam(written.id);
        QVERIFY(read.has_value());
        QCOMPARE(*read, written);
        QVERIFY(!query.exam(QUuid::createUuid()).has_value());
        QCOMPARE(query.profileNames(), (QStringList{"Основной", "Электробезопасность"}));
        QCOMPARE(query.workstationNames(), (QStringList{"Класс-1", "Класс-2"}));
    }

    // The journal file deleted or replaced while the program runs: the list reads the file on
    // disk now, whether it is looked at before the next exam or only after it.
    // A reader that opens the journal before the next exam (the window's count, a window opened
    // anew) must not take the old journal's write-ahead files for part of the new one.
    void readsTheJournalOnDiskNow_data() {
        QTest::addColumn<bool>("replaced");
        QTest::addColumn<bool>("readBetween");
        QTest::addColumn<bool>("newReaderBetween");
        QTest::newRow("deleted") << false << false << false;
        QTest::newRow("deleted, read before the next exam") << false << true << false;
        QTest::newRow("replaced by another journal") << true << false << false;
        QTest::newRow("replaced, a new reader before the next exam") << true << false << true;
    }
    void readsTheJournalOnDiskNow() {
        QFETCH(bool, replaced);
        QFETCH(bool, readBetween);
        QFETCH(bool, newReaderBetween);
        QTemporaryDir dir, other;
        JournalStore store(dir.path());
        QVERIFY(store.record(test::finishedExam(QStringLiteral("Класс-1"), 1)).ok);
        JournalQuery query(dir.path());
        QCOMPARE(query.count({}), 1);
        QVERIFY(QFile::remove(store.path()));
        QList<QUuid> expected;
        if (replaced) {
            const JournalEntry elsewhere = test::finishedExam(QStringLiteral("Класс-2"), 5);
            QVERIFY(JournalStore(other.path()).record(elsewhere).ok);
            QVERIFY(QFile::rename(other.filePath(JournalStore::fileName()), store.path()));
            expected << elsewhere.id;
        }
        if (readBetween)
            QCOMPARE(query.count({}), 0);
        if (newReaderBetween)
            QCOMPARE(JournalQuery(dir.path()).count({}), 1);
        const JournalEntry next = test::finishedExam(QStringLiteral("Класс-1"), 2, 4);
        QVERIFY(store.record(next).ok);
        expected << next.id;

        QList<QUuid> read;
        for (const JournalRow& row : query.page({}, {JournalSortKey::Date, Qt::AscendingOrder}, nullptr))
            read << row.id;
        std::sort(read.begin(), read.end());
        std::sort(expected.begin(), expected.end());
        QCOMPARE(read, expected);
        QCOMPARE(query.count({}), expected.size());
        QCOMPARE(query.exam(next.id)->answers, next.answers);
    }

    void periodDays_data() {
        QTest::addColumn<int>("period");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("until");
        using P = JournalFilter::Period;
        QTest::newRow("today") << int(P::Today) << QDate(2024, 2, 10) << QDate(2024, 2, 10)
                               << QDate(2024, 2, 10);
        QTest::newRow("month of a leap year")
            << int(P::ThisMonth) << QDate(2024, 2, 10) << QDate(2024, 2, 1) << QDate(2024, 2, 29);
        QTest::newRow("month ending on the 31st")
            << int(P::ThisMonth) << QDate(2023, 12, 31) << QDate(2023, 12, 1) << QDate(2023, 12, 31);
        QTest::newRow("year") << int(P::ThisYear) << QDate(2024, 7, 4) << QDate(2024, 1, 1)
                              << QDate(2024, 12, 31);
        QTest::newRow("all time") << int(P::All) << QDate(2024, 7, 4) << QDate() << QDate();
    }

    void periodDays() {
        QFETCH(int, period);
        QFETCH(QDate, today);
        QFETCH(QDate, from);
        QFETCH(QDate, until);
        const auto days = JournalFilter::periodDays(JournalFilter::Period(period), today);
        QCOMPARE(days.first, from);
        QCOMPARE(days.second, until);
    }
};

QTEST_GUILESS_MAIN(TestJournalQuery)
#include "tst_journalquery.moc"
