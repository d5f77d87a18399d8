#include "research/crawlpacer.h"

#include "core/rounding.h"

namespace marbleway {

using namespace Qt::StringLiterals;
using std::chrono::milliseconds;

CrawlPacer::CrawlPacer(const Clock& clock)
    : m_clock(&clock)
{}

void CrawlPacer::setInterval(SearchEngine engine, int seconds)
{
    m_intervals[size_t(engine)] = seconds;
}

int CrawlPacer::intervalFromSetting(const QString& stored)
{
    bool ok = false;
    const double seconds = stored.trimmed().toDouble(&ok);
    if (!ok || !(seconds >= 0.5) || seconds > 86400)
        return DefaultInterval;
    return int(roundHalfEven(seconds));
}

void CrawlPacer::loadIntervals(const SettingsStore& settings)
{
    for (const SearchEngine engine : AllSearchEngines) {
        const QString name = engineInfo(engine).intervalSetting.toString();
        setInterval(engine, intervalFromSetting(settings.RegRead(name)));
    }
}

int CrawlPacer::interval(SearchEngine engine) const
{
    return m_intervals[size_t(engine)];
}

QCoro::Task<> CrawlPacer::pace(SearchEngine engine, Wait wait, const JobControl* job)
{
    auto& last = m_last[size_t(engine)];
    const milliseconds now = m_clock->monotonic();
    milliseconds pause{0};
    if (last) {
        // Negative while another caller waits for a later turn of this engine.
        const double elapsed = double((now - *last).count()) / 1000.0;
        const double interval =
            double(m_intervals[size_t(engine)]) / std::max(1, m_spread ? m_spread() : 1);
        if (roundHalfEven(elapsed) < interval) {
            const double remaining = interval - elapsed;
            // "More than r seconds": one millisecond past r.
            const double seconds = wait == Wait::Exact ? remaining : roundHalfEven(remaining);
            if (seconds >= 0)
                pause = milliseconds(qint64(seconds * 1000.0) + 1);
        }
    }
    // The turn is taken before the wait, so that a caller pacing meanwhile (the
    // related search while the database refresh waits) comes after this one.
    last = now + pause;
    if (pause > milliseconds(0)) {
        co_await m_clock->sleep(pause, job);
        last = std::max(*last, m_clock->monotonic());
    }
}

} // namespace marbleway
