// The embedded browser and the keyword tool driven through it, against the
// example tool page on loopback. Each browser test costs seconds: few, long
// scenarios rather than many short ones.

#include "adwords/adwordstool.h"
#include "browser/browsers.h"
#include "browser/pagescript.h"
#include "browser/webpage.h"
#include "ranking/keyrank.h"
#include "scaledclock.h"
#include "scriptedprompts.h"
#include "testsupport.h"
#include "toolpage.h"
#include "web/cookiejar.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace marbleway;
using namespace Qt::StringLiterals;

class TestBrowser : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void toolQueries();
    void fetchBrowser();
    void renderedResultPages();
    void cleanupTestCase();

private:
    QTemporaryDir m_home;
    test::TestHttpServer m_server;
    std::shared_ptr<fakeweb::ToolPageOptions> m_tool;
    CookieJar* m_jar = nullptr;
    std::unique_ptr<Browsers> m_browsers;
    // Polls and waits pass ten times faster; the page's own delays are real.
    test::ScaledClock m_clock{10.0};
};

void TestBrowser::initTestCase()
{
    m_tool = fakeweb::serveToolPage(m_server);
    m_server.serve(
        u"/written"_s,
        test::Response::page(
            u"<html><head><meta charset=\"utf-8\"></head><body><div id=\"out\"></div><script>"
            "setTimeout(function () { document.getElementById('out')"
            ".innerHTML = '<b>由脚本写出</b>'; }, 300);"
            "</script></body></html>"_s));
    m_server.serve(u"/opener"_s, test::Response::page(u"<html><body><script>"
                                                      "window.open('/popup', '_blank');"
                                                      "</script></body></html>"_s));
    m_server.serve(u"/away"_s, test::Response::dropped());
    m_server.serve(u"/popup"_s, test::Response::page(u"<html><body>popup</body></html>"_s));
    m_jar = new CookieJar(m_home.filePath(u"cookies.txt"_s), CookieJar::Saving::Save, this);
    m_browsers = std::make_unique<Browsers>(m_home.filePath(u"browser"_s), m_jar);
}

void TestBrowser::cleanupTestCase()
{
    m_browsers.reset();
}

void TestBrowser::toolQueries()
{
    AdWordsResults results;
    test::ScriptedPrompts prompts;
    const QUrl address(
        u"http://adwords.google.localhost:%1/select/KeywordToolExternal"_s.arg(m_server.port()));
    AdWordsTool tool(nullptr, address, results, prompts, m_clock);
    tool.setPage(m_browsers->newPage(&tool));
    int ended = 0;
    connect(&tool, &AdWordsTool::queryEnded, this, [&ended] { ++ended; });
    const auto query = [&](const QString& keyword) {
        const int before = ended;
        tool.start(keyword);
        QTRY_VERIFY_WITH_TIMEOUT(ended > before, 30000);
        QCOMPARE(tool.startCaption(), AdWordsTool::StartCaption);
        QVERIFY(tool.isStartEnabled());
        QVERIFY(tool.isCaptchaEnabled());
    };

    tool.open();
    QVERIFY(!tool.isBrowserShown());
    QTRY_VERIFY_WITH_TIMEOUT(tool.isBrowserShown() && tool.isCaptchaShown(), 20000);
    QVERIFY(tool.isStartEnabled());
    QVERIFY(!tool.isCoverShown());

    // Neither a keyword nor, with the captcha asked, an answer: nothing runs.
    tool.start(QString());
    tool.start(u"seo"_s);
    QTRY_COMPARE(prompts.messages(),
                 (QStringList{u"请输入要查询的关键词！"_s, u"请输入验证码！"_s}));
    QVERIFY(!tool.isQuerying());
    prompts.clear();

    // A wrong answer: the page still asks after the reload.
    tool.setCaptchaAnswer(u"nope"_s);
    tool.start(u"seo"_s);
    QVERIFY(tool.isQuerying());
    QCOMPARE(tool.startCaption(), AdWordsTool::BusyCaption);
    QVERIFY(!tool.isCaptchaEnabled());
    QVERIFY(tool.isCoverShown());
    query(u"seo"_s);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(prompts.messages(), QStringList{AdWordsTool::CaptchaFailed});
    QCOMPARE(results.list()->size(), 0);
    QVERIFY(tool.captchaAnswer().isEmpty());
    QVERIFY(tool.isCaptchaShown());
    prompts.clear();

    // The right answer lets the query through to the table, read in page order.
    tool.setCaptchaAnswer(fakeweb::ToolPageOptions::Answer.toString());
    query(u"SEO"_s);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(prompts.messages(), QStringList());
    RowModel& list = *results.list();
    QCOMPARE(list.size(), 6);
    QCOMPARE(list.at(0).cells,
             (QStringList{u"seo"_s, u"1-3"_s, u"$1.25"_s, u"90%(激烈)"_s, u"1,240"_s}));
    QCOMPARE(list.text(1), u"seo tools"_s);
    QVERIFY(list.at(0).checkable);
    // The page set its cookie through the browser: the program's own requests carry it.
    const auto cookies = m_jar->cookiesForUrl(address);
    QVERIFY(std::any_of(cookies.begin(), cookies.end(), [](const QNetworkCookie& cookie) {
        return cookie.name() == "toolcaptcha";
    }));

    // The page was reloaded and now asks for no captcha: straight to the table,
    // whose first row is the list's: the query polls on, and the start button,
    // live again, ends it with the list kept.
    QTRY_VERIFY_WITH_TIMEOUT(tool.isBrowserShown() && tool.isCoverShown(), 20000);
    QVERIFY(!tool.isCaptchaShown());
    // The page that query reloads at its end redraws its tables.
    m_tool->updateMs = 1500;
    tool.start(u"seo"_s);
    QTRY_VERIFY_WITH_TIMEOUT(tool.isStartEnabled(), 5000);
    QTest::qWait(2000);
    QVERIFY(tool.isQuerying());
    const int before = ended;
    tool.start(u"seo"_s);
    QTRY_VERIFY_WITH_TIMEOUT(ended > before, 10000);
    QCOMPARE(list.text(0), u"seo"_s);

    // The same keyword once more: the first table equals the list and is
    // passed over until the page redraws it. Opening the tab meanwhile leaves
    // the page to the query.
    QTRY_VERIFY_WITH_TIMEOUT(tool.isBrowserShown(), 20000);
    QTimer::singleShot(1200, &tool, &AdWordsTool::open);
    query(u"seo"_s);
    QCOMPARE(list.text(0), u"best seo"_s);
    QCOMPARE(list.size(), 6);

    // A tool page that cannot be loaded says so rather than asking for a captcha.
    AdWordsTool away(nullptr, address.resolved(QUrl(u"/away"_s)), results, prompts, m_clock);
    away.setPage(m_browsers->newPage(&away));
    away.open();
    QTRY_VERIFY_WITH_TIMEOUT(away.isLoadFailed() && away.isCoverShown(), 20000);
    prompts.clear();
    away.start(u"seo"_s);
    QTRY_COMPARE(prompts.messages(), QStringList{AdWordsTool::PageFailed});
    QVERIFY(!away.isQuerying());
}

void TestBrowser::fetchBrowser()
{
    // The markup as rendered, script output included, after the full wait.
    const test::ScaledClock clock(2.0);
    QString markup;
    [](Browsers* browsers, QString url, const Clock* waits, QString* out) -> QCoro::Task<> {
        *out = co_await GetBrowserHtml(*browsers, url, *waits);
        if (out->isEmpty())
            *out = u"(empty)"_s;
    }(m_browsers.get(), m_server.url(u"/written"_s), &clock, &markup);
    QTRY_VERIFY_WITH_TIMEOUT(!markup.isEmpty(), 20000);
    QVERIFY(clock.monotonic() >= std::chrono::seconds(5));
    QVERIFY2(markup.contains(u"<b>由脚本写出</b>"_s), qPrintable(markup));
    QVERIFY(markup.startsWith(u"<head>"_s));

    // A window the fetch browser's page opens lands in the second browser.
    m_browsers->fetchPage()->load(QUrl(m_server.url(u"/opener"_s)));
    QTRY_COMPARE_WITH_TIMEOUT(m_browsers->popupPage()->url().path(), u"/popup"_s, 20000);
}

void TestBrowser::renderedResultPages()
{
    // Results that only a script writes, as engines serve clients they trust;
    // the engine's rules say its pages are rendered.
    m_server.serve(
        u"/search"_s,
        test::Response::page(
            u"<html><body><div id=\"res\"></div><script>setTimeout(function () {"
            "document.getElementById('res').innerHTML = '<h3 class=\"r\"><a href=\"http://"
            "www.other.test/\">a</a></h3><h3 class=\"r\"><a href=\"http://www.mysite.test/"
            "\">b</a></h3>'; }, 400);</script></body></html>"_s));
    QCOMPARE(applyEngineRules(u"{\"google\": {\"fetch\": \"browser\", \"waitFor\": "
                              "\"class=\\\"r\\\"\", \"rank\": {\"marker\": \"<h3 "
                              "class=\\\"r\\\">\"}}}"_s),
             QStringList());
    const test::WebFixture web(m_server);
    cKeyrank finder(web.client, web.endpoints);
    finder.setKeyword(u"seo tools"_s);
    finder.setUrl(u"www.mysite.test"_s);
    finder.setMaxnum(1);
    QList<RankHit> hits;
    const auto lookUp = [](cKeyrank* reader, QList<RankHit>* into) -> QCoro::Task<> {
        co_await reader->positions(SearchEngine::Google, false,
                                   [into](const RankHit& hit) { *into << hit; });
    };
    // Without a browser the lookup fails and says why.
    lookUp(&finder, &hits);
    QTRY_COMPARE(hits.size(), 1);
    QCOMPARE(hits.first().outcome, RankOutcome::Failed);
    QVERIFY(hits.first().reason.contains(u"浏览器"_s));

    hits.clear();
    // Room for a slow machine: the 15 s of the lookup pass in 7.5.
    const test::ScaledClock clock(2.0);
    finder.setBrowserFetch(
        [this, &clock](QString url, QString waitFor, std::chrono::milliseconds timeout) {
            return renderPage(*m_browsers, std::move(url), std::move(waitFor), timeout, clock);
        });
    lookUp(&finder, &hits);
    QTRY_COMPARE_WITH_TIMEOUT(hits.size(), 1, 20000);
    QCOMPARE(hits.first().outcome, RankOutcome::Read);
    QCOMPARE(hits.first().position, 2);
    applyEngineRules(QString());
}

int main(int argc, char* argv[])
{
    prepareBrowserEngine();
    QGuiApplication app(argc, argv);
    TestBrowser test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_browser.moc"
