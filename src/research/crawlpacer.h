#pragma once

#include "core/clock.h"
#include "core/settingsstore.h"
#include "web/engines.h"

#include <QObject>
#include <qcoro/qcorotask.h>

#include <array>
#include <chrono>
#include <functional>
#include <optional>

namespace marbleway {

// Keeps page-count requests to one engine at least its crawl interval apart,
// so that the engines do not block the user. Shared by every paced caller, so
// that the related keyword search and the database refresh pace each other.
class CrawlPacer {
public:
    explicit CrawlPacer(const Clock& clock);

    // Seconds between two requests to the engine (3 to 10 from the settings;
    // other values are used as they stand).
    void setInterval(SearchEngine engine, int seconds);
    int interval(SearchEngine engine) const;

    enum class Wait { Rounded, Exact };
    // Waits, when needed, until the engine's interval has passed since its last
    // request, then notes this request's time. The first request to an engine
    // never waits. A stop request of `job` ends the wait early. The pacer must
    // outlive the call.
    QCoro::Task<> pace(SearchEngine engine, Wait wait = Wait::Rounded,
                       const JobControl* job = nullptr);

    // With requests spread over proxies, each engine's pause counts per proxy:
    // the interval is divided by what `proxies` says at each request.
    void setSpread(std::function<int()> proxies) { m_spread = std::move(proxies); }

    // The intervals as the settings hold them (the engine table names each
    // engine's setting). The one place they are read.
    void loadIntervals(const SettingsStore& settings);
    // A stored interval: a whole number of seconds (a fraction rounds half to
    // even); the default when it is missing, not a number or not positive.
    static int intervalFromSetting(const QString& stored);

    static constexpr int DefaultInterval = 5;

private:
    const Clock* m_clock;
    std::array<int, AllSearchEngines.size()> m_intervals{DefaultInterval, DefaultInterval,
                                                         DefaultInterval};
    std::array<std::optional<std::chrono::milliseconds>, AllSearchEngines.size()> m_last;
    std::function<int()> m_spread;
};

} // namespace marbleway
