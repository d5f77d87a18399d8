#pragma once

#include "core/clock.h"
#include "core/jobstatus.h"
#include "core/prompts.h"
#include "keyworddb/keyworddatabaselist.h"
#include "research/crawlpacer.h"
#include "web/endpoints.h"
#include "web/webclient.h"

#include <qcoro/qcorotask.h>

#include <array>

namespace marbleway {

// The keyword database's count refresh: for each row of the database list from
// the refresh position (the bold row) down, asks the engines chosen for the
// keyword's page count, paced with the related keyword search, and keeps it.
// Pausable; a paused refresh resumes at the row it was about to refresh, and a
// complete pass clears the position.
class DatabaseRefresh : public Job {
    Q_OBJECT
public:
    struct Services {
        const WebClient& web;
        const Endpoints& endpoints;
        const Clock& clock;
        CrawlPacer& pacer;
        KeywordDatabaseList& list;
        Prompts& prompts;
        StatusPanels& panels;
    };

    explicit DatabaseRefresh(Services services, QObject* parent = nullptr);

    JobControl& control() { return m_control; }
    // "更新Google.com收录量" and its two siblings; read again for every row.
    void setEngine(SearchEngine engine, bool refresh) { m_engines[size_t(engine)] = refresh; }
    bool refreshes(SearchEngine engine) const { return m_engines[size_t(engine)]; }

    // "开始更新" / "暂停更新": starts, or asks a running refresh to pause. The
    // refresh keeps its own task.
    void click();
    // The same, for callers that wait for the refresh to stop.
    QCoro::Task<> run();

    // Shown in a cell while its count is asked for.
    static const QString Updating;
    // Seconds a request may take; from the first Bing request of a run on, longer.
    static constexpr int TryTime = 10;
    static constexpr int BingTryTime = 15;

Q_SIGNALS:
    // The filter frame is usable only while no refresh runs.
    void filterEnabledChanged(bool enabled);
    // A row's counts and date are refreshed, in the list and the table.
    void rowRefreshed(RowId row);

private:
    QCoro::Task<> UpdateDb();
    void ended(bool workDone);

    Services m_services;
    JobControl m_control;
    std::unique_ptr<WebClient> m_web; // its own: a pause drops only its requests
    std::array<bool, AllSearchEngines.size()> m_engines{};
};

} // namespace marbleway
