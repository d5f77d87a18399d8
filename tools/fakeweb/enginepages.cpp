#include "enginepages.h"

#include "testhttpserver.h"
#include "toolpage.h"

#include <QLocale>
#include <QUrl>

#include <array>

namespace marbleway::fakeweb {

using namespace Qt::StringLiterals;

namespace {

constexpr int ResultsPerPage = 10;
constexpr int IndexDepth = 50;

constexpr std::array pool = {
    u"www.searchdesk.example",   u"blog.rankwatch.example",     u"seo-notes.example",
    u"www.linkgarden.example",   u"www.pagecraft.example",      u"forum.webmasters.example",
    u"www.metricmill.example",   u"guides.sitebuilder.example", u"www.crawlwise.example",
    u"www.keywordatlas.example", u"news.searchweekly.example",  u"www.serpscope.example",
    u"www.contentforge.example", u"wiki.webcraft.example",      u"www.trafficlab.example",
    u"www.anchortext.example",   u"www.indexbay.example",       u"help.hostingpal.example",
    u"www.snippetworks.example", u"www.rankfolio.example",      u"www.sitemapper.example",
    u"www.linkledger.example",   u"www.querycraft.example",     u"www.pagerank-notes.example",
};

struct Placement {
    QStringView keyword;
    SearchEngine engine;
    std::array<int, 2> blocks; // 1-based result blocks; 0 = unused
};

// Where the demo site is listed. Yahoo reports a block one place further down
// (it counts the page head as a place), so block 4 there reads as position 5.
constexpr std::array placements = {
    Placement{u"seo tools", SearchEngine::Google, {3, 17}},
    Placement{u"seo tools", SearchEngine::Yahoo, {4, 0}},
    Placement{u"seo tools", SearchEngine::Bing, {12, 41}},
    Placement{u"keyword research", SearchEngine::Google, {8, 0}},
    Placement{u"keyword research", SearchEngine::Yahoo, {1, 8}},
    Placement{u"backlinks", SearchEngine::Yahoo, {14, 0}},
    Placement{u"backlinks", SearchEngine::Bing, {1, 0}},
};

quint32 fnv1a(const QString& text)
{
    quint32 hash = 2166136261u;
    for (const QChar ch : text) {
        hash ^= ch.unicode();
        hash *= 16777619u;
    }
    return hash;
}

QString slugOf(const QString& keyword)
{
    QString slug;
    for (const QChar ch : keyword.toLower()) {
        if (ch.isLetterOrNumber())
            slug += ch;
        else if (!slug.endsWith(u'-'))
            slug += u'-';
    }
    while (slug.endsWith(u'-'))
        slug.chop(1);
    return slug.isEmpty() ? u"search"_s : slug;
}

QString normalised(const QString& keyword)
{
    return keyword.simplified().toLower();
}

QString escaped(const QString& text)
{
    return text.toHtmlEscaped();
}

// "4,120,000": page counts as the engines print them.
QString withSeparators(quint32 number)
{
    QString digits = QString::number(number);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, u',');
    return digits;
}

const QString& modifiersFor(SearchEngine engine)
{
    // Overlapping on purpose: the same suggestion from two engines is listed once.
    static const QString yahoo = u"free %1|%1 online|best %1|%1 list|%1 for beginners"_s;
    static const QString google = u"free %1|%1 software|best %1|%1 comparison|top 10 %1"_s;
    static const QString bing = u"%1 free|%1 online|%1 software|%1 review|list of %1"_s;
    return engine == SearchEngine::Yahoo ? yahoo : engine == SearchEngine::Google ? google : bing;
}

} // namespace

quint32 countFor(SearchEngine engine, const QString& keyword)
{
    return 20000 + fnv1a(normalised(keyword) + engineKey(engine) + u"count"_s) % 9000000;
}

QStringList relatedFor(SearchEngine engine, const QString& keyword)
{
    QStringList related;
    for (const QString& form : modifiersFor(engine).split(u'|'))
        related << form.arg(normalised(keyword));
    return related;
}

namespace {

QString googlePage(const QString& keyword, int page, const QList<Result>& results)
{
    QString html = u"<html><head><meta http-equiv=\"content-type\" content=\"text/html; "
                   "charset=UTF-8\"><title>"_s +
                   escaped(keyword) + u" - Google Search</title></head><body>\n"_s;
    html += u"<div id=\"resultStats\">Results <b>%1</b> - <b>%2</b> of about <b>%3</b> for "
            "<b>%4</b></div>\n"_s.arg(
                QString::number(page * 10 + 1), QString::number(page * 10 + 10),
                withSeparators(countFor(SearchEngine::Google, keyword)), escaped(keyword));
    html += u"<div id=\"res\"><ol>\n"_s;
    for (const Result& result : results) {
        const QString link = u"http://"_s + result.host + result.path;
        html += u"<li class=g><h3 class=r><a href=\""_s + link + u"\" class=l>"_s +
                escaped(result.title) + u"</a></h3><div class=\"s\">An example result about "_s +
                escaped(keyword) + u".<br><cite>"_s + result.host + result.path +
                u"</cite></div></li>\n"_s;
    }
    if (results.isEmpty())
        html += u"<p>Your search did not match any more documents.</p>\n"_s;
    html += u"</ol></div>\n<p class=\"rs\">Searches related to <b>"_s + escaped(keyword) +
            u"</b></p><table><tr>"_s;
    for (const QString& related : relatedFor(SearchEngine::Google, keyword)) {
        QString shown = escaped(related);
        shown.replace(escaped(normalised(keyword)),
                      u"<b>"_s + escaped(normalised(keyword)) + u"</b>"_s);
        html += u"<td><a href=\"/search?q="_s + QString(related).replace(u' ', u'+') + u"\">"_s +
                shown + u"</a></td>"_s;
    }
    html += u"</tr></table></body></html>\n"_s;
    return html;
}

QString yahooPage(const QString& keyword, int page, const QList<Result>& results)
{
    QString html = u"<!doctype html><html><head><meta http-equiv=\"Content-Type\" "
                   "content=\"text/html; charset=utf-8\"><title>"_s +
                   escaped(keyword) +
                   u" - Yahoo! Search Results</title></head><body>\n"
                   "<form action=\"/search\"><input name=\"p\" value=\""_s +
                   escaped(keyword) + u"\"></form>\n"_s;
    html += u"<p>Page %1, <strong id=\"resultCount\">%2</strong> results</p>\n"_s.arg(
        QString::number(page + 1), withSeparators(countFor(SearchEngine::Yahoo, keyword)));
    html += u"<div id=\"web\"><ol>\n"_s;
    for (const Result& result : results) {
        html += u"<li><div><h3><a class=\"yschttl spt\" href=\"http://rds.yahoo.example/"
                "_ylt=A0oG7/SIG=12/EXP=1/**http%3a//"_s +
                result.host + result.path + u"\">"_s + escaped(result.title) +
                u"</a></h3></div><div class=\"abstr\">An example result about "_s +
                escaped(keyword) + u".</div><span class=url>"_s + result.host + result.path +
                u"</span></li>\n"_s;
    }
    if (results.isEmpty())
        html += u"<p>We did not find results for this page.</p>\n"_s;
    // The related searches travel as data for the page's script.
    QStringList terms;
    for (const QString& related : relatedFor(SearchEngine::Yahoo, keyword))
        terms << u"[\""_s + related + u"\",\"0\"]"_s;
    html += u"</ol></div>\n<script>var related = {\"terms\":["_s + terms.join(u',') +
            u"]};</script></body></html>\n"_s;
    return html;
}

QString bingPage(const QString& keyword, int page, const QList<Result>& results)
{
    QString html = u"<!DOCTYPE html><html><head><meta content=\"text/html; charset=utf-8\" "
                   "http-equiv=\"content-type\"><title>"_s +
                   escaped(keyword) + u" - Bing</title></head><body>\n"_s;
    html += u"<div id=\"results\"><span class=\"sb_count\">%1-%2 of %3 results</span><ul>\n"_s.arg(
        QString::number(page * 10 + 1), QString::number(page * 10 + 10),
        withSeparators(countFor(SearchEngine::Bing, keyword)));
    for (const Result& result : results) {
        QString target = result.host + result.path;
        target.replace(u"/"_s, u"%2f"_s);
        html += u"<li class=\"sa_wr\"><div class=\"sb_tsuf\"><a href=\"http://www.bing.example/"
                "cr?IG=1&amp;CID=2&amp;a=http%3a%2f%2f"_s +
                target + u"\">"_s + result.host + result.path + u"</a><h3>"_s +
                escaped(result.title) + u"</h3><p>An example result about "_s + escaped(keyword) +
                u".</p></div></li>\n"_s;
    }
    if (results.isEmpty())
        html += u"<p>There are no more results for this search.</p>\n"_s;
    html += u"</ul></div>\n<div class=\"b_rs\"><h2>Related searches</h2><ul>"_s;
    int id = 5100;
    for (const QString& related : relatedFor(SearchEngine::Bing, keyword)) {
        QString shown = escaped(related);
        shown.replace(escaped(normalised(keyword)) + u' ', QString());
        shown = escaped(normalised(keyword)) + u" <strong>"_s + shown + u"</strong>"_s;
        if (!related.startsWith(normalised(keyword)))
            shown = escaped(related);
        html += u"<li><a href=\"/search?q="_s + QString(related).replace(u' ', u'+') +
                u"\" onmousedown=\"return si_T('&amp;ID=SERP,%1')\">"_s.arg(id++) + shown +
                u"</a></li>"_s;
    }
    html += u"</ul></div></body></html>\n"_s;
    return html;
}

} // namespace

QList<Result> resultsFor(SearchEngine engine, const QString& keyword, int count)
{
    const QString key = normalised(keyword);
    const QString slug = slugOf(key);
    const quint32 seed = fnv1a(key + engineKey(engine));
    QList<Result> results;
    for (int i = 1; i <= count; ++i) {
        const QString host =
            QStringView(pool[(seed + static_cast<quint32>(i) * 7u) % pool.size()]).toString();
        results.append(Result{host, u"/articles/%1-%2/"_s.arg(slug).arg(i),
                              u"%1: notes and tips, part %2"_s.arg(keyword.simplified()).arg(i)});
    }
    for (const Placement& placement : placements) {
        if (placement.engine != engine || placement.keyword != key)
            continue;
        int found = 0;
        for (const int block : placement.blocks) {
            if (block < 1 || block > count)
                continue;
            const QString path =
                found++ == 0 ? u"/"_s + slug + u"/"_s : u"/blog/%1-%2/"_s.arg(slug).arg(block);
            results[block - 1] =
                Result{DemoSite.toString(), path, u"Blue Widget - %1"_s.arg(keyword.simplified())};
        }
    }
    return results;
}

QString resultPage(SearchEngine engine, const QString& keyword, int page)
{
    QList<Result> results;
    if (page >= 0 && page * ResultsPerPage < IndexDepth)
        results =
            resultsFor(engine, keyword, IndexDepth).mid(page * ResultsPerPage, ResultsPerPage);
    return layoutPage(engine, keyword, page, results);
}

QString layoutPage(SearchEngine engine, const QString& keyword, int page,
                   const QList<Result>& results)
{
    switch (engine) {
    case SearchEngine::Google:
        return googlePage(keyword, page, results);
    case SearchEngine::Yahoo:
        return yahooPage(keyword, page, results);
    case SearchEngine::Bing:
        return bingPage(keyword, page, results);
    }
    return {};
}

std::optional<QString> answerSearch(SearchEngine engine, const QString& path,
                                    const std::optional<QString>& keyword,
                                    const std::optional<QString>& offset)
{
    if (path != u"/search"_s || !keyword)
        return std::nullopt;
    const int value = offset ? offset->toInt() : 0;
    // Google counts results from 0, Yahoo and Bing from 1.
    const int page = engine == SearchEngine::Google ? value / ResultsPerPage
                                                    : std::max(0, value - 1) / ResultsPerPage;
    return resultPage(engine, *keyword, page);
}

std::optional<SearchEngine> engineOfRequest(const test::Request& request)
{
    if (request.query(u"p"))
        return SearchEngine::Yahoo;
    if (request.query(u"setmkt") || request.query(u"first"))
        return SearchEngine::Bing;
    if (request.query(u"q"))
        return SearchEngine::Google;
    return std::nullopt;
}

void serveAllEngines(test::TestHttpServer& server)
{
    server.setHandler([](const test::Request& request) -> std::optional<test::Response> {
        const auto engine = engineOfRequest(request);
        if (!engine)
            return std::nullopt;
        const bool yahoo = *engine == SearchEngine::Yahoo;
        const auto offset = yahoo                             ? request.query(u"b")
                            : *engine == SearchEngine::Google ? request.query(u"start")
                                                              : request.query(u"first");
        const auto page =
            answerSearch(*engine, request.path, request.query(yahoo ? u"p" : u"q"), offset);
        return page ? std::optional(test::Response::page(*page)) : std::nullopt;
    });
}

QString resourceListPage(int category, const QString& type, int page,
                         const ResourceListOptions& options)
{
    struct Kind {
        const char16_t* name;
        int resources;
        int pages;
    };
    static const std::array<Kind, 3> kinds = {
        {{u"blog", 38, 20}, {u"bookmarks", 155, 30}, {u"directory", 7300, 800}}};
    const int index = category - 6;
    if (index < 0 || index >= int(kinds.size()) || page < 1 ||
        (options.pages > 0 && page > options.pages))
        return {};
    const Kind& kind = kinds[size_t(index)];
    // Spread evenly: every page up to the last holds some.
    const auto upTo = [&kind](int pages) { return qint64(pages) * kind.resources / kind.pages; };
    QString html;
    for (qint64 n = upTo(page - 1) + 1; n <= std::min<qint64>(upTo(page), kind.resources); ++n) {
        const QString name = QString::fromUtf16(kind.name);
        if (options.shortRows && n % 4 == 0) {
            html += u"Example %1 %2~www.%1-%2.example/submit<br>"_s.arg(name, QString::number(n));
            continue;
        }
        html += u"Example %1 %2~www.%1-%2.example/submit~%3~%4<br>"_s.arg(
            name, QString::number(n), QString::number(n % 8),
            type.isEmpty() ? u"英文，免费提交"_s : type);
    }
    return html;
}

static std::optional<test::Response> answerBaidu(const test::Request& request)
{
    const QString keyword =
        request.query(u"wd")
            .value_or(request.query(u"q").value_or(request.query(u"word").value_or(QString())))
            .trimmed();
    const auto seed = int(qHash(keyword) % 1000);
    if (request.path == u"/s"_s) {
        // A web search page, with the page count where the program reads it.
        const QString count = QLocale(QLocale::English).toString(qint64(seed + 1) * 1230);
        return test::Response::page(
            u"<html><head><meta charset=\"gbk\"></head><body><h2>百度"
            "（示例）</h2><p>百度为您找到相关网页约%1篇</p></body></html>"_s.arg(count),
            "GBK");
    }
    if (request.path == u"/tools/get_data.php"_s) {
        // Daily values of the index: none for a keyword holding "rare" (the
        // data page fails), twelve for one holding "new", else thirty.
        const int days = keyword.contains(u"rare"_s) ? 0 : keyword.contains(u"new"_s) ? 12 : 30;
        QString page;
        for (int day = 0; day < days; ++day)
            page += u"<p d=\"%1\" p1=\"%2\"></p>"_s.arg(day).arg(seed + day * 7 % 50);
        return test::Response::page(page, "GBK");
    }
    if (request.path == u"/main/word.php"_s) {
        // The index's page of a keyword, as "查看百度指数" opens it.
        return test::Response::page(
            u"<html><head><meta charset=\"utf-8\"></head><body><h2>百度指数"
            "（示例）：%1</h2></body></html>"_s.arg(keyword.toHtmlEscaped()));
    }
    if (request.path == u"/main/get_province_data.php"_s) {
        return test::Response::page(
            u"{\"province\":[{data=\"%1\"},{data=\"%2\"}]}"_s.arg(seed).arg(seed / 3));
    }
    return std::nullopt;
}

void serveExamplePages(test::TestHttpServer& server, Service service,
                       const ResourceListOptions& resources)
{
    if (service == Service::AdWords) {
        serveToolPage(server);
        return;
    }
    // The pages the crawl settings window shows, where a blocked user would
    // answer the engine's captcha.
    if (service == Service::Google) {
        server.serve(u"/"_s,
                     test::Response::page(
                         u"<html><head><meta charset=\"utf-8\"></head><body><h2>Google"
                         " (example)</h2><p>Search: <input value=\"seo\"></p><p>No "
                         "captcha asked: this address is not blocked.</p></body></html>"_s));
    }
    if (service == Service::Baidu || service == Service::BaiduIndex) {
        server.setHandler(answerBaidu);
        return;
    }
    if (service == Service::Maker) {
        server.setHandler(
            [resources](const test::Request& request) -> std::optional<test::Response> {
                if (request.path == u"/marbleway/"_s) {
                    // The release page the window shows at its bottom.
                    return test::Response::page(
                        u"<html><head><meta charset=\"utf-8\"></head><body style=\"margin:4px;"
                        "font:12px sans-serif\">Marbleway V1.0 · 版本说明：示例网站上的发布页面。"
                        "</body></html>"_s);
                }
                // The keyword figure service: one keyword cached, every report taken.
                if (request.path == u"/kwdata/read.asp"_s) {
                    return test::Response::page(
                        request.query(u"kw") == u"seo tools"_s ? u"1520-1337"_s : QString());
                }
                if (request.path == u"/kwdata/save.asp"_s || request.path == u"/suggest.asp"_s)
                    return test::Response::page(u"ok"_s);
                if (request.path != u"/list.asp"_s)
                    return std::nullopt;
                const QString page =
                    resourceListPage(request.query(u"cid").value_or(QString()).toInt(),
                                     request.query(u"dirtype").value_or(QString()),
                                     request.query(u"page").value_or(QString()).toInt(), resources);
                // The service answers in GBK, without saying so, as the program expects.
                return test::Response::page(page, "GBK");
            });
        return;
    }
    std::optional<SearchEngine> engine;
    for (const SearchEngine candidate : AllSearchEngines) {
        if (engineInfo(candidate).service == service)
            engine = candidate;
    }
    if (!engine)
        return;
    server.setHandler([engine =
                           *engine](const test::Request& request) -> std::optional<test::Response> {
        const QString keywordKey = engine == SearchEngine::Yahoo ? u"p"_s : u"q"_s;
        const QString offsetKey = engine == SearchEngine::Google  ? u"start"_s
                                  : engine == SearchEngine::Yahoo ? u"b"_s
                                                                  : u"first"_s;
        const auto page =
            answerSearch(engine, request.path, request.query(keywordKey), request.query(offsetKey));
        if (!page)
            return std::nullopt;
        return test::Response::page(*page);
    });
}

} // namespace marbleway::fakeweb
