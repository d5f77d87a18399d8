#include "testsupport.h"
#include "web/cxhtml.h"

#include <QElapsedTimer>
#include <QStringEncoder>
#include <QTest>

using namespace marbleway;
using namespace marbleway::test;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

QString fetch(const WebClient& client, const QString& url, const QString& charset = {},
              int tryTime = CXHtml::DefaultTryTime)
{
    CXHtml html(client);
    html.setUrl(url);
    html.setChar(charset);
    html.setTryTime(tryTime);
    return await(html.GetSrc());
}

const QString chinese = u"关键词排名查询 镕"_s;

// As a command of the command line fetches: the network access ends with the
// fetch, so that nothing of the reply may be in use once the page is back.
QCoro::Task<QString> fetchOnce(QString url, const Clock* clock, qint64 maxBodyBytes)
{
    QNetworkAccessManager network;
    WebClient client(network, *clock);
    client.setMaxBodyBytes(maxBodyBytes);
    CXHtml html(client);
    html.setUrl(url);
    html.setChar(u"utf-8"_s);
    html.setTryTime(1);
    co_return co_await html.GetSrc();
}

} // namespace

class TestFetcher : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void requestHeaders();
    void schemeRule();
    void detectsCharsetWithSecondRequest();
    void detectedCharsetStaysForLaterRequests();
    void anyStatusBodyIsReturned();
    void followsRedirects();
    void failuresGiveEmptyPage();
    void timeOutAfterTryTimeAndAHalf();
    void realTimeOut();
    void oversizedBodyIsAbandoned();
    void hostileServersGiveEmptyPage_data();
    void hostileServersGiveEmptyPage();
    void concurrentFetchesAreIndependent();

private:
    std::unique_ptr<TestHttpServer> m_server;
    std::unique_ptr<WebFixture> m_web;
};

void TestFetcher::init()
{
    m_server = std::make_unique<TestHttpServer>();
    QVERIFY(m_server->isListening());
    m_web = std::make_unique<WebFixture>(*m_server);
}

void TestFetcher::cleanup()
{
    m_web.reset();
    m_server.reset();
}

void TestFetcher::requestHeaders()
{
    m_server->serve(u"/page"_s, Response::page(u"hello"_s));
    QCOMPARE(fetch(m_web->client, m_server->url(u"/page"), u"utf-8"_s), u"hello"_s);

    QCOMPARE(m_server->requestCount(), 1);
    const Request request = m_server->requests().first();
    QCOMPARE(request.method, "GET"_ba);
    QCOMPARE(request.header("User-Agent"),
             "Mozilla/5.0 (Windows; U; Windows NT 6.0; zh-CN; rv:1.9.0.3) Gecko/2008092417 "
             "Firefox/3.0.3 (.NET CLR 3.5.30729)"_ba);
    QVERIFY(!request.hasHeader("Referer"));
}

void TestFetcher::schemeRule()
{
    m_server->serve(u"/page"_s, Response::page(u"found"_s));
    const QString bare = m_server->hostAndPort() + u"/page"_s;

    // No scheme anywhere: "http://" goes in front.
    CXHtml html(m_web->client);
    html.setUrl(bare);
    html.setChar(u"utf-8"_s);
    QCOMPARE(await(html.GetSrc()), u"found"_s);
    QCOMPARE(html.url(), u"http://"_s + bare);

    // A scheme in capitals counts as present.
    QCOMPARE(fetch(m_web->client, u"HTTP://"_s + bare, u"utf-8"_s), u"found"_s);

    // "http://" inside the query counts too: nothing is put in front and the
    // address cannot be fetched.
    m_server->clearRequests();
    html.setUrl(bare + u"?next=http://elsewhere/"_s);
    QCOMPARE(await(html.GetSrc()), QString());
    QCOMPARE(html.url(), bare + u"?next=http://elsewhere/"_s);
    QCOMPARE(m_server->requestCount(), 0);

    // No address, no request, with or without a character set.
    QCOMPARE(fetch(m_web->client, QString()), QString());
    QCOMPARE(fetch(m_web->client, QString(), u"utf-8"_s), QString());
    QCOMPARE(m_server->requestCount(), 0);
}

void TestFetcher::detectsCharsetWithSecondRequest()
{
    const QString declared =
        u"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">"_s + chinese;
    m_server->serve(u"/gbk"_s, Response::page(declared, "GBK"));
    const QString utf8 = u"<meta charset=utf-8>"_s + chinese;
    m_server->serve(u"/utf8"_s, Response::page(utf8));
    const QString html5 = u"<meta charset=\"utf-8\">"_s + chinese;
    m_server->serve(u"/html5"_s, Response::page(html5));

    CXHtml html(m_web->client);
    html.setUrl(m_server->url(u"/gbk"));
    QCOMPARE(await(html.GetSrc()), declared);
    QCOMPARE(html.charset(), u"gb2312"_s);
    QCOMPARE(m_server->requestCount(u"/gbk"), 2);

    QCOMPARE(fetch(m_web->client, m_server->url(u"/utf8")), utf8);
    QCOMPARE(m_server->requestCount(u"/utf8"), 2);

    // The quoted form is not understood: the page is read as gb2312.
    CXHtml quoted(m_web->client);
    quoted.setUrl(m_server->url(u"/html5"));
    const QString misread = await(quoted.GetSrc());
    QCOMPARE(quoted.charset(), u"gb2312"_s);
    QVERIFY(misread.startsWith(u"<meta charset=\"utf-8\">"));
    QVERIFY(misread != html5);

    // A known character set costs one request.
    m_server->clearRequests();
    QCOMPARE(fetch(m_web->client, m_server->url(u"/utf8"), u"utf-8"_s), utf8);
    QCOMPARE(m_server->requestCount(), 1);
}

void TestFetcher::detectedCharsetStaysForLaterRequests()
{
    m_server->serve(u"/a"_s, Response::page(u"<meta charset=utf-8>a"_s));
    m_server->serve(u"/b"_s, Response::page(u"<meta charset=gbk>"_s + chinese, "GBK"));
    CXHtml html(m_web->client);
    html.setUrl(m_server->url(u"/a"));
    QCOMPARE(await(html.GetSrc()), u"<meta charset=utf-8>a"_s);
    html.setUrl(m_server->url(u"/b"));
    // Still read as utf-8: the GBK bytes do not come back as the Chinese text.
    QVERIFY(await(html.GetSrc()) != u"<meta charset=gbk>"_s + chinese);
    QCOMPARE(m_server->requestCount(u"/b"), 1);

    // GetChar on its own: a page that is empty or cannot be had reads as gb2312.
    m_server->serve(u"/empty"_s, Response::page(QString()));
    html.setUrl(m_server->url(u"/empty"));
    QCOMPARE(await(html.GetChar()), u"gb2312"_s);
    html.setUrl(m_server->url(u"/dropped"));
    m_server->serve(u"/dropped"_s, Response::dropped());
    QCOMPARE(await(html.GetChar()), u"gb2312"_s);
}

void TestFetcher::anyStatusBodyIsReturned()
{
    m_server->serve(u"/missing"_s, Response::withStatus(404, u"<h1>Not here</h1>"_s));
    m_server->serve(u"/broken"_s, Response::withStatus(500, u"oops"_s));
    m_server->serve(u"/denied"_s, Response::withStatus(403, u"denied"_s));
    QCOMPARE(fetch(m_web->client, m_server->url(u"/missing"), u"utf-8"_s), u"<h1>Not here</h1>"_s);
    QCOMPARE(fetch(m_web->client, m_server->url(u"/broken"), u"utf-8"_s), u"oops"_s);
    QCOMPARE(fetch(m_web->client, m_server->url(u"/denied"), u"utf-8"_s), u"denied"_s);
}

void TestFetcher::followsRedirects()
{
    m_server->serve(u"/old"_s, Response::redirect(u"/middle"_s, 301));
    m_server->serve(u"/middle"_s, Response::redirect(m_server->url(u"/final"), 302));
    m_server->serve(u"/final"_s, Response::page(u"arrived"_s));
    QCOMPARE(fetch(m_web->client, m_server->url(u"/old"), u"utf-8"_s), u"arrived"_s);
    QCOMPARE(m_server->requestCount(u"/final"), 1);

    m_server->serve(u"/loop"_s, Response::redirect(u"/loop"_s));
    QCOMPARE(fetch(m_web->client, m_server->url(u"/loop"), u"utf-8"_s), QString());
}

void TestFetcher::failuresGiveEmptyPage()
{
    m_server->serve(u"/drop"_s, Response::dropped());
    m_server->serve(u"/garbage"_s, Response::garbage("\x00\x01not http at all\r\n\r\n"_ba));
    QCOMPARE(fetch(m_web->client, m_server->url(u"/drop"), u"utf-8"_s), QString());
    QCOMPARE(fetch(m_web->client, m_server->url(u"/garbage"), u"utf-8"_s), QString());

    // Nobody listening on the port.
    quint16 closedPort = 0;
    {
        TestHttpServer gone;
        closedPort = gone.port();
    }
    QCOMPARE(fetch(m_web->client, u"http://127.0.0.1:%1/"_s.arg(closedPort), u"utf-8"_s),
             QString());
}

void TestFetcher::timeOutAfterTryTimeAndAHalf()
{
    // Ten times faster than real time: TryTime 1 ends after 150 ms, not 1.5 s.
    const ScaledClock fast(10.0);
    const WebClient client(m_web->network, fast);
    m_server->serve(u"/slow"_s, Response::page(u"late"_s).after(2s));
    m_server->serve(u"/quick"_s, Response::page(u"in time"_s).after(50ms));

    QElapsedTimer elapsed;
    elapsed.start();
    QCOMPARE(fetch(client, m_server->url(u"/slow"), u"utf-8"_s, 1), QString());
    const qint64 waited = elapsed.elapsed();
    QVERIFY2(waited >= 148, qPrintable(u"gave up after %1 ms"_s.arg(waited)));
    QVERIFY2(waited < 1900, qPrintable(u"waited %1 ms for the server"_s.arg(waited)));

    QCOMPARE(fetch(client, m_server->url(u"/quick"), u"utf-8"_s, 1), u"in time"_s);
}

void TestFetcher::realTimeOut()
{
    // TryTime 0 on the real clock: given up after half a second.
    m_server->serve(u"/slow"_s, Response::page(u"late"_s).after(3s));
    QElapsedTimer elapsed;
    elapsed.start();
    QCOMPARE(fetch(m_web->client, m_server->url(u"/slow"), u"utf-8"_s, 0), QString());
    QVERIFY(elapsed.elapsed() >= 495);
    QVERIFY(elapsed.elapsed() < 2900);
}

void TestFetcher::oversizedBodyIsAbandoned()
{
    WebClient client(m_web->network);
    client.setMaxBodyBytes(64 * 1024);
    m_server->serve(u"/big"_s, Response::bytes(QByteArray(200 * 1024, 'x')));
    m_server->serve(u"/small"_s, Response::bytes(QByteArray(60 * 1024, 'y')));
    QCOMPARE(fetch(client, m_server->url(u"/big"), u"utf-8"_s), QString());
    QCOMPARE(fetch(client, m_server->url(u"/small"), u"utf-8"_s).size(), 60 * 1024);
}

void TestFetcher::hostileServersGiveEmptyPage_data()
{
    QTest::addColumn<Fault>("fault");
    for (const Fault fault : AllFaults)
        QTest::newRow(qPrintable(faultName(fault))) << fault;
}

void TestFetcher::hostileServersGiveEmptyPage()
{
    QFETCH(Fault, fault);
    // A time-out of 1.5 s program time passes in 150 ms; bodies are capped at
    // 256 KiB and the servers would send 8 MiB.
    const ScaledClock fast(10.0);
    m_server->serve(u"/hostile"_s, Response::faulty(fault, {.bytes = 8 * 1024 * 1024}));
    QCOMPARE(await(fetchOnce(m_server->url(u"/hostile"), &fast, 256 * 1024)), QString());
    QVERIFY(m_server->requestCount() > 0);
}

void TestFetcher::concurrentFetchesAreIndependent()
{
    m_server->serve(u"/one"_s, Response::page(u"one"_s).after(1s));
    m_server->serve(u"/two"_s, Response::page(u"two"_s));
    CXHtml first(m_web->client);
    first.setUrl(m_server->url(u"/one"));
    first.setChar(u"utf-8"_s);
    CXHtml second(m_web->client);
    second.setUrl(m_server->url(u"/two"));
    second.setChar(u"utf-8"_s);

    QString one;
    QString two;
    auto slow = first.GetSrc().then([&one](QString page) { one = page; });
    auto quick = second.GetSrc().then([&two](QString page) { two = page; });
    // The quick page arrives while the slow one is still outstanding.
    QTRY_COMPARE(two, u"two"_s);
    QVERIFY(one.isEmpty());
    QTRY_COMPARE(one, u"one"_s);
}

QTEST_GUILESS_MAIN(TestFetcher)
#include "tst_fetcher.moc"
