// A whole exam driven through Module1: start check, presentation, answers, advance, clock,
// finish and the day file it writes.

#include "app/module1.h"

#include "testdata.h"

#include <QtTest>

#include <set>

using namespace zet;

namespace {

const QDate kToday(2010, 12, 3);

void SetQuestion(Database& db, int t, int q, const QString& flags) {
    db.Questions(t, q, 0) = flags + QStringLiteral("Вопрос %1.%2").arg(t).arg(q);
    db.Questions(t, q, 1) = QStringLiteral("верно %1.%2").arg(t).arg(q);
    for (int p = 2; p <= 5; ++p)
        db.Questions(t, q, p) = QStringLiteral("неверно %1.%2.%3").arg(t).arg(q).arg(p);
}

// Theme 1: six questions of group 0; theme 2: three of group 1; theme 3: question 1 holds
// only its flags. Profile 1 asks three questions (themes 1, 1, 2) in 600 s with thresholds
// 3, 2, 1; profile 2 asks three questions of theme 1.
std::unique_ptr<Module1> MakeModule(const QString& programFolder, std::uint32_t seed = 77) {
    auto m = std::make_unique<Module1>(std::make_unique<SeededRandom>(seed), [] { return kToday; });
    Database& db = m->db;
    db.NewDatabase();
    db.DatabaseHeader[1] = kVersionMarker; // as after a load or a save
    db.ProgramFolder = programFolder;
    for (int q = 1; q <= 6; ++q)
        SetQuestion(db, 1, q, QStringLiteral("1000000000"));
    for (int q = 1; q <= 3; ++q)
        SetQuestion(db, 2, q, QStringLiteral("0100000000"));
    SetQuestion(db, 3, 1, QStringLiteral("1000000000"));
    db.Questions(3, 1, 0) = QStringLiteral("1000000000");
    SetQuestion(db, 3, 2, QStringLiteral("0000000000"));

    ExamProfile& p1 = db.Profiles[1];
    p1.Name = QStringLiteral("Основной");
    p1.QuestionCount = 3;
    p1.SlotTheme = {0, 1, 1, 2};
    p1.Groups = {QStringLiteral("1Слесари"), QStringLiteral("1Электрики"), QStringLiteral("0Прочие")};
    for (int k = 3; k < kGroupCount; ++k)
        p1.Groups[k] = QStringLiteral("0");
    p1.ExcellentMin = 3;
    p1.GoodMin = 2;
    p1.FairMin = 1;
    p1.TimeLimit = 600;

    ExamProfile& p2 = db.Profiles[2];
    p2 = p1;
    p2.Number = 2;
    p2.SlotTheme = {0, 1, 1, 1};

    if (!m->archive.Prepare(db.ProgramFolder, m->Today(), m->exam.DayRegister).ok)
        return nullptr;
    m->exam.FindFreeSlot();
    m->exam.CurrentProfile = 1;
    m->exam.QuestionNo = 1;
    m->selection.ShuffleAllThemes();
    return m;
}

RegistrationTexts Texts(const QString& profile = QStringLiteral("1")) {
    RegistrationTexts t;
    t.FullName = QStringLiteral("Иванов И.И.");
    t.BirthYear = QStringLiteral("1970");
    t.JobTitle = QStringLiteral("слесарь");
    t.Seniority = QStringLiteral("12");
    t.PersonnelNo = QStringLiteral("А-15");
    t.ProfileNo = profile;
    t.ProfileName = QStringLiteral("Основной");
    t.AskedCount = QStringLiteral("3");
    return t;
}

int16 WrongPosition(const Module1& m) {
    return static_cast<int16>(m.answers.CorrectPosition % 5 + 1);
}

// Answers every question (right when right is set) and stops where the exam must be finished.
void AnswerAll(Module1& m, bool right) {
    for (;;) {
        QVERIFY(m.AnswerClick(right ? m.answers.CorrectPosition : WrongPosition(m)));
        if (!m.AdvanceExam())
            return;
    }
}

DayRegisterArray ReadBack(const Module1& m) {
    DayRegisterArray reg{};
    [&] { QVERIFY(m.archive.ReadDayFile(reg).ok); }();
    return reg;
}

} // namespace

class TestExamRun : public QObject {
    Q_OBJECT

private slots:
    void wholeExam() {
        QTemporaryDir dir;
        auto m = MakeModule(dir.path() + QLatin1Char('/'));
        QVERIFY(m);
        QCOMPARE(int(m->exam.CurrentExaminee), 1);
        QVERIFY(!m->CheckExamStart(Texts()));

        std::set<int> themeOneSeen;
        PresentedQuestion q = m->StartExam(Texts());
        QCOMPARE(int(m->exam.ExamRunning), 1);
        QCOMPARE(int(m->exam.CurrentProfile), 1);
        QCOMPARE(int(m->exam.QuestionNo), 1);
        QCOMPARE(int(m->exam.CorrectCount), 0);
        QCOMPARE(int(m->exam.DayRegister[1].TimeSpent), 0);
        for (int n = 1; n <= 3; ++n) {
            QCOMPARE(int(q.N), n);
            QCOMPARE(q.Caption, QStringLiteral("Вопрос № %1").arg(n));
            QVERIFY(q.found);
            QCOMPARE(int(q.theme), n < 3 ? 1 : 2);
            QCOMPARE(q.Text, QStringLiteral("Вопрос %1.%2").arg(q.theme).arg(q.question));
            // The box at CorrectPosition shows the correct answer; the five boxes show five parts.
            std::set<QString> shown;
            for (int p = 1; p <= 5; ++p) {
                QCOMPARE(q.Answers[p], m->db.Questions(q.theme, q.question, m->answers.AnswerOrder[p]));
                shown.insert(q.Answers[p]);
            }
            QCOMPARE(int(shown.size()), 5);
            QCOMPARE(q.Answers[m->answers.CorrectPosition],
                     QStringLiteral("верно %1.%2").arg(q.theme).arg(q.question));
            if (q.theme == 1)
                QVERIFY(themeOneSeen.insert(q.question).second);

            const bool answerRight = n != 2;
            bool correct = !answerRight;
            const int16 pos = answerRight ? m->answers.CorrectPosition : WrongPosition(*m);
            QVERIFY(m->AnswerClick(pos, &correct));
            QCOMPARE(correct, answerRight);
            QCOMPARE(int(m->exam.AnswerLock), 1);
            QCOMPARE(int(m->exam.ChosenPosition), int(pos));
            const int counted = m->exam.CorrectCount;
            // Clicks during the pause are ignored, on any box.
            for (int16 p = 1; p <= 5; ++p)
                QVERIFY(!m->AnswerClick(p));
            QCOMPARE(int(m->exam.CorrectCount), counted);
            QVERIFY(!m->ClockTick());

            std::optional<PresentedQuestion> next = m->AdvanceExam();
            if (n < 3) {
                QVERIFY(next);
                QCOMPARE(int(m->exam.AnswerLock), 0);
                QCOMPARE(int(m->exam.QuestionNo), n + 1);
                q = *next;
            } else {
                QVERIFY(!next); // no fourth question: the exam is to be finished
                QCOMPARE(int(m->exam.QuestionNo), 3);
            }
        }
        QCOMPARE(int(m->exam.CorrectCount), 2);

        const std::optional<FinishResult> done = m->FinishExam(Texts());
        QVERIFY(done);
        QCOMPARE(int(done->Examinee), 1);
        QVERIFY2(done->Written.ok, qPrintable(done->Written.error));
        ExamineeRecord expected = testing::SampleRecord(1);
        expected.ProfileNo = 1;
        expected.AskedCount = 3;
        expected.RightCount = 2;
        expected.TimeSpent = 3;
        QVERIFY(done->Record == expected);
        QVERIFY(m->exam.DayRegister[1] == expected);
        QCOMPARE(int(m->exam.ExamRunning), 0);
        QCOMPARE(int(m->exam.AnswerLock), 0);
        QCOMPARE(int(m->exam.CurrentExaminee), 2);
        QVERIFY(ReadBack(*m) == m->exam.DayRegister);

        // Never finished twice; no answers or ticks count without an exam.
        QVERIFY(!m->FinishExam(Texts()));
        QVERIFY(!m->AnswerClick(1));
        QVERIFY(!m->ClockTick());
        QCOMPARE(int(m->exam.CurrentExaminee), 2);
    }

    void timeOut() {
        QTemporaryDir dir;
        auto m = MakeModule(dir.path() + QLatin1Char('/'));
        QVERIFY(m);
        m->StartExam(Texts());
        for (int s = 1; s <= 600; ++s)
            QVERIFY2(!m->ClockTick(), qPrintable(QString::number(s)));
        QVERIFY(m->ClockTick());
        const std::optional<FinishResult> done = m->FinishExam(Texts());
        QVERIFY(done);
        QCOMPARE(int(done->Record.TimeSpent), 601);
        QCOMPARE(int(done->Record.RightCount), 0);
        QCOMPARE(int(done->Record.Grade), 2);
        QCOMPARE(int(done->Record.AskedCount), 3);
        QCOMPARE(int(ReadBack(*m)[1].TimeSpent), 601);
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
        auto m = MakeModule(dir.path() + QLatin1Char('/'));
        QVERIFY(m);
        m->StartExam(Texts());
        for (int n = 1; n < answered; ++n) {
            QVERIFY(m->AnswerClick(m->answers.CorrectPosition));
            QVERIFY(m->AdvanceExam());
        }
        QVERIFY(m->AnswerClick(m->answers.CorrectPosition));
        m->exam.DayRegister[1].TimeSpent = 600;
        QVERIFY(m->ClockTick());
        QVERIFY(m->FinishExam(Texts()));
        QCOMPARE(int(m->exam.CurrentExaminee), 2);

        QVERIFY(!m->AdvanceExam());
        QCOMPARE(int(m->exam.AnswerLock), 0);
        QCOMPARE(int(m->exam.QuestionNo), answered);
        QVERIFY(!m->FinishExam(Texts()));
        QCOMPARE(int(m->exam.CurrentExaminee), 2);
        QVERIFY(m->exam.DayRegister[2] == ExamineeRecord{});
        QCOMPARE(int(m->exam.DayRegister[1].RightCount), answered);
    }

    void clockStopsAtItsTop() {
        QTemporaryDir dir;
        auto m = MakeModule(dir.path() + QLatin1Char('/'));
        QVERIFY(m);
        m->db.Profiles[1].TimeLimit = 32767;
        m->StartExam(Texts());
        m->exam.DayRegister[1].TimeSpent = 32765;
        QVERIFY(!m->ClockTick());
        QVERIFY(m->ClockTick());
        QCOMPARE(int(m->exam.DayRegister[1].TimeSpent), 32767);
        QVERIFY(m->ClockTick());
        QCOMPARE(int(m->exam.DayRegister[1].TimeSpent), 32767);
        QCOMPARE(int(m->FinishExam(Texts())->Record.TimeSpent), 32767);
    }

    void failedWriteKeepsTheRecord() {
        QTemporaryDir dir;
        auto m = MakeModule(dir.path() + QLatin1Char('/'));
        QVERIFY(m);
        // The month folder is replaced by a plain file: nothing can be written below it.
        const QString month = m->archive.MonthFolder;
        QVERIFY(QDir(month).removeRecursively());
        {
            QFile blocker(month);
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        }

        m->StartExam(Texts());
        AnswerAll(*m, true);
        const std::optional<FinishResult> first = m->FinishExam(Texts());
        QVERIFY(first);
        QVERIFY(!first->Written.ok);
        QVERIFY2(first->Written.error.contains(QStringLiteral("03.12.2010.txt")),
                 qPrintable(first->Written.error));
        QCOMPARE(int(m->exam.DayRegister[1].Grade), 5);
        QCOMPARE(int(m->exam.CurrentExaminee), 2);
        QCOMPARE(int(m->exam.ExamRunning), 0);

        QVERIFY(QFile::remove(month));
        RegistrationTexts second = Texts();
        second.FullName = QStringLiteral("Петров П.П.");
        m->StartExam(second);
        AnswerAll(*m, false);
        const std::optional<FinishResult> next = m->FinishExam(second);
        QVERIFY(next && next->Written.ok);
        const DayRegisterArray onDisk = ReadBack(*m);
        QCOMPARE(onDisk[1].FullName, QStringLiteral("Иванов И.И."));
        QCOMPARE(int(onDisk[1].Grade), 5);
        QCOMPARE(onDisk[2].FullName, QStringLiteral("Петров П.П."));
        QCOMPARE(int(onDisk[2].Grade), 2);
    }

    // A day file with records 1 and 3: the gap is filled, then the exams go on after 3.
    void gapBeforeAUsedSlot() {
        QTemporaryDir dir;
        const QString folder = dir.path() + QLatin1Char('/');
        DayRegisterArray start{};
        start[1] = testing::SampleRecord(1, QStringLiteral("Первый П.П."));
        start[3] = testing::SampleRecord(3, QStringLiteral("Третий Т.Т."));
        const QString path = DayFilePathFor(folder, kToday);
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(FormatDayFile(start));
        }
        auto m = MakeModule(folder);
        QVERIFY(m);
        QCOMPARE(int(m->exam.CurrentExaminee), 2);
        for (int expected : {2, 4}) {
            QCOMPARE(int(m->exam.CurrentExaminee), expected);
            m->StartExam(Texts());
            AnswerAll(*m, true);
            QCOMPARE(int(m->FinishExam(Texts())->Examinee), expected);
        }
        QCOMPARE(int(m->exam.CurrentExaminee), 5);
        const DayRegisterArray onDisk = ReadBack(*m);
        QVERIFY(onDisk[1] == start[1]);
        QVERIFY(onDisk[3] == start[3]);
        QCOMPARE(int(onDisk[2].ProtocolNo), 2);
        QCOMPARE(int(onDisk[4].ProtocolNo), 4);

        // An exam never starts on a used slot.
        m->exam.CurrentExaminee = 3;
        QVERIFY(m->CheckExamStart(Texts()));
        m->StartExam(Texts());
        QCOMPARE(int(m->exam.ExamRunning), 0);
    }

    void threeExamsThenRestart() {
        QTemporaryDir dir;
        const QString folder = dir.path() + QLatin1Char('/');
        {
            auto m = MakeModule(folder);
            QVERIFY(m);
            for (int n = 1; n <= 3; ++n) {
                QVERIFY(!m->CheckExamStart(Texts()));
                m->StartExam(Texts());
                AnswerAll(*m, n != 2);
                QVERIFY(m->FinishExam(Texts())->Written.ok);
            }
            QCOMPARE(int(m->exam.CurrentExaminee), 4);
            for (int n = 1; n <= 3; ++n)
                QCOMPARE(int(m->exam.DayRegister[n].ProtocolNo), n);
        }
        auto again = MakeModule(folder);
        QVERIFY(again);
        QCOMPARE(int(again->exam.CurrentExaminee), 4);
        QCOMPARE(int(again->exam.DayRegister[2].Grade), 2);
        QCOMPARE(again->exam.DayRegister[3].JobTitle, QStringLiteral("слесарь"));
    }

    // The theme cursor lives for the process: the next examinee continues the same walk.
    void cursorContinuesAcrossExams() {
        QTemporaryDir dir;
        auto m = MakeModule(dir.path() + QLatin1Char('/'));
        QVERIFY(m);
        const auto order = m->selection.QuestionOrder[1];
        std::vector<int> asked;
        for (int exam = 1; exam <= 2; ++exam) {
            PresentedQuestion q = m->StartExam(Texts(QStringLiteral("2")));
            for (;;) {
                asked.push_back(q.question);
                QVERIFY(m->AnswerClick(1));
                std::optional<PresentedQuestion> next = m->AdvanceExam();
                if (!next)
                    break;
                q = *next;
            }
            QVERIFY(m->FinishExam(Texts(QStringLiteral("2"))));
        }
        QVERIFY(m->selection.QuestionOrder[1] == order);
        QCOMPARE(asked, std::vector<int>(order.begin() + 1, order.begin() + 7));
        QCOMPARE(int(m->selection.ThemeCursor[1]), 6);
        QCOMPARE(int(m->exam.DayRegister[2].ProfileNo), 2);
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
        auto m = MakeModule(dir.path() + QLatin1Char('/'));
        QVERIFY(m);
        m->db.Profiles[1].SlotTheme.fill(3);
        m->StartExam(Texts());
        const PresentedQuestion q = m->PresentQuestion(static_cast<int16>(N));
        QCOMPARE(q.Caption, QStringLiteral("Вопрос № %1").arg(N));
        QCOMPARE(q.found, found);
        if (found) {
            // Only question 1 of theme 3 is admitted; its stored text is just its flags.
            QCOMPARE(int(q.question), 1);
            QCOMPARE(q.Text, QString());
            QCOMPARE(q.Answers[m->answers.CorrectPosition], QStringLiteral("верно 3.1"));
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
        auto m = MakeModule(dir.path() + QLatin1Char('/'));
        QVERIFY(m);
        ExamProfile& p = m->db.Profiles[1];
        p.QuestionCount = static_cast<int16>(questionCount);
        p.SlotTheme[2] = static_cast<int16>(slot2Theme);
        p.SlotTheme[4] = static_cast<int16>(slot4Theme);
        for (int k = 0; k < kGroupCount; ++k)
            p.Groups[k] = groups.mid(k, 1) + QStringLiteral("Группа 1");
        m->exam.CurrentExaminee = static_cast<int16>(examinee);
        RegistrationTexts texts = Texts(profile);
        texts.BirthYear = birthYear;
        texts.Seniority = seniority;

        const std::optional<QString> refusal = m->CheckExamStart(texts);
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
        auto m = MakeModule(dir.path() + QLatin1Char('/'));
        QVERIFY(m);
        m->db.Profiles[1].TimeLimit = static_cast<int16>(timeLimit);
        m->db.DatabaseHeader[1] = marker;
        const std::optional<QString> refusal = m->CheckExamStart(Texts());
        QCOMPARE(refusal.has_value(), !message.isEmpty());
        if (refusal)
            QVERIFY2(refusal->contains(message), qPrintable(*refusal));
    }

    void noSecondStartWhileRunning() {
        QTemporaryDir dir;
        auto m = MakeModule(dir.path() + QLatin1Char('/'));
        QVERIFY(m);
        m->StartExam(Texts());
        QVERIFY(m->CheckExamStart(Texts()));
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
        auto m = MakeModule(dir.path() + QLatin1Char('/'));
        QVERIFY(m);
        RegistrationTexts texts = Texts();
        texts.BirthYear = text;
        texts.Seniority = text;
        texts.AskedCount = text;
        m->StartExam(texts);
        const std::optional<FinishResult> done = m->FinishExam(texts);
        QVERIFY(done);
        QCOMPARE(int(done->Record.BirthYear), stored);
        QCOMPARE(int(done->Record.Seniority), stored);
        QCOMPARE(int(done->Record.AskedCount), stored);
        QVERIFY(ReadBack(*m)[1] == done->Record);
    }
};

QTEST_GUILESS_MAIN(TestExamRun)
#include "tst_examrun.moc"
