#include "ranking/rankhistory.h"

#include "ranking/ranktext.h"

#include <map>
#include <utility>

namespace marbleway {

QList<HistoryDay> historyDays(const FavouriteStore& store, KeywordStore* database,
                              const QString& descriptor)
{
    std::map<QDate, std::array<QStringList, AllSearchEngines.size()>> days;
    for (const HistoryDay& day : store.days(descriptor)) {
        const QDate date = QDate::fromString(day.date, Qt::ISODate);
        if (!day.readable || !date.isValid())
            continue;
        auto& engines = days[date];
        for (const QString& line : day.lines) {
            if (const auto engine = engineFromDisplayName(line.section(u'|', 0, 0)))
                engines[size_t(*engine)] << line;
        }
    }
    if (database && database->isOpen()) {
        for (const StoredRank& rank : database->ranks(descriptor)) {
            const auto engine = engineFromKey(rank.engine);
            const auto outcome = outcomeFromKey(rank.outcome);
            if (!engine || !outcome || !rank.day.isValid())
                continue;
            // The file's lines stay when they begin with the same lookup.
            QStringList& lines = days[rank.day][size_t(*engine)];
            if (lines.isEmpty() ||
                storedRanks(descriptor, rank.day, {lines.first()}) != QList<StoredRank>{rank}) {
                lines = {historyLine(
                    RankHit{*engine, rank.position, rank.link, {}, *outcome, rank.reason})};
            }
        }
    }
    QList<HistoryDay> history;
    for (const auto& [date, engines] : days) {
        HistoryDay day{isoDate(date), {}, true};
        for (const QStringList& lines : engines)
            day.lines += lines;
        history << day;
    }
    return history;
}

QList<HistoryPoint> readHistory(const FavouriteStore& store, KeywordStore* database,
                                const QString& descriptor)
{
    QList<HistoryPoint> points;
    for (const HistoryDay& day : historyDays(store, database, descriptor)) {
        const QDate date = QDate::fromString(day.date, Qt::ISODate);
        for (const StoredRank& rank : storedRanks(descriptor, date, day.lines)) {
            points << HistoryPoint{date,      *engineFromKey(rank.engine),   rank.position,
                                   rank.link, *outcomeFromKey(rank.outcome), rank.reason};
        }
    }
    return points;
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
