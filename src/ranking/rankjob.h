#pragma once

#include "core/clock.h"
#include "core/prompts.h"
#include "ranking/favouritestore.h"
#include "ranking/ranktabmodel.h"
#include "web/endpoints.h"
#include "web/webclient.h"

#include <QObject>
#include <qcoro/qcorotask.h>

namespace marbleway {

// The rank query: every checked site and keyword on every checked engine, rows
// grouped by site and keyword, the day's history of favourites written, and the
// recent queries of this run kept.
class RankJob : public QObject {
    Q_OBJECT
public:
    RankJob(RankTabModel& model, const FavouriteStore& favourites, const WebClient& client,
            const Endpoints& endpoints, const Clock& clock, Prompts& prompts,
            QObject* parent = nullptr);

    bool isRunning() const { return m_running; }

    // The start button. Runs to the end; a second start while running is ignored.
    QCoro::Task<> start();
    // 0 when the job may start, -1 after telling the user what is missing.
    QCoro::Task<int> checksave();

    // Whether the recent queries already hold this combination at the current
    // depth and all-positions choice.
    bool keyrank_CheckExit(const QString& txt, const QString& ses, const QString& webs) const;

    // A click on a recent query: its lists, engines, choices and rows come back.
    void restoreRecent(int row);
    // "删除查询记录".
    QCoro::Task<> deleteRecent();

Q_SIGNALS:
    void runningChanged(bool running);
    // Combinations (site and keyword) done of all.
    void progress(int done, int total);
    // Something went wrong that the user should know of (a day file not written).
    void warning(const QString& text);

private:
    bool recentHas(const QString& txt, const QString& ses, const QString& webs,
                   const QString& depthIndex, const QString& allPositions) const;
    void setRunning(bool running);
    QList<QStandardItem*> appendEngineRow(SearchEngine engine);
    static void fillEngineRow(const QList<QStandardItem*>& row, const RankHit& hit);

    RankTabModel* m_model;
    const FavouriteStore* m_favourites;
    const WebClient* m_client;
    const Endpoints* m_endpoints;
    const Clock* m_clock;
    Prompts* m_prompts;
    bool m_running = false;
};

// Puts a query's site, keyword, engines and choices back on the tab (a recent
// query or a favourite being browsed): the lists on screen are replaced, the
// stored lists are not touched.
void showCombinationOnTab(RankTabModel& model, const QString& site, const QString& keyword,
                          const QString& engineNames);
// Appends the rows of one day or one recent query under their site row.
void appendStoredRows(RankTabModel& model, const QStringList& siteRow,
                      const QList<QStringList>& engineRows);

} // namespace marbleway
