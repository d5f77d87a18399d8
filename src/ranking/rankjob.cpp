#include "ranking/rankjob.h"

#include "ranking/rankhistory.h"
#include "web/textutil.h"

#include <QCoreApplication>
#include <QPointer>

#include <algorithm>

namespace marbleway {

using namespace Qt::StringLiterals;

QCoro::Task<QList<RankHit>> queryCombination(cKeyrank& finder, Combination combination,
                                             std::function<void(const RankHit&)> onHit)
{
    QList<RankHit> hits;
    const QList<SearchEngine> engines = combination.engineList();
    for (const SearchEngine engine : engines) {
        finder.setKeyword(combination.keyword);
        finder.setUrl(combination.site);
        finder.setMaxnum(pagesForDepthIndex(combination.depthIndex));
        co_await finder.positions(engine, combination.allPositions == 1,
                                  [&hits, &onHit](const RankHit& hit) {
                                      hits << hit;
                                      onHit(hit);
                                  });
    }
    co_return hits;
}

RankJob::RankJob(RankTabModel& model, const FavouriteStore& favourites, KeywordStore* database,
                 const WebClient& client, const Endpoints& endpoints, const Clock& clock,
                 Prompts& prompts, QObject* parent)
    : Job(parent)
    , m_model(&model)
    , m_favourites(&favourites)
    , m_database(database)
    , m_client(client.sibling())
    , m_endpoints(&endpoints)
    , m_clock(&clock)
    , m_prompts(&prompts)
{}

QCoro::Task<int> RankJob::checksave()
{
    QString missing;
    if (!m_model->sites()->hasChecked())
        missing = QCoreApplication::translate("RankJob", "请添加或选择至少一个要查询的网站！");
    else if (!m_model->keywords()->hasChecked())
        missing = QCoreApplication::translate("RankJob", "请添加或选择至少一个要查询的关键词！");
    else if (m_model->checkedEngines().isEmpty())
        missing = QCoreApplication::translate("RankJob", "请至少选择一个要查询搜索引擎！");
    if (missing.isEmpty())
        co_return 0;
    co_await m_prompts->message(QCoreApplication::translate("RankJob", "提示"), missing,
                                PromptIcon::Information);
    co_return -1;
}

void RankJob::start()
{
    if (!isRunning())
        keep(run());
}

void RankJob::stop()
{
    if (!isRunning() || m_stopping)
        return;
    m_stopping = true;
    m_client->abortAll();
}

QCoro::Task<> RankJob::run()
{
    if (isRunning())
        co_return;
    m_stopping = false;
    setRunning(true);
    QPointer<RankJob> self = this;
    if (co_await checksave() != 0 || !self) {
        if (self)
            setRunning(false);
        co_return;
    }

    // The lists may be edited while the job runs: it works from what was
    // checked when it started, and writes its rows by id, so rows the user
    // clears meanwhile simply take no more writes.
    const QStringList sites = m_model->sites()->checkedTexts();
    const QStringList keywords = m_model->keywords()->checkedTexts();
    const QString engines = m_model->keyrank_GetSes().mid(1).trimmed();
    const int depthIndex = m_model->depthIndex();
    const int allPositions = m_model->allPositions() ? 1 : 0;
    const QStringList favouriteList = m_favourites->descriptors();
    const QSet<QString> favourites(favouriteList.begin(), favouriteList.end());

    RowModel* results = m_model->results();
    results->clear();
    int rows = 0;
    int done = 0;
    const int total = int(sites.size() * keywords.size());
    Q_EMIT progress(0, total);
    cKeyrank finder(*m_client, *m_endpoints);
    finder.setBrowserFetch(m_browserFetch);

    // The first page that blocked each engine, for the user to answer.
    QList<RankHit> blocks;
    for (const QString& site : sites) {
        for (const QString& keyword : keywords) {
            if (m_stopping)
                break;
            // One day for the rows and the day file, even across midnight.
            const QDate day = m_clock->today();
            const QString date = isoDate(day);
            const Combination combination{engines, site, keyword, depthIndex, allPositions};
            const QString descriptor = combination.descriptor();
            const bool favourite = favourites.contains(descriptor);

            ++rows;
            results->append(textRow({site, keyword, date}));
            QString resultText;
            QStringList history;
            bool whole = true;
            const QList<SearchEngine> engineList = combination.engineList();
            for (const SearchEngine engine : engineList) {
                if (m_stopping) {
                    whole = false;
                    break;
                }
                ++rows;
                const Row engineRow =
                    textRow({engineDisplayName(engine), {}, {}}, engineKey(engine));
                RowId row = results->append(engineRow);
                bool first = true;
                Combination one = combination;
                one.engines = engineDisplayName(engine);
                co_await queryCombination(finder, one, [&](const RankHit& hit) {
                    // The request a stop dropped is no answer.
                    if (!self || (m_stopping && !hit.isRead()))
                        return;
                    if (!first)
                        row = results->append(engineRow);
                    first = false;
                    results->setCell(row, 1,
                                     hit.isRead() ? QString::number(hit.position)
                                                  : outcomeText(hit.outcome));
                    results->setCell(row, 2, hit.link);
                    results->setTag(row, hit.queryUrl);
                    results->setTip(row, hit.reason);
                    resultText += resultPart(hit);
                    history << historyLine(hit);
                    if (hit.outcome == RankOutcome::Blocked &&
                        std::none_of(blocks.begin(), blocks.end(), [&hit](const RankHit& known) {
                            return known.engine == hit.engine;
                        }))
                        blocks << hit;
                });
                if (!self)
                    co_return;
                if (m_stopping && first) {
                    results->removeIds({row});
                    whole = false;
                }
            }
            if (!whole)
                break;

            if (favourite) {
                if (const WriteResult written = m_favourites->writeDay(descriptor, day, history);
                    !written)
                    Q_EMIT warning(
                        QCoreApplication::translate("RankJob", "无法写入收藏“%1”的排名记录：%2")
                            .arg(descriptor, written.error));
                if (m_database && m_database->isOpen()) {
                    // A lost connection is told by the store; the run waits for it.
                    const QList<StoredRank> ranks = storedRanks(descriptor, day, history);
                    const std::function<bool()> write = [this, &ranks] {
                        return m_database->recordRanks(ranks);
                    };
                    const std::function<bool()> running = [self] {
                        return self && !self->m_stopping;
                    };
                    co_await m_database->writeThroughLoss(write, *m_clock, running);
                    if (!self)
                        co_return;
                }
            }

            const QueryRecord record{site,
                                     keyword,
                                     date,
                                     resultText,
                                     QString::number(depthIndex),
                                     QString::number(allPositions)};
            if (!engines.isEmpty() && !site.isEmpty() && !keyword.isEmpty() &&
                !keyrank_CheckExit(keyword, engines, site, depthIndex, allPositions)) {
                Row recent = checkedItem(engines, false);
                recent.cells << site << keyword;
                recent.tag = record.toString();
                m_model->recent()->append(std::move(recent));
                m_recentKeys.insert(
                    recentKey(engines, site, keyword, record.depthIndex, record.allPositions));
            }
            Q_EMIT progress(++done, total);
        }
    }

    const bool stopped = m_stopping;
    if (rows >= 1 && !stopped) {
        if (blocks.isEmpty()) {
            co_await m_prompts->message(QCoreApplication::translate("RankJob", "提示"),
                                        QCoreApplication::translate("RankJob", "查询完毕"),
                                        PromptIcon::Information);
        } else {
            // The captcha is answered where the engine asked it; the shared
            // cookies let the next query through.
            const RankHit block = blocks.first();
            const bool answer = co_await m_prompts->confirm(
                QCoreApplication::translate("RankJob", "提示"),
                QCoreApplication::translate(
                    "RankJob", "查询完毕，但%1返回了%"
                               "2，这些排名没有读到。\n是否现在打开该页面，按提示输入验证码？")
                    .arg(engineDisplayName(block.engine), block.reason),
                PromptButtons::YesNo);
            if (answer && self)
                Q_EMIT answerBlockPage(block.queryUrl);
        }
    }
    if (self) {
        m_stopping = false;
        setRunning(false);
    }
}

QString RankJob::recentKey(const QString& ses, const QString& site, const QString& keyword,
                           const QString& depthIndex, const QString& allPositions)
{
    return QStringList{trimSpaces(ses).toString(), trimSpaces(site).toString(),
                       trimSpaces(keyword).toString(), depthIndex, allPositions}
        .join(QChar(0));
}

void RankJob::rebuildRecentKeys()
{
    m_recentKeys.clear();
    const RowModel& recent = *m_model->recent();
    for (int row = 0; row < recent.size(); ++row) {
        const QueryRecord record = QueryRecord::parse(recent.at(row).tag);
        m_recentKeys.insert(recentKey(recent.text(row, 0), recent.text(row, 1), recent.text(row, 2),
                                      record.depthIndex, record.allPositions));
    }
}

bool RankJob::keyrank_CheckExit(const QString& txt, const QString& ses, const QString& webs,
                                int depthIndex, int allPositions) const
{
    // A set, not a scan of the list: thousands of combinations stay linear.
    return m_recentKeys.contains(
        recentKey(ses, webs, txt, QString::number(depthIndex), QString::number(allPositions)));
}

void RankJob::restoreRecent(int row)
{
    const RowModel& recent = *m_model->recent();
    if (row < 0 || row >= recent.size())
        return;
    const QueryRecord record = QueryRecord::parse(recent.at(row).tag);
    m_model->showCombination(Combination{record.results, record.site, record.keyword,
                                         record.depthIndex.toInt(),
                                         record.allPositions == u"1"_s ? 1 : 0});
    m_model->appendStoredRows({record.site, record.keyword, record.date},
                              resultRows(record.results));
}

QCoro::Task<> RankJob::deleteRecent()
{
    QPointer<RankJob> self = this;
    if (!co_await m_prompts->confirm(
            QCoreApplication::translate("RankJob", "是否删除"),
            QCoreApplication::translate("RankJob", "确实要删除选中的记录吗？"),
            PromptButtons::YesNo) ||
        !self)
        co_return;
    m_model->recent()->removeChecked();
    rebuildRecentKeys();
}

} // namespace marbleway
