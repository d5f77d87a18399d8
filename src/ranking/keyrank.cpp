#include "ranking/keyrank.h"

#include "web/cxhtml.h"

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

QCoro::Task<cKeyrank::Page> cKeyrank::readPage(SearchEngine engine, QString site, QString keyword,
                                               int page)
{
    CXHtml html(*m_client);
    html.setChar(u"utf-8"_s);
    html.setTryTime(TryTime);
    html.setUrl(rankPageUrl(*m_endpoints, engine, keyword, page));
    const QString url = html.url();
    const QString text = co_await html.GetSrc();
    co_return Page{url, readRankPage(engine, text, site, page)};
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
    for (int page = 0; page < maxnum; ++page) {
        const Page read = co_await readPage(engine, site, keyword, page);
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
            onHit(RankHit{engine, match.position, match.link, read.url});
            if (!allPositions)
                co_return;
        }
    }
    RankFields& out = fieldsOf(engine);
    out.page = QString::number(maxnum);
    if (!found) {
        out.link.clear();
        onHit(RankHit{engine, 0, QString(), out.queryUrl});
    }
}

} // namespace marbleway
