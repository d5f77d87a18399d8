#include "ranking/ranktext.h"

namespace marbleway {

using namespace Qt::StringLiterals;

namespace {

const QString fieldSeparator = u"#1#"_s;
const QString rowSeparator = u"$1$"_s;

} // namespace

QString Combination::descriptor() const
{
    return engines + u'#' + site + u'#' + keyword + u'#' + QString::number(depthIndex) + u'#' +
           QString::number(allPositions);
}

QChar Combination::unstorableCharacter() const
{
    return site.contains(u'#') || keyword.contains(u'#') ? QChar(u'#') : QChar();
}

QList<SearchEngine> Combination::engineList() const
{
    QList<SearchEngine> list;
    for (const QStringView name : QStringView(engines).split(u','))
        if (const auto engine = engineFromDisplayName(name.trimmed()))
            list << *engine;
    return list;
}

std::optional<Combination> Combination::fromDescriptor(QStringView descriptor)
{
    // Exactly five fields: a "#" inside the site or keyword makes the fields
    // ambiguous, and guessing would query the wrong thing.
    const QList<QStringView> parts = descriptor.split(u'#');
    if (parts.size() != 5)
        return std::nullopt;
    bool depthOk = false;
    bool allOk = false;
    const int depth = parts.at(3).toInt(&depthOk);
    const int all = parts.at(4).toInt(&allOk);
    if (!depthOk || !allOk || pagesForDepthIndex(depth) == 0 || (all != 0 && all != 1))
        return std::nullopt;
    return Combination{parts.at(0).toString(), parts.at(1).toString(), parts.at(2).toString(),
                       depth, all};
}

qint16 pagesForDepthIndex(int index)
{
    return index >= 0 && index < int(Depths.size()) ? Depths[size_t(index)].pages : qint16(0);
}

int depthIndexForResults(int results)
{
    for (size_t index = 0; index < Depths.size(); ++index) {
        if (Depths[index].results == results)
            return int(index);
    }
    return -1;
}

QString engineString(const QStringList& checkedNames)
{
    return checkedNames.join(u',').trimmed();
}

QString resultPart(const RankHit& hit)
{
    return rowSeparator + historyLine(hit);
}

QStringList resultParts(QStringView resultText)
{
    QStringList parts;
    const QList<QStringView> pieces = resultText.split(rowSeparator);
    for (qsizetype i = 1; i < pieces.size(); ++i)
        parts << pieces.at(i).toString();
    return parts;
}

QList<QStringList> resultRows(QStringView resultText)
{
    QList<QStringList> rows;
    for (const QString& part : resultParts(resultText)) {
        QStringList cells = part.split(u'|');
        while (cells.size() < 3)
            cells << QString();
        rows << cells;
    }
    return rows;
}

QString QueryRecord::toString() const
{
    return QStringList{site, keyword, date, results, depthIndex, allPositions}.join(fieldSeparator);
}

QueryRecord QueryRecord::parse(QStringView record)
{
    const QList<QStringView> fields = record.split(fieldSeparator);
    const auto field = [&fields](int i) {
        return i < fields.size() ? fields.at(i).toString() : QString();
    };
    return QueryRecord{field(0), field(1), field(2), field(3), field(4), field(5)};
}

QString historyLine(const RankHit& hit)
{
    const QString line =
        engineDisplayName(hit.engine) + u'|' + QString::number(hit.position) + u'|' + hit.link;
    if (hit.isRead())
        return line;
    // The reason is one field on one line.
    QString reason = hit.reason;
    reason.replace(u'|', u'/').replace(u'\r', u' ').replace(u'\n', u' ');
    return line + u'|' + outcomeKey(hit.outcome) + u'|' + reason;
}

RankOutcome storedOutcome(const QStringList& cells)
{
    return outcomeFromKey(cells.value(3)).value_or(RankOutcome::Read);
}

QStringList keepReadLines(const QStringList& earlier, const QStringList& now)
{
    const auto cellsOf = [](const QString& line) { return line.split(u'|'); };
    QStringList engines;
    for (const QString& line : now) {
        const QString engine = cellsOf(line).value(0);
        if (!engines.contains(engine))
            engines << engine;
    }
    QStringList merged;
    for (const QString& engine : std::as_const(engines)) {
        QStringList fresh;
        QStringList kept;
        bool anyRead = false;
        for (const QString& line : now) {
            const QStringList cells = cellsOf(line);
            if (cells.value(0) == engine) {
                fresh << line;
                anyRead = anyRead || storedOutcome(cells) == RankOutcome::Read;
            }
        }
        for (const QString& line : earlier) {
            const QStringList cells = cellsOf(line);
            if (cells.value(0) == engine && storedOutcome(cells) == RankOutcome::Read)
                kept << line;
        }
        merged << (anyRead || kept.isEmpty() ? fresh : kept);
    }
    return merged;
}

const QString RankChoices::SettingName = u"setting3"_s;
const QString RankChoices::Default = u"-$-$-#1#0#0#0"_s;

QString RankChoices::toSetting() const
{
    return checkedEngines.join(u'$') + u'#' + QString::number(depthIndex) + u'#' +
           QString::number(allPositions) + u'#' + QString::number(modeIndex);
}

void RankChoices::apply(QStringView stored)
{
    const QList<QStringView> fields = stored.split(u'#');
    checkedEngines.clear();
    for (const QStringView name : fields.at(0).split(u'$', Qt::SkipEmptyParts))
        checkedEngines << name.toString();
    const auto number = [&fields](int i, int& target) {
        if (i >= fields.size())
            return;
        bool ok = false;
        const int value = fields.at(i).trimmed().toInt(&ok);
        if (ok)
            target = value;
    };
    number(1, depthIndex);
    number(2, allPositions);
    number(3, modeIndex);
}

} // namespace marbleway
