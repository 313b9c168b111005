// A whole exam driven through AppCore: start check, presentation, answers, advance, clock,
// finish and the day file it writes.

#include "app/appcore.h"
#include "coreaccess.h"
#include "examfixture.h"

#include "testdata.h"

#include <QtTest>

#include <set>

using namespace zet;
using namespace zet::testing;

namespace {

int16 wrongPosition(const AppCore& m) {
    return static_cast<int16>(m.answerShuffle().correctPosition % 5 + 1);
}

// Answers every question (right when right is set) and stops where the exam must be finished.
void answerAll(AppCore& m, bool right) {
    for (;;) {
        QVERIFY(m.answerClick(right ? coreAnswers(m).correctPosition : wrongPosition(m)));
        if (!m.advanceExam())
            return;
    }
}

DayRegisterArray readBack(const AppCore& m) {
    DayRegisterArray reg{};
    [&] { QVERIFY(m.dayArchive().readDayFile(reg).ok); }();
    return reg;
}

} // namespace

class TestExamRun : public QObject {
    Q_OBJECT

private slots:
    void wholeExam() {
        QTemporaryDir dir;
        auto m = makeModule(dir.path() + QLatin1Char('/'));
        QVERIFY(m);
        QCOMPARE(int(coreExam(*m).currentExaminee), 1);
        QVERIFY(!m->checkExamStart(registrationTexts()));

        std::set<int> themeOneSeen;
        PresentedQuestion q = m->startExam(registrationTexts());
        QCOMPARE(int(coreExam(*m).examRunning), 1);
        QCOMPARE(int(coreExam(*m).currentProfile), 1);
        QCOMPARE(int(coreExam(*m).questionNo), 1);
        QCOMPARE(int(coreExam(*m).correctCount), 0);
        QCOMPARE(int(coreExam(*m).dayRegister[1].timeSpent), 0);
        for (int n = 1; n <= 3; ++n) {
            QCOMPARE(int(q.n), n);
            QCOMPARE(q.caption, QStringLiteral("Вопрос № %1").arg(n));
            QVERIFY(q.found);
            QCOMPARE(int(q.theme), n < 3 ? 1 : 2);
            QCOMPARE(q.text, QStringLiteral("Вопрос %1.%2").arg(q.theme).arg(q.question));
            // The box at correctPosition shows the correct answer; the five boxes show five parts.
            std::set<QString> shown;
            for (int p = 1; p <= 5; ++p) {
                QCOMPARE(q.answers[p],
                         coreDatabase(*m).questions(q.theme, q.question, coreAnswers(*m).answerOrder[p]));
                shown.insert(q.answers[p]);
            }
            QCOMPARE(int(shown.size()), 5);
            QCOMPARE(q.answers[coreAnswers(*m).correctPosition],
                     QStringLiteral("верно %1.%2").arg(q.theme).arg(q.question));
            if (q.theme == 1)
                QVERIFY(themeOneSeen.insert(q.question).second);

            const bool answerRight = n != 2;
            bool correct = !answerRight;
            const int16 pos = answerRight ? coreAnswers(*m).correctPosition : wrongPosition(*m);
            QVERIFY(m->answerClick(pos, &correct));
            QCOMPARE(correct, answerRight);
            QCOMPARE(int(coreExam(*m).answerLock), 1);
            QCOMPARE(int(coreExam(*m).chosenPosition), int(pos));
            const int counted = coreExam(*m).correctCount;
            // Clicks during the pause are ignored, on any box.
            for (int16 p = 1; p <= 5; ++p)
                QVERIFY(!m->answerClick(p));
            QCOMPARE(int(coreExam(*m).correctCount), counted);
            QVERIFY(!m->clockTick());

            std::optional<PresentedQuestion> next = m->advanceExam();
            if (n < 3) {
                QVERIFY(next);
                QCOMPARE(int(coreExam(*m).answerLock), 0);
                QCOMPARE(int(coreExam(*m).questionNo), n + 1);
                q = *next;
            } else {
                QVERIFY(!next); // no fourth question: the exam is to be finished
                QCOMPARE(int(coreExam(*m).questionNo), 3);
            }
        }
        QCOMPARE(int(coreExam(*m).correctCount), 2);

        const std::optional<FinishResult> done = m->finishExam(registrationTexts());
        QVERIFY(done);
        QCOMPARE(int(done->examinee), 1);
        QVERIFY2(done->written.ok, qPrintable(done->written.error));
        ExamineeRecord expected = testing::sampleRecord(1);
        expected.profileNo = 1;
        expected.askedCount = 3;
        expected.rightCount = 2;
        expected.timeSpent = 3;
        QVERIFY(done->record == expected);
        QVERIFY(coreExam(*m).dayRegister[1] == expected);
        QCOMPARE(int(coreExam(*m).examRunning), 0);
        QCOMPARE(int(coreExam(*m).answerLock), 0);
        QCOMPARE(int(coreExam(*m).currentExaminee), 2);
        QVERIFY(readBack(*m) == coreExam(*m).dayRegister);

        // Never finished twice; no answers or ticks count without an exam.
        QVERIFY(!m->finishExam(registrationTexts()));
        QVERIFY(!m->answerClick(1));
        QVERIFY(!m->clockTick());
        QCOMPARE(int(coreExam(*m).currentExaminee), 2);
    }

    void timeOut() {
        QTemporaryDir dir;
        auto m = makeModule(dir.path() + QLatin1Char('/'));
        QVERIFY(m);
        m->startExam(registrationTexts());
        for (int s = 1; s <= 600; ++s)
            QVERIFY2(!m->clockTick(), qPrintable(QString::number(s)));
        QVERIFY(m->clockTick());
        const std::optional<FinishResult> done = m->finishExam(registrationTexts());
        QVERIFY(done);
        QCOMPARE(int(done->record.timeSpent), 601);
        QCOMPARE(int(done->record.rightCount), 0);
        QCOMPARE(int(done->record.grade), 2);
        QCOMPARE(int(done->record.askedCount), 3);
        QCOMPARE(int(readBack(*m)[1].timeSpent), 601);
    }

    // The clock outlives a pending feedback pause: the pause's end must not present a further
    // question for the finished exam nor finish it a second time.
    void timeOutDuringPause_data() {
        QTest::addColumn<int>("answered");
        QTest::newRow("first question") << 1;
        QTest::newRow("last question") << 3;
    }
    void timeOutDuringPause() {
        QFETCH(int, answered);
        QTemporaryDir dir;
        auto m = makeModule(dir.path() + QLatin1Char('/'));
        QVERIFY(m);
        m->startExam(registrationTexts());
        for (int n = 1; n < answered; ++n) {
            QVERIFY(m->answerClick(coreAnswers(*m).correctPosition));
            QVERIFY(m->advanceExam());
        }
        QVERIFY(m->answerClick(coreAnswers(*m).correctPosition));
        coreExam(*m).dayRegister[1].timeSpent = 600;
        QVERIFY(m->clockTick());
        QVERIFY(m->finishExam(registrationTexts()));
        QCOMPARE(int(coreExam(*m).currentExaminee), 2);

        QVERIFY(!m->advanceExam());
        QCOMPARE(int(coreExam(*m).answerLock), 0);
        QCOMPARE(int(coreExam(*m).questionNo), answered);
        QVERIFY(!m->finishExam(registrationTexts()));
        QCOMPARE(int(coreExam(*m).currentExaminee), 2);
        QVERIFY(coreExam(*m).dayRegister[2] == ExamineeRecord{});
        QCOMPARE(int(coreExam(*m).dayRegister[1].rightCount), answered);
    }

    void clockStopsAtItsTop() {
        QTemporaryDir dir;
        auto m = makeModule(dir.path() + QLatin1Char('/'));
        QVERIFY(m);
        coreDatabase(*m).profiles[1].timeLimit = 32767;
        m->startExam(registrationTexts());
        coreExam(*m).dayRegister[1].timeSpent = 32765;
        QVERIFY(!m->clockTick());
        QVERIFY(m->clockTick());
        QCOMPARE(int(coreExam(*m).dayRegister[1].timeSpent), 32767);
        QVERIFY(m->clockTick());
        QCOMPARE(int(coreExam(*m).dayRegister[1].timeSpent), 32767);
        QCOMPARE(int(m->finishExam(registrationTexts())->record.timeSpent), 32767);
    }

    void failedWriteKeepsTheRecord() {
        QTemporaryDir dir;
        auto m = makeModule(dir.path() + QLatin1Char('/'));
        QVERIFY(m);
        // The month folder is replaced by a plain file: nothing can be written below it.
        const QString month = coreArchive(*m).monthFolder;
        QVERIFY(QDir(month).removeRecursively());
        {
            QFile blocker(month);
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        }

        m->startExam(registrationTexts());
        answerAll(*m, true);
        const std::optional<FinishResult> first = m->finishExam(registrationTexts());
        QVERIFY(first);
        QVERIFY(!first->written.ok);
        QVERIFY2(first->written.error.contains(QStringLiteral("03.12.2010.txt")),
                 qPrintable(first->written.error));
        QCOMPARE(int(coreExam(*m).dayRegister[1].grade), 5);
        QCOMPARE(int(coreExam(*m).currentExaminee), 2);
        QCOMPARE(int(coreExam(*m).examRunning), 0);

        QVERIFY(QFile::remove(month));
        RegistrationTexts second = registrationTexts();
        second.fullName = QStringLiteral("Петров П.П.");
        m->startExam(second);
        answerAll(*m, false);
        const std::optional<FinishResult> next = m->finishExam(second);
        QVERIFY(next && next->written.ok);
        const DayRegisterArray onDisk = readBack(*m);
        QCOMPARE(onDisk[1].fullName, QStringLiteral("Иванов И.И."));
        QCOMPARE(int(onDisk[1].grade), 5);
        QCOMPARE(onDisk[2].fullName, QStringLiteral("Петров П.П."));
        QCOMPARE(int(onDisk[2].grade), 2);
    }

    // A day file with records 1 and 3: the gap is filled, then the exams go on after 3.
    void gapBeforeAUsedSlot() {
        QTemporaryDir dir;
        const QString folder = dir.path() + QLatin1Char('/');
        DayRegisterArray start{};
        start[1] = testing::sampleRecord(1, QStringLiteral("Первый П.П."));
        start[3] = testing::sampleRecord(3, QStringLiteral("Третий Т.Т."));
        const QString path = dayFilePathFor(folder, kToday);
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(formatDayFile(start));
        }
        auto m = makeModule(folder);
        QVERIFY(m);
        QCOMPARE(int(coreExam(*m).currentExaminee), 2);
        for (int expected : {2, 4}) {
            QCOMPARE(int(coreExam(*m).currentExaminee), expected);
            m->startExam(registrationTexts());
            answerAll(*m, true);
            QCOMPARE(int(m->finishExam(registrationTexts())->examinee), expected);
        }
        QCOMPARE(int(coreExam(*m).currentExaminee), 5);
        const DayRegisterArray onDisk = readBack(*m);
        QVERIFY(onDisk[1] == start[1]);
        QVERIFY(onDisk[3] == start[3]);
        QCOMPARE(int(onDisk[2].protocolNo), 2);
        QCOMPARE(int(onDisk[4].protocolNo), 4);

        // An exam never starts on a used slot.
        coreExam(*m).currentExaminee = 3;
        QVERIFY(m->checkExamStart(registrationTexts()));
        m->startExam(registrationTexts());
        QCOMPARE(int(coreExam(*m).examRunning), 0);
    }

    void threeExamsThenRestart() {
        QTemporaryDir dir;
        const QString folder = dir.path() + QLatin1Char('/');
        {
            auto m = makeModule(folder);
            QVERIFY(m);
            for (int n = 1; n <= 3; ++n) {
                QVERIFY(!m->checkExamStart(registrationTexts()));
                m->startExam(registrationTexts());
                answerAll(*m, n != 2);
                QVERIFY(m->finishExam(registrationTexts())->written.ok);
            }
            QCOMPARE(int(coreExam(*m).currentExaminee), 4);
            for (int n = 1; n <= 3; ++n)
                QCOMPARE(int(coreExam(*m).dayRegister[n].protocolNo), n);
        }
        auto again = makeModule(folder);
        QVERIFY(again);
        QCOMPARE(int(again->examState().currentExaminee), 4);
        QCOMPARE(int(again->examState().dayRegister[2].grade), 2);
        QCOMPARE(again->examState().dayRegister[3].jobTitle, QStringLiteral("слесарь"));
    }

    // The theme cursor lives for the process: the next examinee continues the same walk.
    void cursorContinuesAcrossExams() {
        QTemporaryDir dir;
        auto m = makeModule(dir.path() + QLatin1Char('/'));
        QVERIFY(m);
        const auto order = coreSelection(*m).questionOrder[1];
        std::vector<int> asked;
        for (int exam = 1; exam <= 2; ++exam) {
            PresentedQuestion q = m->startExam(registrationTexts(QStringLiteral("2")));
            for (;;) {
                asked.push_back(q.question);
                QVERIFY(m->answerClick(1));
                std::optional<PresentedQuestion> next = m->advanceExam();
                if (!next)
                    break;
                q = *next;
            }
            QVERIFY(m->finishExam(registrationTexts(QStringLiteral("2"))));
        }
        QVERIFY(coreSelection(*m).questionOrder[1] == order);
        QCOMPARE(asked, std::vector<int>(order.begin() + 1, order.begin() + 7));
        QCOMPARE(int(coreSelection(*m).themeCursor[1]), 6);
        QCOMPARE(int(coreExam(*m).dayRegister[2].profileNo), 2);
    }

    void presentation_data() {
        QTest::addColumn<int>("N");
        QTest::addColumn<bool>("found");
        QTest::newRow("slot 1") << 1 << true;
        QTest::newRow("slot 15") << 15 << true;
        QTest::newRow("above 15") << 16 << false;
        QTest::newRow("zero") << 0 << false;
    }
    void presentation() {
        QFETCH(int, N);
        QFETCH(bool, found);
        QTemporaryDir dir;
        auto m = makeModule(dir.path() + QLatin1Char('/'));
        QVERIFY(m);
        coreDatabase(*m).profiles[1].slotTheme.fill(3);
        m->startExam(registrationTexts());
        const PresentedQuestion q = AppCoreTestAccess::presentQuestion(*m, static_cast<int16>(N));
        QCOMPARE(q.caption, QStringLiteral("Вопрос № %1").arg(N));
        QCOMPARE(q.found, found);
        if (found) {
            // Only question 1 of theme 3 is admitted; its stored text is just its flags.
            QCOMPARE(int(q.question), 1);
            QCOMPARE(q.text, QString());
            QCOMPARE(q.answers[coreAnswers(*m).correctPosition], QStringLiteral("верно 3.1"));
        }
    }

    void startRefusals_data() {
        QTest::addColumn<int>("examinee");
        QTest::addColumn<QString>("profile");
        QTest::addColumn<int>("questionCount");
        QTest::addColumn<int>("slot2Theme");
        QTest::addColumn<int>("slot4Theme");
        QTest::addColumn<QString>("groups");
        QTest::addColumn<QString>("birthYear");
        QTest::addColumn<QString>("seniority");
        QTest::addColumn<QStringList>("message"); // fragments; empty: the start is allowed

        const QString g = QStringLiteral("1100000000");
        QTest::newRow("fine") << 1 << "1" << 3 << 1 << 1 << g << "1970"
                              << "12" << QStringList{};
        QTest::newRow("last slot") << 100 << "1" << 3 << 1 << 1 << g << "1970"
                                   << "12" << QStringList{};
        QTest::newRow("register full") << 101 << "1" << 3 << 1 << 1 << g << "1970"
                                       << "12" << QStringList{"заполнен"};
        QTest::newRow("no free slot found") << 0 << "1" << 3 << 1 << 1 << g << "1970"
                                            << "12" << QStringList{"заполнен"};
        QTest::newRow("no profile") << 1 << "" << 3 << 1 << 1 << g << "1970"
                                    << "12" << QStringList{"профиль"};
        QTest::newRow("profile 21") << 1 << "21" << 3 << 1 << 1 << g << "1970"
                                    << "12" << QStringList{"профиль"};
        QTest::newRow("no questions") << 1 << "1" << 0 << 1 << 1 << g << "1970"
                                      << "12" << QStringList{"число вопросов 0"};
        QTest::newRow("16 questions") << 1 << "1" << 16 << 1 << 1 << g << "1970"
                                      << "12" << QStringList{"число вопросов 16"};
        QTest::newRow("theme 21 in a used slot") << 1 << "1" << 3 << 21 << 1 << g << "1970"
                                                 << "12" << QStringList{"№ 2", "тема 21"};
        QTest::newRow("theme 0 in a used slot") << 1 << "1" << 3 << 0 << 1 << g << "1970"
                                                << "12" << QStringList{"№ 2", "тема 0"};
        QTest::newRow("bad theme in an unused slot") << 1 << "1" << 3 << 1 << 99 << g << "1970"
                                                     << "12" << QStringList{};
        QTest::newRow("empty theme") << 1 << "1" << 3 << 5 << 1 << g << "1970"
                                     << "12" << QStringList{"№ 2", "теме 5"};
        QTest::newRow("no admitted group in theme 2")
            << 1 << "1" << 3 << 1 << 1 << QStringLiteral("1000000000") << "1970"
            << "12" << QStringList{"№ 3", "теме 2"};
        QTest::newRow("nothing admitted") << 1 << "1" << 3 << 1 << 1 << QStringLiteral("0000000000") << "1970"
                                          << "12" << QStringList{"№ 1", "теме 1"};
        QTest::newRow("year too big") << 1 << "1" << 3 << 1 << 1 << g << "40000"
                                      << "12" << QStringList{"Год рождения", "40000"};
        QTest::newRow("year with a letter") << 1 << "1" << 3 << 1 << 1 << g << "19a5"
                                            << "12" << QStringList{};
        QTest::newRow("seniority too small") << 1 << "1" << 3 << 1 << 1 << g << "1970"
                                             << "-32769" << QStringList{"Стаж"};
        QTest::newRow("seniority lowest") << 1 << "1" << 3 << 1 << 1 << g << "1970"
                                          << "-32768" << QStringList{};
        QTest::newRow("seniority -32768.5 floors below the range") << 1 << "1" << 3 << 1 << 1 << g << "1970"
                                                                   << "-32768.5" << QStringList{"Стаж"};
    }
    void startRefusals() {
        QFETCH(int, examinee);
        QFETCH(QString, profile);
        QFETCH(int, questionCount);
        QFETCH(int, slot2Theme);
        QFETCH(int, slot4Theme);
        QFETCH(QString, groups);
        QFETCH(QString, birthYear);
        QFETCH(QString, seniority);
        QFETCH(QStringList, message);
        QTemporaryDir dir;
        auto m = makeModule(dir.path() + QLatin1Char('/'));
        QVERIFY(m);
        ExamProfile& p = coreDatabase(*m).profiles[1];
        p.questionCount = static_cast<int16>(questionCount);
        p.slotTheme[2] = static_cast<int16>(slot2Theme);
        p.slotTheme[4] = static_cast<int16>(slot4Theme);
        for (int k = 0; k < kGroupCount; ++k)
            p.groups[k] = groups.mid(k, 1) + QStringLiteral("Группа 1");
        coreExam(*m).currentExaminee = static_cast<int16>(examinee);
        RegistrationTexts texts = registrationTexts(profile);
        texts.birthYear = birthYear;
        texts.seniority = seniority;

        const std::optional<QString> refusal = m->checkExamStart(texts);
        if (message.isEmpty()) {
            QVERIFY2(!refusal, qPrintable(refusal.value_or(QString())));
            return;
        }
        QVERIFY(refusal);
        for (const QString& part : message)
            QVERIFY2(refusal->contains(part), qPrintable(*refusal));
    }

    // A damaged time limit or a rejected database file: the start names the real cause.
    void startRefusedForTimeOrDatabase_data() {
        QTest::addColumn<int>("timeLimit");
        QTest::addColumn<QString>("marker");
        QTest::addColumn<QString>("message");
        QTest::newRow("time 0") << 0 << kVersionMarker << "время на экзамен 0 с";
        QTest::newRow("time -5") << -5 << kVersionMarker << "время на экзамен -5 с";
        QTest::newRow("time 1") << 1 << kVersionMarker << "";
        QTest::newRow("rejected file") << 600 << "garbage"
                                       << "Не открыта годная база тестов";
    }
    void startRefusedForTimeOrDatabase() {
        QFETCH(int, timeLimit);
        QFETCH(QString, marker);
        QFETCH(QString, message);
        QTemporaryDir dir;
        auto m = makeModule(dir.path() + QLatin1Char('/'));
        QVERIFY(m);
        coreDatabase(*m).profiles[1].timeLimit = static_cast<int16>(timeLimit);
        coreDatabase(*m).databaseHeader[1] = marker;
        const std::optional<QString> refusal = m->checkExamStart(registrationTexts());
        QCOMPARE(refusal.has_value(), !message.isEmpty());
        if (refusal)
            QVERIFY2(refusal->contains(message), qPrintable(*refusal));
    }

    void noSecondStartWhileRunning() {
        QTemporaryDir dir;
        auto m = makeModule(dir.path() + QLatin1Char('/'));
        QVERIFY(m);
        m->startExam(registrationTexts());
        QVERIFY(m->checkExamStart(registrationTexts()));
    }

    void storedNumbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("stored");
        QTest::newRow("letter inside") << "19a5" << 19;
        QTest::newRow("blank inside") << "1 975" << 1975;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("rounded down") << "1975.9" << 1975;
        QTest::newRow("negative rounded down") << "-2.5" << -3;
        QTest::newRow("no number") << "давно" << 0;
    }
    void storedNumbers() {
        QFETCH(QString, text);
        QFETCH(int, stored);
        QTemporaryDir dir;
        auto m = makeModule(dir.path() + QLatin1Char('/'));
        QVERIFY(m);
        RegistrationTexts texts = registrationTexts();
        texts.birthYear = text;
        texts.seniority = text;
        texts.askedCount = text;
        m->startExam(texts);
        const std::optional<FinishResult> done = m->finishExam(texts);
        QVERIFY(done);
        QCOMPARE(int(done->record.birthYear), stored);
        QCOMPARE(int(done->record.seniority), stored);
        QCOMPARE(int(done->record.askedCount), stored);
        QVERIFY(readBack(*m)[1] == done->record);
    }
};

QTEST_GUILESS_MAIN(TestExamRun)
#include "tst_examrun.moc"
