#include "research/databaserefresh.h"

#include "web/cxhtml.h"
#include "web/engines.h"

#include <QCoreApplication>
#include <QPointer>

namespace marbleway {

using namespace Qt::StringLiterals;

const QString DatabaseRefresh::Updating = QStringLiteral(QT_TRANSLATE_NOOP("Values", "更新中..."));

DatabaseRefresh::DatabaseRefresh(Services services, QObject* parent)
    : Job(parent)
    , m_services(services)
    , m_control(m_services.panels,
                {QCoreApplication::translate("DatabaseRefresh", "开始更新"),
                 QCoreApplication::translate("DatabaseRefresh", "暂停更新"),
                 QCoreApplication::translate("DatabaseRefresh", "正在停止"), false})
    , m_web(m_services.web.sibling())
{
    // A pause never waits on the network.
    connect(&m_control, &JobControl::stopRequested, this, [this] { m_web->abortAll(); });
}

void DatabaseRefresh::click()
{
    if (!m_control.isIdle()) {
        m_control.click();
        return;
    }
    keep(run());
}

QCoro::Task<> DatabaseRefresh::run()
{
    if (!m_control.isIdle())
        co_return;
    if (std::none_of(m_engines.begin(), m_engines.end(), [](bool on) { return on; })) {
        co_await m_services.prompts.message(
            QCoreApplication::translate("DatabaseRefresh", "提示"),
            QCoreApplication::translate("DatabaseRefresh", "请至少选择一个要更新的项目"),
            PromptIcon::Information);
        co_return;
    }
    if (!m_control.click())
        co_return;
    setRunning(true);
    Q_EMIT filterEnabledChanged(false);
    co_await UpdateDb();
}

QCoro::Task<> DatabaseRefresh::UpdateDb()
{
    QPointer<DatabaseRefresh> self = this;
    RowModel& rows = *m_services.list.rows();
    // The rows as the list shows them now; a row deleted meanwhile is passed over.
    const std::vector<RowId> ids = m_services.list.list()->visibleIds();
    size_t start = 0;
    for (size_t i = 0; i < ids.size(); ++i) {
        const int row = rows.indexOf(ids[i]);
        if (row >= 0 && rows.at(row).bold) {
            start = i;
            break;
        }
    }
    CXHtml html(*m_web);
    html.setChar(u"utf-8"_s);
    html.setTryTime(TryTime);
    for (size_t i = start; i < ids.size(); ++i) {
        const RowId id = ids[i];
        if (i > 0)
            rows.setBold(ids[i - 1], false);
        if (!rows.setBold(id, true))
            continue;
        if (!m_control.isRunning()) {
            ended(false);
            co_return;
        }
        Q_EMIT progress(int(i), int(ids.size()));
        const QStringList before = rows.at(rows.indexOf(id)).cells;
        const QString keyword = before.value(0);
        std::array<std::optional<QString>, AllSearchEngines.size()> counts;
        for (const SearchEngine engine : AllSearchEngines) {
            if (!m_engines[size_t(engine)])
                continue;
            const int column = KeywordDatabaseList::CountColumns[size_t(engine)];
            rows.setCell(id, column, Updating);
            co_await m_services.pacer.pace(engine, CrawlPacer::Wait::Exact, &m_control);
            if (!self)
                co_return;
            if (engine == SearchEngine::Bing)
                html.setTryTime(BingTryTime);
            html.setUrl(pageCountUrl(m_services.endpoints, engine, keyword));
            QString page;
            if (m_control.isRunning())
                page = co_await html.GetSrc();
            if (!self)
                co_return;
            // Paused in the middle of the row: it shows what is stored and is
            // done again, whole, on resume.
            if (!m_control.isRunning()) {
                for (const int each : KeywordDatabaseList::CountColumns)
                    rows.setCell(id, each, before.value(each));
                ended(false);
                co_return;
            }
            const QString count = pageCountFrom(engine, page);
            rows.setCell(id, column, count);
            counts[size_t(engine)] = count;
        }
        // The row's counts go into the table together, or not at all. A lost
        // connection holds the refresh here until it is back.
        const QDate today = m_services.clock.today();
        KeywordStore& store = m_services.list.store();
        const std::function<bool()> write = [&store, &keyword, &counts, today] {
            return store.updateCounts(keyword, counts, today);
        };
        const std::function<bool()> running = [self] {
            return self && self->m_control.isRunning();
        };
        const bool stored = co_await store.writeThroughLoss(write, m_services.clock, running);
        if (!self)
            co_return;
        if (!stored) {
            // Shown as it is stored, and the refresh waits here: counts fetched
            // further on would be lost the same way.
            for (const int column : KeywordDatabaseList::CountColumns)
                rows.setCell(id, column, before.value(column));
            if (!store.isConnectionLost()) {
                Q_EMIT warning(QCoreApplication::translate("DatabaseRefresh",
                                                           "关键词数据库无法写入，更新已暂停：%1")
                                   .arg(store.lastError()));
            }
            ended(false);
            co_return;
        }
        rows.setCell(id, KeywordDatabaseList::DateColumn, isoDate(today));
        Q_EMIT rowRefreshed(id);
    }
    if (!ids.empty())
        rows.setBold(ids.back(), false);
    Q_EMIT progress(int(ids.size()), int(ids.size()));
    ended(true);
}

void DatabaseRefresh::ended(bool workDone)
{
    m_control.finish(workDone);
    setRunning(false);
    Q_EMIT filterEnabledChanged(true);
}

} // namespace marbleway
