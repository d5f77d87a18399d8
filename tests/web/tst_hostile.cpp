#include "core/version.h"
#include "ranking/keyrank.h"
#include "shell/updatecheck.h"
#include "testsupport.h"
#include "web/cxhtml.h"
#include "web/engines.h"

using namespace marbleway;
using namespace marbleway::test;
using namespace Qt::StringLiterals;

namespace {

enum class Job { Rank, PageCount, UpdateCheck };

// Bodies made of this would give a rank, a count and a version: a job that
// kept part of a failed body would not give its nothing-found answer.
const QByteArray Bait = "<h3 class=r><a href=\"http://www.bluewidget.example/\">a</a></h3>"
                        "<strong id=\"resultCount\">4242</strong><input id=\"ver\" value=\"9.9\">";

// Runs a job the way the command line does: the network access ends with it.
QCoro::Task<QString> runJob(Job job, QString host, const Clock* clock, QString settingsFile)
{
    QNetworkAccessManager network;
    WebClient client(network, *clock);
    client.setMaxBodyBytes(256 * 1024);
    Endpoints endpoints;
    for (const Service service : Endpoints::AllServices)
        endpoints.setHost(service, host);

    switch (job) {
    case Job::Rank: {
        cKeyrank finder(client, endpoints);
        finder.setUrl(u"www.bluewidget.example"_s);
        finder.setKeyword(u"seo tools"_s);
        finder.setMaxnum(1);
        co_return QString::number(co_await finder.find(SearchEngine::Google, 0, 0));
    }
    case Job::PageCount: {
        CXHtml html(client);
        html.setUrl(pageCountUrl(endpoints, SearchEngine::Yahoo, u"seo"_s));
        html.setChar(u"utf-8"_s);
        co_return pageCountFrom(SearchEngine::Yahoo, co_await html.GetSrc());
    }
    case Job::UpdateCheck: {
        SettingsStore settings(std::make_unique<QSettings>(settingsFile, QSettings::IniFormat));
        UpdateCheck check(settings, client, endpoints, *clock);
        co_return (co_await check.run()).version;
    }
    }
    co_return QString();
}

} // namespace

class TestHostile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void jobsGiveTheirNothingFoundAnswer_data();
    void jobsGiveTheirNothingFoundAnswer();
};

void TestHostile::jobsGiveTheirNothingFoundAnswer_data()
{
    QTest::addColumn<Job>("job");
    QTest::addColumn<Fault>("fault");
    for (const auto& [job, name] : {std::pair{Job::Rank, "rank"},
                                    {Job::PageCount, "pagecount"},
                                    {Job::UpdateCheck, "updatecheck"}})
        for (const Fault fault : AllFaults)
            QTest::addRow("%s/%s", name, qPrintable(faultName(fault))) << job << fault;
}

void TestHostile::jobsGiveTheirNothingFoundAnswer()
{
    QFETCH(Job, job);
    QFETCH(Fault, fault);
    TestHttpServer server;
    server.setHandler([fault](const Request&) {
        return Response::faulty(fault, {.bytes = 8 * 1024 * 1024, .filler = Bait});
    });
    // Time-outs of 5 to 15 s program time pass in a hundredth.
    const ScaledClock fast(100.0);
    QTemporaryDir dir;
    const QString expected = job == Job::Rank        ? u"0"_s
                             : job == Job::PageCount ? noCount(SearchEngine::Yahoo)
                                                     : ProgramVersion.toString();
    QCOMPARE(await(runJob(job, server.hostAndPort(), &fast, dir.filePath(u"settings.ini"_s))),
             expected);
    QVERIFY(server.requestCount() > 0);
}

QTEST_GUILESS_MAIN(TestHostile)
#include "tst_hostile.moc"
