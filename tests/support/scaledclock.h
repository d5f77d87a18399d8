#pragma once

#include "core/clock.h"

#include <QList>

#include <cmath>

namespace marbleway::test {

// Runs program time `speed` times faster than real time, so that time-outs and
// pauses take a fraction of their nominal length.
class ScaledClock final : public Clock {
public:
    explicit ScaledClock(double speed)
        : m_speed(speed > 0 ? speed : 1.0)
    {}

    std::chrono::milliseconds monotonic() const override
    {
        const std::chrono::duration<double, std::milli> real =
            std::chrono::steady_clock::now() - m_origin;
        return std::chrono::milliseconds(std::llround(real.count() * m_speed));
    }
    QDateTime now() const override { return m_start.addMSecs(monotonic().count()); }
    std::chrono::milliseconds realDuration(std::chrono::milliseconds programTime) const override
    {
        return std::chrono::milliseconds(std::llround(double(programTime.count()) / m_speed));
    }

private:
    double m_speed;
    QDateTime m_start = QDateTime::currentDateTime();
    std::chrono::steady_clock::time_point m_origin = std::chrono::steady_clock::now();
};

// Notes every wait and time-out asked of it (in program milliseconds). Its
// program time moves when advanced; `instant` waits take a millisecond of
// real time, and their program time passes at once.
class RecordingClock final : public Clock {
public:
    explicit RecordingClock(bool instant = true)
        : m_instant(instant)
    {}

    std::chrono::milliseconds monotonic() const override { return m_now; }
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    std::chrono::milliseconds realDuration(std::chrono::milliseconds programTime) const override
    {
        m_asked << programTime.count();
        if (!m_instant)
            return programTime;
        // A millisecond, so that the waiter still lets others run meanwhile.
        m_now += programTime;
        return std::chrono::milliseconds(programTime.count() > 0 ? 1 : 0);
    }
    void advance(std::chrono::milliseconds by) { m_now += by; }
    QList<qint64> asked() const { return m_asked; }

private:
    bool m_instant;
    mutable std::chrono::milliseconds m_now{100000};
    mutable QList<qint64> m_asked;
};

} // namespace marbleway::test
