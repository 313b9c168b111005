// Grading and the first free slot of the day register.

#include "exam/dayregister.h"

#include <QtTest>

using namespace zet;

class TestDayRegister : public QObject {
    Q_OBJECT

private slots:
    void grade_data() {
        QTest::addColumn<int>("excellent");
        QTest::addColumn<int>("good");
        QTest::addColumn<int>("fair");
        QTest::addColumn<int>("correct");
        QTest::addColumn<int>("grade");

        const int expected[16] = {2, 2, 2, 2, 2, 3, 3, 4, 4, 5, 5, 5, 5, 5, 5, 5};
        for (int c = 0; c <= 15; ++c)
            QTest::addRow("9/7/5, %d correct", c) << 9 << 7 << 5 << c << expected[c];
        QTest::newRow("out of order, last holding test wins") << 5 << 7 << 9 << 6 << 2;
        QTest::newRow("out of order, 9 correct") << 5 << 7 << 9 << 9 << 5;
        QTest::newRow("out of order, 4 correct") << 5 << 7 << 9 << 4 << 2;
        QTest::newRow("fair 0, none correct") << 2 << 1 << 0 << 0 << 3;
        QTest::newRow("all thresholds 0") << 0 << 0 << 0 << 0 << 5;
        QTest::newRow("signed comparison") << -1 << -5 << -9 << -3 << 4;
    }
    void grade() {
        QFETCH(int, excellent);
        QFETCH(int, good);
        QFETCH(int, fair);
        QFETCH(int, correct);
        QFETCH(int, grade);
        ExamProfile p;
        p.excellentMin = static_cast<int16>(excellent);
        p.goodMin = static_cast<int16>(good);
        p.fairMin = static_cast<int16>(fair);
        QCOMPARE(int(gradeExam(static_cast<int16>(correct), p)), grade);
    }

    void freeSlot_data() {
        QTest::addColumn<QList<int>>("used");
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");

        QTest::newRow("fresh day") << QList<int>{} << 0 << 1;
        QTest::newRow("three finished") << QList<int>{1, 2, 3} << 0 << 4;
        QTest::newRow("gap is taken first") << QList<int>{1, 3, 4} << 7 << 2;
        QTest::newRow("a protocol number alone is a used slot") << [] {
            QList<int> l;
            for (int i = 1; i < 50; ++i)
                l << i;
            return l;
        }() << 0 << 51;
        QTest::newRow("only the last free") << [] {
            QList<int> l;
            for (int i = 1; i < 100; ++i)
                l << i;
            return l;
        }() << 0 << 100;
        QTest::newRow("full register unchanged") << [] {
            QList<int> l;
            for (int i = 1; i <= 100; ++i)
                l << i;
            return l;
        }() << 42 << 42;
    }
    void freeSlot() {
        QFETCH(QList<int>, used);
        QFETCH(int, before);
        QFETCH(int, after);
        ExamState state;
        for (int n : used) {
            state.dayRegister[n].profileNo = 1;
            state.dayRegister[n].protocolNo = static_cast<int16>(n);
        }
        // A record that holds anything at all is not free, even without a profile number.
        state.dayRegister[50].protocolNo = 50;
        state.currentExaminee = static_cast<int16>(before);
        state.findFreeSlot();
        QCOMPARE(int(state.currentExaminee), after);
    }
};

QTEST_GUILESS_MAIN(TestDayRegister)
#include "tst_dayregister.moc"
