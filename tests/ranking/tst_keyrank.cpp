#include "ranking/keyrank.h"
#include "testsupport.h"

using namespace marbleway;
using namespace marbleway::test;
using namespace Qt::StringLiterals;

namespace {

// A result page in the engine's layout, one block per host (a host may carry a
// path), after `head`.
QString page(const QStringList& hosts, const QString& head = {},
             SearchEngine engine = SearchEngine::Google)
{
    static const std::array<QString, 3> blocks = {
        u"<li class=g><h3 class=r><a href=\"http://HOST/\" class=l>A</a></h3><cite>HOST</cite>"_s,
        u"<li><div><h3><a class=\"yschttl\" href=\"http://rds.yahoo.test/**http%3a//HOST/\">A</a>"_s,
        u"<li><div class=\"sb_tsuf\"><a href=\"http://bing.test/cr?a=http%3a%2f%2fLINK\">HOST</a><p>x"_s};
    QString html = u"<html><head><title>Results</title></head><body>"_s + head + u"<ol>"_s;
    for (const QString& host : hosts)
        html += QString(blocks[size_t(engine)])
                    .replace(u"LINK"_s, QString(host + u'/').replace(u'/', u"%2f"_s))
                    .replace(u"HOST"_s, host);
    return html + u"</ol></body></html>"_s;
}

const QString site = u"www.mysite.test"_s;

// Ten other hosts, numbered from `from`, with `at` (default: the site) at the given 1-based blocks.
QStringList hosts(std::initializer_list<int> blocks, int from = 1, const QString& at = site)
{
    QStringList hosts;
    for (int i = 0; i < 10; ++i)
        hosts << u"www.other%1.test"_s.arg(from + i);
    for (const int block : blocks)
        hosts[block - 1] = at;
    return hosts;
}

} // namespace

class TestKeyrank : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();

    void queryAddresses_data();
    void queryAddresses();
    void positionsOnEachEngine();
    void failedPagesDoNotShiftPositions();
    void positionsEndAtTheLimit();
    void lookupOutcomes_data();
    void lookupOutcomes();
    void engineRulesFile_data();
    void engineRulesFile();
    void linkNormalisation_data();
    void linkNormalisation();

private:
    void serveSearch(const QString& key, const QString& value, const QString& page);
    // "position page link" after a search of `pages` pages from page `s` past `last`.
    QString rank(SearchEngine engine, const QString& site, int pages, qint16 s = 0,
                 qint16 last = 0);

    std::unique_ptr<TestHttpServer> m_server;
    std::unique_ptr<WebFixture> m_web;
    std::unique_ptr<cKeyrank> m_finder;
};

void TestKeyrank::init()
{
    m_finder.reset();
    m_web.reset();
    m_server = std::make_unique<TestHttpServer>();
    m_web = std::make_unique<WebFixture>(*m_server);
    m_finder = std::make_unique<cKeyrank>(m_web->client, m_web->endpoints);
    m_finder->setKeyword(u"seo tools"_s);
}

void TestKeyrank::serveSearch(const QString& key, const QString& value, const QString& page)
{
    m_server->serve(u"/search"_s, {{key, value}}, Response::page(page));
}

QString TestKeyrank::rank(SearchEngine engine, const QString& site, int pages, qint16 s,
                          qint16 last)
{
    m_finder->setUrl(site);
    m_finder->setMaxnum(static_cast<qint16>(pages));
    const qint16 position = await(m_finder->find(engine, s, last));
    const RankFields& fields = m_finder->fields(engine);
    return u"%1 %2 %3"_s.arg(position).arg(fields.page, fields.link);
}

void TestKeyrank::queryAddresses_data()
{
    QTest::addColumn<QString>("keyword");
    for (const QString& keyword : {u"seo 工具"_s, u"c# tutorial"_s, u"at&t plans"_s,
                                   u"c++ compiler"_s, u"100% free"_s, u"a=b&c=d"_s, u"seo 😀"_s})
        QTest::newRow(qPrintable(keyword)) << keyword;
}

void TestKeyrank::queryAddresses()
{
    // Two pages per engine; each engine receives the keyword exactly as typed.
    QFETCH(QString, keyword);
    m_finder->setKeyword(keyword);
    m_finder->setUrl(u"www.nowhere.test"_s);
    m_finder->setMaxnum(2);
    for (const SearchEngine engine : AllSearchEngines)
        QCOMPARE(await(m_finder->find(engine, 0, 0)), 0);
    QStringList expected;
    for (const auto& [query, first] :
         {std::pair{u"/search?q=%1&hl=en&newwindow=1&start=%2&sa=N"_s, 0},
          {u"/search?p=%1&fr=sfp&xargs=0&b=%2"_s, 1},
          {u"/search?q=%1&first=%2"_s, 1}})
        for (const int page : {0, 1})
            expected << query.arg(keyword, QString::number(first + page * 10));
    QStringList asked;
    for (const Request& request : m_server->requests()) {
        // "=" and "&" in the keyword split nothing.
        QStringList pairs;
        for (const QString& key : request.queryKeys())
            pairs << key + u'=' + request.query(key).value_or(QString());
        asked << request.path + u'?' + pairs.join(u'&');
    }
    QCOMPARE(asked, expected);
}

void TestKeyrank::positionsOnEachEngine()
{
    // Each engine's pages on one server: their page keys differ.
    serveSearch(u"start"_s, u"0"_s, page(hosts({4, 7})));
    // Page 1 names the site in its head too, before the first block: not a result.
    serveSearch(u"start"_s, u"10"_s,
                page(hosts({2}, 11, site + u"/Deep/Page"_s),
                     u"<a href=\"http://"_s + site + u"/ad\">ad</a>"_s));
    serveSearch(u"b"_s, u"1"_s, page(hosts({1}), u"<form></form>"_s, SearchEngine::Yahoo));
    serveSearch(u"b"_s, u"11"_s,
                page(hosts({}, 11), u"<a href=\"/r?u=http%3a//www.mysite.test/ad\">"_s,
                     SearchEngine::Yahoo));
    // Block 2 names the site only after its first link: no match there.
    QString bing = page(hosts({6}, 1, site + u"/Blog/Post"_s), {}, SearchEngine::Bing);
    bing.replace(u"www.other2.test</a><p>"_s, u"www.other2.test</a><p>see "_s + site);
    serveSearch(u"first"_s, u"1"_s, bing);

    QCOMPARE(rank(SearchEngine::Google, site, 1), u"4 0 "_s + site);
    QCOMPARE(rank(SearchEngine::Google, site, 1, 0, 4), u"7 0 "_s + site);
    // Past the last position on page 0, the scan moves to page 1.
    QCOMPARE(rank(SearchEngine::Google, site, 2, 0, 7), u"12 1 www.mysite.test/deep/page"_s);
    // Matched as given, case included.
    QCOMPARE(rank(SearchEngine::Google, u"WWW.MySite.test"_s, 1), u"0 1 "_s);
    // A substring matches, the empty string at once.
    QCOMPARE(rank(SearchEngine::Google, u"mysite"_s, 1), u"4 0 "_s + site);
    QCOMPARE(rank(SearchEngine::Google, QString(), 1), u"1 0 www.other1.test"_s);
    // The last block of a page counts too.
    QCOMPARE(rank(SearchEngine::Google, u"www.other10.test"_s, 1), u"10 0 www.other10.test"_s);
    // Yahoo: the first block after the marker reads as position 2; on page 1 the
    // site stands only in the page head, which counts as position 11.
    QCOMPARE(rank(SearchEngine::Yahoo, site, 1), u"2 0 "_s + site);
    QCOMPARE(rank(SearchEngine::Yahoo, site, 2, 1, 0), u"11 1 www.mysite.test/ad"_s);
    // Looked for right after the encoded scheme: without its "www." it is missed.
    QCOMPARE(rank(SearchEngine::Yahoo, u"mysite.test"_s, 1), u"0 1 "_s);
    QCOMPARE(rank(SearchEngine::Bing, site, 1), u"6 0 www.mysite.test/blog/post"_s);
}

void TestKeyrank::failedPagesDoNotShiftPositions()
{
    m_server->serve(u"/search"_s, {{u"start"_s, u"0"_s}}, Response::dropped());
    serveSearch(u"start"_s, u"10"_s, page(hosts({5}, 11)));
    QCOMPARE(rank(SearchEngine::Google, site, 2), u"15 1 "_s + site);

    // Every page failing: 0, with the page field at the depth.
    m_server->serve(u"/search"_s, {{u"start"_s, u"10"_s}}, Response::withStatus(503, u"busy"_s));
    QCOMPARE(rank(SearchEngine::Google, site, 2), u"0 2 "_s);
}

void TestKeyrank::positionsEndAtTheLimit()
{
    // A page of 40,000 matching blocks: positions past what the day files hold
    // end the search instead of wrapping to negative numbers.
    serveSearch(u"start"_s, u"0"_s, page(QStringList(40000, site)));
    m_finder->setUrl(site);
    m_finder->setMaxnum(2);
    QList<int> found;
    await(m_finder->positions(SearchEngine::Google, true,
                              [&found](const RankHit& hit) { found << hit.position; }));
    QCOMPARE(found.size(), cKeyrank::MaxPosition);
    QCOMPARE(found.last(), cKeyrank::MaxPosition);
    QCOMPARE(m_server->requestCount(), 1);
    QCOMPARE(rank(SearchEngine::Google, site, 1, 0, cKeyrank::MaxPosition), u"0 1 "_s);
}

void TestKeyrank::lookupOutcomes_data()
{
    QTest::addColumn<int>("status"); // of the first page; 0 drops the connection
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("reason");
    const int read = int(RankOutcome::Read);
    const int failed = int(RankOutcome::Failed);
    const int blocked = int(RankOutcome::Blocked);
    const QString results = page(hosts({}));
    // The end of the results is not a fault. (An error status, a captcha and a
    // consent page: tst_ranktab.)
    QTest::newRow("results end") << 200 << results << u"<html></html>"_s << read << QString();
    QTest::newRow("empty page") << 200 << QString() << QString() << read << QString();
    // A keyword about captchas has results that say so.
    QTest::newRow("results about captchas")
        << 200 << page(hosts({}), u"<p>g-recaptcha unusual traffic</p>"_s) << results << read
        << QString();
    QTest::newRow("connection dropped")
        << 0 << QString() << results << failed << u"连接被对方关闭"_s;
    QTest::newRow("javascript")
        << 200
        << u"<html><noscript><meta http-equiv=\"refresh\" content=\"0;url=/httpservice/retry/"
           "enablejs\"></noscript></html>"_s
        << results << blocked << u"JavaScript"_s;
    QTest::newRow("changed markup")
        << 200 << u"<html><div class=\"result\"><a href=\"http://www.mysite.test/\">x</a></div>"_s
        << results << int(RankOutcome::Unrecognised) << u"页面格式"_s;
}

void TestKeyrank::lookupOutcomes()
{
    QFETCH(int, status);
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(int, outcome);
    QFETCH(QString, reason);
    m_server->serve(u"/search"_s, {{u"start"_s, u"0"_s}},
                    status == 0 ? Response::dropped() : Response::page(first));
    serveSearch(u"start"_s, u"10"_s, second);
    m_finder->setUrl(site);
    m_finder->setMaxnum(2);
    QList<RankHit> hits;
    await(m_finder->positions(SearchEngine::Google, true,
                              [&hits](const RankHit& hit) { hits << hit; }));
    QCOMPARE(hits.size(), 1);
    QCOMPARE(int(hits.first().outcome), outcome);
    QCOMPARE(hits.first().position, 0);
    QVERIFY2(reason.isEmpty() ? hits.first().reason.isEmpty() == (outcome == int(RankOutcome::Read))
                              : hits.first().reason.contains(reason),
             qPrintable(hits.first().reason));
    // A page that was not read ends the lookup.
    const QList<Request> requests = m_server->requests();
    QCOMPARE(std::count_if(requests.begin(), requests.end(),
                           [](const Request& request) { return request.query(u"start") == u"10"; }),
             outcome == int(RankOutcome::Read) ? 1 : 0);
}

void TestKeyrank::engineRulesFile_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("problems");
    QTest::addColumn<QString>("page"); // Google's first result page
    QTest::addColumn<QString>("found");
    const QString newMarkup = u"<html><div class=\"result\"><a href=\"http://www.other.test/\">"
                              "x</a></div><div class=\"result\"><a href=\"http://www.mysite.test/"
                              "p\">y</a></div></html>"_s;
    QTest::newRow("no file") << QString() << QStringList() << page(hosts({3}))
                             << u"3 www.mysite.test"_s;
    QTest::newRow("changed markup")
        << u"{\"google\": {\"rank\": {\"marker\": \"<div class=\\\"result\\\">\", "
           "\"link\": {\"from\": \"href=\\\"http://\", \"to\": \"\\\"\"}}}}"_s
        << QStringList() << newMarkup << u"2 www.mysite.test/p"_s;
    QTest::newRow("invalid entries keep the built-in rules")
        << u"{\"google\": {\"fetch\": \"ftp\", \"rank\": {\"marker\": \"\", \"path\": "
           "\"/search?x=1\", \"colour\": 1}, \"blocked\": [{\"text\": \"x\", \"page\": "
           "\"maze\"}]}, \"altavista\": {}, \"bing\": []}"_s
        << QStringList{u"google: fetch must be \"http\" or \"browser\""_s,
                       u"google: rank.marker must be a text that is not empty"_s,
                       u"google: rank.path must hold \"{keyword}\""_s,
                       u"google: unknown key rank.colour"_s,
                       u"google: blocked each entry's \"page\" must be"_s,
                       u"unknown engine \"altavista\""_s,
                       u"bing: must be an object"_s}
        << page(hosts({3})) << u"3 www.mysite.test"_s;
    QTest::newRow("not JSON") << u"{\"google\": "_s << QStringList{u"not valid JSON"_s}
                              << page(hosts({3})) << u"3 www.mysite.test"_s;
}

void TestKeyrank::engineRulesFile()
{
    QFETCH(QString, file);
    QFETCH(QStringList, problems);
    QFETCH(QString, page);
    QFETCH(QString, found);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"engines.json"_s);
    QVERIFY(file.isNull() || writeBytes(path, file.toUtf8()));
    const QStringList told = loadEngineRules(path);
    QCOMPARE(told.size(), problems.size());
    for (const QString& problem : problems)
        QVERIFY2(std::any_of(told.begin(), told.end(),
                             [&](const QString& each) {
                                 return each.startsWith(path) && each.contains(problem);
                             }),
                 qPrintable(told.join(u'\n')));
    serveSearch(u"start"_s, u"0"_s, page);
    QCOMPARE(rank(SearchEngine::Google, site, 1),
             found.section(u' ', 0, 0) + u" 0 "_s + found.section(u' ', 1));
    // The rules the program starts with.
    applyEngineRules(QString());
}

void TestKeyrank::linkNormalisation_data()
{
    // Without "http://" and one trailing "/", lower-cased whenever either was there.
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QString>("stored");
    for (const auto& [raw, stored] : {std::pair{u"HTTP://Site.test/A"_s, u"site.test/a"_s},
                                      {u"Site.test/A?Q=1"_s, u"Site.test/A?Q=1"_s},
                                      {u"Site.test/A/"_s, u"site.test/a"_s},
                                      {u"site.test//"_s, u"site.test/"_s},
                                      {u"https://site.test/x"_s, u"https://site.test/x"_s},
                                      {QString(), QString()}})
        QTest::newRow(raw.isEmpty() ? "empty" : qPrintable(raw)) << raw << stored;
}

void TestKeyrank::linkNormalisation()
{
    QFETCH(QString, raw);
    QFETCH(QString, stored);
    QCOMPARE(normaliseResultLink(raw), stored);
}

QTEST_GUILESS_MAIN(TestKeyrank)
#include "tst_keyrank.moc"
