#include "ranking/keyrank.h"

#include "web/cxhtml.h"
#include "web/textutil.h"

namespace marbleway {

using namespace Qt::StringLiterals;

namespace {

// How each engine's result page is read.
struct PageRules {
    QStringView marker;
    int firstPiece;
    int positionShift; // Yahoo counts the text before its first marker as position 1
    bool (*matches)(QStringView piece, QStringView site);
    QString (*rawLink)(QStringView piece);
};

bool containsSite(QStringView piece, QStringView site)
{
    return piece.contains(site);
}

bool containsEncodedSite(QStringView piece, QStringView site)
{
    // The engine's result link carries the target as "http%3a//" + host...
    return piece.contains(QString(u"http%3a//"_s + site));
}

bool firstLinkContainsSite(QStringView piece, QStringView site)
{
    return GetMemo(piece, u"<a", u"</a>").contains(site);
}

QString hrefLink(QStringView piece)
{
    return GetMemo(piece, u"href=\"", u"\"");
}

QString yahooLink(QStringView piece)
{
    return u"http://"_s + GetMemo(piece, u"http%3a//", u"\">");
}

QString bingLink(QStringView piece)
{
    return GetMemo(piece, u"a=http%3a%2f%2f", u"\"").replace(u"%2f"_s, u"/"_s);
}

const PageRules& rulesFor(SearchEngine engine)
{
    static const PageRules google{u"<h3 class=r>", 1, 0, containsSite, hrefLink};
    static const PageRules yahoo{u"<div><h3><a", 0, 1, containsEncodedSite, yahooLink};
    static const PageRules bing{u"<div class=\"sb_tsuf\">", 1, 0, firstLinkContainsSite, bingLink};
    switch (engine) {
    case SearchEngine::Google:
        return google;
    case SearchEngine::Yahoo:
        return yahoo;
    case SearchEngine::Bing:
        return bing;
    }
    return google;
}

} // namespace

QString normaliseResultLink(QString link)
{
    if (link.toLower().contains(u"http://"))
        link = link.toLower().remove(u"http://"_s);
    if (link.toLower().endsWith(u'/'))
        link = link.toLower().chopped(1);
    return link;
}

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

QString cKeyrank::GBtoUTF8(QStringView szInput)
{
    return marbleway::GBtoUTF8(szInput);
}

QString cKeyrank::queryUrl(const Endpoints& endpoints, SearchEngine engine,
                           const QString& encodedKeyword, int page)
{
    const QString first = QString::number(page * 10 + 1);
    switch (engine) {
    case SearchEngine::Google:
        return endpoints.url(Service::Google, u"/search?q="_s + encodedKeyword +
                                                  u"&hl=en&newwindow=1&start="_s +
                                                  QString::number(page * 10) + u"&sa=N"_s);
    case SearchEngine::Yahoo:
        return endpoints.url(Service::Yahoo,
                             u"/search?p="_s + encodedKeyword + u"&fr=sfp&xargs=0&b="_s + first);
    case SearchEngine::Bing:
        return endpoints.url(Service::Bing,
                             u"/search?q="_s + encodedKeyword + u"&first="_s + first);
    }
    return {};
}

QCoro::Task<qint16> cKeyrank::find(SearchEngine engine, qint16 s, qint16 rank)
{
    const PageRules& rules = rulesFor(engine);
    // Copies: the caller may set new inputs while this call is suspended.
    const QString site = m_url;
    const int maxnum = m_maxnum;
    fieldsOf(engine).link.clear();
    const QString encoded = marbleway::GBtoUTF8(m_keyword);

    CXHtml html(*m_client);
    html.setChar(u"utf-8"_s);
    html.setTryTime(TryTime);

    for (int page = s; page < maxnum; ++page) {
        const QString request = queryUrl(*m_endpoints, engine, encoded, page);
        html.setUrl(request);
        const QString text = co_await html.GetSrc();
        const QList<QStringView> pieces = splitBlocks(text, rules.marker);
        for (qsizetype k = rules.firstPiece; k < pieces.size(); ++k) {
            if (!rules.matches(pieces[k], site))
                continue;
            const int position = page * 10 + static_cast<int>(k) + rules.positionShift;
            RankFields& out = fieldsOf(engine);
            out.queryUrl = request;
            if (position > rank) {
                out.link = normaliseResultLink(rules.rawLink(pieces[k]));
                out.page = QString::number(page);
                co_return static_cast<qint16>(position);
            }
        }
    }
    fieldsOf(engine).page = QString::number(maxnum);
    co_return qint16(0);
}

} // namespace marbleway
