#include "web/engines.h"

#include "web/endpoints.h"
#include "web/textutil.h"

#include <algorithm>
#include <limits>

namespace marbleway {

using namespace Qt::StringLiterals;

namespace {

// Result pages.

bool containsSite(QStringView block, QStringView site)
{
    return block.contains(site);
}

bool containsEncodedSite(QStringView block, QStringView site)
{
    // Yahoo's result link carries the target as "http%3a//" + host...
    return block.contains(QString(u"http%3a//"_s + site));
}

bool firstLinkContainsSite(QStringView block, QStringView site)
{
    return GetMemo(block, u"<a", u"</a>").contains(site);
}

QString hrefLink(QStringView block)
{
    return GetMemo(block, u"href=\"", u"\"");
}

QString yahooLink(QStringView block)
{
    return u"http://"_s + GetMemo(block, u"http%3a//", u"\">");
}

QString bingLink(QStringView block)
{
    return GetMemo(block, u"a=http%3a%2f%2f", u"\"").replace(u"%2f"_s, u"/"_s);
}

QString googleRankPath(const QString& keyword, int page)
{
    return u"/search?q="_s + keyword + u"&hl=en&newwindow=1&start="_s + QString::number(page * 10) +
           u"&sa=N"_s;
}

QString yahooRankPath(const QString& keyword, int page)
{
    return u"/search?p="_s + keyword + u"&fr=sfp&xargs=0&b="_s + QString::number(page * 10 + 1);
}

QString bingRankPath(const QString& keyword, int page)
{
    return u"/search?q="_s + keyword + u"&first="_s + QString::number(page * 10 + 1);
}

// Pages given instead of results. They are recognised only on a page without
// result blocks, so a keyword such as "captcha" cannot trip them.
constexpr std::array googleBlocks = {
    BlockMarker{u"/sorry/index", BlockPage::Captcha},
    BlockMarker{u"unusual traffic from your computer network", BlockPage::Captcha},
    BlockMarker{u"g-recaptcha", BlockPage::Captcha},
    BlockMarker{u"consent.google.com", BlockPage::Consent},
    BlockMarker{u"before you continue to google", BlockPage::Consent},
    BlockMarker{u"/httpservice/retry/enablejs", BlockPage::JavaScript},
    BlockMarker{u"enable javascript", BlockPage::JavaScript},
    BlockMarker{u"if you are not redirected within a few seconds", BlockPage::JavaScript},
};
constexpr std::array yahooBlocks = {
    BlockMarker{u"captcha", BlockPage::Captcha},
    BlockMarker{u"consent.yahoo.com", BlockPage::Consent},
    BlockMarker{u"guce.yahoo.com", BlockPage::Consent},
    BlockMarker{u"enable javascript", BlockPage::JavaScript},
};
constexpr std::array bingBlocks = {
    BlockMarker{u"captcha", BlockPage::Captcha},
    BlockMarker{u"/challenge/verify", BlockPage::Captcha},
    BlockMarker{u"enable javascript", BlockPage::JavaScript},
};

// Page counts.

QString googleCountPath(const QString& keyword)
{
    return u"/search?hl=en&q="_s + keyword;
}

QString yahooCountPath(const QString& keyword)
{
    return u"/search?p="_s + keyword;
}

QString bingCountPath(const QString& keyword)
{
    return u"/search?q="_s + keyword + u"&setmkt=en-US"_s;
}

QString googleCount(const QString& page)
{
    QString count = GetMemo(page, u"</b> of", u"</b>");
    if (const qsizetype bold = count.indexOf(u"<b>"); bold >= 0) {
        count = count.mid(bold + 3);
        if (const qsizetype next = count.indexOf(u"<b>"); next >= 0)
            count.truncate(next);
    }
    return count;
}

QString yahooCount(const QString& page)
{
    return GetMemo(page, u"<strong id=\"resultCount\">", u"<");
}

QString bingCount(const QString& page)
{
    return trimSpaces(GetMemo(page, u" of ", u"results")).toString();
}

// Related searches. Yahoo embeds its related terms as [["term","0"],["term","0"],...].
const QString yahooSplit = u",\"0\"],["_s;
const QString yahooFirst = u":[[\""_s;
const QString bingSplit = u"')\""_s;

QStringList yahooPieces(const QString& page)
{
    return page.split(yahooSplit);
}

QStringList googlePieces(const QString& page)
{
    QStringList pieces = GetMemo(page, u">searches related to", u"</table>").split(u"><a "_s);
    pieces.removeFirst();
    return pieces;
}

QStringList bingPieces(const QString& page)
{
    QStringList pieces = GetMemo(page, u"<h2>related searches</h2><ul>", u"</ul>").split(bingSplit);
    pieces.removeFirst();
    return pieces;
}

QString yahooCandidate(const QString& piece, qsizetype index)
{
    return index == 0 ? GetMemo(piece, yahooFirst, u"\"") : GetMemo(piece, u"\"", u"\"");
}

QString googleCandidate(const QString& piece, qsizetype)
{
    return GetMemo(piece, u">", u"</a>").remove(u"<b>"_s).remove(u"</b>"_s);
}

QString bingCandidate(const QString& piece, qsizetype)
{
    return GetMemo(piece, u">", u"</a>").remove(u"<strong>"_s).remove(u"</strong>"_s);
}

QString yahooRelatedPath(const QString& seed)
{
    return u"/search?p="_s + seed;
}

const std::array<EngineInfo, AllSearchEngines.size()> engines = {{
    {SearchEngine::Google,
     u"Google.com",
     u"google",
     Service::Google,
     u"googlese",
     u"googles",
     1,
     u"0",
     googleRankPath,
     u"<h3 class=r>",
     1,
     0,
     containsSite,
     hrefLink,
     googleBlocks,
     googleCountPath,
     googleCount,
     googleCountPath,
     googlePieces,
     googleCandidate},
    {SearchEngine::Yahoo, u"Yahoo.com",     u"yahoo",    Service::Yahoo,
     u"yahoose",          u"yahoos",        2,           u"-",
     yahooRankPath,       u"<div><h3><a",   0,           1,
     containsEncodedSite, yahooLink,        yahooBlocks, yahooCountPath,
     yahooCount,          yahooRelatedPath, yahooPieces, yahooCandidate},
    {SearchEngine::Bing,
     u"Bing.com",
     u"bing",
     Service::Bing,
     u"bingse",
     u"bings",
     3,
     u"-",
     bingRankPath,
     u"<div class=\"sb_tsuf\">",
     1,
     0,
     firstLinkContainsSite,
     bingLink,
     bingBlocks,
     bingCountPath,
     bingCount,
     bingCountPath,
     bingPieces,
     bingCandidate},
}};

} // namespace

const EngineInfo& engineInfo(SearchEngine engine)
{
    return engines[static_cast<size_t>(engine)];
}

QString engineDisplayName(SearchEngine engine)
{
    return engineInfo(engine).displayName.toString();
}

QString engineKey(SearchEngine engine)
{
    return engineInfo(engine).key.toString();
}

std::optional<SearchEngine> engineFromDisplayName(QStringView name)
{
    for (const EngineInfo& info : engines) {
        if (info.displayName == name)
            return info.engine;
    }
    return std::nullopt;
}

std::optional<SearchEngine> engineFromKey(QStringView key)
{
    for (const EngineInfo& info : engines) {
        if (key.compare(info.key, Qt::CaseInsensitive) == 0)
            return info.engine;
    }
    return std::nullopt;
}

QString engineQueryText(QStringView keyword)
{
    return queryValue(keyword);
}

QList<BlockMatch> readRankPage(SearchEngine engine, QStringView text, QStringView site, int page)
{
    const EngineInfo& info = engineInfo(engine);
    QList<BlockMatch> matches;
    const QList<QStringView> blocks = splitBlocks(text, info.rankMarker);
    for (qsizetype k = info.firstBlock; k < blocks.size(); ++k) {
        if (!info.blockMatches(blocks[k], site))
            continue;
        const qint64 position = qint64(page) * 10 + k + info.positionShift;
        if (position > std::numeric_limits<int>::max())
            break;
        matches.append({int(position), cleanField(normaliseResultLink(info.blockLink(blocks[k])))});
    }
    return matches;
}

qsizetype resultBlockCount(SearchEngine engine, QStringView text)
{
    const EngineInfo& info = engineInfo(engine);
    return std::max<qsizetype>(0, splitBlocks(text, info.rankMarker).size() - 1);
}

BlockPage blockPageOf(SearchEngine engine, QStringView text)
{
    if (resultBlockCount(engine, text) > 0)
        return BlockPage::None;
    for (const BlockMarker& marker : engineInfo(engine).blockMarkers) {
        if (text.contains(marker.text, Qt::CaseInsensitive))
            return marker.page;
    }
    return BlockPage::None;
}

QString blockPageName(BlockPage page)
{
    switch (page) {
    case BlockPage::Captcha:
        return u"验证码页面"_s;
    case BlockPage::JavaScript:
        return u"要求运行 JavaScript 的页面"_s;
    case BlockPage::Consent:
        return u"Cookie 同意页面"_s;
    case BlockPage::None:
        break;
    }
    return {};
}

QString normaliseResultLink(QString link)
{
    if (link.toLower().contains(u"http://"))
        link = link.toLower().remove(u"http://"_s);
    if (link.toLower().endsWith(u'/'))
        link = link.toLower().chopped(1);
    return link;
}

QString rankPageUrl(const Endpoints& endpoints, SearchEngine engine, const QString& keyword,
                    int page)
{
    const EngineInfo& info = engineInfo(engine);
    return endpoints.url(info.service, info.rankPath(engineQueryText(keyword), page));
}

QString pageCountUrl(const Endpoints& endpoints, SearchEngine engine, const QString& keyword)
{
    const EngineInfo& info = engineInfo(engine);
    return endpoints.url(info.service, info.countPath(engineQueryText(keyword)));
}

QString noCount(SearchEngine engine)
{
    return engineInfo(engine).noCount.toString();
}

QString pageCountFrom(SearchEngine engine, const QString& page)
{
    QString count = engineInfo(engine).countFrom(page);
    count.remove(u',');
    // A value is never markup: a marker that matched elsewhere on the page
    // (a title holding " of ") gives nothing found.
    if (count.contains(u'<') || count.contains(u'\n') || count.contains(u'\r'))
        count.clear();
    count = cleanField(count, 64);
    return count.isEmpty() ? noCount(engine) : count;
}

QString relatedSearchUrl(const Endpoints& endpoints, SearchEngine engine, const QString& seed)
{
    const EngineInfo& info = engineInfo(engine);
    return endpoints.url(info.service, info.relatedPath(engineQueryText(seed)));
}

QStringList relatedPieces(SearchEngine engine, const QString& lowerPage)
{
    if (lowerPage.isEmpty())
        return {};
    return engineInfo(engine).relatedPieces(lowerPage);
}

QString relatedCandidate(SearchEngine engine, const QString& piece, qsizetype index)
{
    return engineInfo(engine).relatedCandidate(piece, index);
}

} // namespace marbleway
