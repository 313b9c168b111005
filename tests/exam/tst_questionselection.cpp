// Question orders per theme and the draw of an admitted question.

#include "exam/questionselection.h"
#include "exam/random.h"
#include "scriptedrandom.h"

#include <QtTest>

#include <map>
#include <set>

using namespace zet;
using zet::test::ScriptedRandom;

namespace {

const QString kAllGroups = QStringLiteral("1111111111");

// Question q of theme t with the given flags and a text long enough to count.
void setQuestion(Database& db, int t, int q, const QString& flags = kAllGroups) {
    db.questions(t, q, 0) = flags + QStringLiteral("Вопрос %1.%2").arg(t).arg(q);
    for (int p = 1; p <= 5; ++p)
        db.questions(t, q, p) = QStringLiteral("ответ %1").arg(p);
}

ExamProfile profileAdmitting(const QString& flags, int theme = 1) {
    ExamProfile profile;
    profile.questionCount = 15;
    for (int k = 0; k < kGroupCount; ++k)
        profile.groups[k] = flags.mid(k, 1) + QStringLiteral("Группа 1"); // a "1" in the title must not count
    for (int s = 1; s <= kSlotCount; ++s)
        profile.slotTheme[s] = static_cast<int16>(theme);
    return profile;
}

std::vector<int> order(const QuestionSelection& sel, int t) {
    const int n = sel.questionOrder[t][0];
    return {sel.questionOrder[t].begin() + 1, sel.questionOrder[t].begin() + 1 + n};
}

bool isPermutation(std::vector<int> values) {
    std::sort(values.begin(), values.end());
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (values[i] != static_cast<int>(i) + 1)
            return false;
    }
    return true;
}

} // namespace

class TestQuestionSelection : public QObject {
    Q_OBJECT

private slots:
    void questionCount_data() {
        QTest::addColumn<QStringList>("texts"); // part 0 of questions 1.. (index 0 is question 1)
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("n");

        const QString q = kAllGroups + QStringLiteral("текст");
        QTest::newRow("empty theme") << QStringList{} << QString() << 0;
        QTest::newRow("long title only")
            << QStringList{} << QStringLiteral("11111111111 длинное название") << 0;
        QTest::newRow("gap at 4, last at 7") << QStringList{q, q, q, QString(), q, q, q} << QString() << 7;
        QTest::newRow("exactly 10 characters does not count")
            << QStringList{q, q, q, kAllGroups} << QString() << 3;
        QTest::newRow("11 characters counts")
            << QStringList{q, QString(), kAllGroups + QStringLiteral("x")} << QString() << 3;
    }
    void questionCount() {
        QFETCH(QStringList, texts);
        QFETCH(QString, title);
        QFETCH(int, n);
        Database db;
        db.questions(2, 0, 0) = title;
        for (int i = 0; i < texts.size(); ++i)
            db.questions(2, i + 1, 0) = texts[i];
        SeededRandom rng(7);
        QuestionSelection sel(db, rng);
        sel.questionOrder[2].fill(55); // stale values must all be replaced
        sel.shuffleThemeQuestions(2);
        QCOMPARE(int(sel.questionOrder[2][0]), n);
        QVERIFY(isPermutation(order(sel, 2)));
        for (int a = n + 1; a <= kQuestionSlots; ++a)
            QCOMPARE(int(sel.questionOrder[2][a]), 0);
    }

    void shuffleReseedsAndKeepsCursor() {
        Database db;
        for (int q = 1; q <= 5; ++q)
            setQuestion(db, 3, q);
        ScriptedRandom rng({}, 0.3f);
        QuestionSelection sel(db, rng);
        sel.themeCursor[3] = 4;
        sel.shuffleThemeQuestions(3);
        QCOMPARE(rng.reseeds, 1);
        QCOMPARE(int(sel.themeCursor[3]), 4);
        // A source stuck on one value fills position 1 and gives up on the others after 10*n tries.
        QCOMPARE(int(sel.questionOrder[3][1]), 2);
        for (int k = 2; k <= 5; ++k)
            QCOMPARE(int(sel.questionOrder[3][k]), 0);
        QCOMPARE(rng.draws, 1 + 4 * 50);
    }

    void shuffleAllThemesInOrder() {
        Database db;
        for (int t = 1; t <= kThemeCount; ++t)
            setQuestion(db, t, t <= 10 ? 2 : 1);
        ScriptedRandom rng({}, 0.0f);
        QuestionSelection sel(db, rng);
        sel.shuffleAllThemes();
        QCOMPARE(rng.reseeds, kThemeCount);
        QCOMPARE(int(sel.questionOrder[10][0]), 2);
        QCOMPARE(int(sel.questionOrder[11][0]), 1);
        QCOMPARE(int(sel.questionOrder[20][1]), 1);
    }

    // A lower number with an empty text is part of the order; it is drawn and rejected by its flags.
    void gapIsDrawnAndRejected() {
        Database db;
        for (int q : {1, 2, 3, 5, 6, 7})
            setQuestion(db, 1, q);
        ScriptedRandom rng;
        for (int v : {4, 1, 2, 3, 5, 6, 7})
            rng.push(ScriptedRandom::For(v, 7));
        QuestionSelection sel(db, rng);
        sel.shuffleThemeQuestions(1);
        QCOMPARE(order(sel, 1), (std::vector<int>{4, 1, 2, 3, 5, 6, 7}));

        const ExamProfile profile = profileAdmitting(kAllGroups);
        int16 wraps = 0;
        QCOMPARE(int(sel.drawQuestion(1, profile, wraps)), 1);
        QCOMPARE(int(sel.themeCursor[1]), 2);
        QCOMPARE(int(wraps), 0);

        // A gap whose flags do match is accepted.
        db.questions(1, 4, 0) = QStringLiteral("1");
        sel.themeCursor[1] = 0;
        QCOMPARE(int(sel.drawQuestion(1, profile, wraps)), 4);
    }

    void profileAdmittingNothingGetsNoQuestion() {
        Database db;
        for (int q = 1; q <= 4; ++q)
            setQuestion(db, 1, q);
        ScriptedRandom rng({}, 0.0f);
        QuestionSelection sel(db, rng);
        SeededRandom seeded(3);
        QuestionSelection real(db, seeded);
        real.shuffleThemeQuestions(1);
        sel.questionOrder = real.questionOrder;
        sel.themeCursor[1] = 2;

        int16 wraps = 0;
        QCOMPARE(int(sel.drawQuestion(1, profileAdmitting(QStringLiteral("0000000000")), wraps)), 0);
        // Rest of the pass, then two reshuffled passes; the third wrap ends the draw.
        QCOMPARE(rng.reseeds, 2);
        QCOMPARE(int(wraps), 0);
        QCOMPARE(int(sel.themeCursor[1]), 1);
    }

    void emptyThemeGetsNoQuestion() {
        Database db;
        SeededRandom rng(1);
        QuestionSelection sel(db, rng);
        sel.shuffleAllThemes();
        int16 wraps = 0;
        QCOMPARE(int(sel.drawQuestion(5, profileAdmitting(kAllGroups, 9), wraps)), 0);
    }

    void themeOfThreeUsedByFourSlots() {
        Database db;
        for (int q = 1; q <= 3; ++q)
            setQuestion(db, 6, q);
        SeededRandom rng(2024);
        QuestionSelection sel(db, rng);
        sel.shuffleThemeQuestions(6);
        const std::vector<int> first = order(sel, 6);
        const ExamProfile profile = profileAdmitting(kAllGroups, 6);

        std::vector<int> drawn;
        for (int slot = 1; slot <= 3; ++slot) {
            int16 wraps = 0;
            drawn.push_back(sel.drawQuestion(static_cast<int16>(slot), profile, wraps));
            QCOMPARE(int(wraps), 0);
        }
        QCOMPARE(drawn, first);

        int16 wraps = 0;
        const int fourth = sel.drawQuestion(4, profile, wraps);
        QCOMPARE(int(wraps), 1);
        QCOMPARE(int(sel.themeCursor[6]), 1);
        QVERIFY(isPermutation(order(sel, 6)));
        QCOMPARE(fourth, int(sel.questionOrder[6][1]));
    }

    // After 10*n failed attempts a position stays 0; the draw skips it and never returns the
    // theme title, even when the title's first characters look like matching flags.
    void unfilledPositionIsSkipped() {
        Database db;
        db.questions(1, 0, 0) = QStringLiteral("1111111111 Название темы");
        setQuestion(db, 1, 1);
        setQuestion(db, 1, 2);
        ScriptedRandom rng({}, 0.0f); // always v = 1
        QuestionSelection sel(db, rng);
        sel.shuffleThemeQuestions(1);
        QCOMPARE(order(sel, 1), (std::vector<int>{1, 0}));

        const ExamProfile profile = profileAdmitting(kAllGroups);
        int16 wraps = 0;
        QCOMPARE(int(sel.drawQuestion(1, profile, wraps)), 1);
        wraps = 0;
        // Question 2 never gets into the order: after the same passes the draw takes 1 again
        // rather than none.
        QCOMPARE(int(sel.drawQuestion(2, profile, wraps)), 1);
        QCOMPARE(rng.reseeds, 3);
    }

    // Saving a question rebuilds the orders but keeps the cursors; a cursor beyond the new n wraps.
    void cursorPastNewCountWraps() {
        Database db;
        for (int q = 1; q <= 6; ++q)
            setQuestion(db, 1, q);
        SeededRandom rng(11);
        QuestionSelection sel(db, rng);
        sel.shuffleThemeQuestions(1);
        sel.themeCursor[1] = 5;
        for (int q = 4; q <= 6; ++q)
            db.questions(1, q, 0).clear();
        sel.shuffleAllThemes();
        QCOMPARE(int(sel.themeCursor[1]), 5);
        int16 wraps = 0;
        const int q = sel.drawQuestion(1, profileAdmitting(kAllGroups), wraps);
        QVERIFY(q >= 1 && q <= 3);
        QCOMPARE(int(sel.themeCursor[1]), 1);
        QCOMPARE(int(wraps), 1);
    }

    // An exam that starts in the middle of the walk wraps into a fresh order; what it has
    // already asked is passed over, and the cursor keeps walking the order for the next exam.
    void wrapInsideAnExamSkipsAskedQuestions() {
        Database db;
        for (int q = 1; q <= 10; ++q)
            setQuestion(db, 1, q);
        ScriptedRandom rng;
        for (int v : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 5, 1, 6, 2, 7, 3, 8, 4, 9, 10})
            rng.push(ScriptedRandom::For(v, 10));
        QuestionSelection sel(db, rng);
        sel.shuffleThemeQuestions(1);
        sel.themeCursor[1] = 3; // the previous examinee stopped here

        const ExamProfile profile = profileAdmitting(kAllGroups);
        sel.beginExam();
        std::vector<int> drawn;
        for (int slot = 1; slot <= 10; ++slot) {
            int16 wraps = 0;
            drawn.push_back(sel.drawQuestion(static_cast<int16>(slot), profile, wraps));
        }
        QCOMPARE(drawn, (std::vector<int>{4, 5, 6, 7, 8, 9, 10, 1, 2, 3}));
        QCOMPARE(int(sel.themeCursor[1]), 6); // position of 3 in the new order

        // The next exam starts afresh and takes the walk where it stopped.
        sel.beginExam();
        int16 wraps = 0;
        QCOMPARE(int(sel.drawQuestion(1, profile, wraps)), 8);
    }

    // Many exams of two profiles sharing themes, with a database load between them: no exam
    // asks a question twice unless its profile asks more than the theme holds.
    void noQuestionTwiceInOneExam_data() {
        QTest::addColumn<int>("askedFromTheme1"); // profile A's slots on theme 1
        QTest::addColumn<int>("theme1AfterReload");
        QTest::newRow("as many as the theme holds") << 10 << 12;
        QTest::newRow("reload shrinks the theme") << 7 << 8;
        QTest::newRow("more than the theme holds") << 13 << 10;
    }
    void noQuestionTwiceInOneExam() {
        QFETCH(int, askedFromTheme1);
        QFETCH(int, theme1AfterReload);
        Database db;
        for (int q = 1; q <= 10; ++q)
            setQuestion(db, 1, q, q % 2 ? QStringLiteral("1000000000") : QStringLiteral("0100000000"));
        for (int q = 1; q <= 4; ++q)
            setQuestion(db, 2, q);
        SeededRandom rng(2026);
        QuestionSelection sel(db, rng);
        sel.shuffleAllThemes();

        ExamProfile a = profileAdmitting(kAllGroups);
        a.questionCount = static_cast<int16>(std::min(askedFromTheme1 + 2, int(kSlotCount)));
        for (int s = askedFromTheme1 + 1; s <= kSlotCount; ++s)
            a.slotTheme[s] = 2;
        ExamProfile b = profileAdmitting(QStringLiteral("1000000000")); // odd questions only
        b.questionCount = 4;
        b.slotTheme[2] = 2;

        for (int exam = 0; exam < 40; ++exam) {
            if (exam == 20) { // another database is loaded; the orders are rebuilt, cursors kept
                for (int q = 1; q <= kQuestionSlots; ++q)
                    db.questions(1, q, 0).clear();
                for (int q = 1; q <= theme1AfterReload; ++q)
                    setQuestion(db, 1, q, q % 2 ? QStringLiteral("1000000000") : QStringLiteral("0100000000"));
                sel.shuffleAllThemes();
            }
            const ExamProfile& profile = exam % 3 == 2 ? b : a;
            sel.beginExam();
            std::map<int, std::vector<int>> byTheme;
            for (int slot = 1; slot <= profile.questionCount; ++slot) {
                int16 wraps = 0;
                const int q = sel.drawQuestion(static_cast<int16>(slot), profile, wraps);
                QVERIFY(q != 0);
                byTheme[profile.slotTheme[slot]].push_back(q);
            }
            for (const auto& [theme, questions] : byTheme) {
                const int eligible = theme == 1 && &profile == &b
                                         ? (QuestionSelection::themeQuestionCount(db, 1) + 1) / 2
                                         : QuestionSelection::themeQuestionCount(db, static_cast<int16>(theme));
                const std::set<int> distinct(questions.begin(), questions.end());
                QCOMPARE(int(distinct.size()), std::min(int(questions.size()), eligible));
            }
        }
    }

    void slotOrThemeOutOfRange() {
        Database db;
        setQuestion(db, 1, 1);
        SeededRandom rng(1);
        QuestionSelection sel(db, rng);
        sel.shuffleAllThemes();
        ExamProfile profile = profileAdmitting(kAllGroups);
        int16 wraps = 0;
        QCOMPARE(int(sel.drawQuestion(16, profile, wraps)), 0);
        QCOMPARE(int(sel.drawQuestion(0, profile, wraps)), 0);
        profile.slotTheme[1] = 21;
        QCOMPARE(int(sel.drawQuestion(1, profile, wraps)), 0);
        profile.slotTheme[1] = 0;
        QCOMPARE(int(sel.drawQuestion(1, profile, wraps)), 0);
    }

    void eligibility_data() {
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("profileFlags");
        QTest::addColumn<bool>("eligible");

        QTest::newRow("shared group 1") << "0100000000текст"
                                        << "0100000000" << true;
        QTest::newRow("shared group 9") << "0000000001текст"
                                        << "0000000001" << true;
        QTest::newRow("no shared group") << "1010101010текст"
                                         << "0101010101" << false;
        QTest::newRow("all admitted, none set") << "0000000000текст"
                                                << "1111111111" << false;
        QTest::newRow("blank flag is not a member") << " 100000000текст"
                                                    << "1000000000" << false;
        QTest::newRow("only exact 1 counts in profile") << "1000000000текст"
                                                        << "2 00000000" << false;
        QTest::newRow("short question text") << "01"
                                             << "0100000000" << true;
        QTest::newRow("flags past the end are empty") << "0"
                                                      << "0100000000" << false;
        QTest::newRow("empty question") << ""
                                        << "1111111111" << false;
    }
    void eligibility() {
        QFETCH(QString, question);
        QFETCH(QString, profileFlags);
        QFETCH(bool, eligible);
        QCOMPARE(QuestionSelection::isEligible(question, profileAdmitting(profileFlags)), eligible);
    }

    void emptyGroupEntryAdmitsNothing() {
        ExamProfile profile = profileAdmitting(kAllGroups);
        for (QString& g : profile.groups)
            g.clear();
        QVERIFY(!QuestionSelection::isEligible(kAllGroups + QStringLiteral("x"), profile));
        profile.groups[3] = QStringLiteral("1");
        QVERIFY(QuestionSelection::isEligible(QStringLiteral("0001"), profile));
    }

    // Every order of a small theme comes out about equally often.
    void orderOfSmallThemeIsUniform() {
        Database db;
        for (int q = 1; q <= 4; ++q)
            setQuestion(db, 1, q);
        SeededRandom rng(12345);
        QuestionSelection sel(db, rng);
        std::map<std::vector<int>, int> counts;
        const int rounds = 24000;
        for (int i = 0; i < rounds; ++i) {
            sel.shuffleThemeQuestions(1);
            ++counts[order(sel, 1)];
        }
        QCOMPARE(int(counts.size()), 24);
        const double expected = rounds / 24.0;
        double chi2 = 0;
        for (const auto& [order, count] : counts) {
            QVERIFY(isPermutation(order));
            chi2 += (count - expected) * (count - expected) / expected;
        }
        // 23 degrees of freedom: 80 lies far beyond any plausible value for a uniform deal.
        QVERIFY2(chi2 < 80.0, qPrintable(QString::number(chi2)));
    }

    void clockSeededShufflesDiffer() {
        Database db;
        for (int q = 1; q <= 100; ++q)
            setQuestion(db, 1, q);
        ClockRandom rng;
        QuestionSelection sel(db, rng);
        sel.shuffleThemeQuestions(1);
        const std::vector<int> first = order(sel, 1);
        sel.shuffleThemeQuestions(1);
        const std::vector<int> second = order(sel, 1);
        QCOMPARE(int(first.size()), 100);
        QVERIFY(first != second);
    }
};

QTEST_GUILESS_MAIN(TestQuestionSelection)
#include "tst_questionselection.moc"
