#pragma once
// The single-precision generator of the exam engine: uniform values in [0, 1), re-seeded
// at the start of every shuffle. Tests substitute a seeded source.

#include <cstdint>
#include <random>

namespace zet {

class RandomSource {
public:
    virtual ~RandomSource() = default;
    // Next value, uniform in [0, 1).
    virtual float next() = 0;
    // Called at the start of every shuffle.
    virtual void reseed() = 0;
};

// Re-seeds from a high-resolution clock mixed with the system clock and a call counter,
// so shuffles made within the same millisecond still differ.
class ClockRandom : public RandomSource {
public:
    float next() override;
    void reseed() override;

private:
    std::mt19937 m_engine{0x5eed};
    std::uint64_t m_calls = 0;
};

// Deterministic: seeded once, reseed() does nothing.
class SeededRandom : public RandomSource {
public:
    explicit SeededRandom(std::uint32_t seed) : m_engine(seed) {}
    float next() override;
    void reseed() override {}

private:
    std::mt19937 m_engine;
};

// 24 random bits scaled by 2^-24: never returns 1.0.
float unitFloat(std::mt19937& engine);

} // namespace zet
