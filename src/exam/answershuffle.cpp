#include "exam/answershuffle.h"

#include "exam/random.h"

namespace zet {

namespace {
constexpr int kBoxes = 5;
constexpr int kAttempts = 100;
} // namespace

void AnswerShuffle::shuffleAnswers() {
    for (int p = 1; p <= kBoxes; ++p)
        answerOrder[p] = 0;

    m_rng.reseed();

    auto dealt = [this](int v) {
        for (int i = 1; i <= kBoxes; ++i) {
            if (answerOrder[i] == v)
                return true;
        }
        return false;
    };
    auto place = [this](int p, int v) {
        answerOrder[p] = static_cast<int16>(v);
        if (v == 1)
            correctPosition = static_cast<int16>(p);
    };

    for (int p = 1; p <= kBoxes; ++p) {
        for (int attempt = 0; attempt < kAttempts; ++attempt) {
            int v = static_cast<int>(m_rng.next() * static_cast<float>(kBoxes)) + 1;
            if (v > kBoxes) // r is below 1, so this only guards against a faulty source
                v = kBoxes;
            if (!dealt(v)) {
                place(p, v);
                break;
            }
        }
    }

    // A box the draw left empty gets the part nobody drew, so every box shows an answer.
    for (int p = 1; p <= kBoxes; ++p) {
        if (answerOrder[p] != 0)
            continue;
        for (int v = 1; v <= kBoxes; ++v) {
            if (!dealt(v)) {
                place(p, v);
                break;
            }
        }
    }
}

} // namespace zet
