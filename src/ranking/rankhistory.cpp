#include "ranking/rankhistory.h"

#include "ranking/ranktext.h"

#include <map>
#include <utility>

namespace marbleway {

QList<HistoryPoint> readHistory(const FavouriteStore& store, KeywordStore* database,
                                const QString& descriptor)
{
    // Keyed by day and engine: the database's lookups come first and win.
    std::map<std::pair<QDate, SearchEngine>, HistoryPoint> points;
    const auto add = [&points](const StoredRank& rank) {
        const auto engine = engineFromKey(rank.engine);
        const auto outcome = outcomeFromKey(rank.outcome);
        if (engine && outcome && rank.day.isValid()) {
            points.try_emplace({rank.day, *engine}, HistoryPoint{rank.day, *engine, rank.position,
                                                                 rank.link, *outcome, rank.reason});
        }
    };
    if (database && database->isOpen()) {
        for (const StoredRank& rank : database->ranks(descriptor))
            add(rank);
    }
    for (const HistoryDay& day : store.days(descriptor)) {
        const QDate date = QDate::fromString(day.date, Qt::ISODate);
        if (!day.readable || !date.isValid())
            continue;
        for (const StoredRank& rank : storedRanks(descriptor, date, day.lines))
            add(rank);
    }
    QList<HistoryPoint> history;
    for (const auto& [key, point] : points)
        history << point;
    return history;
}

QList<StoredRank> storedRanks(const QString& descriptor, QDate day, const QStringList& lines)
{
    QList<StoredRank> ranks;
    std::array<bool, AllSearchEngines.size()> seen{};
    for (const QString& line : lines) {
        const QStringList cells = line.split(u'|');
        const auto engine = engineFromDisplayName(cells.value(0));
        if (!engine || std::exchange(seen[size_t(*engine)], true))
            continue;
        const RankOutcome outcome = storedOutcome(cells);
        const bool read = outcome == RankOutcome::Read;
        ranks << StoredRank{descriptor,
                            day,
                            engineKey(*engine),
                            read ? cells.value(1).toInt() : 0,
                            cells.value(2),
                            outcomeKey(outcome),
                            read ? QString() : cells.value(4)};
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
