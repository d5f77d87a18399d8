#include "lists/resultfilter.h"

#include "core/rounding.h"

#include <cmath>
#include <limits>

namespace marbleway {

using namespace Qt::StringLiterals;

const QStringList ResultFilter::WordChoices = {
    QStringLiteral(QT_TRANSLATE_NOOP("ResultFilter", "包含")),
    QStringLiteral(QT_TRANSLATE_NOOP("ResultFilter", "不包含"))};
const QStringList ResultFilter::RelationChoices = {u">"_s, u"<"_s, u"="_s};

std::optional<CountCriterion> ResultFilter::countCriterion(const QString& relation,
                                                           const QString& number)
{
    const qsizetype choice = RelationChoices.indexOf(relation);
    if (choice < 0)
        return std::nullopt;
    QString text = number.trimmed();
    text.remove(u',');
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || text.isEmpty() || !std::isfinite(value))
        return std::nullopt;
    constexpr double limit = 9.2e18; // inside qint64 either way
    const double rounded = std::clamp(roundHalfEven(value), -limit, limit);
    return CountCriterion{CountRelation(choice), qint64(rounded)};
}

std::optional<qint64> countValue(const QString& cell)
{
    const QString text = cell.trimmed();
    qint64 value = 0;
    int digits = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u',' && digits > 0)
            continue;
        if (!c.isDigit() || c.unicode() > u'9' || digits >= 18)
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
        ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    return value;
}

bool ResultFilter::keeps(const QStringList& cells, const std::array<int, 3>& countColumns) const
{
    if (!word.isEmpty() && cells.value(0).contains(word) == wordExcluded)
        return false;
    for (size_t engine = 0; engine < counts.size(); ++engine) {
        const auto& criterion = counts[engine];
        if (!criterion)
            continue;
        const auto count = countValue(cells.value(countColumns[engine]));
        if (!count)
            continue;
        switch (criterion->relation) {
        case CountRelation::Greater:
            if (!(*count > criterion->value))
                return false;
            break;
        case CountRelation::Less:
            if (!(*count < criterion->value))
                return false;
            break;
        case CountRelation::Equal:
            if (*count != criterion->value)
                return false;
            break;
        }
    }
    return true;
}

void applyFilter(VisibleRows& list, const std::optional<ResultFilter>& filter,
                 const std::array<int, 3>& countColumns)
{
    if (!filter) {
        list.rebuild({});
        return;
    }
    list.rebuild([&](const Row& row) { return filter->keeps(row.cells, countColumns); });
}

} // namespace marbleway
