#include "ranking/keyrank.h"
#include "testsupport.h"

#include <QTest>

using namespace marbleway;
using namespace marbleway::test;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

// Result pages in each engine's layout, one block per host (a host may carry a path).
QString googlePage(const QStringList& hosts)
{
    QString html = u"<html><head><title>Google</title></head><body><div id=res>"_s;
    for (const QString& host : hosts)
        html += u"<li class=g><h3 class=r><a href=\"http://"_s + host +
                u"/\" class=l>A result</a></h3><cite>"_s + host + u"</cite></li>"_s;
    return html + u"</div></body></html>"_s;
}

QString yahooPage(const QStringList& hosts, const QString& head = u"<form></form>"_s)
{
    QString html = u"<html><body>"_s + head + u"<ol>"_s;
    for (const QString& host : hosts)
        html += u"<li><div><h3><a class=\"yschttl\" href=\"http://rds.yahoo.test/**http%3a//"_s +
                host + u"/\">A result</a></h3></div></li>"_s;
    return html + u"</ol></body></html>"_s;
}

QString bingPage(const QStringList& hosts)
{
    QString html = u"<html><body><ul>"_s;
    for (const QString& host : hosts) {
        QString target = host + u"/"_s;
        target.replace(u"/"_s, u"%2f"_s);
        html += u"<li><div class=\"sb_tsuf\"><a href=\"http://bing.test/cr?a=http%3a%2f%2f"_s +
                target + u"\">"_s + host + u"</a><p>snippet</p></div></li>"_s;
    }
    return html + u"</ul></body></html>"_s;
}

QStringList others(int count, int from = 1)
{
    QStringList hosts;
    for (int i = 0; i < count; ++i)
        hosts << u"www.other%1.test"_s.arg(from + i);
    return hosts;
}

// Ten hosts with `site` at the given 1-based blocks.
QStringList withSiteAt(const QString& site, std::initializer_list<int> blocks, int from = 1)
{
    QStringList hosts = others(10, from);
    for (const int block : blocks)
        hosts[block - 1] = site;
    return hosts;
}

} // namespace

class TestKeyrank : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void queryAddresses();
    void enginesReceiveTheKeywordAsTyped_data();
    void enginesReceiveTheKeywordAsTyped();
    void positionsNeverWrap();
    void googlePositionsOnTwoPages();
    void resumeFindsEveryPosition();
    void yahooCountsThePageHead();
    void bingMatchesTheFirstLinkOnly();
    void failedPagesDoNotShiftPositions();
    void siteIsMatchedExactly();
    void noPagesToRead();
    void fieldsCarryOverPerEngine();
    void linkNormalisation_data();
    void linkNormalisation();

private:
    void serveSearch(const QString& key, const QString& value, Response response);
    qint16 rank(SearchEngine engine, const QString& site, int pages, qint16 s = 0, qint16 last = 0);

    std::unique_ptr<TestHttpServer> m_server;
    std::unique_ptr<WebFixture> m_web;
    std::unique_ptr<cKeyrank> m_finder;
};

void TestKeyrank::init()
{
    m_server = std::make_unique<TestHttpServer>();
    m_web = std::make_unique<WebFixture>(*m_server);
    m_finder = std::make_unique<cKeyrank>(m_web->client, m_web->endpoints);
    m_finder->setKeyword(u"seo tools"_s);
}

void TestKeyrank::cleanup()
{
    m_finder.reset();
    m_web.reset();
    m_server.reset();
}

void TestKeyrank::serveSearch(const QString& key, const QString& value, Response response)
{
    m_server->serve(u"/search"_s, {{key, value}}, std::move(response));
}

qint16 TestKeyrank::rank(SearchEngine engine, const QString& site, int pages, qint16 s, qint16 last)
{
    m_finder->setUrl(site);
    m_finder->setMaxnum(static_cast<qint16>(pages));
    return await(m_finder->find(engine, s, last));
}

void TestKeyrank::queryAddresses()
{
    m_finder->setKeyword(u"seo 工具"_s);
    m_finder->setUrl(u"www.nowhere.test"_s);
    m_finder->setMaxnum(2);
    QCOMPARE(await(m_finder->GetGoogleRank(0, 0)), 0);
    QCOMPARE(await(m_finder->GetYahooRank(0, 0)), 0);
    QCOMPARE(await(m_finder->GetBingRank(0, 0)), 0);

    const QList<Request> requests = m_server->requests();
    QCOMPARE(requests.size(), 6);
    const QStringList expectedKeys[] = {
        {u"q"_s, u"hl"_s, u"newwindow"_s, u"start"_s, u"sa"_s},
        {u"p"_s, u"fr"_s, u"xargs"_s, u"b"_s},
        {u"q"_s, u"first"_s},
    };
    const QString offsets[] = {u"start"_s, u"b"_s, u"first"_s};
    const QString offsetValues[3][2] = {{u"0"_s, u"10"_s}, {u"1"_s, u"11"_s}, {u"1"_s, u"11"_s}};
    for (int engine = 0; engine < 3; ++engine) {
        for (int page = 0; page < 2; ++page) {
            const Request& request = requests.at(engine * 2 + page);
            QCOMPARE(request.path, u"/search"_s);
            QCOMPARE(request.queryKeys(), expectedKeys[engine]);
            QCOMPARE(request.query(expectedKeys[engine].first()), u"seo 工具"_s);
            QCOMPARE(request.query(offsets[engine]), offsetValues[engine][page]);
        }
    }
    QCOMPARE(requests.at(0).query(u"hl"), u"en"_s);
    QCOMPARE(requests.at(0).query(u"newwindow"), u"1"_s);
    QCOMPARE(requests.at(0).query(u"sa"), u"N"_s);
    QCOMPARE(requests.at(2).query(u"fr"), u"sfp"_s);
    QCOMPARE(requests.at(2).query(u"xargs"), u"0"_s);

    // The address as the finder built it: keyword encoded as UTF-8.
    QCOMPARE(rankPageUrl(m_web->endpoints, SearchEngine::Google, u"seo 工具"_s, 1),
             m_server->url(u"/search?q=seo%20%E5%B7%A5%E5%85%B7&hl=en&newwindow=1&start=10&sa=N"));
    QCOMPARE(rankPageUrl(m_web->endpoints, SearchEngine::Yahoo, u"k"_s, 0),
             m_server->url(u"/search?p=k&fr=sfp&xargs=0&b=1"));
    QCOMPARE(rankPageUrl(m_web->endpoints, SearchEngine::Bing, u"k"_s, 4),
             m_server->url(u"/search?q=k&first=41"));
}

void TestKeyrank::enginesReceiveTheKeywordAsTyped_data()
{
    QTest::addColumn<QString>("keyword");
    for (const QString& keyword : {u"c# tutorial"_s, u"at&t plans"_s, u"c++ compiler"_s,
                                   u"100% free"_s, u"a=b&c=d"_s, u"医院 seo"_s})
        QTest::newRow(qPrintable(keyword)) << keyword;
}

void TestKeyrank::enginesReceiveTheKeywordAsTyped()
{
    QFETCH(QString, keyword);
    m_finder->setKeyword(keyword);
    m_finder->setUrl(u"www.nowhere.test"_s);
    m_finder->setMaxnum(1);
    for (const SearchEngine engine : AllSearchEngines)
        await(m_finder->find(engine, 0, 0));
    const QList<Request> requests = m_server->requests();
    QCOMPARE(requests.size(), 3);
    QCOMPARE(requests.at(0).query(u"q"), keyword);
    QCOMPARE(requests.at(1).query(u"p"), keyword);
    QCOMPARE(requests.at(2).query(u"q"), keyword);
    // The rest of the address is as before: the engine's other keys are all there.
    QCOMPARE(requests.at(0).queryKeys().size(), 5);
}

void TestKeyrank::googlePositionsOnTwoPages()
{
    const QString site = u"www.mysite.test"_s;
    serveSearch(u"start"_s, u"0"_s, Response::page(googlePage(withSiteAt(site, {4}))));
    // Page 1 names the site in its head too, before the first block: not a result.
    QString second = googlePage(withSiteAt(site + u"/Deep/Page"_s, {2}, 11));
    second.replace(u"<title>Google</title>"_s,
                   u"<title>Google</title><a href=\"http://"_s + site + u"/ad\">ad</a>"_s);
    serveSearch(u"start"_s, u"10"_s, Response::page(second));

    QCOMPARE(rank(SearchEngine::Google, site, 1), 4);
    QCOMPARE(m_finder->fields(SearchEngine::Google).link, site);
    QCOMPARE(m_finder->fields(SearchEngine::Google).page, u"0"_s);
    QCOMPARE(m_finder->fields(SearchEngine::Google).queryUrl,
             m_server->url(u"/search?q=seo%20tools&hl=en&newwindow=1&start=0&sa=N"));

    // Past the first position on page 0, the scan moves to page 1.
    QCOMPARE(rank(SearchEngine::Google, site, 2, 0, 4), 12);
    QCOMPARE(m_finder->fields(SearchEngine::Google).link, u"www.mysite.test/deep/page"_s);
    QCOMPARE(m_finder->fields(SearchEngine::Google).page, u"1"_s);
    QVERIFY(m_finder->fields(SearchEngine::Google).queryUrl.contains(u"&start=10&"));
}

void TestKeyrank::resumeFindsEveryPosition()
{
    const QString site = u"www.mysite.test"_s;
    serveSearch(u"start"_s, u"0"_s, Response::page(googlePage(withSiteAt(site, {3, 7}))));
    serveSearch(u"start"_s, u"10"_s, Response::page(googlePage(withSiteAt(site, {10}, 11))));

    QCOMPARE(rank(SearchEngine::Google, site, 1), 3);
    QCOMPARE(m_finder->fields(SearchEngine::Google).page, u"0"_s);
    QCOMPARE(rank(SearchEngine::Google, site, 1, 0, 3), 7);
    QCOMPARE(rank(SearchEngine::Google, site, 1, 0, 7), 0);
    QCOMPARE(m_finder->fields(SearchEngine::Google).page, u"1"_s);
    QCOMPARE(m_finder->fields(SearchEngine::Google).link, QString());

    // The loop the rank job and the command line run: every position within the
    // depth, each page read once.
    m_server->clearRequests();
    m_finder->setMaxnum(2);
    QList<int> positions;
    await(m_finder->positions(SearchEngine::Google, true,
                              [&positions](const RankHit& hit) { positions << hit.position; }));
    QCOMPARE(positions, QList<int>({3, 7, 20}));
    QCOMPARE(m_server->requestCount(), 2);

    // Without all positions: the first only; a miss is still one row, position 0.
    positions.clear();
    await(m_finder->positions(SearchEngine::Google, false,
                              [&positions](const RankHit& hit) { positions << hit.position; }));
    QCOMPARE(positions, QList<int>{3});
    QList<RankHit> hits;
    m_finder->setUrl(u"www.absent.test"_s);
    await(m_finder->positions(SearchEngine::Google, true,
                              [&hits](const RankHit& hit) { hits << hit; }));
    QCOMPARE(hits.size(), 1);
    QCOMPARE(hits.first().position, 0);
    QCOMPARE(hits.first().link, QString());
}

void TestKeyrank::yahooCountsThePageHead()
{
    const QString site = u"www.mysite.test"_s;
    serveSearch(u"b"_s, u"1"_s, Response::page(yahooPage(withSiteAt(site, {1}))));
    serveSearch(u"b"_s, u"11"_s,
                Response::page(
                    yahooPage(others(10, 11), u"<a href=\"/r?u=http%3a//www.mysite.test/ad\">"_s)));

    // The first block after the marker reads as position 2.
    QCOMPARE(rank(SearchEngine::Yahoo, site, 1), 2);
    QCOMPARE(m_finder->fields(SearchEngine::Yahoo).link, site);
    QCOMPARE(m_finder->fields(SearchEngine::Yahoo).page, u"0"_s);
    // On page 1 the site stands only in the page head, which counts as position 11.
    QCOMPARE(rank(SearchEngine::Yahoo, site, 2, 1, 0), 11);
    QCOMPARE(m_finder->fields(SearchEngine::Yahoo).link, u"www.mysite.test/ad"_s);

    // The site is looked for right after the encoded scheme: without its "www." it is missed.
    QCOMPARE(rank(SearchEngine::Yahoo, u"mysite.test"_s, 1), 0);
}

void TestKeyrank::bingMatchesTheFirstLinkOnly()
{
    const QString site = u"www.mysite.test"_s;
    QStringList hosts = others(10);
    hosts[5] = site + u"/Blog/Post"_s;
    QString page = bingPage(hosts);
    // Block 2 names the site only after its first link: no match there.
    page.replace(u"www.other2.test</a><p>snippet"_s,
                 u"www.other2.test</a><p>see www.mysite.test"_s);
    serveSearch(u"first"_s, u"1"_s, Response::page(page));

    QCOMPARE(rank(SearchEngine::Bing, site, 1), 6);
    QCOMPARE(m_finder->fields(SearchEngine::Bing).link, u"www.mysite.test/blog/post"_s);
    QCOMPARE(m_finder->fields(SearchEngine::Bing).page, u"0"_s);
    QVERIFY(
        m_finder->fields(SearchEngine::Bing).queryUrl.endsWith(u"/search?q=seo%20tools&first=1"));
}

void TestKeyrank::failedPagesDoNotShiftPositions()
{
    const QString site = u"www.mysite.test"_s;
    serveSearch(u"start"_s, u"0"_s, Response::dropped());
    serveSearch(u"start"_s, u"10"_s, Response::page(googlePage(withSiteAt(site, {5}, 11))));
    QCOMPARE(rank(SearchEngine::Google, site, 2), 15);

    // A page that times out (TryTime 15, here on a clock a hundred times faster)
    // contributes nothing either.
    const ScaledClock fast(100.0);
    const WebClient client(m_web->network, fast);
    cKeyrank finder(client, m_web->endpoints);
    finder.setUrl(site);
    finder.setKeyword(u"seo tools"_s);
    finder.setMaxnum(2);
    serveSearch(u"first"_s, u"1"_s, Response::page(bingPage(withSiteAt(site, {1}))).after(1s));
    serveSearch(u"first"_s, u"11"_s, Response::page(bingPage(withSiteAt(site, {3}, 11))));
    QCOMPARE(await(finder.GetBingRank(0, 0)), 13);

    // Every page failing: 0, with the page field at the depth.
    serveSearch(u"start"_s, u"10"_s, Response::withStatus(503, u"busy"_s));
    QCOMPARE(rank(SearchEngine::Google, site, 2), 0);
    QCOMPARE(m_finder->fields(SearchEngine::Google).page, u"2"_s);
}

void TestKeyrank::siteIsMatchedExactly()
{
    serveSearch(u"start"_s, u"0"_s,
                Response::page(googlePage(withSiteAt(u"www.mysite.test"_s, {2}))));
    QCOMPARE(rank(SearchEngine::Google, u"WWW.MySite.test"_s, 1), 0);
    QCOMPARE(m_finder->fields(SearchEngine::Google).page, u"1"_s);
    // Substrings count: a shorter site string matches the longer host name.
    QCOMPARE(rank(SearchEngine::Google, u"mysite"_s, 1), 2);
    // Every text contains the empty string: the first block is a match.
    QCOMPARE(rank(SearchEngine::Google, QString(), 1), 1);
}

void TestKeyrank::noPagesToRead()
{
    QCOMPARE(rank(SearchEngine::Google, u"www.mysite.test"_s, 0), 0);
    QCOMPARE(m_finder->fields(SearchEngine::Google).page, u"0"_s);
    QCOMPARE(rank(SearchEngine::Bing, u"www.mysite.test"_s, 2, 2, 0), 0);
    QCOMPARE(m_finder->fields(SearchEngine::Bing).page, u"2"_s);
    QCOMPARE(rank(SearchEngine::Yahoo, u"www.mysite.test"_s, 1, 5, 0), 0);
    QCOMPARE(m_finder->fields(SearchEngine::Yahoo).page, u"1"_s);
    QCOMPARE(m_server->requestCount(), 0);
}

void TestKeyrank::fieldsCarryOverPerEngine()
{
    const QString site = u"www.mysite.test"_s;
    serveSearch(u"start"_s, u"0"_s, Response::page(googlePage(withSiteAt(site, {1}))));
    QCOMPARE(rank(SearchEngine::Google, site, 1), 1);
    const QString matchedUrl = m_finder->fields(SearchEngine::Google).queryUrl;
    QVERIFY(!matchedUrl.isEmpty());

    // The other engines' fields are not touched.
    QCOMPARE(m_finder->fields(SearchEngine::Yahoo).queryUrl, QString());
    QCOMPARE(m_finder->fields(SearchEngine::Bing).page, QString());

    // A miss clears the link but keeps the address of the earlier match.
    QCOMPARE(rank(SearchEngine::Google, u"www.absent.test"_s, 1), 0);
    QCOMPARE(m_finder->fields(SearchEngine::Google).link, QString());
    QCOMPARE(m_finder->fields(SearchEngine::Google).queryUrl, matchedUrl);

    // A match passed over (not past `rank`) still records its page's address.
    m_finder->setKeyword(u"other"_s);
    m_server->serve(u"/search"_s, {{u"q"_s, u"other"_s}, {u"start"_s, u"0"_s}},
                    Response::page(googlePage(withSiteAt(site, {1}))));
    QCOMPARE(rank(SearchEngine::Google, site, 1, 0, 1), 0);
    QVERIFY(m_finder->fields(SearchEngine::Google).queryUrl.contains(u"q=other"));
}

void TestKeyrank::positionsNeverWrap()
{
    // A page of 40,000 matching blocks: positions past what the day files hold
    // end the search instead of wrapping to negative numbers.
    const QString site = u"www.mysite.test"_s;
    serveSearch(u"start"_s, u"0"_s, Response::page(googlePage(QStringList(40000, site))));
    m_finder->setUrl(site);
    m_finder->setMaxnum(2);
    QList<int> positions;
    await(m_finder->positions(SearchEngine::Google, true,
                              [&positions](const RankHit& hit) { positions << hit.position; }));
    QCOMPARE(positions.size(), cKeyrank::MaxPosition);
    QCOMPARE(positions.last(), cKeyrank::MaxPosition);
    QCOMPARE(m_server->requestCount(), 1);
    QCOMPARE(rank(SearchEngine::Google, site, 1, 0, cKeyrank::MaxPosition), 0);
    QCOMPARE(m_finder->fields(SearchEngine::Google).page, u"1"_s);
}

void TestKeyrank::linkNormalisation_data()
{
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QString>("stored");
    QTest::newRow("scheme, host and slash") << u"http://www.site.test/"_s << u"www.site.test"_s;
    QTest::newRow("mixed case with scheme")
        << u"http://WWW.Site.test/Path/"_s << u"www.site.test/path"_s;
    QTest::newRow("scheme in capitals") << u"HTTP://Site.test/A"_s << u"site.test/a"_s;
    QTest::newRow("no scheme, no slash keeps case") << u"Site.test/A?Q=1"_s << u"Site.test/A?Q=1"_s;
    QTest::newRow("trailing slash lower-cases") << u"Site.test/A/"_s << u"site.test/a"_s;
    QTest::newRow("only one slash removed") << u"site.test//"_s << u"site.test/"_s;
    QTest::newRow("https is kept") << u"https://site.test/x"_s << u"https://site.test/x"_s;
    QTest::newRow("empty") << QString() << QString();
}

void TestKeyrank::linkNormalisation()
{
    QFETCH(QString, raw);
    QFETCH(QString, stored);
    QCOMPARE(normaliseResultLink(raw), stored);
}

QTEST_GUILESS_MAIN(TestKeyrank)
#include "tst_keyrank.moc"
