#include "web/endpoints.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace marbleway;
using namespace Qt::StringLiterals;

class TestEndpoints : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void settingsThenEnvironment();
    void hosts_data();
    void hosts();
};

void TestEndpoints::settingsThenEnvironment()
{
    // The program's own service has no public default.
    QVERIFY(!Endpoints().isReachable(Service::Maker));
    QCOMPARE(Endpoints().url(Service::Bing, u"/search?q=a b"_s),
             u"http://www.bing.com/search?q=a b"_s);
    QTemporaryDir dir;
    QSettings settings(dir.filePath(u"hosts.ini"_s), QSettings::IniFormat);
    settings.setValue(u"Hosts/google"_s, u"127.0.0.1:9001"_s);
    settings.setValue(u"Hosts/bing"_s, u"mirror.test:9003"_s);
    QStringList problems;
    Endpoints endpoints =
        Endpoints::load(&settings, u" Bing=127.0.0.1:9013 , maker=[::1]:8080,"_s, &problems);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
    QCOMPARE(endpoints.host(Service::Google), u"127.0.0.1:9001"_s); // from settings
    QCOMPARE(endpoints.host(Service::Bing), u"127.0.0.1:9013"_s);   // environment wins
    QCOMPARE(endpoints.host(Service::Maker), u"[::1]:8080"_s);
    QVERIFY(endpoints.isReachable(Service::Maker));
    QCOMPARE(endpoints.host(Service::Yahoo), u"search.yahoo.com"_s); // untouched
    QCOMPARE(Endpoints::load(nullptr, u"yahoo=localhost"_s).host(Service::Yahoo), u"localhost"_s);

    // Bad entries are reported and skipped.
    settings.clear();
    settings.setValue(u"Hosts/yahoo"_s, u"http://yahoo.test/"_s);
    endpoints = Endpoints::load(
        &settings, u"altavista=127.0.0.1:1,google=,bing:127.0.0.1,baidu=127.0.0.1:99999"_s,
        &problems);
    QCOMPARE(problems.size(), 5);
    QVERIFY(problems.at(0).contains(u"http://yahoo.test/"));
    QVERIFY(problems.at(1).contains(u"altavista"));
    QCOMPARE(endpoints.host(Service::Yahoo), u"search.yahoo.com"_s);
    QCOMPARE(endpoints.host(Service::Google), u"www.google.com"_s);
}

void TestEndpoints::hosts_data()
{
    // Whether a host is taken, and the address the browser is sent to: plain
    // http on this machine only.
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("address"); // none: refused
    const QString path = u"/select/KeywordToolExternal"_s;
    for (const QString& host : {u"adwords.google.com"_s, u"mylocalhost.com"_s})
        QTest::addRow("https: %s", qPrintable(host)) << host << u"https://"_s + host + path;
    for (const QString& host : {u"adwords.google.localhost:8086"_s, u"127.0.0.1:8086"_s})
        QTest::addRow("http: %s", qPrintable(host)) << host << u"http://"_s + host + path;
    for (const QString& bad :
         {QString(), u"http://www.google.com"_s, u"www.google.com/search"_s, u"me@host"_s,
          u"host:0"_s, u"host:70000"_s, u"host:"_s, u"my host"_s, u"host?x=1"_s})
        QTest::addRow("bad: %s", qPrintable(bad)) << bad << QString();
}

void TestEndpoints::hosts()
{
    QFETCH(QString, host);
    QFETCH(QString, address);
    QCOMPARE(Endpoints::isValidHost(host), !address.isEmpty());
    Endpoints endpoints;
    endpoints.setHost(Service::AdWords, host);
    if (!address.isEmpty())
        QCOMPARE(endpoints.secureUrl(Service::AdWords, u"/select/KeywordToolExternal"_s), address);
}

QTEST_GUILESS_MAIN(TestEndpoints)
#include "tst_endpoints.moc"
