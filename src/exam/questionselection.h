#pragma once
// Per-theme random question orders and the draw of an admitted question for a slot.

#include "model/database.h"

#include <array>
#include <bitset>

namespace zet {

class RandomSource;

class QuestionSelection {
public:
    QuestionSelection(const Database& db, RandomSource& rng) : m_db(db), m_rng(rng) {}

    // questionOrder[theme 1..20][position 0..100]: position 0 holds n, 1..n a permutation
    // of 1..n (0 where the shuffle left a position unfilled), above n 0.
    std::array<std::array<int16, kQuestionSlots + 1>, kThemeCount + 1> questionOrder{};
    // themeCursor[theme 1..20]: position of the question last drawn; lives for the process.
    std::array<int16, kThemeCount + 1> themeCursor{};

    // Rebuilds questionOrder[t]; leaves themeCursor alone.
    void shuffleThemeQuestions(int16 t);
    void shuffleAllThemes(); // themes 1..20 in ascending order

    // Starts a new exam: forgets which questions it has asked. Orders and cursors stay.
    void beginExam();

    // Draws the next eligible question of the profile's slotTheme[slot].
    // wrapCounter belongs to one presentation (start it at 0). Returns 0 for no question.
    // A position left unfilled by the shuffle (0) is treated as a rejected candidate.
    // A question this exam has already asked is passed over while the theme still holds an
    // eligible question the exam has not asked; only then may one come again.
    int16 drawQuestion(int16 slot, const ExamProfile& profile, int16& wrapCounter);

    // True when question q of theme t belongs to at least one group the profile admits.
    static bool isEligible(const QString& questionPart0, const ExamProfile& profile);
    // n of a theme: the highest question number whose stored text (flags included) is longer
    // than 10 characters, 0 when there is none.
    static int16 themeQuestionCount(const Database& db, int16 t);

private:
    // True when theme t holds an eligible question this exam has not asked yet.
    bool hasUnaskedQuestion(int t, const ExamProfile& profile) const;

    const Database& m_db;
    // Questions asked in the running exam, per theme.
    std::array<std::bitset<kQuestionSlots + 1>, kThemeCount + 1> m_asked{};
    RandomSource& m_rng;
};

} // namespace zet
