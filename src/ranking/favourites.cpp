#include "ranking/favourites.h"

#include "ranking/rankjob.h"

#include <QDir>
#include <QPointer>

namespace marbleway {

using namespace Qt::StringLiterals;

Favourites::Favourites(RankTabModel& model, const FavouriteStore& store, const Clock& clock,
                       Prompts& prompts, QObject* parent)
    : QObject(parent)
    , m_model(&model)
    , m_store(&store)
    , m_clock(&clock)
    , m_prompts(&prompts)
{}

void Favourites::load()
{
    if (!QDir(m_store->folder()).exists())
        return;
    QStandardItemModel& list = *m_model->favourites();
    list.removeRows(0, list.rowCount());
    for (const QString& descriptor : m_store->descriptors()) {
        const QStringList parts = descriptor.split(u'#');
        const auto row = appendRow(list, {parts.value(0), parts.value(1), parts.value(2)}, true);
        row.first()->setData(descriptor, RankTabModel::TagRole);
    }
}

QCoro::Task<> Favourites::add()
{
    QPointer<Favourites> self = this;
    QStandardItemModel& recent = *m_model->recent();
    if (!hasChecked(recent)) {
        co_await m_prompts->message(u"提示"_s, u"请至少选择一条记录！"_s, PromptIcon::Information);
        co_return;
    }
    int added = 0;
    QStringList refused;
    QStringList unwritten;
    for (int row = 0; row < recent.rowCount(); ++row) {
        if (recent.item(row, 0)->checkState() != Qt::Checked)
            continue;
        const QString engines = recent.item(row, 0)->text();
        const QString site = recent.item(row, 1)->text();
        const QString keyword = recent.item(row, 2)->text();
        const QueryRecord record =
            QueryRecord::parse(recent.item(row, 0)->data(RankTabModel::TagRole).toString());
        const QString descriptor = engines + u'#' + site + u'#' + keyword + u'#' +
                                   record.depthIndex + u'#' + record.allPositions;
        const FavouriteStore::Created created = m_store->create(descriptor);
        if (created == FavouriteStore::Created::Exists)
            continue;
        if (created != FavouriteStore::Created::Created) {
            refused << descriptor;
            continue;
        }
        ++added;
        if (const WriteResult written =
                m_store->writeDay(descriptor, m_clock->today(), resultParts(record.results));
            !written)
            unwritten << descriptor + u"（"_s + written.error + u"）"_s;
        const auto item = appendRow(*m_model->favourites(), {engines, site, keyword}, true);
        item.first()->setData(descriptor, RankTabModel::TagRole);
    }
    if (!refused.isEmpty()) {
        co_await m_prompts->message(
            u"提示"_s,
            u"以下查询组合无法加入收藏（网站或关键词中含有文件夹名称不允许的字符）：\n"_s +
                refused.join(u'\n'),
            PromptIcon::Information);
        if (!self)
            co_return;
    }
    if (!unwritten.isEmpty()) {
        co_await m_prompts->message(u"提示"_s,
                                    u"以下收藏的排名记录未能写入：\n"_s + unwritten.join(u'\n'),
                                    PromptIcon::Critical);
        if (!self)
            co_return;
    }
    co_await m_prompts->message(u"提示"_s, u"成功加入%1条收藏记录！"_s.arg(added),
                                PromptIcon::Information);
}

QCoro::Task<> Favourites::remove()
{
    QPointer<Favourites> self = this;
    if (!co_await m_prompts->confirm(u"询问"_s, u"确实要删除选中的收藏记录吗？"_s,
                                     PromptButtons::YesNo) ||
        !self)
        co_return;
    m_store->remove(removeChecked(*m_model->favourites()));
}

void Favourites::browse(int row)
{
    QStandardItemModel& list = *m_model->favourites();
    if (row < 0 || row >= list.rowCount())
        return;
    const QString engines = list.item(row, 0)->text();
    const QString site = list.item(row, 1)->text();
    const QString keyword = list.item(row, 2)->text();
    const QStringList tag = list.item(row, 0)->data(RankTabModel::TagRole).toString().split(u'#');

    showCombinationOnTab(*m_model, site, keyword, engines);
    m_model->setDepthIndex(tag.value(3).toInt());
    m_model->setAllPositions(tag.value(4) == u"1"_s);

    const QString descriptor =
        engines + u'#' + site + u'#' + keyword + u'#' + tag.value(3) + u'#' + tag.value(4);
    for (const HistoryDay& day : m_store->days(descriptor)) {
        QList<QStringList> rows;
        for (const QString& line : day.lines) {
            QStringList cells = line.split(u'|');
            while (cells.size() < 3)
                cells << QString();
            rows << cells;
        }
        appendStoredRows(*m_model, {site, keyword, day.date}, rows);
    }
}

} // namespace marbleway
