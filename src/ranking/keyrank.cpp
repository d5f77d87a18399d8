#include "ranking/keyrank.h"

#include "web/cxhtml.h"

#include <QCoreApplication>

namespace marbleway {

using namespace Qt::StringLiterals;

cKeyrank::cKeyrank(const WebClient& client, const Endpoints& endpoints)
    : m_client(&client)
    , m_endpoints(&endpoints)
{}

QCoro::Task<qint16> cKeyrank::GetGoogleRank(qint16 s, qint16 rank)
{
    return find(SearchEngine::Google, s, rank);
}

QCoro::Task<qint16> cKeyrank::GetYahooRank(qint16 s, qint16 rank)
{
    return find(SearchEngine::Yahoo, s, rank);
}

QCoro::Task<qint16> cKeyrank::GetBingRank(qint16 s, qint16 rank)
{
    return find(SearchEngine::Bing, s, rank);
}

const RankFields& cKeyrank::fields(SearchEngine engine) const
{
    return m_fields[static_cast<size_t>(engine)];
}

RankFields& cKeyrank::fieldsOf(SearchEngine engine)
{
    return m_fields[static_cast<size_t>(engine)];
}

namespace {

// Each outcome's word in files and on the command line, and in the window, in
// the order of RankOutcome.
struct OutcomeWords {
    QStringView key;
    const char* text; // UTF-8, translated where it is shown
};
constexpr std::array<OutcomeWords, 4> outcomeWords = {{
    {u"read", ""},
    {u"failed", QT_TRANSLATE_NOOP("Values", "查询失败")},
    {u"blocked", QT_TRANSLATE_NOOP("Values", "被屏蔽")},
    {u"unrecognised", QT_TRANSLATE_NOOP("Values", "无法识别")},
}};

} // namespace

QString outcomeText(RankOutcome outcome)
{
    return QString::fromUtf8(outcomeWords[size_t(outcome)].text);
}

QString outcomeKey(RankOutcome outcome)
{
    return outcomeWords[size_t(outcome)].key.toString();
}

std::optional<RankOutcome> outcomeFromKey(QStringView key)
{
    for (size_t outcome = 0; outcome < outcomeWords.size(); ++outcome) {
        if (outcomeWords[outcome].key == key)
            return RankOutcome(outcome);
    }
    return std::nullopt;
}

QCoro::Task<cKeyrank::Page> cKeyrank::readPage(SearchEngine engine, QString site, QString keyword,
                                               int page)
{
    CXHtml html(*m_client);
    html.setTryTime(TryTime);
    html.setUrl(rankPageUrl(*m_endpoints, engine, keyword, page));
    const QString url = html.url();
    const EngineRules& rules = engineRules(engine);
    FetchedPage fetched;
    if (!rules.inBrowser)
        fetched = co_await html.fetchPage(u"utf-8"_s);
    else if (m_browserFetch)
        fetched = co_await m_browserFetch(url, rules.waitFor, std::chrono::seconds(TryTime));
    else
        fetched.error = QCoreApplication::translate(
            "KeyRank", "此搜索引擎的规则要求在内嵌浏览器中打开页面，这里没有浏览器");
    if (m_observer)
        m_observer(engine, url, fetched);
    Page read{url, readRankPage(engine, fetched.text, site, page), RankOutcome::Read, QString()};
    // A block page may come with an error status (429): it is told apart so
    // that the user can answer it.
    if (const BlockPage block = blockPageOf(engine, fetched.text); block != BlockPage::None) {
        read.outcome = RankOutcome::Blocked;
        read.reason = blockPageName(block);
    } else if (!fetched.arrived()) {
        read.outcome = RankOutcome::Failed;
        read.reason = fetched.error;
    } else if (fetched.status >= 400) {
        read.outcome = RankOutcome::Failed;
        read.reason = u"HTTP %1"_s.arg(fetched.status);
    } else if (page == 0 && resultBlockCount(engine, fetched.text) == 0 &&
               !fetched.text.trimmed().isEmpty()) {
        // A later page without results is the end of the list, not a fault.
        read.outcome = RankOutcome::Unrecognised;
        read.reason =
            QCoreApplication::translate("KeyRank", "页面中没有结果，搜索引擎的页面格式可能已改变");
    }
    if (read.outcome != RankOutcome::Read)
        read.matches.clear();
    co_return read;
}

QCoro::Task<qint16> cKeyrank::find(SearchEngine engine, qint16 s, qint16 rank)
{
    // Copies: the caller may set new inputs while this call is suspended.
    const QString site = m_url;
    const QString keyword = m_keyword;
    const int maxnum = m_maxnum;
    fieldsOf(engine).link.clear();
    for (int page = s; page < maxnum; ++page) {
        const Page read = co_await readPage(engine, site, keyword, page);
        for (const BlockMatch& match : read.matches) {
            if (match.position > MaxPosition)
                break;
            RankFields& out = fieldsOf(engine);
            out.queryUrl = read.url;
            if (match.position > rank) {
                out.link = match.link;
                out.page = QString::number(page);
                co_return static_cast<qint16>(match.position);
            }
        }
    }
    fieldsOf(engine).page = QString::number(maxnum);
    co_return qint16(0);
}

QCoro::Task<> cKeyrank::positions(SearchEngine engine, bool allPositions,
                                  std::function<void(const RankHit&)> onHit)
{
    const QString site = m_url;
    const QString keyword = m_keyword;
    const int maxnum = m_maxnum;
    fieldsOf(engine).link.clear();
    bool found = false;
    QString lastPage; // the not-found row names the last page read for this keyword
    for (int page = 0; page < maxnum; ++page) {
        const Page read = co_await readPage(engine, site, keyword, page);
        lastPage = read.url;
        if (read.outcome != RankOutcome::Read) {
            onHit(RankHit{engine, 0, QString(), read.url, read.outcome, read.reason});
            co_return;
        }
        for (const BlockMatch& match : read.matches) {
            if (match.position > MaxPosition) {
                page = maxnum;
                break;
            }
            RankFields& out = fieldsOf(engine);
            out.queryUrl = read.url;
            out.link = match.link;
            out.page = QString::number(page);
            found = true;
            onHit(RankHit{engine, match.position, match.link, read.url, RankOutcome::Read, {}});
            if (!allPositions)
                co_return;
        }
    }
    RankFields& out = fieldsOf(engine);
    out.page = QString::number(maxnum);
    if (!found) {
        out.link.clear();
        onHit(RankHit{engine, 0, QString(), lastPage, RankOutcome::Read, {}});
    }
}

} // namespace marbleway
