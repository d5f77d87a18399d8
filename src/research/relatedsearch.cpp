#include "research/relatedsearch.h"

#include "core/textfile.h"
#include "keyworddb/keyworddatabaselist.h"
#include "web/engines.h"
#include "web/textutil.h"

#include <QCoreApplication>
#include <QPointer>

namespace marbleway {

using namespace Qt::StringLiterals;

namespace {

// The passes run in this order; their flags are kept in this order too.
constexpr std::array passOrder = {SearchEngine::Yahoo, SearchEngine::Google, SearchEngine::Bing};

bool countAsked(const RelatedOptions& options, SearchEngine engine)
{
    constexpr std::array option = {RelatedOptions::GoogleCounts, RelatedOptions::YahooCounts,
                                   RelatedOptions::BingCounts};
    return options.checked[option[size_t(engine)]];
}

bool isNumber(const QString& text)
{
    bool ok = false;
    text.trimmed().toDouble(&ok);
    return ok;
}

} // namespace

const QStringList RelatedSearch::Columns = {
    QStringLiteral(QT_TRANSLATE_NOOP("Columns", "相关关键词")),
    QStringLiteral(QT_TRANSLATE_NOOP("Columns", "Google.com收录")),
    QStringLiteral(QT_TRANSLATE_NOOP("Columns", "Yahoo.com收录")),
    QStringLiteral(QT_TRANSLATE_NOOP("Columns", "Bing.com收录数")),
    QStringLiteral(QT_TRANSLATE_NOOP("Columns", "搜索量-月均")),
    QStringLiteral(QT_TRANSLATE_NOOP("Columns", "搜索量-昨日")),
    QStringLiteral(QT_TRANSLATE_NOOP("Columns", "百度收录数")),
    QStringLiteral(QT_TRANSLATE_NOOP("Columns", "百度优化指数"))};

RelatedSearch::RelatedSearch(Services services, QObject* parent)
    : Job(parent)
    , m_services(std::move(services))
    , m_rows(Columns)
    , m_visible(m_rows)
    , m_control(m_services.panels,
                {QCoreApplication::translate("RelatedSearch", "开始查询"),
                 QCoreApplication::translate("RelatedSearch", "暂停查询"),
                 QCoreApplication::translate("RelatedSearch", "正在停止"), false})
    , m_web(m_services.web.sibling())
{
    // A pause never waits on the network.
    connect(&m_control, &JobControl::stopRequested, this, [this] { m_web->abortAll(); });
}

WriteResult RelatedSearch::setSeedText(const QString& text)
{
    m_inputs.seedText = text;
    const QString trimmed = trimSpaces(text).toString();
    if (trimmed.toLower() == u"qq"_s)
        return {};
    WriteResult written = m_services.dataFolder.write(u"kws.txt"_s, crlfLines({trimmed}));
    if (!written)
        Q_EMIT warning(QCoreApplication::translate("RelatedSearch", "关键词未能保存（kws.txt）：%1")
                           .arg(written.error));
    return written;
}

void RelatedSearch::setOptions(const RelatedOptions& options)
{
    if (options.checked == m_inputs.options.checked)
        return;
    m_inputs.options = options;
    Q_EMIT optionsChanged();
}

void RelatedSearch::GetStbar(const QString& keyword)
{
    m_services.panels.setText(
        2, QCoreApplication::translate("RelatedSearch", "累计查询到相关关键词：%1个")
               .arg(m_visible.rowCount()));
    m_services.panels.setText(3, QCoreApplication::translate("RelatedSearch", "当前相关关键词：") +
                                     keyword);
}

RowId RelatedSearch::appendKeyword(const QString& keyword)
{
    Row row;
    row.cells = {keyword, QString(), QString(), QString()};
    row.checkable = true;
    m_keywords.insert(keyword);
    return m_rows.append(std::move(row));
}

bool RelatedSearch::accepts(const QString& candidate, const QString& seed) const
{
    const bool mustContain = m_inputs.options.checked[RelatedOptions::MustContain];
    if (mustContain ? !candidate.contains(seed) : candidate.isEmpty())
        return false;
    if (m_inputs.exclude &&
        HasExcludedWord(candidate, trimSpaces(m_inputs.excludeWords).toString().toLower()))
        return false;
    return !m_keywords.contains(trimSpaces(candidate).toString());
}

void RelatedSearch::click()
{
    if (!m_control.isIdle()) {
        // A pause request: the search stops after the keyword in hand. The seed
        // box is not read, so an edited box cannot empty the lists mid-search.
        m_control.click();
        return;
    }
    keep(run());
}

QCoro::Task<> RelatedSearch::run()
{
    if (!m_control.isIdle())
        co_return;
    QPointer<RelatedSearch> self = this;
    const QString seed = trimSpaces(m_inputs.seedText).toString().toLower();
    if (seed.isEmpty()) {
        co_await m_services.prompts.message(
            QCoreApplication::translate("RelatedSearch", "提示"),
            QCoreApplication::translate("RelatedSearch", "请输入要查询的关键词！"),
            PromptIcon::Information);
        co_return;
    }
    CXHtml html(*m_web);
    html.setChar(u"utf-8"_s);
    if (seed != m_lastSeed) {
        m_rows.clear();
        m_keywords.clear();
        m_lastSeed = seed;
        m_done = {};
    }
    if (!m_control.click())
        co_return;
    setRunning(true);
    Q_EMIT filterEnabledChanged(false);

    if (!m_keywords.contains(seed)) {
        GetStbar(seed);
        const RowId row = appendKeyword(seed);
        const bool counted = co_await AddIndex(seed, row);
        if (!self)
            co_return;
        if (!counted) {
            dropKeyword(seed, row);
            ended(false);
            co_return;
        }
        m_rows.setBold(row, true);
        Q_EMIT keywordFound(row);
    }

    for (size_t pass = 0; pass < passOrder.size(); ++pass) {
        if (m_done[pass])
            continue;
        const bool completed = co_await runPass(passOrder[pass], &html, seed);
        if (!self)
            co_return;
        if (!completed) {
            ended(false);
            co_return;
        }
        m_done[pass] = true;
    }
    ended(true);
}

QCoro::Task<bool> RelatedSearch::runPass(SearchEngine engine, CXHtml* html, QString seed)
{
    QPointer<RelatedSearch> self = this;
    html->setUrl(relatedSearchUrl(m_services.endpoints, engine, seed));
    const QString page = co_await html->GetSrc();
    // A page a pause dropped is read again on resume.
    if (!self || !m_control.isRunning())
        co_return false;
    const QStringList pieces = relatedPieces(engine, page.toLower());
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (!m_control.isRunning())
            co_return false;
        const QString candidate = cleanField(relatedCandidate(engine, pieces.at(i), i));
        if (!accepts(candidate, seed))
            continue;
        const RowId row = appendKeyword(candidate);
        GetStbar(candidate);
        const bool counted = co_await AddIndex(candidate, row);
        if (!self)
            co_return false;
        if (!counted) {
            dropKeyword(candidate, row);
            co_return false;
        }
        Q_EMIT keywordFound(row);
    }
    co_return true;
}

void RelatedSearch::dropKeyword(const QString& keyword, RowId row)
{
    m_rows.removeIds({row});
    m_keywords.remove(keyword);
}

QCoro::Task<bool> RelatedSearch::AddIndex(QString kw, RowId row)
{
    QPointer<RelatedSearch> self = this;
    const RelatedOptions options = m_inputs.options;
    const bool anyCount =
        std::any_of(AllSearchEngines.begin(), AllSearchEngines.end(),
                    [&options](SearchEngine e) { return countAsked(options, e); });
    const QDate today = m_services.clock.today();
    const auto cached =
        anyCount ? m_services.store.findOnDate(trimSpaces(kw).toString(), today) : std::nullopt;
    CXHtml html(*m_web);
    html.setChar(u"utf-8"_s);
    bool fetched = false;
    for (const SearchEngine engine : AllSearchEngines) {
        QString count = u"-"_s;
        if (countAsked(m_inputs.options, engine)) {
            // "-" is no count: a row stored today without this engine's (by a
            // team member counting others) does not stand in for it.
            if (cached && cached->count(engine) != u"-") {
                count = cached->count(engine);
            } else {
                fetched = true;
                co_await m_services.pacer.pace(engine, CrawlPacer::Wait::Rounded, &m_control);
                if (!self || !m_control.isRunning())
                    co_return false;
                html.setUrl(pageCountUrl(m_services.endpoints, engine, kw));
                const QString page = co_await html.GetSrc();
                if (!self || !m_control.isRunning())
                    co_return false;
                count = pageCountFrom(engine, page);
            }
        }
        m_rows.setCell(row, engineInfo(engine).countColumn, count);
    }
    if ((!cached || fetched) && m_inputs.options.checked[RelatedOptions::StoreAtOnce]) {
        // A lost connection holds the search here until it is back; a pause
        // meanwhile leaves the keyword to be done again.
        const std::function<bool()> write = [this, row] { return checkdb(row); };
        const std::function<bool()> running = [self] {
            return self && self->m_control.isRunning();
        };
        const bool stored =
            co_await m_services.store.writeThroughLoss(write, m_services.clock, running);
        if (!self || (!stored && m_services.store.isConnectionLost()))
            co_return false;
    }
    co_return true;
}

bool RelatedSearch::checkdb(RowId id)
{
    const int row = m_rows.indexOf(id);
    if (row < 0)
        return true;
    const QString keyword = trimSpaces(m_rows.text(row)).toString();
    std::array<QString, AllSearchEngines.size()> counts;
    for (const SearchEngine engine : AllSearchEngines) {
        const QString cell = m_rows.text(row, engineInfo(engine).countColumn);
        counts[size_t(engine)] = isNumber(cell) ? trimSpaces(cell).toString() : u"-"_s;
    }
    const QDate today = m_services.clock.today();
    const QString parent = trimSpaces(m_inputs.seedText).toString();
    const auto stored = m_services.store.find(keyword);
    if (!stored)
        return m_services.store.insert(keyword, parent, counts[0], counts[1], counts[2], today);
    if (wholeDaysBetween(stored->adddate, today) != 0)
        return m_services.store.update(keyword, parent, counts[0], counts[1], counts[2], today);
    // Stored today by another program since the cache look-up (a team member
    // counting other engines): its row takes the counts found here too.
    std::array<std::optional<QString>, AllSearchEngines.size()> found;
    for (const SearchEngine engine : AllSearchEngines) {
        if (counts[size_t(engine)] != u"-")
            found[size_t(engine)] = counts[size_t(engine)];
    }
    return m_services.store.updateCounts(keyword, found, today);
}

void RelatedSearch::ended(bool workDone)
{
    if (workDone) {
        m_services.panels.setText(2, QString());
        m_services.panels.setText(3, QString());
        m_done = {};
        m_lastSeed.clear();
    }
    // Work done is "就绪" even when a pause came during the last keyword.
    m_control.finish(workDone);
    setRunning(false);
    Q_EMIT filterEnabledChanged(true);
}

QCoro::Task<> RelatedSearch::deleteChecked()
{
    bool any = false;
    for (int row = 0; row < m_visible.rowCount() && !any; ++row)
        any = m_rows.at(m_visible.sourceRow(row)).checked;
    if (!any) {
        co_await m_services.prompts.message(
            QCoreApplication::translate("RelatedSearch", "提示"),
            QCoreApplication::translate("RelatedSearch", "请选择你要删除的关键词"),
            PromptIcon::Information);
        co_return;
    }
    m_visible.hideChecked();
}

QCoro::Task<> RelatedSearch::addCheckedToDatabase()
{
    int stored = 0;
    const QDate today = m_services.clock.today();
    const QString parent = trimSpaces(m_inputs.seedText).toString();
    {
        KeywordStore::Transaction transaction(m_services.store);
        for (int visible = 0; visible < m_visible.rowCount(); ++visible) {
            const Row& row = m_rows.at(m_visible.sourceRow(visible));
            if (!row.checked)
                continue;
            if (m_services.store.add(trimSpaces(row.cells.value(0)).toString(), parent,
                                     row.cells.value(1), row.cells.value(2), row.cells.value(3),
                                     today) == KeywordStore::AddResult::Added)
                ++stored;
        }
        // Only rows the table took count.
        if (!transaction.commit())
            stored = 0;
    }
    co_await reportStored(m_services.prompts, stored);
}

void RelatedSearch::filter(const std::optional<ResultFilter>& filter)
{
    applyFilter(m_visible, filter, CountColumns);
}

void RelatedSearch::sortByColumn(int column)
{
    if (m_services.panels.isBusy() || column < 0 || column >= Columns.size())
        return;
    // The direction alternates from click to click, whatever the column.
    m_order = m_order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    m_visible.sortBy(column, m_order);
}

} // namespace marbleway
