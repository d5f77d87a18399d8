#include "core/listroles.h"
#include "core/textfile.h"
#include "enginepages.h"
#include "research/relatedsearch.h"
#include "testsupport.h"

#include <QElapsedTimer>
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

// The seed, then each engine's related searches not listed yet.
QStringList allCandidates(const QString& seed)
{
    QStringList all = {seed};
    for (const SearchEngine engine :
         {SearchEngine::Yahoo, SearchEngine::Google, SearchEngine::Bing})
        for (const QString& related : fakeweb::relatedFor(engine, seed))
            if (!all.contains(related))
                all << related;
    return all;
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

    void candidatesFromEachEngineInOrder();
    void wordRules();
    void pauseAndResume_data();
    void pauseAndResume();
    void readingThePages_data();
    void readingThePages();
    void countsAndTheDatabase_data();
    void countsAndTheDatabase();
    void pacing_data();
    void pacing();
    void pacingInASearch();
    void sortingCountsAsNumbers();
    void deleteAndStoreButtons();
    void seedBoxIsKept();

private:
    // Pauses are noted by `waits`, not waited for.
    struct Env {
        explicit Env(double speed = 50.0)
            : clock(speed)
        {}
        ScaledClock clock;
        Fixture fixture{clock};
        RecordingClock waits;
        CrawlPacer pacer{waits};
        KeywordStore store;
        StatusPanels panels;
        RelatedSearch search{{fixture.web.client, fixture.web.endpoints, clock, pacer, store,
                              fixture.prompts, panels,
                              DataFolder(fixture.dir.path(), fixture.writer)}};
    };

    RelatedSearch& search() { return m_env->search; }
    void setOptions(bool google, bool yahoo, bool bing, bool store = false)
    {
        search().inputs().options.checked = {false, google, yahoo, bing, store};
    }
    void run(const QString& seed)
    {
        search().setSeedText(seed);
        await(search().run());
    }
    qsizetype requestsFor(SearchEngine engine) const;
    // Serves the engines; the first request `when` picks is answered late, and
    // the user clicks pause meanwhile. True once it has.
    std::shared_ptr<bool> pauseAt(std::function<bool(const Request&)> when,
                                  std::chrono::milliseconds answerAfter = 50ms);

    std::unique_ptr<Env> m_env;
};

void TestRelated::init()
{
    m_env.reset();
    m_env = std::make_unique<Env>();
    fakeweb::serveAllEngines(m_env->fixture.server);
    QVERIFY(m_env->store.open(m_env->fixture.dir.filePath(u"db.sqlite"_s)));
    setOptions(false, false, false);
}

qsizetype TestRelated::requestsFor(SearchEngine engine) const
{
    qsizetype count = 0;
    for (const Request& request : m_env->fixture.server.requests())
        count += engineOf(request) == engine ? 1 : 0;
    return count;
}

std::shared_ptr<bool> TestRelated::pauseAt(std::function<bool(const Request&)> when,
                                           std::chrono::milliseconds answerAfter)
{
    auto paused = std::make_shared<bool>(false);
    m_env->fixture.server.setHandler(
        [this, when, paused, answerAfter](const Request& request) -> std::optional<Response> {
            const auto engine = engineOf(request);
            if (!engine)
                return std::nullopt;
            Response page = Response::page(fakeweb::resultPage(*engine, keywordOf(request), 0));
            if (!*paused && when(request)) {
                *paused = true;
                QTimer::singleShot(0, &search(), [this] {
                    search().click();
                    // The panel keeps its text until the job has stopped.
                    QCOMPARE(m_env->panels.text(1), u"进行中..."_s);
                    QCOMPARE(search().control().caption(), u"正在停止"_s);
                    QVERIFY(!search().control().isEnabled());
                });
                page.after(answerAfter);
            }
            return page;
        });
    return paused;
}

void TestRelated::candidatesFromEachEngineInOrder()
{
    run(u"  SEO Tools "_s);
    const QStringList expected = allCandidates(u"seo tools"_s);
    QCOMPARE(column(*search().list()), expected);
    QVERIFY(bold(*search().list(), 0) && !bold(*search().list(), 1));
    // No counts asked: "-" in each count column, and one request per engine.
    QCOMPARE(column(*search().list(), 2), QStringList(expected.size(), u"-"_s));
    const QList<Request> requests = m_env->fixture.server.requests();
    QCOMPARE(requests.size(), 3);
    QCOMPARE(requests.at(0).queryKeys(), QStringList{u"p"_s});
    QCOMPARE(requests.at(1).queryKeys(), QStringList({u"hl"_s, u"q"_s}));
    QCOMPARE(requests.at(2).queryKeys(), QStringList({u"q"_s, u"setmkt"_s}));
    // A finished run clears the counters (and forgets its seed: see the pause).
    QCOMPARE(m_env->panels.text(2), QString());
}

void TestRelated::wordRules()
{
    m_env->fixture.server.setHandler([](const Request& request) -> std::optional<Response> {
        if (engineOf(request) != SearchEngine::Yahoo)
            return Response::page(QString());
        return Response::page(
            u"{\"t\":[[\"seo tools free\",\"0\"],[\"seo  tools online\",\"0\"],[\"cheap seo "
            "tools\",\"0\"],[\"web tools\",\"0\"],[\"\",\"0\"],[\"freedom seo tools\",\"0\"]]}"_s);
    });
    search().inputs().options.checked[RelatedOptions::MustContain] = true;
    run(u"seo tools"_s);
    QCOMPARE(column(*search().list()), QStringList({u"seo tools"_s, u"seo tools free"_s,
                                                    u"cheap seo tools"_s, u"freedom seo tools"_s}));

    // Excluded words: any part of a candidate, blank ones exclude nothing.
    search().inputs().options.checked[RelatedOptions::MustContain] = false;
    search().inputs().exclude = true;
    search().inputs().excludeWords = u" |FREE|cheap| "_s;
    run(u"seo tools"_s);
    QCOMPARE(column(*search().list()),
             QStringList({u"seo tools"_s, u"seo  tools online"_s, u"web tools"_s}));
}

void TestRelated::pauseAndResume_data()
{
    // The pause lands while a related page is on its way, or the count of the
    // last candidate from an engine that takes its time.
    QTest::addColumn<bool>("count");
    QTest::newRow("related page") << false;
    QTest::newRow("last count") << true;
}

// The request is dropped at once and done again on resume, and nothing else
// is asked or listed twice.
void TestRelated::pauseAndResume()
{
    QFETCH(bool, count);
    // Real time: a pause that waited for the answer would wait out a real
    // time-out, far beyond the check below.
    m_env.reset();
    m_env = std::make_unique<Env>(1.0);
    QVERIFY(m_env->store.open(m_env->fixture.dir.filePath(u"db.sqlite"_s)));
    setOptions(false, false, count);
    const QString last = fakeweb::relatedFor(SearchEngine::Bing, u"seo tools"_s).last();
    const auto paused = pauseAt(
        [count, last](const Request& request) {
            return count ? keywordOf(request) == last && request.query(u"setmkt")
                         : engineOf(request) == SearchEngine::Google;
        },
        count ? 30s : 50ms);
    QElapsedTimer clock;
    clock.start();
    run(u"seo tools"_s);
    QVERIFY(*paused && clock.elapsed() < 5000);
    QCOMPARE(m_env->panels.text(1), u"已暂停"_s);
    QCOMPARE(search().control().caption(), u"开始查询"_s);
    const QStringList before = column(*search().list());
    QCOMPARE(before.size(),
             count ? allCandidates(u"seo tools"_s).size() - 1
                   : 1 + fakeweb::relatedFor(SearchEngine::Yahoo, u"seo tools"_s).size());
    m_env->fixture.server.setHandler({});
    fakeweb::serveAllEngines(m_env->fixture.server);
    await(search().run());
    QCOMPARE(column(*search().list()), allCandidates(u"seo tools"_s));
    QCOMPARE(requestsFor(SearchEngine::Yahoo), 1);
    QCOMPARE(requestsFor(SearchEngine::Google), count ? 1 : 2);
    QCOMPARE(m_env->panels.text(1), u"就绪"_s);
    QCOMPARE(search().lastSeed(), QString());
}

void TestRelated::readingThePages_data()
{
    // A page count, or the related candidates (joined by "|") read from a page:
    // the odd forms; the searches below read the plain ones.
    QTest::addColumn<bool>("count");
    QTest::addColumn<SearchEngine>("engine");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("read");
    const auto row = [](const char* name, bool count, SearchEngine engine, const QString& page,
                        const QString& read) {
        QTest::newRow(name) << count << engine << page << read;
    };
    using enum SearchEngine;
    row("google, not bold", true, Google, u"of about 1,230,000"_s, u"0"_s);
    row("google, pages", true, Google, u"<b>1</b> of 12 pages</b>"_s, u" 12 pages"_s);
    row("yahoo, no id", true, Yahoo, u"<strong>98,700</strong>"_s, u"-"_s);
    row("yahoo, line break", true, Yahoo, u"<strong id=\"resultCount\">1\n2<"_s, u"-"_s);
    row("bing, empty", true, Bing, QString(), u"-"_s);
    // " of " in the page title is not a count: a cell never holds markup.
    row("bing, title", true, Bing, u"<title>list of seo tools - Bing</title></head><body>results"_s,
        u"-"_s);
    // Without the separator: at most the first term.
    row("yahoo, one term", false, Yahoo, u"{\"a\":[[\"only\",\"1\"]],\"b\":[[\"x\"]]}"_s,
        u"only"_s);
    row("google, no heading", false, Google, u"<table><td><a href=x>k</a></td></table>"_s,
        QString());
    row("bing related", false, Bing,
        u"<h2>Related searches</h2><ul><li><a h=\"x('1')\">k <strong>a</strong></a></li>"
        "<li><a h=\"x('2')\">b k</a></li></ul>"_s,
        u"k a|b k"_s);
    row("bing, empty page", false, Bing, QString(), QString());
}

void TestRelated::readingThePages()
{
    QFETCH(bool, count);
    QFETCH(SearchEngine, engine);
    QFETCH(QString, page);
    QFETCH(QString, read);
    if (count) {
        QCOMPARE(pageCountFrom(engine, page), read);
        return;
    }
    QStringList found;
    const QStringList pieces = relatedPieces(engine, page.toLower());
    for (qsizetype i = 0; i < pieces.size(); ++i)
        found << relatedCandidate(engine, pieces.at(i), i);
    QCOMPARE(found.join(u'|'), read);
}

void TestRelated::countsAndTheDatabase_data()
{
    // The seed's row before the run (none when daysAgo < 0; -2: another
    // program stores it today while the run asks the engines), the requests
    // the run makes, and the counts listed and stored after it.
    QTest::addColumn<int>("daysAgo");
    QTest::addColumn<int>("requests");
    QTest::addColumn<QString>("listed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("new") << -1 << 6 << u"5000|6|about 7"_s << u"SEO tools|5000|6|-|0"_s;
    QTest::newRow("stored today: only the count it lacks asked")
        << 0 << 4 << u"1|6|3"_s << u"old|1|6|3|0"_s;
    QTest::newRow("stored before") << 3 << 6 << u"5000|6|about 7"_s << u"SEO tools|5000|6|-|0"_s;
    QTest::newRow("stored meanwhile: counts merged")
        << -2 << 6 << u"5000|6|about 7"_s << u"old|5000|6|3|0"_s;
}

void TestRelated::countsAndTheDatabase()
{
    QFETCH(int, daysAgo);
    QFETCH(int, requests);
    QFETCH(QString, listed);
    QFETCH(QString, stored);
    // Pages without related searches: only the seed is counted.
    const QDate today = m_env->clock.today();
    auto meanwhile = std::make_shared<bool>(daysAgo == -2);
    m_env->fixture.server.setHandler(
        [this, meanwhile, today](const Request& request) -> std::optional<Response> {
            if (std::exchange(*meanwhile, false))
                m_env->store.insert(u"seo tools"_s, u"old"_s, u"1"_s, u"-"_s, u"3"_s, today);
            switch (engineOf(request).value_or(SearchEngine::Google)) {
            case SearchEngine::Google:
                return Response::page(u"Results <b>1</b> - <b>10</b> of about <b>5,000</b>"_s);
            case SearchEngine::Yahoo:
                return Response::page(u"<strong id=\"resultCount\">6</strong>"_s);
            case SearchEngine::Bing:
                return Response::page(u"1-10 of about 7 results"_s);
            }
            return std::nullopt;
        });
    if (daysAgo >= 0)
        m_env->store.insert(u"seo tools"_s, u"old"_s, u"1"_s, u"-"_s, u"3"_s,
                            today.addDays(-daysAgo));
    setOptions(true, true, true, true);
    run(u" SEO tools "_s);
    QCOMPARE(m_env->fixture.server.requestCount(), requests);
    QCOMPARE(search().rows()->text(0, 1) + u'|' + search().rows()->text(0, 2) + u'|' +
                 search().rows()->text(0, 3),
             listed);
    // A count that is no number is stored as "-"; the parent is the seed as typed.
    const QList<KeywordRecord> all = m_env->store.all();
    QCOMPARE(all.size(), 1);
    const KeywordRecord& row = all.first();
    QCOMPARE(QStringList({row.parentkeys, row.googles, row.yahoos, row.bings,
                          QString::number(*wholeDaysBetween(parseIsoDate(row.adddate), today))})
                 .join(u'|'),
             stored);
}

void TestRelated::pacing_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("elapsedMs");
    QTest::addColumn<QList<qint64>>("asked");
    QTest::addColumn<int>("proxies"); // with the pause counted per proxy
    // Elapsed and remaining time round half to even; the wait is more than r s.
    QTest::newRow("2.5 s of 5 gone") << u"5"_s << 2500 << QList<qint64>{2001} << 1;
    QTest::newRow("1.5 s of 5 gone") << u"5"_s << 1500 << QList<qint64>{4001} << 1;
    QTest::newRow("4.5 s rounds to 4") << u"5"_s << 4500 << QList<qint64>{1} << 1;
    QTest::newRow("5 s gone: no wait") << u"5"_s << 5000 << QList<qint64>{} << 1;
    QTest::newRow("not a number: 5") << u"abc"_s << 1000 << QList<qint64>{4001} << 1;
    QTest::newRow("2.5 rounds to 2") << u"2.5"_s << 0 << QList<qint64>{2001} << 1;
    QTest::newRow("0 is no interval: 5") << u"0"_s << 0 << QList<qint64>{5001} << 1;
    QTest::newRow("per proxy: 5 s over 2") << u"5"_s << 0 << QList<qint64>{2001} << 2;
}

void TestRelated::pacing()
{
    QFETCH(QString, stored);
    QFETCH(int, elapsedMs);
    QFETCH(QList<qint64>, asked);
    QFETCH(int, proxies);
    RecordingClock clock;
    CrawlPacer pacer(clock);
    if (proxies > 1)
        pacer.setSpread([proxies] { return proxies; });
    m_env->fixture.settings->RegSave(u"googlese"_s, stored);
    pacer.loadIntervals(*m_env->fixture.settings);
    await(pacer.pace(SearchEngine::Google));
    clock.advance(std::chrono::milliseconds(elapsedMs));
    await(pacer.pace(SearchEngine::Yahoo)); // another engine is not held back
    await(pacer.pace(SearchEngine::Google));
    QCOMPARE(clock.asked(), asked);
}

void TestRelated::pacingInASearch()
{
    // Every Google count after the first waits out the interval (the related
    // pages themselves are not paced); no other engine is asked.
    m_env->pacer.setInterval(SearchEngine::Google, 3);
    setOptions(true, false, false);
    run(u"seo tools"_s);
    const qsizetype counts = search().rows()->size();
    QVERIFY(counts >= 5);
    QCOMPARE(requestsFor(SearchEngine::Google), counts + 1);
    QCOMPARE(m_env->waits.asked(), QList<qint64>(counts - 1, 3001));
}

void TestRelated::sortingCountsAsNumbers()
{
    RowModel& rows = *search().rows();
    for (const QString& row : {u"seed|900"_s, u"alpha|10000"_s, u"beta|-"_s, u"gamma|25"_s})
        rows.append(textRow(row.split(u'|')));
    rows.setBold(rows.idAt(0), true);
    const QAbstractItemModel& list = *search().list();
    search().sortByColumn(1);
    QCOMPARE(column(list), QStringList({u"alpha"_s, u"seed"_s, u"gamma"_s, u"beta"_s}));
    search().sortByColumn(1);
    QCOMPARE(column(list), QStringList({u"beta"_s, u"gamma"_s, u"seed"_s, u"alpha"_s}));
    QVERIFY(bold(list, 2)); // the seed row keeps its mark
    search().sortByColumn(0);
    QCOMPARE(column(list), QStringList({u"seed"_s, u"gamma"_s, u"beta"_s, u"alpha"_s}));
    // The full copy keeps its order; nothing is sorted while a job runs.
    QCOMPARE(column(rows), QStringList({u"seed"_s, u"alpha"_s, u"beta"_s, u"gamma"_s}));
    m_env->panels.setText(1, StatusPanels::Running);
    search().sortByColumn(0);
    QCOMPARE(column(list).first(), u"seed"_s);
}

void TestRelated::deleteAndStoreButtons()
{
    run(u"backlinks"_s);
    const qsizetype listed = search().list()->rowCount();
    await(search().deleteChecked());
    QCOMPARE(m_env->fixture.prompts.messages().last(), u"请选择你要删除的关键词"_s);
    tick(*search().list(), 1);
    tick(*search().list(), 2);
    const QString kept = column(*search().list()).at(3);
    await(search().addCheckedToDatabase());
    await(search().addCheckedToDatabase());
    QCOMPARE(m_env->fixture.prompts.messages().mid(1),
             QStringList({u"成功提交了2条数据至数据库！"_s, u"成功提交了0条数据至数据库！"_s}));
    QCOMPARE(m_env->store.all().size(), 2);
    QCOMPARE(m_env->store.all().first().parentkeys, u"backlinks"_s);
    await(search().deleteChecked());
    QCOMPARE(search().list()->rowCount(), listed - 2);
    QCOMPARE(column(*search().list()).at(1), kept);
    QCOMPARE(search().rows()->size(), listed);
}

void TestRelated::seedBoxIsKept()
{
    QVERIFY(search().setSeedText(u"  关键词 排名 "_s));
    QCOMPARE(readAnsiFile(m_env->fixture.dir.filePath(u"kws.txt"_s)), u"关键词 排名\r\n"_s);
    QVERIFY(search().setSeedText(u" QQ "_s));
    QCOMPARE(readAnsiFile(m_env->fixture.dir.filePath(u"kws.txt"_s)), u"关键词 排名\r\n"_s);
    QCOMPARE(search().inputs().seedText, u" QQ "_s);

    // A seed that cannot be written says so; the stored one stays.
    m_env->fixture.writer->setFault(WriteFault::Commit);
    QVERIFY(!search().setSeedText(u"医院"_s).error.isEmpty());
    QCOMPARE(readAnsiFile(m_env->fixture.dir.filePath(u"kws.txt"_s)), u"关键词 排名\r\n"_s);
}

QTEST_GUILESS_MAIN(TestRelated)
#include "tst_related.moc"
