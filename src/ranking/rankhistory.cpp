#include "ranking/rankhistory.h"

#include "ranking/ranktext.h"

#include <map>
#include <utility>

namespace marbleway {

QList<HistoryPoint> readHistory(const FavouriteStore& store, KeywordStore* database,
                                const QString& descriptor)
{
    // Keyed by day and engine: the database's lookups win over the day files'.
    std::map<std::pair<QDate, SearchEngine>, HistoryPoint> points;
    if (database && database->isOpen()) {
        for (const StoredRank& rank : database->ranks(descriptor)) {
            const auto engine = engineFromKey(rank.engine);
            const auto outcome = outcomeFromKey(rank.outcome);
            if (!engine || !outcome || !rank.day.isValid())
                continue;
            points[{rank.day, *engine}] =
                HistoryPoint{rank.day, *engine, rank.position, rank.link, *outcome, rank.reason};
        }
    }
    for (const HistoryDay& day : store.days(descriptor)) {
        const QDate date = QDate::fromString(day.date, Qt::ISODate);
        if (!day.readable || !date.isValid())
            continue;
        for (const QString& line : day.lines) {
            const QStringList cells = line.split(u'|');
            const auto engine = engineFromDisplayName(cells.value(0));
            if (engine) {
                points.try_emplace({date, *engine},
                                   HistoryPoint{date, *engine, cells.value(1).toInt(),
                                                cells.value(2), storedOutcome(cells),
                                                cells.value(4)});
            }
        }
    }
    QList<HistoryPoint> history;
    for (const auto& [key, point] : points)
        history << point;
    return history;
}

QList<StoredRank> storedRanks(const QString& descriptor, QDate day, const QList<RankHit>& hits)
{
    QList<StoredRank> ranks;
    std::array<bool, AllSearchEngines.size()> seen{};
    for (const RankHit& hit : hits) {
        if (std::exchange(seen[size_t(hit.engine)], true))
            continue;
        ranks << StoredRank{descriptor,
                            day,
                            engineKey(hit.engine),
                            hit.isRead() ? hit.position : 0,
                            hit.isRead() ? hit.link : QString(),
                            outcomeKey(hit.outcome),
                            hit.reason};
    }
    return ranks;
}

QList<ChartLine> chartLines(const QList<HistoryPoint>& points)
{
    QList<ChartLine> lines;
    for (const SearchEngine engine : AllSearchEngines) {
        ChartLine line{engine, {}, {}};
        QDate lastDay;
        bool any = false;
        for (const HistoryPoint& point : points) {
            if (point.engine != engine)
                continue;
            any = true;
            const bool drawn = point.outcome == RankOutcome::Read && point.position > 0;
            if (point.outcome == RankOutcome::Read && point.position == 0)
                line.unlisted << point;
            if (!drawn) {
                lastDay = QDate();
                continue;
            }
            if (!lastDay.isValid() || lastDay.addDays(1) != point.date)
                line.runs.append(QList<HistoryPoint>());
            line.runs.last() << point;
            lastDay = point.date;
        }
        if (any)
            lines << line;
    }
    return lines;
}

} // namespace marbleway
