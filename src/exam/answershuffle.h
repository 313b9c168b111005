#pragma once
// The random deal of the five answer parts to the five answer boxes.

#include "model/database.h"

#include <array>

namespace zet {

class RandomSource;

class AnswerShuffle {
public:
    explicit AnswerShuffle(RandomSource& rng) : m_rng(rng) {}

    std::array<int16, 6> answerOrder{}; // box position 1..5 -> answer part 1..5
    int16 correctPosition = 0;          // box position holding part 1

    // Draw-and-reject deal, at most 100 attempts a position; a position left unfilled
    // gets the part left over, so the deal is always a permutation.
    void shuffleAnswers();

private:
    RandomSource& m_rng;
};

} // namespace zet
