#include "ranking/rankhistory.h"

#include "ranking/ranktext.h"

namespace marbleway {

QList<HistoryPoint> readHistory(const FavouriteStore& store, const QString& descriptor)
{
    QList<HistoryPoint> points;
    for (const HistoryDay& day : store.days(descriptor)) {
        const QDate date = QDate::fromString(day.date, Qt::ISODate);
        if (!day.readable || !date.isValid())
            continue;
        std::array<bool, AllSearchEngines.size()> seen{};
        for (const QString& line : day.lines) {
            const QStringList cells = line.split(u'|');
            const auto engine = engineFromDisplayName(cells.value(0));
            if (!engine || seen[size_t(*engine)])
                continue;
            seen[size_t(*engine)] = true;
            points << HistoryPoint{date,
                                   *engine,
                                   cells.value(1).toInt(),
                                   cells.value(2),
                                   storedOutcome(cells),
                                   cells.value(4)};
        }
    }
    return points;
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
