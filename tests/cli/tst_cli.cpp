#include "core/clock.h"
#include "core/textfile.h"
#include "enginepages.h"
#include "faultywrites.h"
#include "keyworddb/keywordstore.h"
#include "testhttpserver.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using namespace marbleway;
using namespace marbleway::test;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

} // namespace

class TestCli : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();

    void rankEveryPosition();
    void rankDefaultsWithHostsFromSettings();
    void fetchPrintsThePage();
    void help();
    void usageErrors_data();
    void usageErrors();
    void unusableHostsAreRefused();
    void favourites();
    void favouritesOnAFullDisk();
    void related();
    void relatedCountsArePaced();

private:
    Outcome run(const QStringList& arguments, const QString& hosts = {});
    QString hosts() const;

    QTemporaryDir m_config;
    TestHttpServer m_google;
    TestHttpServer m_yahoo;
    TestHttpServer m_bing;
    TestHttpServer m_pages;
};

void TestCli::initTestCase()
{
    QVERIFY(m_config.isValid());
    fakeweb::serveExamplePages(m_google, Service::Google);
    fakeweb::serveExamplePages(m_yahoo, Service::Yahoo);
    fakeweb::serveExamplePages(m_bing, Service::Bing);
}

QString TestCli::hosts() const
{
    return u"google=%1,yahoo=%2,bing=%3"_s.arg(m_google.hostAndPort(), m_yahoo.hostAndPort(),
                                               m_bing.hostAndPort());
}

Outcome TestCli::run(const QStringList& arguments, const QString& hosts)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"MARBLEWAY_HOSTS"_s, hosts);
    // The user's own settings and proxies stay out of it.
    environment.insert(u"XDG_CONFIG_HOME"_s, m_config.path());
    for (const QString& proxy : {u"http_proxy"_s, u"HTTP_PROXY"_s, u"all_proxy"_s})
        environment.remove(proxy);
    process.setProcessEnvironment(environment);
    QSignalSpy finished(&process, &QProcess::finished);
    process.start(QString::fromUtf8(MARBLEWAY_CLI), arguments);
    if (!process.waitForStarted())
        return {};
    // The servers live on this thread: wait in the event loop so they can answer.
    if (!finished.wait(30000)) {
        process.kill();
        return {};
    }
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

void TestCli::rankEveryPosition()
{
    // Engines in any letter case.
    const Outcome outcome =
        run({u"rank"_s, u"--site"_s, u"www.bluewidget.example"_s, u"--keyword"_s, u"seo tools"_s,
             u"--depth"_s, u"50"_s, u"--all"_s, u"--engine"_s, u"google"_s, u"--engine"_s,
             u"YAHOO"_s, u"--engine"_s, u"Bing"_s},
            hosts());
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(outcome.err, QString());
    const QString google = m_google.url(u"/search?q=seo%20tools&hl=en&newwindow=1&start=%1&sa=N");
    const QString yahoo = m_yahoo.url(u"/search?p=seo%20tools&fr=sfp&xargs=0&b=1");
    const QString bing = m_bing.url(u"/search?q=seo%20tools&first=%1");
    const QStringList expected = {
        u"Google.com\t3\twww.bluewidget.example/seo-tools\t"_s + google.arg(0),
        u"Google.com\t17\twww.bluewidget.example/blog/seo-tools-17\t"_s + google.arg(10),
        u"Yahoo.com\t5\twww.bluewidget.example/seo-tools\t"_s + yahoo,
        u"Bing.com\t12\twww.bluewidget.example/seo-tools\t"_s + bing.arg(11),
        u"Bing.com\t41\twww.bluewidget.example/blog/seo-tools-41\t"_s + bing.arg(41),
    };
    QCOMPARE(outcome.out, expected.join(u'\n') + u'\n');
}

void TestCli::rankDefaultsWithHostsFromSettings()
{
    QVERIFY(QDir().mkpath(m_config.filePath(u"Marbleway"_s)));
    const QString file = m_config.filePath(u"Marbleway/Marbleway.conf"_s);
    {
        QSettings settings(file, QSettings::IniFormat);
        for (const auto& [key, server] :
             {std::pair{u"google"_s, &m_google}, {u"yahoo"_s, &m_yahoo}, {u"bing"_s, &m_bing}})
            settings.setValue(u"Hosts/"_s + key, server->hostAndPort());
    }
    m_google.clearRequests();
    const Outcome outcome = run({u"rank"_s, u"--site"_s, u"www.bluewidget.example"_s,
                                 u"--keyword"_s, u"keyword research"_s});
    QFile::remove(file);
    QCOMPARE(outcome.exitCode, 0);
    const QStringList lines = outcome.out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines.at(0).startsWith(u"Google.com\t8\twww.bluewidget.example/keyword-research\t"));
    QVERIFY(lines.at(1).startsWith(u"Yahoo.com\t2\t"));
    // Not found within the depth: position 0, no link, no result page yet.
    QCOMPARE(lines.at(2), u"Bing.com\t0\t\t"_s);
    // Depth 10: one page per engine.
    QCOMPARE(m_google.requestCount(), 1);
}

void TestCli::fetchPrintsThePage()
{
    const QString page = u"<meta content=\"text/html; charset=gb2312\">网站排名"_s;
    m_pages.serve(u"/gbk"_s, Response::page(page, "GBK"));
    m_pages.serve(u"/slow"_s, Response::page(u"late"_s).after(3s));

    // Detected from the page, printed as UTF-8 and nothing else.
    Outcome outcome = run({u"fetch"_s, m_pages.url(u"/gbk")});
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(outcome.out, page);

    outcome = run({u"fetch"_s, m_pages.hostAndPort() + u"/gbk"_s, u"--charset"_s, u"gbk"_s});
    QCOMPARE(outcome.out, page);
    QCOMPARE(m_pages.requestCount(u"/gbk"), 3); // two to detect, one with the set given

    outcome = run(
        {u"fetch"_s, m_pages.url(u"/slow"), u"--charset"_s, u"utf-8"_s, u"--timeout"_s, u"0"_s});
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(outcome.out, QString());
}

void TestCli::help()
{
    for (const QStringList& arguments :
         {QStringList{u"--help"_s}, QStringList{u"rank"_s, u"--help"_s}, QStringList{u"help"_s}}) {
        const Outcome outcome = run(arguments);
        QCOMPARE(outcome.exitCode, 0);
        QVERIFY(outcome.out.startsWith(u"Usage: marbleway-cli"));
        QVERIFY(outcome.out.contains(u"--depth 10|20|50"));
    }
}

void TestCli::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    const QStringList rank = {u"rank"_s, u"--site"_s, u"a.test"_s, u"--keyword"_s, u"k"_s};
    QTest::newRow("no command") << QStringList() << u"no command"_s;
    QTest::newRow("unknown command") << QStringList{u"crawl"_s} << u"unknown command"_s;
    QTest::newRow("unknown option") << (rank + QStringList{u"--fast"_s}) << u"fast"_s;
    QTest::newRow("bad depth") << (rank + QStringList{u"--depth"_s, u"30"_s}) << u"--depth"_s;
    QTest::newRow("bad engine") << (rank + QStringList{u"--engine"_s, u"altavista"_s})
                                << u"altavista"_s;
    QTest::newRow("no site") << QStringList{u"rank"_s, u"--keyword"_s, u"k"_s} << u"--site"_s;
    QTest::newRow("no keyword") << QStringList{u"rank"_s, u"--site"_s, u"a.test"_s}
                                << u"--keyword"_s;
    QTest::newRow("missing value") << QStringList{u"rank"_s, u"--site"_s} << u"site"_s;
    QTest::newRow("fetch without url") << QStringList{u"fetch"_s} << u"one URL"_s;
    QTest::newRow("bad charset") << QStringList{u"fetch"_s, u"x.test"_s, u"--charset"_s,
                                                u"utf-99"_s}
                                 << u"utf-99"_s;
    QTest::newRow("bad timeout") << QStringList{u"fetch"_s, u"x.test"_s, u"--timeout"_s, u"soon"_s}
                                 << u"--timeout"_s;
    QTest::newRow("negative timeout")
        << QStringList{u"fetch"_s, u"x.test"_s, u"--timeout"_s, u"-1"_s} << u"--timeout"_s;
}

void TestCli::usageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    const Outcome outcome = run(arguments);
    QCOMPARE(outcome.exitCode, 2);
    QCOMPARE(outcome.out, QString());
    QVERIFY2(outcome.err.contains(message), qPrintable(outcome.err));
    QVERIFY(outcome.err.contains(u"--help"));
}

void TestCli::unusableHostsAreRefused()
{
    const Outcome outcome = run({u"rank"_s, u"--site"_s, u"a.test"_s, u"--keyword"_s, u"k"_s},
                                u"google=http://127.0.0.1/"_s);
    QCOMPARE(outcome.exitCode, 2);
    QVERIFY(outcome.err.contains(u"MARBLEWAY_HOSTS"));
    QCOMPARE(outcome.out, QString());
}

void TestCli::favourites()
{
    QTemporaryDir home;
    const QStringList descriptors = {u"Google.com,Bing.com#www.bluewidget.example#seo tools#2#1"_s,
                                     u"Yahoo.com#www.bluewidget.example#backlinks#1#0"_s};
    for (const QString& descriptor : descriptors)
        QVERIFY(QDir().mkpath(home.filePath(u"myfav/"_s + descriptor)));
    qputenv("MARBLEWAY_HOME", home.path().toUtf8());
    const Outcome listed = run({u"favourites"_s, u"--list"_s});
    QCOMPARE(listed.exitCode, 0);
    QCOMPARE(listed.out, descriptors.join(u'\n') + u'\n');

    const Outcome ran = run({u"favourites"_s, u"--run"_s}, hosts());
    qunsetenv("MARBLEWAY_HOME");
    QCOMPARE(ran.exitCode, 0);
    const QStringList lines = ran.out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 7);
    QCOMPARE(lines.at(0), descriptors.at(0));
    QVERIFY(lines.at(1).startsWith(u"Google.com\t3\t"));
    QCOMPARE(lines.at(5), descriptors.at(1));
    QVERIFY(lines.at(6).startsWith(u"Yahoo.com\t15\twww.bluewidget.example/backlinks\t"));
    // Today's day file as the window writes it.
    const QString day =
        home.filePath(u"myfav/%1/%2.txt"_s.arg(descriptors.at(0), isoDate(QDate::currentDate())));
    QCOMPARE(readAnsiFile(day).value_or(QString()).count(u"\r\n"_s), 4);

    const Outcome neither = run({u"favourites"_s});
    QCOMPARE(neither.exitCode, 2);
    QVERIFY(neither.err.contains(u"--list"));
}

void TestCli::favouritesOnAFullDisk()
{
    const SmallDisk disk;
    if (!disk.reason().isEmpty())
        QSKIP(qPrintable(disk.reason()));
    const QString descriptor = u"Google.com#www.bluewidget.example#seo tools#0#0"_s;
    QVERIFY(QDir().mkpath(disk.filePath(u"myfav/"_s + descriptor)));
    const QString day =
        disk.filePath(u"myfav/%1/%2.txt"_s.arg(descriptor, isoDate(QDate::currentDate())));
    const QString old = u"Google.com|3|www.bluewidget.example/seo-tools\r\n"_s;
    QVERIFY(writeAnsiFile(day, old));
    disk.fill();

    qputenv("MARBLEWAY_HOME", disk.filePath(QString()).toUtf8());
    const Outcome ran = run({u"favourites"_s, u"--run"_s}, hosts());
    qunsetenv("MARBLEWAY_HOME");
    QCOMPARE(ran.exitCode, 1);
    QVERIFY(ran.err.contains(u"cannot write today's ranks of "_s + descriptor));
    QCOMPARE(readAnsiFile(day), old);
}

void TestCli::related()
{
    QTemporaryDir home;
    qputenv("MARBLEWAY_HOME", home.path().toUtf8());
    const Outcome words =
        run({u"related"_s, u"seo tools"_s, u"--exclude"_s, u"free|best"_s}, hosts());
    QCOMPARE(words.exitCode, 0);
    const QStringList lines = words.out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.first(), u"seo tools\t-\t-\t-"_s);
    QVERIFY(!words.out.contains(u"free"));

    // Only the seed passes these rules: its counts are asked and it is stored.
    const Outcome counted =
        run({u"related"_s, u"seo tools"_s, u"--must-contain"_s, u"--exclude"_s,
             u"free|best|online|list|beginners|software|comparison|top|review"_s, u"--counts"_s,
             u"google,bing"_s, u"--store"_s},
            hosts());
    QCOMPARE(counted.exitCode, 0);
    QCOMPARE(counted.out, u"seo tools\t%1\t-\t%2\n"_s
                              .arg(fakeweb::countFor(SearchEngine::Google, u"seo tools"_s))
                              .arg(fakeweb::countFor(SearchEngine::Bing, u"seo tools"_s)));
    {
        KeywordStore store;
        QVERIFY(store.open(home.filePath(u"db.sqlite"_s)));
        QCOMPARE(store.all().size(), 1);
        QCOMPARE(store.all().first().yahoos, u"-"_s);
    }

    // A database damaged past its first page: the rows print, the failure is
    // told once and sets the exit status.
    QFile database(home.filePath(u"db.sqlite"_s));
    QVERIFY(database.open(QIODevice::ReadWrite) && database.seek(4096));
    database.write(QByteArray(database.size() - 4096, 'x'));
    database.close();
    const Outcome damaged = run({u"related"_s, u"seo tools"_s, u"--store"_s}, hosts());
    qunsetenv("MARBLEWAY_HOME");
    QCOMPARE(damaged.exitCode, 1);
    QVERIFY(damaged.out.startsWith(u"seo tools\t-\t-\t-\n"_s));
    QVERIFY(damaged.out.contains(u"\nseo tools online\t"_s));
    QCOMPARE(damaged.err.count(u"keyword database"_s), 1);

    const Outcome bad = run({u"related"_s, u"seo"_s, u"--counts"_s, u"altavista"_s});
    QCOMPARE(bad.exitCode, 2);
    QVERIFY(bad.err.contains(u"altavista"));
}

void TestCli::relatedCountsArePaced()
{
    // The crawl interval as the window stores it, above the default: a run that
    // did not read it would ask too early.
    QVERIFY(QDir().mkpath(m_config.filePath(u"Marbleway"_s)));
    const QString file = m_config.filePath(u"Marbleway/Marbleway.conf"_s);
    QSettings(file, QSettings::IniFormat)
        .setValue(u"Software/Marbleway/V1.0.0/Config/googlese"_s, u"6"_s);
    QTemporaryDir home;
    qputenv("MARBLEWAY_HOME", home.path().toUtf8());
    // Program time twenty times faster than real time.
    constexpr int speed = 20;
    qputenv("MARBLEWAY_TIME_SCALE", QByteArray::number(speed));
    m_google.clearRequests();
    const Outcome outcome = run({u"related"_s, u"seo tools"_s, u"--exclude"_s,
                                 u"free|best|beginners|software|comparison|top|review|online"_s,
                                 u"--counts"_s, u"google"_s},
                                hosts());
    qunsetenv("MARBLEWAY_HOME");
    qunsetenv("MARBLEWAY_TIME_SCALE");
    QFile::remove(file);
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(outcome.out.count(u'\n'), 3);

    // The first request for each keyword is its count (the seed's related page
    // comes later). A rounded wait may end up to half a second early.
    QStringList keywords;
    QList<std::chrono::steady_clock::time_point> counts;
    for (const Request& request : m_google.requests()) {
        const QString keyword = request.query(u"q").value_or(QString());
        if (!keywords.contains(keyword)) {
            keywords << keyword;
            counts << request.arrived;
        }
    }
    QCOMPARE(counts.size(), 3);
    for (qsizetype i = 1; i < counts.size(); ++i)
        QVERIFY2((counts.at(i) - counts.at(i - 1)) * speed >= 5500ms, qPrintable(keywords.at(i)));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
