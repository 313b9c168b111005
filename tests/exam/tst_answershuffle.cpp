// The deal of the five answer parts to the five boxes.

#include "exam/answershuffle.h"
#include "exam/random.h"
#include "scriptedrandom.h"

#include <QtTest>

#include <algorithm>
#include <map>

using namespace zet;
using zet::test::ScriptedRandom;

namespace {

std::array<int, 5> deal(const AnswerShuffle& s) {
    return {s.answerOrder[1], s.answerOrder[2], s.answerOrder[3], s.answerOrder[4], s.answerOrder[5]};
}

bool isPermutation(std::array<int, 5> d) {
    std::sort(d.begin(), d.end());
    return d == std::array<int, 5>{1, 2, 3, 4, 5};
}

} // namespace

class TestAnswerShuffle : public QObject {
    Q_OBJECT

private slots:
    void scriptedDeals_data() {
        QTest::addColumn<QList<float>>("values");
        QTest::addColumn<float>("fallback");
        QTest::addColumn<QList<int>>("order");
        QTest::addColumn<int>("correct");
        QTest::addColumn<int>("draws");

        auto f = [](int v) { return ScriptedRandom::For(v, 5); };
        QTest::newRow("first try each")
            << QList<float>{f(3), f(1), f(5), f(2), f(4)} << 0.0f << QList<int>{3, 1, 5, 2, 4} << 2 << 5;
        QTest::newRow("repeats rejected") << QList<float>{f(2), f(2), f(2), f(4), f(4), f(1), f(5), f(3)}
                                          << 0.0f << QList<int>{2, 4, 1, 5, 3} << 3 << 8;
        // A source stuck on one value fills the first box only; the others get what is left over.
        QTest::newRow("stuck low") << QList<float>{} << 0.0f << QList<int>{1, 2, 3, 4, 5} << 1 << 401;
        QTest::newRow("stuck high") << QList<float>{} << 0.9999999f << QList<int>{5, 1, 2, 3, 4} << 2 << 401;
        QTest::newRow("last box left over")
            << QList<float>{f(2), f(3), f(4), f(5)} << f(5) << QList<int>{2, 3, 4, 5, 1} << 5 << 104;
    }
    void scriptedDeals() {
        QFETCH(QList<float>, values);
        QFETCH(float, fallback);
        QFETCH(QList<int>, order);
        QFETCH(int, correct);
        QFETCH(int, draws);
        ScriptedRandom rng({}, fallback);
        for (float v : values)
            rng.push(v);
        AnswerShuffle s(rng);
        s.answerOrder = {0, 5, 5, 5, 5, 5}; // leftovers of an earlier deal must not matter
        s.correctPosition = 9;
        s.shuffleAnswers();
        QCOMPARE(rng.reseeds, 1);
        QCOMPARE(rng.draws, draws);
        const std::array<int, 5> d = deal(s);
        QCOMPARE(QList<int>(d.begin(), d.end()), order);
        QCOMPARE(int(s.correctPosition), correct);
    }

    // Every one of the 120 orders comes out about equally often, and part 1 lands in each box
    // about a fifth of the time.
    void dealIsUniform() {
        SeededRandom rng(987654);
        AnswerShuffle s(rng);
        const int rounds = 60000;
        std::map<std::array<int, 5>, int> counts;
        std::array<int, 6> correctAt{};
        for (int i = 0; i < rounds; ++i) {
            s.shuffleAnswers();
            const std::array<int, 5> d = deal(s);
            QVERIFY(isPermutation(d));
            QCOMPARE(int(s.answerOrder[s.correctPosition]), 1);
            ++counts[d];
            ++correctAt[s.correctPosition];
        }
        QCOMPARE(int(counts.size()), 120);
        const double expected = rounds / 120.0;
        double chi2 = 0;
        for (const auto& [deal, count] : counts)
            chi2 += (count - expected) * (count - expected) / expected;
        // 119 degrees of freedom (mean 119, deviation about 15): 200 is a generous bound.
        QVERIFY2(chi2 < 200.0, qPrintable(QString::number(chi2)));
        for (int p = 1; p <= 5; ++p) {
            QVERIFY2(std::abs(correctAt[p] - rounds / 5) < rounds / 100,
                     qPrintable(QStringLiteral("box %1: %2").arg(p).arg(correctAt[p])));
        }
    }

    void clockSeededDealsDiffer() {
        // One deal has only 120 outcomes, so compare runs of deals made right after each other.
        ClockRandom rng;
        AnswerShuffle s(rng);
        std::vector<std::array<int, 5>> first, second;
        for (int i = 0; i < 4; ++i) {
            s.shuffleAnswers();
            first.push_back(deal(s));
        }
        for (int i = 0; i < 4; ++i) {
            s.shuffleAnswers();
            second.push_back(deal(s));
        }
        QVERIFY(first != second);
    }
};

QTEST_GUILESS_MAIN(TestAnswerShuffle)
#include "tst_answershuffle.moc"
