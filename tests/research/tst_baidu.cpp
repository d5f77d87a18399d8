#include "research/baidufigures.h"
#include "research/baidurequery.h"
#include "research/relatedsearch.h"
#include "testsupport.h"

using namespace marbleway;
using namespace marbleway::test;
using namespace Qt::StringLiterals;

namespace {

// An index data page of `count` daily values 100, 101, 102, ...
QString dataPage(int count)
{
    QString page = u"<div>"_s;
    for (int day = 0; day < count; ++day)
        page += u"<p d=\"d%1\" p1=\"%2\"></p>"_s.arg(day).arg(100 + day);
    return page + u"</div>"_s;
}

// Volume, last day, page count and index, joined by "|".
QString text(const BaiduFigures& figures)
{
    return QStringList{figures.monthly, figures.lastDay, figures.pageCount, figures.index}.join(
        u'|');
}

QList<Request> requestsTo(const TestHttpServer& server, const QString& path)
{
    QList<Request> found = server.requests();
    found.removeIf([&path](const Request& request) { return request.path != path; });
    return found;
}

} // namespace

class TestBaidu : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void figures_data();
    void figures();
    void monthlyEstimate();
    void requery();
    void requeryOfARow();
};

void TestBaidu::figures_data()
{
    // GetSeoZs of a value's text (`first` none), the index of a volume and a
    // page count, or the pair read from an index data page (`second` none).
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("read");
    QTest::newRow("plain, cut") << QString() << u"123.456789"_s << u"123.45"_s;
    QTest::newRow("whole") << QString() << u"12"_s << u"12"_s;
    QTest::newRow("scientific") << QString() << u"1.2345E-03"_s << u"0.0012"_s;
    QTest::newRow("scientific, below") << QString() << u"1.2345E-05"_s << u"0"_s;
    QTest::newRow("volume and pages") << u"1337"_s << u"1230000"_s << u"10.86"_s;
    QTest::newRow("small, written plain") << u"1"_s << u"40000"_s << u"0.25"_s;
    QTest::newRow("no pages") << u"1337"_s << u"0"_s << u"-"_s;
    QTest::newRow("no volume") << u"-"_s << u"1230000"_s << u"0"_s;
    // Sums over 30 days whatever the number of values; the 30th is the last day.
    QTest::newRow("29 values") << dataPage(29) << QString() << u"--110"_s;
    QTest::newRow("30 values") << dataPage(30) << QString() << u"129-114"_s;
    QTest::newRow("31 values") << dataPage(31) << QString() << u"129-119"_s;
    QTest::newRow("one value") << dataPage(1) << QString() << QString();
    QTest::newRow("empty") << QString() << QString() << QString();
}

void TestBaidu::figures()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, read);
    if (second.isNull()) {
        const std::optional<VolumePair> pair = readIndexPoints(first);
        QCOMPARE(pair ? pair->text() : QString(), read);
    } else {
        QCOMPARE(first.isNull() ? GetSeoZs(second) : optimisationIndex(first, second), read);
    }
}

void TestBaidu::monthlyEstimate()
{
    // (The months asked, across a new year: the province request of requery.)
    // The factor table at its edges, rounded half to even.
    const QList<QPair<qint64, qint64>> scaled = {{99, 208},   {100, 190},   {500, 700},
                                                 {999, 1049}, {1000, 1000}, {0, 0}};
    for (const auto& [total, monthly] : scaled)
        QCOMPARE(scaleMonthlyTotal(total), monthly);
    // Every k of the draw.
    const QStringList lastDays = {u"1100"_s, u"920"_s, u"1090"_s, u"1050"_s, u"950"_s,
                                  u"1150"_s, u"890"_s, u"1020"_s, u"1150"_s, u"980"_s};
    for (int k = 1; k <= 10; ++k)
        QCOMPARE(GetRand(1000, [k] { return (k - 1) / 10.0 + 0.05; }), lastDays.at(k - 1));
    QCOMPARE(readProvinceTotal(u"data=\"120\" data=\"x\" data=\"2147483647\" data=\"30\""_s), 150);
}

void TestBaidu::requery()
{
    TestHttpServer server;
    WebFixture web(server);
    server.serve(u"/tools/get_data.php"_s, {{u"q"_s, u"seo tools"_s}},
                 Response::page(dataPage(30), "GBK"));
    server.serve(u"/main/get_province_data.php"_s,
                 Response::page(u"{data=\"300\",data=\"150\"}"_s));
    server.serve(u"/s"_s, Response::page(u"<p>百度为您找到相关网页约1,230,000篇</p>"_s, "GBK"));
    server.serve(u"/kwdata/save.asp"_s, Response::page(u"ok"_s));
    server.serve(u"/kwdata/read.asp"_s, {{u"kw"_s, u"cached"_s}}, Response::page(u"20-30"_s));
    int browserLoads = 0;
    BaiduLookup lookup({web.client, web.endpoints,
                        [&browserLoads](QString) -> QCoro::Task<QString> {
                            ++browserLoads;
                            co_return QString();
                        },
                        [] { return 0.45; }, [] { return QDate(2011, 1, 10); }});

    // Both groups: the data page's pair, reported to the maker's service.
    BaiduFigures figures = await(lookup.requery(u"seo tools"_s, u"seo"_s, true, true));
    QCOMPARE(text(figures), u"114|129|1230000|0.92"_s);
    const auto reports = requestsTo(server, u"/kwdata/save.asp"_s);
    QCOMPARE(reports.size(), 1);
    QCOMPARE(requestsTo(server, u"/kwdata/read.asp"_s).size(), 1);
    QCOMPARE(reports.first().rawQuery, "nums=129-114&kw=seo%20tools&parents=seo"_ba);

    // A pair the maker's service holds is taken as it is, and not reported.
    figures = await(lookup.requery(u"cached"_s, u"seo"_s, true, false));
    QCOMPARE(text(figures), u"30|20|0|-"_s);

    // A keyword holding "&" stays one keyword, in the report as in the request.
    server.serve(u"/tools/get_data.php"_s, {{u"q"_s, u"a&b"_s}},
                 Response::page(dataPage(31), "GBK"));
    figures = await(lookup.requery(u"a&b"_s, u"a+b"_s, true, false));
    QCOMPARE(figures.monthly, u"119"_s);
    QCOMPARE(requestsTo(server, u"/kwdata/save.asp"_s).last().rawQuery,
             "nums=129-119&kw=a%26b&parents=a%2Bb"_ba);

    // Two empty data pages switch the run to the province estimate:
    // (300 + 150) × 1.6, and a last day drawn with k = 5.
    for (int failure = 1; failure <= 2; ++failure) {
        figures = await(lookup.requery(u"rare"_s, u"seo"_s, true, false));
        QCOMPARE(figures.monthly, u"0"_s);
        QCOMPARE(lookup.failures(), failure);
    }
    figures = await(lookup.requery(u"Rare"_s, u"seo"_s, true, false));
    QCOMPARE(text(figures), u"720|684|0|-"_s);
    QCOMPARE(requestsTo(server, u"/main/get_province_data.php"_s).first().rawQuery,
             "type=1&time=201012%7C201101&area=0&word=rare&index=1"_ba);

    // An empty search page falls back to the browser.
    server.serve(u"/s"_s, Response::page(QString()));
    figures = await(lookup.requery(u"seo tools"_s, u"seo"_s, false, true));
    QCOMPARE(browserLoads, 1);
    QCOMPARE(text(figures), u"0|0|0|-"_s);
}

void TestBaidu::requeryOfARow()
{
    Fixture env;
    env.server.serve(u"/tools/get_data.php"_s, Response::page(dataPage(30), "GBK"));
    env.server.serve(u"/s"_s, Response::page(u"找到相关网页约1,230,000篇"_s, "GBK"));
    env.web.endpoints.setHost(Service::Maker, u"marbleway.example"_s);
    KeywordStore store;
    QVERIFY(store.open(env.dataFile(u"db.sqlite"_s)));
    CrawlPacer pacer(Clock::system());
    StatusPanels panels;
    RelatedSearch search({env.web.client, env.web.endpoints, Clock::system(), pacer, store,
                          env.prompts, panels, env.dataFolder()});
    search.rows()->append({textRow({u"seo tools"_s, u"10"_s, u"20"_s, u"30"_s})});
    const RowId row = search.rows()->idAt(0);
    BaiduRequery requery({env.web.client, env.web.endpoints, panels, {}}, search);
    const auto figures = [&search] { return search.rows()->at(0).cells.mid(1); };

    // The page counts stay; the figures go to their own columns, "重新获取中"
    // meanwhile, with every other job waiting.
    QVERIFY(requery.menuAllowed());
    panels.setText(1, StatusPanels::Paused);
    QCoro::Task<> running = requery.requery(row);
    QCOMPARE(search.rows()->text(0, 7), BaiduRequery::Pending);
    QVERIFY(panels.isBusy());
    QVERIFY(!requery.menuAllowed());
    QVERIFY(!search.control().isEnabled());
    QVERIFY(!search.control().click());
    await(std::move(running));
    QVERIFY(search.control().isEnabled() && search.control().isIdle());
    QCOMPARE(figures(),
             (QStringList{u"10"_s, u"20"_s, u"30"_s, u"114"_s, u"129"_s, u"1230000"_s, u"0.92"_s}));
    QCOMPARE(panels.text(1), StatusPanels::Paused);

    // The boxes of the Google and Yahoo counts gate the volumes and the page
    // count: neither checked, zeros and nothing fetched.
    search.inputs().options.checked[RelatedOptions::GoogleCounts] = false;
    search.inputs().options.checked[RelatedOptions::YahooCounts] = false;
    env.server.clearRequests();
    await(requery.requery(row));
    QCOMPARE(figures().mid(3), (QStringList{u"0"_s, u"0"_s, u"0"_s, u"-"_s}));
    QCOMPARE(env.server.requestCount(), 0);
}

QTEST_GUILESS_MAIN(TestBaidu)
#include "tst_baidu.moc"
