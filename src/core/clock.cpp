#include "core/clock.h"

#include "core/jobstatus.h"

#include <QCoreApplication>
#include <QTimer>

#include <coroutine>

namespace marbleway {

namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

// Resumes the awaiting coroutine from a single-shot precise timer. Qt's default
// coarse timers may fire up to 5 % early, which would cut pacing short.
struct PreciseSleep {
    milliseconds duration;

    bool await_ready() const noexcept { return duration <= milliseconds::zero(); }
    void await_suspend(std::coroutine_handle<> waiter) const
    {
        QTimer::singleShot(duration, Qt::PreciseTimer, QCoreApplication::instance(),
                           [waiter] { waiter.resume(); });
    }
    void await_resume() const noexcept {}
};

// A sleep that a stop request of a job cuts short.
struct StoppableSleep {
    milliseconds duration;
    const JobControl* job;

    bool await_ready() const noexcept
    {
        return duration <= milliseconds::zero() || (job && !job->isRunning());
    }
    void await_suspend(std::coroutine_handle<> waiter) const
    {
        auto* timer = new QTimer(QCoreApplication::instance());
        timer->setSingleShot(true);
        timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(timer, &QTimer::timeout, timer, [timer, waiter] {
            // Once: a stop request after this must not resume the waiter again.
            if (timer->property("fired").toBool())
                return;
            timer->setProperty("fired", true);
            timer->deleteLater();
            waiter.resume();
        });
        if (job)
            QObject::connect(job, &JobControl::stopRequested, timer, [timer] { timer->start(0); });
        timer->start(duration);
    }
    void await_resume() const noexcept {}
};

// Resumes the awaiting coroutine once the event loop has had a turn.
struct NextTurn {
    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> waiter) const
    {
        QTimer::singleShot(0, QCoreApplication::instance(), [waiter] { waiter.resume(); });
    }
    void await_resume() const noexcept {}
};

milliseconds sinceStartup()
{
    static const auto origin = steady_clock::now();
    return std::chrono::duration_cast<milliseconds>(steady_clock::now() - origin);
}

} // namespace

QCoro::Task<> Clock::sleep(milliseconds programTime) const
{
    co_await PreciseSleep{realDuration(programTime)};
}

QCoro::Task<> Clock::sleep(milliseconds programTime, const JobControl* job) const
{
    co_await StoppableSleep{realDuration(programTime), job};
}

QCoro::Task<> letEventsRun()
{
    co_await NextTurn{};
}

const Clock& Clock::system()
{
    static const SystemClock clock;
    return clock;
}

SystemClock::SystemClock(double speed)
    : m_speed(speed > 0 ? speed : 1.0)
{}

milliseconds SystemClock::monotonic() const
{
    return milliseconds(qint64(double(sinceStartup().count()) * m_speed));
}

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

milliseconds SystemClock::realDuration(milliseconds programTime) const
{
    return milliseconds(qint64(double(programTime.count()) / m_speed));
}

QString isoDate(QDate date)
{
    return date.toString(Qt::ISODate);
}

QDate parseIsoDate(const QString& text)
{
    return QDate::fromString(text.trimmed(), Qt::ISODate);
}

std::optional<qint64> wholeDaysBetween(QDate from, QDate to)
{
    if (!from.isValid() || !to.isValid())
        return std::nullopt;
    return from.daysTo(to);
}

} // namespace marbleway
