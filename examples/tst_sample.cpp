// The sample test database: imported from its source by the program's strict import, it loads as a complete
// database with two themes of ten questions and two profiles that use them; mistakes in a source are reported
// with their line and leave no file behind.

#include "model/database.h"

#include <QDate>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace zet;

namespace {

struct Run {
    int exitCode = -1;
    QString errors;
};

Run generate(const QString& source, const QString& target) {
    QProcess p;
    p.start(QStringLiteral(ZET_PROGRAM),
            {QStringLiteral("questions"), QStringLiteral("import"), source, QStringLiteral("--into"), target,
             QStringLiteral("--format"), QStringLiteral("text"), QStringLiteral("--encoding"),
             QStringLiteral("utf-8"), QStringLiteral("--strict")});
    Run run;
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = p.exitCode();
    run.errors = QString::fromLocal8Bit(p.readAllStandardError());
    return run;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

int questionCount(const Database& db, int theme) {
    int n = 0;
    for (int q = 1; q <= kQuestionSlots; ++q)
        n += db.questions(theme, q, 0).size() > 10 ? 1 : 0;
    return n;
}

const QString kHead = QStringLiteral("Название теста: Т\nАвтор: А\nДата: 01-02-2025\n");
const QString kQuestion = QStringLiteral("? Вопрос\n+ Да\n- Нет\n- Не знаю\n- Иногда\n- Никогда\n");

} // namespace

class SampleDatabase : public QObject {
    Q_OBJECT

private slots:
    void sampleLoadsComplete();
    void builtSampleMatchesSource();
    void mistakesAreReported_data();
    void mistakesAreReported();

private:
    QTemporaryDir m_dir;
};

void SampleDatabase::sampleLoadsComplete() {
    const QString path = m_dir.filePath(QStringLiteral("Образец.zet"));
    const Run run = generate(QStringLiteral(ZET_SAMPLE_SOURCE), path);
    QVERIFY2(run.exitCode == 0, qPrintable(run.errors));

    Database db;
    db.databasePath = path;
    const LoadResult loaded = db.loadDatabase();
    QVERIFY2(loaded.ok(), qPrintable(loaded.error));
    QCOMPARE(db.databaseHeader[1], kVersionMarker);
    QCOMPARE(db.databaseHeader[2], QStringLiteral("Охрана труда: пожарная безопасность и первая помощь"));
    QVERIFY(!db.databaseHeader[3].isEmpty());
    QVERIFY(QDate::fromString(db.databaseHeader[4], QStringLiteral("MM-dd-yyyy")).isValid());

    QCOMPARE(db.questions(1, 0, 0), QStringLiteral("Пожарная безопасность"));
    QCOMPARE(db.questions(2, 0, 0), QStringLiteral("Первая помощь"));
    int total = 0;
    for (int t = 1; t <= kThemeCount; ++t) {
        const int count = questionCount(db, t);
        QCOMPARE(count, t <= 2 ? 10 : 0);
        total += count;
        if (t > 2)
            QVERIFY(db.questions(t, 0, 0).isEmpty());
        for (int q = 1; q <= count; ++q) {
            const QString where = QStringLiteral("theme %1, question %2").arg(t).arg(q);
            QVERIFY2(db.questions(t, q, 0).startsWith(QStringLiteral("1111111111")), qPrintable(where));
            QSet<QString> answers;
            for (int p = 1; p < kParts; ++p) {
                const QString answer = db.questions(t, q, p).trimmed();
                QVERIFY2(!answer.isEmpty(), qPrintable(where));
                answers.insert(answer);
            }
            QVERIFY2(answers.size() == 5, qPrintable(where + QStringLiteral(": answers repeat")));
        }
        // The questions fill the first slots without gaps.
        for (int q = count + 1; q <= kQuestionSlots; ++q) {
            for (int p = 0; p < kParts; ++p)
                QVERIFY(db.questions(t, q, p).isEmpty());
        }
    }
    QCOMPARE(total, 20);

    int named = 0;
    for (int i = 1; i <= kProfileCount; ++i) {
        const ExamProfile& pr = db.profiles[i];
        QCOMPARE(pr.number, i);
        named += pr.name.isEmpty() ? 0 : 1;
        for (const QString& g : pr.groups)
            QCOMPARE(g, QStringLiteral("1"));
        // Every asked slot draws from a theme that has questions, and no more of them than it has.
        std::array<int, kThemeCount + 1> wanted{};
        for (int s = 1; s <= pr.questionCount; ++s)
            ++wanted[pr.slotTheme[s]];
        for (int t = 1; t <= kThemeCount; ++t)
            QVERIFY(wanted[t] <= questionCount(db, t));
    }
    QCOMPARE(named, 2);

    const ExamProfile& fire = db.profiles[1];
    QCOMPARE(fire.name, QStringLiteral("Пожарная безопасность"));
    QCOMPARE(fire.questionCount, 10);
    QCOMPARE(fire.timeLimit, 600);
    QCOMPARE(fire.excellentMin, 9);
    QCOMPARE(fire.goodMin, 7);
    QCOMPARE(fire.fairMin, 5);
    const ExamProfile& mixed = db.profiles[2];
    QCOMPARE(mixed.questionCount, 10);
    for (int s = 1; s <= 10; ++s)
        QCOMPARE(mixed.slotTheme[s], s <= 5 ? 1 : 2);
}

void SampleDatabase::builtSampleMatchesSource() {
    const QString fresh = m_dir.filePath(QStringLiteral("fresh.zet"));
    const Run run = generate(QStringLiteral(ZET_SAMPLE_SOURCE), fresh);
    QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
    const QByteArray built = readAll(QStringLiteral(ZET_SAMPLE_DATABASE));
    QVERIFY2(!built.isEmpty(), "the build did not make the sample database");
    QVERIFY(built == readAll(fresh));
}

void SampleDatabase::mistakesAreReported_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<int>("line"); // line named in the message; 0 for the whole file
    QTest::addColumn<QString>("message");

    const QString theme = QStringLiteral("Тема 1: Первая\n");
    QTest::newRow("three wrong answers") << kHead + theme + QStringLiteral("? В\n+ а\n- б\n- в\n- г\n") << 5
                                         << QStringLiteral("четыре неправильных");
    QTest::newRow("two correct answers")
        << kHead + theme + QStringLiteral("? В\n+ а\n+ б\n") << 7 << QStringLiteral("второй правильный");
    QTest::newRow("question outside a theme") << kHead + kQuestion << 4 << QStringLiteral("вне темы");
    QTest::newRow("unknown line") << kHead + QStringLiteral("Тема: без номера\n") << 4
                                  << QStringLiteral("непонятная строка");
    QTest::newRow("date in another form")
        << QStringLiteral("Дата: 2025-02-01\n") << 1 << QStringLiteral("ММ-ДД-ГГГГ");
    QTest::newRow("fewer slot themes than questions")
        << kHead + theme + kQuestion + QStringLiteral("Профиль 1: П\nВопросов: 2\nТемы: 1\n") << 11
        << QStringLiteral("столько номеров");
    QTest::newRow("thresholds not descending")
        << kHead + QStringLiteral("Профиль 1: П\nОценки: 5 7 9\n") << 5 << QStringLiteral("по убыванию");
    QTest::newRow("more slots of a theme than it has questions")
        << kHead + theme + kQuestion + QStringLiteral("Профиль 1: П\nВопросов: 2\nОценки: 2 1 1\nТемы: 1 1\n")
        << 0 << QStringLiteral("нужно 2 вопр. темы 1, а в ней 1");
    QTest::newRow("character outside Windows-1251")
        << kHead + theme + QStringLiteral("? Снеговик ☃\n+ а\n- б\n- в\n- г\n- д\n") << 5
        << QStringLiteral("вне кодировки");
    QTest::newRow("answer longer than a record")
        << kHead + theme + QStringLiteral("? В\n+ ") + QString(499, QLatin1Char('x')) +
               QStringLiteral("\n- б\n- в\n- г\n- д\n")
        << 6 << QStringLiteral("длиннее 498 байт");
}

void SampleDatabase::mistakesAreReported() {
    QFETCH(QString, source);
    QFETCH(int, line);
    QFETCH(QString, message);
    const QString sourcePath = m_dir.filePath(QStringLiteral("broken.txt"));
    const QString target = m_dir.filePath(QStringLiteral("broken.zet"));
    QFile::remove(target);
    {
        QFile f(sourcePath);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(source.toUtf8());
    }
    const Run run = generate(sourcePath, target);
    QCOMPARE(run.exitCode, 1);
    const QString where =
        line > 0 ? QStringLiteral("%1:%2: ").arg(sourcePath).arg(line) : sourcePath + QStringLiteral(": ");
    QVERIFY2(run.errors.startsWith(where), qPrintable(run.errors));
    QVERIFY2(run.errors.contains(message), qPrintable(run.errors));
    QVERIFY(!QFile::exists(target));
}

QTEST_GUILESS_MAIN(SampleDatabase)
#include "tst_sample.moc"
