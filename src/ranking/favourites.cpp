#include "ranking/favourites.h"

#include "ranking/rankhistory.h"

#include <QCoreApplication>
#include <QDir>
#include <QPointer>

namespace marbleway {

using namespace Qt::StringLiterals;

Favourites::Favourites(RankTabModel& model, const FavouriteStore& store, KeywordStore* database,
                       const Clock& clock, Prompts& prompts, QObject* parent)
    : QObject(parent)
    , m_model(&model)
    , m_store(&store)
    , m_database(database)
    , m_clock(&clock)
    , m_prompts(&prompts)
{}

void Favourites::load()
{
    if (!QDir(m_store->folder()).exists())
        return;
    std::vector<Row> rows;
    for (const QString& descriptor : m_store->descriptors()) {
        const QStringList parts = descriptor.split(u'#');
        Row row = checkedItem(parts.value(0), false);
        row.cells << parts.value(1) << parts.value(2);
        row.tag = descriptor;
        rows.push_back(std::move(row));
    }
    m_model->favourites()->reset(std::move(rows));
}

QCoro::Task<> Favourites::add()
{
    QPointer<Favourites> self = this;
    const RowModel& recent = *m_model->recent();
    if (!recent.hasChecked()) {
        co_await m_prompts->message(
            QCoreApplication::translate("Favourites", "提示"),
            QCoreApplication::translate("Favourites", "请至少选择一条记录！"),
            PromptIcon::Information);
        co_return;
    }
    int added = 0;
    QStringList refused;
    QStringList unwritten;
    for (int row = 0; row < recent.size(); ++row) {
        if (!recent.at(row).checked)
            continue;
        const QueryRecord record = QueryRecord::parse(recent.at(row).tag);
        const Combination combination{recent.text(row, 0), recent.text(row, 1), recent.text(row, 2),
                                      record.depthIndex.toInt(), record.allPositions.toInt()};
        const QString descriptor = combination.descriptor();
        if (const QChar bad = combination.unstorableCharacter(); !bad.isNull()) {
            refused
                << QCoreApplication::translate("Favourites", "%1（含有“%2”）").arg(descriptor, bad);
            continue;
        }
        const FavouriteStore::Created created = m_store->create(descriptor);
        if (created == FavouriteStore::Created::Exists)
            continue;
        if (created != FavouriteStore::Created::Created) {
            refused << descriptor;
            continue;
        }
        ++added;
        const QStringList lines = resultParts(record.results);
        if (const WriteResult written = m_store->writeDay(descriptor, m_clock->today(), lines);
            !written)
            unwritten << descriptor + u"（"_s + written.error + u"）"_s;
        // A failure here is told by the database itself.
        if (m_database && m_database->isOpen())
            m_database->recordRanks(storedRanks(descriptor, m_clock->today(), lines));
        Row favourite = checkedItem(combination.engines, false);
        favourite.cells << combination.site << combination.keyword;
        favourite.tag = descriptor;
        m_model->favourites()->append(std::move(favourite));
    }
    if (!refused.isEmpty()) {
        co_await m_prompts->message(
            QCoreApplication::translate("Favourites", "提示"),
            QCoreApplication::translate(
                "Favourites",
                "以下查询组合无法加入收藏（网站或关键词中含有文件夹名称不允许的字符）：\n") +
                refused.join(u'\n'),
            PromptIcon::Information);
        if (!self)
            co_return;
    }
    if (!unwritten.isEmpty()) {
        co_await m_prompts->message(
            QCoreApplication::translate("Favourites", "提示"),
            QCoreApplication::translate("Favourites", "以下收藏的排名记录未能写入：\n") +
                unwritten.join(u'\n'),
            PromptIcon::Critical);
        if (!self)
            co_return;
    }
    co_await m_prompts->message(
        QCoreApplication::translate("Favourites", "提示"),
        QCoreApplication::translate("Favourites", "成功加入%1条收藏记录！").arg(added),
        PromptIcon::Information);
}

QCoro::Task<> Favourites::remove()
{
    QPointer<Favourites> self = this;
    if (!co_await m_prompts->confirm(
            QCoreApplication::translate("Favourites", "询问"),
            QCoreApplication::translate("Favourites", "确实要删除选中的收藏记录吗？"),
            PromptButtons::YesNo) ||
        !self)
        co_return;
    QStringList descriptors;
    for (const Row& row : m_model->favourites()->removeChecked())
        descriptors << row.tag;
    m_store->remove(descriptors);
}

void Favourites::browse(int row)
{
    const RowModel& list = *m_model->favourites();
    if (row < 0 || row >= list.size())
        return;
    const QString descriptor = list.at(row).tag;
    const auto combination = Combination::fromDescriptor(descriptor);
    if (!combination)
        return;
    m_model->showCombination(*combination);
    for (const HistoryDay& day : historyDays(*m_store, m_database, descriptor)) {
        QList<QStringList> rows;
        for (const QString& line : day.lines) {
            QStringList cells = line.split(u'|');
            while (cells.size() < 3)
                cells << QString();
            rows << cells;
        }
        m_model->appendStoredRows({combination->site, combination->keyword, day.date}, rows);
    }
}

} // namespace marbleway
