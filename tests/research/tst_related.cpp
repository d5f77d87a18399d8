#include "core/listroles.h"
#include "core/textfile.h"
#include "enginepages.h"
#include "research/relatedsearch.h"
#include "testsupport.h"

#include <QTest>
#include <QTimer>

using namespace marbleway;
using namespace marbleway::test;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const auto engineOf = fakeweb::engineOfRequest;

QString keywordOf(const Request& request)
{
    return request.query(request.query(u"p") ? u"p" : u"q").value_or(QString());
}

QStringList column(const QAbstractItemModel& model, int c)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.index(row, c).data().toString();
    return texts;
}

bool bold(const QAbstractItemModel& model, int row)
{
    return model.index(row, 0).data(BoldRole).toBool();
}

} // namespace

class TestRelated : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void candidatesFromEachEngineInOrder();
    void cuttingThePages();
    void wordRules();
    void pauseAndResume();
    void pageCounts_data();
    void pageCounts();
    void countsFromTheDatabaseOfTheDay();
    void pacing_data();
    void pacing();
    void pacingInASearch();
    void pauseDuringTheLastKeyword();
    void checkdbRules();
    void sortingCountsAsNumbers();
    void deleteAndStoreButtons();
    void seedBoxIsKept();

private:
    RelatedSearch& search() { return *m_search; }
    void setOptions(bool google, bool yahoo, bool bing, bool store = false);
    void run(const QString& seed);
    qsizetype requestsFor(SearchEngine engine) const;
    // Serves the engines; the first request `when` picks is answered late, and
    // the user clicks pause meanwhile (after `check`). True once it has.
    std::shared_ptr<bool> pauseAt(
        std::function<bool(const Request&)> when, std::function<void()> check = [] {});

    std::unique_ptr<ScaledClock> m_clock;
    std::unique_ptr<Fixture> m_env;
    std::unique_ptr<RecordingClock> m_waits;
    std::unique_ptr<CrawlPacer> m_pacer;
    std::unique_ptr<KeywordStore> m_store;
    std::unique_ptr<StatusPanels> m_panels;
    std::unique_ptr<RelatedSearch> m_search;
};

void TestRelated::init()
{
    m_clock = std::make_unique<ScaledClock>(50.0);
    m_env = std::make_unique<Fixture>(*m_clock);
    fakeweb::serveAllEngines(m_env->server);
    // Pauses are noted, not waited for.
    m_waits = std::make_unique<RecordingClock>();
    m_pacer = std::make_unique<CrawlPacer>(*m_waits);
    m_store = std::make_unique<KeywordStore>();
    QVERIFY(m_store->open(m_env->dir.filePath(u"db.sqlite"_s)));
    m_panels = std::make_unique<StatusPanels>();
    m_search = std::make_unique<RelatedSearch>(RelatedSearch::Services{
        m_env->web.client, m_env->web.endpoints, *m_clock, *m_pacer, *m_store, m_env->prompts,
        *m_panels, DataFolder(m_env->dir.path(), m_env->writer)});
    setOptions(false, false, false);
}

void TestRelated::cleanup()
{
    m_search.reset();
    m_panels.reset();
    m_store.reset();
    m_env.reset();
}

void TestRelated::setOptions(bool google, bool yahoo, bool bing, bool store)
{
    RelatedOptions& options = search().inputs().options;
    options.checked = {false, google, yahoo, bing, store};
}

void TestRelated::run(const QString& seed)
{
    search().setSeedText(seed);
    await(search().run());
}

qsizetype TestRelated::requestsFor(SearchEngine engine) const
{
    qsizetype count = 0;
    for (const Request& request : m_env->server.requests())
        count += engineOf(request) == engine ? 1 : 0;
    return count;
}

std::shared_ptr<bool> TestRelated::pauseAt(std::function<bool(const Request&)> when,
                                           std::function<void()> check)
{
    auto paused = std::make_shared<bool>(false);
    m_env->server.setHandler(
        [this, when, check, paused](const Request& request) -> std::optional<Response> {
            const auto engine = engineOf(request);
            if (!engine)
                return std::nullopt;
            Response page = Response::page(fakeweb::resultPage(*engine, keywordOf(request), 0));
            if (!*paused && when(request)) {
                *paused = true;
                QTimer::singleShot(0, m_search.get(), [this, check] {
                    check();
                    search().click();
                    QCOMPARE(search().control().caption(), u"正在停止"_s);
                    QVERIFY(!search().control().isEnabled());
                });
                page.after(50ms);
            }
            return page;
        });
    return paused;
}

void TestRelated::candidatesFromEachEngineInOrder()
{
    run(u"  SEO Tools "_s);
    QStringList expected = {u"seo tools"_s};
    for (const SearchEngine engine :
         {SearchEngine::Yahoo, SearchEngine::Google, SearchEngine::Bing})
        for (const QString& related : fakeweb::relatedFor(engine, u"seo tools"_s))
            if (!expected.contains(related))
                expected << related;
    QCOMPARE(column(*search().list(), 0), expected);
    QCOMPARE(column(*search().rows(), 0), expected);
    QVERIFY(bold(*search().list(), 0));
    QVERIFY(!bold(*search().list(), 1));
    // No counts asked: "-" in each count column, and one request per engine.
    QCOMPARE(column(*search().list(), 2), QStringList(expected.size(), u"-"_s));
    const QList<Request> requests = m_env->server.requests();
    QCOMPARE(requests.size(), 3);
    QCOMPARE(requests.at(0).queryKeys(), QStringList{u"p"_s});
    QCOMPARE(requests.at(1).queryKeys(), QStringList({u"hl"_s, u"q"_s}));
    QCOMPARE(requests.at(2).queryKeys(), QStringList({u"q"_s, u"setmkt"_s}));
    QCOMPARE(requests.at(2).query(u"q"), u"seo tools"_s);
    // Every keyword reaches the engines as typed, "#", "&" and "+" included.
    run(u"c# & c++ 100%"_s);
    QCOMPARE(m_env->server.requests().at(3).query(u"p"), u"c# & c++ 100%"_s);
    QCOMPARE(pageCountUrl(m_env->web.endpoints, SearchEngine::Bing, u"a b#"_s),
             m_env->server.url(u"/search?q=a%20b%23&setmkt=en-US"));

    // The run has ended: ready, counters cleared, the seed forgotten; even the
    // same seed mines afresh, another seed starts a new list.
    QCOMPARE(m_panels->text(1), u"就绪"_s);
    run(u"seo tools"_s);
    QCOMPARE(column(*search().list(), 0), expected);
    QCOMPARE(m_env->server.requestCount(), 9);
    QCOMPARE(m_panels->text(1), u"就绪"_s);
    QCOMPARE(m_panels->text(2), QString());
    QVERIFY(search().control().isIdle());
    QCOMPARE(search().lastSeed(), QString());
    run(u"backlinks"_s);
    QCOMPARE(search().rows()->text(0), u"backlinks"_s);
    QVERIFY(!column(*search().rows(), 0).contains(u"seo tools"_s));
    QCOMPARE(engineOf(m_env->server.requests().at(9)), SearchEngine::Yahoo);
}

void TestRelated::cuttingThePages()
{
    const auto candidates = [](SearchEngine engine, const QString& page) {
        QStringList found;
        const QStringList pieces = relatedPieces(engine, page.toLower());
        for (qsizetype i = 0; i < pieces.size(); ++i)
            found << relatedCandidate(engine, pieces.at(i), i);
        return found;
    };
    QCOMPARE(candidates(SearchEngine::Yahoo, u"x{\"a\":[[\"One\",\"0\"],[\"two\",\"0\"]]}"_s),
             QStringList({u"one"_s, u"two"_s}));
    // Without the separator: at most the first term.
    QCOMPARE(candidates(SearchEngine::Yahoo, u"{\"a\":[[\"only\",\"1\"]],\"b\":[[\"x\"]]}"_s),
             QStringList{u"only"_s});
    QCOMPARE(candidates(SearchEngine::Google,
                        u"<p>Searches related to <b>k</b></p><table><tr><td><a href=\"/a\">big "
                        "<b>k</b></a></td><td><a href=\"/b\">k2</a></td></tr></table>"_s),
             QStringList({u"big k"_s, u"k2"_s}));
    QVERIFY(
        candidates(SearchEngine::Google, u"<table><td><a href=x>k</a></td></table>"_s).isEmpty());
    QCOMPARE(candidates(SearchEngine::Bing,
                        u"<h2>Related searches</h2><ul><li><a h=\"x('1')\">k <strong>a</strong>"
                        "</a></li><li><a h=\"x('2')\">b k</a></li></ul>"_s),
             QStringList({u"k a"_s, u"b k"_s}));
    QVERIFY(candidates(SearchEngine::Bing, QString()).isEmpty());

    // Empty words exclude nothing; case matters.
    QVERIFY(HasExcludedWord(u"free seo tools"_s, u"cheap|free"_s));
    QVERIFY(HasExcludedWord(u"freedom"_s, u"free"_s));
    for (const QString& words : {u"|free|"_s, QString()})
        QVERIFY(!HasExcludedWord(u"seo tools"_s, words));
    QVERIFY(!HasExcludedWord(u"Free"_s, u"free"_s));
}

void TestRelated::wordRules()
{
    m_env->server.setHandler([](const Request& request) -> std::optional<Response> {
        if (engineOf(request) != SearchEngine::Yahoo)
            return Response::page(QString());
        return Response::page(
            u"{\"t\":[[\"seo tools free\",\"0\"],[\"seo  tools online\",\"0\"],[\"cheap seo "
            "tools\",\"0\"],[\"web tools\",\"0\"],[\"\",\"0\"],[\"freedom seo tools\",\"0\"]]}"_s);
    });
    search().inputs().options.checked[RelatedOptions::MustContain] = true;
    run(u"seo tools"_s);
    QCOMPARE(column(*search().list(), 0),
             QStringList({u"seo tools"_s, u"seo tools free"_s, u"cheap seo tools"_s,
                          u"freedom seo tools"_s}));

    search().inputs().options.checked[RelatedOptions::MustContain] = false;
    search().inputs().exclude = true;
    search().inputs().excludeWords = u" |FREE|cheap| "_s;
    run(u"seo tools"_s);
    QCOMPARE(column(*search().list(), 0),
             QStringList({u"seo tools"_s, u"seo  tools online"_s, u"web tools"_s}));
}

void TestRelated::pauseAndResume()
{
    // The user clicks again while Google's page is on its way.
    const auto paused =
        pauseAt([](const Request& request) { return engineOf(request) == SearchEngine::Google; },
                [this] {
                    QCOMPARE(m_panels->text(1), u"进行中..."_s);
                    QCOMPARE(search().control().caption(), u"暂停查询"_s);
                });
    run(u"seo tools"_s);
    QVERIFY(*paused);
    QCOMPARE(m_panels->text(1), u"已暂停"_s);
    QCOMPARE(search().control().caption(), u"开始查询"_s);
    const qsizetype afterYahoo =
        1 + fakeweb::relatedFor(SearchEngine::Yahoo, u"seo tools"_s).size();
    QCOMPARE(search().list()->rowCount(), afterYahoo);

    // The same seed resumes: Yahoo is not asked again, nothing is listed twice.
    await(search().run());
    QCOMPARE(requestsFor(SearchEngine::Yahoo), 1);
    QCOMPARE(requestsFor(SearchEngine::Google), 2);
    const QStringList listed = column(*search().list(), 0);
    QCOMPARE(QSet<QString>(listed.begin(), listed.end()).size(), listed.size());
    QVERIFY(listed.contains(u"list of seo tools"_s));
    QCOMPARE(m_panels->text(1), u"就绪"_s);
}

void TestRelated::pageCounts_data()
{
    QTest::addColumn<SearchEngine>("engine");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("count");
    const auto row = [](const char* name, SearchEngine engine, const QString& page,
                        const QString& count) { QTest::newRow(name) << engine << page << count; };
    row("google", SearchEngine::Google,
        u"Results <b>1</b> - <b>10</b> of about <b>1,230,000</b> for <b>k</b>"_s, u"1230000"_s);
    row("google, not bold", SearchEngine::Google, u"of about 1,230,000"_s, u"0"_s);
    row("google, pages", SearchEngine::Google, u"<b>1</b> of 12 pages</b>"_s, u" 12 pages"_s);
    row("yahoo", SearchEngine::Yahoo, u"<strong id=\"resultCount\">98,700</strong>"_s, u"98700"_s);
    row("yahoo, no id", SearchEngine::Yahoo, u"<strong>98,700</strong>"_s, u"-"_s);
    row("yahoo, line break", SearchEngine::Yahoo, u"<strong id=\"resultCount\">1\n2<"_s, u"-"_s);
    row("bing", SearchEngine::Bing, u"1-10 of 45,600 results"_s, u"45600"_s);
    row("bing, empty", SearchEngine::Bing, QString(), u"-"_s);
    row("bing, about", SearchEngine::Bing, u"1-10 of about 45600 results"_s, u"about 45600"_s);
    // " of " in the page title is not a count: a cell never holds markup.
    row("bing, title", SearchEngine::Bing,
        u"<title>list of seo tools - Bing</title></head><body>results"_s, u"-"_s);
}

void TestRelated::pageCounts()
{
    QFETCH(SearchEngine, engine);
    QFETCH(QString, page);
    QFETCH(QString, count);
    QCOMPARE(pageCountFrom(engine, page), count);
}

void TestRelated::countsFromTheDatabaseOfTheDay()
{
    // Pages without related searches: only the seed is handled.
    m_env->server.setHandler([](const Request& request) -> std::optional<Response> {
        switch (engineOf(request).value_or(SearchEngine::Google)) {
        case SearchEngine::Google:
            return Response::page(u"Results <b>1</b> - <b>10</b> of about <b>5,000</b>"_s);
        case SearchEngine::Yahoo:
            return Response::page(u"<strong id=\"resultCount\">6</strong>"_s);
        case SearchEngine::Bing:
            return Response::page(u"1-10 of 7 results"_s);
        }
        return std::nullopt;
    });
    const QDate today = m_clock->today();
    m_store->insert(u"seo tools"_s, u"p"_s, u"1"_s, u"-"_s, u"3"_s, today);
    setOptions(true, true, true, true);
    run(u"seo tools"_s);
    QCOMPARE(m_env->server.requestCount(), 3); // the three related pages, no counts
    QCOMPARE(column(*search().list(), 1), QStringList{u"1"_s});
    QCOMPARE(column(*search().list(), 2), QStringList{u"-"_s});
    QCOMPARE(m_store->all().size(), 1);

    // A row from another day is asked afresh and refreshed in the database.
    QVERIFY(m_store->update(u"seo tools"_s, u"p"_s, u"1"_s, u"2"_s, u"3"_s, today.addDays(-3)));
    m_env->server.clearRequests();
    run(u"seo tools"_s);
    QCOMPARE(m_env->server.requestCount(), 6);
    const auto stored = m_store->find(u"seo tools"_s);
    QCOMPARE(stored->adddate, today);
    QCOMPARE(stored->googles + u'|' + stored->yahoos + u'|' + stored->bings, u"5000|6|7"_s);
    QCOMPARE(column(*search().list(), 1), QStringList{u"5000"_s});
    QCOMPARE(column(*search().rows(), 3), QStringList{u"7"_s});
}

void TestRelated::pacing_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("elapsedMs");
    QTest::addColumn<bool>("exact");
    QTest::addColumn<QList<qint64>>("asked");
    // Elapsed and remaining time round half to even; the wait is more than r s.
    QTest::newRow("2.5 s of 5 gone") << u"5"_s << 2500 << false << QList<qint64>{2001};
    QTest::newRow("1.5 s of 5 gone") << u"5"_s << 1500 << false << QList<qint64>{4001};
    QTest::newRow("4.5 s rounds to 4") << u"5"_s << 4500 << false << QList<qint64>{1};
    QTest::newRow("5 s gone: no wait") << u"5"_s << 5000 << false << QList<qint64>{};
    QTest::newRow("exact remaining") << u"5"_s << 2500 << true << QList<qint64>{2501};
    QTest::newRow("not a number: 5") << u"abc"_s << 1000 << false << QList<qint64>{4001};
    QTest::newRow("2.5 rounds to 2") << u"2.5"_s << 0 << false << QList<qint64>{2001};
    QTest::newRow("0 is no interval: 5") << u"0"_s << 0 << false << QList<qint64>{5001};
    QTest::newRow("missing: 5") << QString() << 0 << false << QList<qint64>{5001};
}

void TestRelated::pacing()
{
    QFETCH(QString, stored);
    QFETCH(int, elapsedMs);
    QFETCH(bool, exact);
    QFETCH(QList<qint64>, asked);
    RecordingClock clock;
    CrawlPacer pacer(clock);
    m_env->settings->RegSave(u"googlese"_s, stored);
    pacer.loadIntervals(*m_env->settings);
    const auto wait = exact ? CrawlPacer::Wait::Exact : CrawlPacer::Wait::Rounded;
    await(pacer.pace(SearchEngine::Google, wait));
    clock.advance(std::chrono::milliseconds(elapsedMs));
    await(pacer.pace(SearchEngine::Yahoo, wait)); // another engine is not held back
    await(pacer.pace(SearchEngine::Google, wait));
    QCOMPARE(clock.asked(), asked);
}

void TestRelated::pacingInASearch()
{
    // Every Google count after the first waits out the interval (the related
    // pages themselves are not paced); no other engine is asked.
    m_pacer->setInterval(SearchEngine::Google, 3);
    setOptions(true, false, false);
    run(u"seo tools"_s);
    const qsizetype counts = search().rows()->size();
    QVERIFY(counts >= 5);
    QCOMPARE(requestsFor(SearchEngine::Google), counts + 1);
    QCOMPARE(m_waits->asked(), QList<qint64>(counts - 1, 3001));
}

void TestRelated::checkdbRules()
{
    const QDate today = m_clock->today();
    RowModel& rows = *search().rows();
    const auto row = [&rows](const QStringList& cells) { return rows.append(textRow(cells)); };
    search().inputs().seedText = u" seed "_s;
    search().checkdb(row({u"new one"_s, u" 120 "_s, u"n/a"_s, QString()}));
    auto stored = m_store->find(u"new one"_s);
    QCOMPARE(stored->googles + u'|' + stored->yahoos + u'|' + stored->bings, u"120|-|-"_s);
    QCOMPARE(m_store->all().first().parentkeys, u"seed"_s);

    // Stored today: left alone.
    const RowId again = row({u"new one"_s, u"999"_s, u"1"_s, u"1"_s});
    search().checkdb(again);
    QCOMPARE(m_store->find(u"new one"_s)->googles, u"120"_s);

    // Stored on an earlier day: refreshed, the parent trimmed as on insert.
    QVERIFY(m_store->update(u"new one"_s, u"old"_s, u"1"_s, u"1"_s, u"1"_s, today.addDays(-1)));
    search().checkdb(again);
    stored = m_store->find(u"new one"_s);
    QCOMPARE(stored->googles, u"999"_s);
    QCOMPARE(stored->adddate, today);
    QCOMPARE(m_store->all().first().parentkeys, u"seed"_s);
    QCOMPARE(m_store->all().size(), 1);
}

void TestRelated::sortingCountsAsNumbers()
{
    RowModel& rows = *search().rows();
    for (const QStringList& cells : QList<QStringList>{{u"seed"_s, u"900"_s},
                                                       {u"alpha"_s, u"10000"_s},
                                                       {u"beta"_s, u"-"_s},
                                                       {u"gamma"_s, u"25"_s}})
        rows.append(textRow(cells));
    rows.setBold(rows.idAt(0), true);
    const QAbstractItemModel& list = *search().list();

    search().sortByColumn(1);
    QCOMPARE(column(list, 0), QStringList({u"alpha"_s, u"seed"_s, u"gamma"_s, u"beta"_s}));
    search().sortByColumn(1);
    QCOMPARE(column(list, 1), QStringList({u"-"_s, u"25"_s, u"900"_s, u"10000"_s}));
    QVERIFY(bold(list, 2)); // the seed row keeps its mark
    QCOMPARE(column(list, 0).at(2), u"seed"_s);
    search().sortByColumn(0);
    QCOMPARE(column(list, 0), QStringList({u"seed"_s, u"gamma"_s, u"beta"_s, u"alpha"_s}));
    // The full copy keeps its order.
    QCOMPARE(column(rows, 0), QStringList({u"seed"_s, u"alpha"_s, u"beta"_s, u"gamma"_s}));

    // Not while a job runs.
    m_panels->setText(1, StatusPanels::Running);
    search().sortByColumn(0);
    QCOMPARE(column(list, 0).first(), u"seed"_s);
}

void TestRelated::deleteAndStoreButtons()
{
    run(u"backlinks"_s);
    const qsizetype listed = search().list()->rowCount();
    await(search().deleteChecked());
    QCOMPARE(m_env->prompts.messages().last(), u"请选择你要删除的关键词"_s);

    tick(*search().list(), 1);
    tick(*search().list(), 2);
    const QString kept = column(*search().list(), 0).at(3);
    await(search().addCheckedToDatabase());
    QCOMPARE(m_env->prompts.messages().last(), u"成功提交了2条数据至数据库！"_s);
    QCOMPARE(m_store->all().size(), 2);
    QCOMPARE(m_store->all().first().parentkeys, u"backlinks"_s);
    await(search().addCheckedToDatabase());
    QCOMPARE(m_env->prompts.messages().last(), u"成功提交了0条数据至数据库！"_s);

    await(search().deleteChecked());
    QCOMPARE(search().list()->rowCount(), listed - 2);
    QCOMPARE(column(*search().list(), 0).at(1), kept);
    QCOMPARE(search().rows()->size(), listed);
}

void TestRelated::seedBoxIsKept()
{
    QVERIFY(search().setSeedText(u"  关键词 排名 "_s));
    QCOMPARE(readAnsiFile(m_env->dir.filePath(u"kws.txt"_s)), u"关键词 排名\r\n"_s);
    QVERIFY(search().setSeedText(u" QQ "_s));
    QCOMPARE(readAnsiFile(m_env->dir.filePath(u"kws.txt"_s)), u"关键词 排名\r\n"_s);
    QCOMPARE(search().inputs().seedText, u" QQ "_s);

    // A seed that cannot be written says so; the stored one stays.
    for (const WriteFault fault : AllWriteFaults) {
        m_env->writer->setFault(fault);
        QVERIFY(!search().setSeedText(u"医院"_s).error.isEmpty());
        QCOMPARE(readAnsiFile(m_env->dir.filePath(u"kws.txt"_s)), u"关键词 排名\r\n"_s);
    }
}

void TestRelated::pauseDuringTheLastKeyword()
{
    // The pause lands while the count of the last candidate is on its way.
    setOptions(false, false, true);
    const QString last = fakeweb::relatedFor(SearchEngine::Bing, u"seo tools"_s).last();
    const auto paused = pauseAt([last](const Request& request) {
        return keywordOf(request) == last && request.query(u"setmkt");
    });
    run(u"seo tools"_s);
    QVERIFY(*paused);
    // Its work is done: ready, and the next click starts a new search.
    QCOMPARE(m_panels->text(1), u"就绪"_s);
    QCOMPARE(search().lastSeed(), QString());
}

QTEST_GUILESS_MAIN(TestRelated)
#include "tst_related.moc"
