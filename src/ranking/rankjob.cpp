#include "ranking/rankjob.h"

#include "ranking/keyrank.h"
#include "ranking/rankquery.h"
#include "web/textutil.h"

#include <QPointer>

namespace marbleway {

using namespace Qt::StringLiterals;

RankJob::RankJob(RankTabModel& model, const FavouriteStore& favourites, const WebClient& client,
                 const Endpoints& endpoints, const Clock& clock, Prompts& prompts, QObject* parent)
    : QObject(parent)
    , m_model(&model)
    , m_favourites(&favourites)
    , m_client(&client)
    , m_endpoints(&endpoints)
    , m_clock(&clock)
    , m_prompts(&prompts)
{}

void RankJob::setRunning(bool running)
{
    m_running = running;
    Q_EMIT runningChanged(running);
}

QCoro::Task<int> RankJob::checksave()
{
    QString missing;
    if (!hasChecked(*m_model->sites()))
        missing = u"请添加或选择至少一个要查询的网站！"_s;
    else if (!hasChecked(*m_model->keywords()))
        missing = u"请添加或选择至少一个要查询的关键词！"_s;
    else if (m_model->checkedEngines().isEmpty())
        missing = u"请至少选择一个要查询搜索引擎！"_s;
    if (missing.isEmpty())
        co_return 0;
    co_await m_prompts->message(u"提示"_s, missing, PromptIcon::Information);
    co_return -1;
}

QList<QStandardItem*> RankJob::appendEngineRow(SearchEngine engine)
{
    const auto row = appendRow(*m_model->results(), {engineDisplayName(engine), {}, {}});
    row.first()->setIcon(m_model->engineIcon(engine));
    return row;
}

void RankJob::fillEngineRow(const QList<QStandardItem*>& row, const RankHit& hit)
{
    row.at(1)->setText(QString::number(hit.position));
    row.at(2)->setText(hit.link);
    row.at(0)->setData(hit.queryUrl, RankTabModel::TagRole);
}

QCoro::Task<> RankJob::start()
{
    if (m_running)
        co_return;
    QPointer<RankJob> self = this;
    if (co_await checksave() != 0 || !self)
        co_return;

    // The lists may be edited while the job runs: it works from what was
    // checked when it started.
    const QStringList sites = checkedTexts(*m_model->sites());
    const QStringList keywords = checkedTexts(*m_model->keywords());
    const QString ses = m_model->keyrank_GetSes();
    const QString engines = ses.mid(1).trimmed();
    const int depthIndex = m_model->depthIndex();
    const int allPositions = m_model->allPositions() ? 1 : 0;
    const qint16 pages = m_model->depthPages();

    RankTabModel* model = m_model;
    model->results()->removeRows(0, model->results()->rowCount());
    setRunning(true);
    int rows = 0;
    int done = 0;
    const int total = int(sites.size() * keywords.size());
    Q_EMIT progress(0, total);
    cKeyrank finder(*m_client, *m_endpoints);

    for (const QString& site : sites) {
        for (const QString& keyword : keywords) {
            const QString date = isoDate(m_clock->today());
            const Combination combination{engines, site, keyword, depthIndex, allPositions};
            const QString descriptor = combination.descriptor();
            const bool favourite = m_favourites->IsSaves(descriptor);
            QStringList history;

            ++rows;
            appendRow(*model->results(), {site, keyword, date});
            QString resultText;
            for (const SearchEngine engine : combination.engineList()) {
                ++rows;
                finder.setKeyword(keyword);
                finder.setUrl(site);
                finder.setMaxnum(pages);
                QList<QStandardItem*> row = appendEngineRow(engine);
                bool first = true;
                co_await findPositions(finder, engine, allPositions == 1, [&](const RankHit& hit) {
                    if (!self)
                        return;
                    if (!first)
                        row = appendEngineRow(engine);
                    first = false;
                    fillEngineRow(row, hit);
                    resultText += resultPart(hit);
                    history << historyLine(hit);
                });
                if (!self)
                    co_return;
            }

            if (favourite) {
                if (const WriteResult written =
                        m_favourites->writeDay(descriptor, m_clock->today(), history);
                    !written)
                    Q_EMIT warning(
                        u"无法写入收藏“%1”的排名记录：%2"_s.arg(descriptor, written.error));
            }

            const QueryRecord record{site,
                                     keyword,
                                     date,
                                     resultText,
                                     QString::number(depthIndex),
                                     QString::number(allPositions)};
            if (!engines.isEmpty() && !site.isEmpty() && !keyword.isEmpty() &&
                !recentHas(keyword, engines, site, record.depthIndex, record.allPositions)) {
                const auto item = appendRow(*model->recent(), {engines, site, keyword}, true);
                item.first()->setData(record.toString(), RankTabModel::TagRole);
            }
            Q_EMIT progress(++done, total);
        }
    }

    if (rows >= 1)
        co_await m_prompts->message(u"提示"_s, u"查询完毕"_s, PromptIcon::Information);
    if (self)
        setRunning(false);
}

bool RankJob::keyrank_CheckExit(const QString& txt, const QString& ses, const QString& webs) const
{
    return recentHas(txt, ses, webs, QString::number(m_model->depthIndex()),
                     m_model->allPositions() ? u"1"_s : u"0"_s);
}

bool RankJob::recentHas(const QString& txt, const QString& ses, const QString& webs,
                        const QString& depth, const QString& all) const
{
    const QStandardItemModel& recent = *m_model->recent();
    for (int row = 0; row < recent.rowCount(); ++row) {
        if (trimSpaces(recent.item(row, 0)->text()) != trimSpaces(ses) ||
            recent.item(row, 1)->text() != trimSpaces(webs) ||
            recent.item(row, 2)->text() != trimSpaces(txt))
            continue;
        const QueryRecord record =
            QueryRecord::parse(recent.item(row, 0)->data(RankTabModel::TagRole).toString());
        if (record.depthIndex == depth && record.allPositions == all)
            return true;
    }
    return false;
}

void showCombinationOnTab(RankTabModel& model, const QString& site, const QString& keyword,
                          const QString& engineNames)
{
    model.sites()->removeRows(0, model.sites()->rowCount());
    model.keywords()->removeRows(0, model.keywords()->rowCount());
    model.results()->removeRows(0, model.results()->rowCount());
    model.uncheckAllEngines();
    appendRow(*model.sites(), {site}, true, true);
    appendRow(*model.keywords(), {keyword}, true, true);
    QStringList named;
    for (const SearchEngine engine : AllSearchEngines) {
        if (engineNames.contains(engineDisplayName(engine)))
            named << engineDisplayName(engine);
    }
    model.checkEngines(named);
}

void appendStoredRows(RankTabModel& model, const QStringList& siteRow,
                      const QList<QStringList>& engineRows)
{
    appendRow(*model.results(), siteRow);
    for (const QStringList& cells : engineRows) {
        const auto row = appendRow(*model.results(), cells.mid(0, 3));
        if (const auto engine = engineFromDisplayName(cells.value(0)))
            row.first()->setIcon(model.engineIcon(*engine));
    }
}

void RankJob::restoreRecent(int row)
{
    QStandardItemModel& recent = *m_model->recent();
    if (row < 0 || row >= recent.rowCount())
        return;
    const QueryRecord record =
        QueryRecord::parse(recent.item(row, 0)->data(RankTabModel::TagRole).toString());
    showCombinationOnTab(*m_model, record.site, record.keyword, record.results);
    appendStoredRows(*m_model, {record.site, record.keyword, record.date},
                     resultRows(record.results));
    m_model->setDepthIndex(record.depthIndex.toInt());
    m_model->setAllPositions(record.allPositions == u"1"_s);
}

QCoro::Task<> RankJob::deleteRecent()
{
    QPointer<RankJob> self = this;
    if (!co_await m_prompts->confirm(u"是否删除"_s, u"确实要删除选中的记录吗？"_s,
                                     PromptButtons::YesNo) ||
        !self)
        co_return;
    removeChecked(*m_model->recent());
}

} // namespace marbleway
