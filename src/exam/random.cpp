#include "exam/random.h"

#include <chrono>

namespace zet {

float unitFloat(std::mt19937& engine) {
    return static_cast<float>(engine() >> 8) * (1.0f / 16777216.0f);
}

float ClockRandom::next() {
    return unitFloat(m_engine);
}

void ClockRandom::reseed() {
    const auto steady = std::chrono::steady_clock::now().time_since_epoch().count();
    const auto wall = std::chrono::system_clock::now().time_since_epoch().count();
    std::seed_seq seq{static_cast<std::uint32_t>(steady), static_cast<std::uint32_t>(steady >> 32),
                      static_cast<std::uint32_t>(wall), static_cast<std::uint32_t>(wall >> 32),
                      static_cast<std::uint32_t>(++m_calls)};
    m_engine.seed(seq);
}

float SeededRandom::next() {
    return unitFloat(m_engine);
}

} // namespace zet
