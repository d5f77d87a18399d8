#include "scaledclock.h"

#include <cmath>

namespace marbleway::test {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

ScaledClock::ScaledClock(double speed, QDateTime start)
    : m_speed(speed > 0 ? speed : 1.0)
    , m_start(std::move(start))
    , m_origin(steady_clock::now())
{}

milliseconds ScaledClock::monotonic() const
{
    const auto real = std::chrono::duration<double, std::milli>(steady_clock::now() - m_origin);
    return milliseconds(std::llround(real.count() * m_speed));
}

QDateTime ScaledClock::now() const
{
    return m_start.addMSecs(monotonic().count());
}

milliseconds ScaledClock::realDuration(milliseconds programTime) const
{
    return milliseconds(std::llround(static_cast<double>(programTime.count()) / m_speed));
}

} // namespace marbleway::test
