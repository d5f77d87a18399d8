#pragma once

#include "keyworddb/keywordstore.h"
#include "ranking/favouritestore.h"
#include "ranking/keyrank.h"

#include <QDate>
#include <QList>

namespace marbleway {

// Where a favourite stood on one engine on one day.
struct HistoryPoint {
    QDate date;
    SearchEngine engine = SearchEngine::Google;
    int position = 0; // 0: not within the depth (when read)
    QString link;
    RankOutcome outcome = RankOutcome::Read;
    QString reason;
};

// A favourite's days in date order, as history lines: per day and engine the
// lookup the database holds (shared by everyone who uses it), else the lines of
// the day file, which keep the days from before the database held them and
// every position of a lookup that listed all. `database` may be null or closed.
// Days that cannot be read and lines of engines the program does not know are
// left out.
QList<HistoryDay> historyDays(const FavouriteStore& store, KeywordStore* database,
                              const QString& descriptor);

// A favourite's history, day by day in date order: the first line of each
// engine's lookup in historyDays() (the best position).
QList<HistoryPoint> readHistory(const FavouriteStore& store, KeywordStore* database,
                                const QString& descriptor);

// A favourite's day as the database keeps it, from the day's history lines:
// per engine the first (the best position).
QList<StoredRank> storedRanks(const QString& descriptor, QDate day, const QStringList& lines);

// One engine's line on the history chart.
struct ChartLine {
    SearchEngine engine = SearchEngine::Google;
    // Runs of positions on consecutive days; a day without a lookup, a lookup
    // that was not read, or a day outside the depth ends a run.
    QList<QList<HistoryPoint>> runs;
    // The days it was read but not within the depth.
    QList<HistoryPoint> unlisted;
};

// The chart's lines, one per engine that has points, in the engine order.
QList<ChartLine> chartLines(const QList<HistoryPoint>& points);

} // namespace marbleway
