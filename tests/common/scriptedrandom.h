#pragma once
// Random sources for exam-engine tests: a scripted one that returns given values (then a
// fixed fallback) and counts re-seeds, so a test can lay out a shuffle or a deal exactly.

#include "exam/random.h"

#include <deque>
#include <initializer_list>

namespace zet::test {

class ScriptedRandom : public RandomSource {
public:
    ScriptedRandom(std::initializer_list<float> values = {}, float fallback = 0.0f)
        : m_values(values), m_fallback(fallback) {}

    float next() override {
        ++draws;
        if (m_values.empty())
            return m_fallback;
        const float v = m_values.front();
        m_values.pop_front();
        return v;
    }
    void reseed() override { ++reseeds; }

    void push(float v) { m_values.push_back(v); }
    // The value that makes int(n * r) + 1 come out as v.
    static float For(int v, int n) { return (static_cast<float>(v) - 0.5f) / static_cast<float>(n); }

    int draws = 0;
    int reseeds = 0;

private:
    std::deque<float> m_values;
    float m_fallback;
};

} // namespace zet::test
