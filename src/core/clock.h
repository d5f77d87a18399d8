#pragma once

#include <QDateTime>
#include <qcoro/qcorotask.h>

#include <chrono>
#include <optional>

namespace marbleway {

class JobControl;

// Every time-out, pause and "today" in the program reads one of these, so tests
// can run the program's waits faster than real time.
class Clock {
public:
    virtual ~Clock() = default;

    // Monotonic program time; never jumps with the wall clock.
    virtual std::chrono::milliseconds monotonic() const = 0;
    // Wall-clock time, for dates shown to the user and stored in files.
    virtual QDateTime now() const = 0;
    // The real wait that stands for a program-time duration.
    virtual std::chrono::milliseconds realDuration(std::chrono::milliseconds programTime) const = 0;

    QDate today() const { return now().date(); }

    // Suspends the caller for the given program time, on a precise timer.
    QCoro::Task<> sleep(std::chrono::milliseconds programTime) const;
    // The same, ended early by a stop request of `job` (or not begun after one).
    QCoro::Task<> sleep(std::chrono::milliseconds programTime, const JobControl* job) const;

    // The real clock of the running program.
    static const Clock& system();
};

class SystemClock final : public Clock {
public:
    // Waits and time-outs pass `speed` times faster than real time; dates stay
    // real. Only the command line's tests ask for a speed other than 1.
    explicit SystemClock(double speed = 1.0);

    std::chrono::milliseconds monotonic() const override;
    QDateTime now() const override;
    std::chrono::milliseconds realDuration(std::chrono::milliseconds programTime) const override;

private:
    double m_speed;
};

// Lets the window repaint and take clicks before a long piece of work goes on.
QCoro::Task<> letEventsRun();

// Dates the program stores and shows: ISO "yyyy-MM-dd" everywhere (valid in file
// names, sorts as text, no ".").
QString isoDate(QDate date);
// A date written by isoDate(); invalid for anything else.
QDate parseIsoDate(const QString& text);
// Whole days from `from` to `to`; nullopt when either date is invalid.
std::optional<qint64> wholeDaysBetween(QDate from, QDate to);

} // namespace marbleway
