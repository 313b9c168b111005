#include "app/module1.h"

namespace zet {

Module1::Module1(std::unique_ptr<RandomSource> rng, std::function<QDate()> today)
    : m_rng(rng ? std::move(rng) : std::make_unique<ClockRandom>()), m_today(std::move(today)) {}

QDate Module1::Today() const { return m_today ? m_today() : QDate::currentDate(); }

} // namespace zet
