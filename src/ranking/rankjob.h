#pragma once

#include "core/clock.h"
#include "core/jobstatus.h"
#include "core/prompts.h"
#include "keyworddb/keywordstore.h"
#include "ranking/favouritestore.h"
#include "ranking/keyrank.h"
#include "ranking/ranktabmodel.h"
#include "web/endpoints.h"
#include "web/webclient.h"

#include <QSet>
#include <qcoro/qcorotask.h>

#include <functional>
#include <memory>

namespace marbleway {

// Every engine of a combination asked in turn, each answer handed to `onHit`
// as it comes; the answers in order. The rank tab and the command line both
// run their queries through this. The finder must outlive the call.
QCoro::Task<QList<RankHit>> queryCombination(cKeyrank& finder, Combination combination,
                                             std::function<void(const RankHit&)> onHit);

// The rank query: every checked site and keyword on every checked engine, rows
// grouped by site and keyword, the day's history of favourites written, and the
// recent queries of this run kept.
class RankJob : public Job {
    Q_OBJECT
public:
    // Favourites' lookups go to their day files and, when it is given, the database.
    RankJob(RankTabModel& model, const FavouriteStore& favourites, KeywordStore* database,
            const WebClient& client, const Endpoints& endpoints, const Clock& clock,
            Prompts& prompts, QObject* parent = nullptr);

    // The start button: the job runs to the end and keeps its own task; a
    // second start while running is ignored.
    void start();
    // "停止查询": the request in flight is dropped and the run ends there, with
    // the rows found so far. A combination cut short is neither kept among the
    // recent queries nor written to a favourite's day.
    void stop();
    bool isStopping() const { return m_stopping; }
    // How engines whose rules say "browser" have their pages rendered.
    void setBrowserFetch(BrowserFetch fetch) { m_browserFetch = std::move(fetch); }
    // The run itself, for callers that wait for its end.
    QCoro::Task<> run();
    // 0 when the job may start, -1 after telling the user what is missing.
    QCoro::Task<int> checksave();

    // Whether the recent queries already hold this combination at this depth
    // and all-positions choice.
    bool keyrank_CheckExit(const QString& txt, const QString& ses, const QString& webs,
                           int depthIndex, int allPositions) const;

    // A click on a recent query: its lists, engines, choices and rows come back.
    void restoreRecent(int row);
    // "删除查询记录".
    QCoro::Task<> deleteRecent();

Q_SIGNALS:
    // The user wants to answer the page an engine blocked the run with.
    void answerBlockPage(const QString& url);

private:
    static QString recentKey(const QString& ses, const QString& site, const QString& keyword,
                             const QString& depthIndex, const QString& allPositions);
    void rebuildRecentKeys();

    RankTabModel* m_model;
    const FavouriteStore* m_favourites;
    KeywordStore* m_database;
    std::unique_ptr<WebClient> m_client; // its own, so that a stop ends only its request
    const Endpoints* m_endpoints;
    const Clock* m_clock;
    Prompts* m_prompts;
    QSet<QString> m_recentKeys;
    bool m_stopping = false;
    BrowserFetch m_browserFetch;
};

} // namespace marbleway
