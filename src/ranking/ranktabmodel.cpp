#include "ranking/ranktabmodel.h"

namespace marbleway {

using namespace Qt::StringLiterals;

namespace {

const QStringList historyColumns = {QStringLiteral(QT_TRANSLATE_NOOP("Columns", "搜索引擎")),
                                    QStringLiteral(QT_TRANSLATE_NOOP("Columns", "网站")),
                                    QStringLiteral(QT_TRANSLATE_NOOP("Columns", "关键字"))};

} // namespace

Row checkedItem(const QString& text, bool checked)
{
    Row row;
    row.cells = {text};
    row.checkable = true;
    row.checked = checked;
    return row;
}

RankTabModel::RankTabModel(QObject* parent)
    : QObject(parent)
    , m_sites({QStringLiteral(QT_TRANSLATE_NOOP("Columns", "单击修改网站"))})
    , m_keywords({QStringLiteral(QT_TRANSLATE_NOOP("Columns", "单击修改关键词"))})
    , m_engines({QStringLiteral(QT_TRANSLATE_NOOP("Columns", "搜索引擎"))})
    , m_results({QStringLiteral(QT_TRANSLATE_NOOP("Columns", "搜索引擎/网站")),
                 QStringLiteral(QT_TRANSLATE_NOOP("Columns", "关键字/排名")),
                 QStringLiteral(QT_TRANSLATE_NOOP("Columns", "查询日期/收录网址"))})
    , m_recent(historyColumns)
    , m_favourites(historyColumns)
{
    m_sites.setEditable(true);
    m_keywords.setEditable(true);
    // Any change of the engine checks is a change of the choices.
    connect(&m_engines, &QAbstractItemModel::dataChanged, this, &RankTabModel::choicesChanged);
}

void RankTabModel::setDepthIndex(int index)
{
    if (pagesForDepthIndex(index) == 0 || index == m_depthIndex)
        return;
    m_depthIndex = index;
    Q_EMIT choicesChanged();
}

void RankTabModel::setAllPositions(bool on)
{
    if (on == m_allPositions)
        return;
    m_allPositions = on;
    Q_EMIT choicesChanged();
}

void RankTabModel::setModeIndex(int index)
{
    if (index < 0 || index > 1 || index == m_modeIndex)
        return;
    m_modeIndex = index;
    Q_EMIT choicesChanged();
}

void RankTabModel::fillEngines()
{
    std::vector<Row> rows;
    for (const SearchEngine engine : AllSearchEngines) {
        Row row = checkedItem(engineDisplayName(engine), false);
        row.tag = row.cells.first();
        row.icon = engineKey(engine);
        rows.push_back(std::move(row));
    }
    m_engines.reset(std::move(rows));
}

QStringList RankTabModel::checkedEngines() const
{
    QStringList names;
    for (int row = 0; row < m_engines.size(); ++row) {
        if (m_engines.at(row).checked)
            names << m_engines.at(row).tag;
    }
    return names;
}

void RankTabModel::checkEngines(const QStringList& names)
{
    for (int row = 0; row < m_engines.size(); ++row) {
        if (names.contains(m_engines.at(row).tag))
            m_engines.setChecked(row, true);
    }
}

void RankTabModel::uncheckAllEngines()
{
    m_engines.setAllChecked(false);
}

QString RankTabModel::keyrank_GetSes() const
{
    QString ses;
    for (int row = 0; row < m_engines.size(); ++row) {
        if (m_engines.at(row).checked)
            ses += u',' + m_engines.text(row);
    }
    return ses;
}

RankChoices RankTabModel::choices() const
{
    return RankChoices{checkedEngines(), m_depthIndex, m_allPositions ? 1 : 0, m_modeIndex};
}

void RankTabModel::showCombination(const Combination& combination)
{
    m_sites.reset({checkedItem(combination.site)});
    m_keywords.reset({checkedItem(combination.keyword)});
    m_results.clear();
    uncheckAllEngines();
    QStringList named;
    for (const SearchEngine engine : AllSearchEngines) {
        if (combination.engines.contains(engineDisplayName(engine)))
            named << engineDisplayName(engine);
    }
    checkEngines(named);
    setDepthIndex(combination.depthIndex);
    setAllPositions(combination.allPositions == 1);
}

void RankTabModel::appendStoredRows(const QStringList& siteRow,
                                    const QList<QStringList>& engineRows)
{
    std::vector<Row> rows;
    rows.push_back(textRow(siteRow));
    for (const QStringList& cells : engineRows) {
        Row row = textRow(cells.mid(0, 3));
        // A lookup that was not read shows why, never a position.
        if (const RankOutcome outcome = storedOutcome(cells); outcome != RankOutcome::Read) {
            row.cells[1] = outcomeText(outcome);
            row.tip = cells.value(4);
        }
        if (const auto engine = engineFromDisplayName(cells.value(0)))
            row.icon = engineKey(*engine);
        rows.push_back(std::move(row));
    }
    m_results.append(std::move(rows));
}

} // namespace marbleway
