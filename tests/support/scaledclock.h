#pragma once

#include "core/clock.h"

namespace marbleway::test {

// Runs program time `speed` times faster than real time, from a chosen start,
// so that time-outs and pauses take a fraction of their nominal length.
class ScaledClock final : public Clock {
public:
    explicit ScaledClock(double speed, QDateTime start = QDateTime::currentDateTime());

    std::chrono::milliseconds monotonic() const override;
    QDateTime now() const override;
    std::chrono::milliseconds realDuration(std::chrono::milliseconds programTime) const override;

private:
    double m_speed;
    QDateTime m_start;
    std::chrono::steady_clock::time_point m_origin;
};

} // namespace marbleway::test
