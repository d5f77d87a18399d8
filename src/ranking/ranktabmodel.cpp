#include "ranking/ranktabmodel.h"

namespace marbleway {

using namespace Qt::StringLiterals;

RankTabModel::RankTabModel(QObject* parent)
    : QObject(parent)
{
    m_sites.setHorizontalHeaderLabels({u"单击修改网站"_s});
    m_keywords.setHorizontalHeaderLabels({u"单击修改关键词"_s});
    m_engines.setHorizontalHeaderLabels({QString()});
    m_results.setHorizontalHeaderLabels(
        {u"搜索引擎/网站"_s, u"关键字/排名"_s, u"查询日期/收录网址"_s});
    const QStringList history = {u"搜索引擎"_s, u"网站"_s, u"关键字"_s};
    m_recent.setHorizontalHeaderLabels(history);
    m_favourites.setHorizontalHeaderLabels(history);
}

void RankTabModel::setIconProvider(std::function<QIcon(const QString&)> provider)
{
    m_icons = std::move(provider);
}

QIcon RankTabModel::engineIcon(SearchEngine engine) const
{
    return m_icons ? m_icons(engineKey(engine)) : QIcon();
}

void RankTabModel::setDepthIndex(int index)
{
    if (index < 0 || index > 2 || index == m_depthIndex)
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
    m_engines.removeRows(0, m_engines.rowCount());
    for (const SearchEngine engine : AllSearchEngines) {
        // Complete before it is added: a change to a listed engine counts as the user's.
        const QString name = engineDisplayName(engine);
        auto* item = new QStandardItem(engineIcon(engine), name);
        item->setEditable(false);
        item->setCheckable(true);
        item->setCheckState(Qt::Unchecked);
        item->setData(name, TagRole);
        m_engines.appendRow(item);
    }
}

QStringList RankTabModel::checkedEngines() const
{
    QStringList names;
    for (int row = 0; row < m_engines.rowCount(); ++row) {
        const QStandardItem* item = m_engines.item(row);
        if (item->checkState() == Qt::Checked)
            names << item->data(TagRole).toString();
    }
    return names;
}

void RankTabModel::checkEngines(const QStringList& names)
{
    for (int row = 0; row < m_engines.rowCount(); ++row) {
        QStandardItem* item = m_engines.item(row);
        if (names.contains(item->data(TagRole).toString()))
            item->setCheckState(Qt::Checked);
    }
}

void RankTabModel::uncheckAllEngines()
{
    setAllChecked(m_engines, false);
}

QString RankTabModel::keyrank_GetSes() const
{
    QString ses;
    for (int row = 0; row < m_engines.rowCount(); ++row) {
        const QStandardItem* item = m_engines.item(row);
        if (item->checkState() == Qt::Checked)
            ses += u',' + item->text();
    }
    return ses;
}

RankChoices RankTabModel::choices() const
{
    return RankChoices{checkedEngines(), m_depthIndex, m_allPositions ? 1 : 0, m_modeIndex};
}

} // namespace marbleway
