// Rank tab benchmarks:
//   a rank run of 20 sites × 50 keywords × 3 engines at depth 10 against a
//   loopback server that answers at once: wall time per request, and the part
//   of it above a bare page fetch from the same server (the job's own cost);
//   appending 10,000 result rows to the list while a view shows it.
//
//   build/bench/marbleway-bench-ranking

#include "benchmain.h"
#include "enginepages.h"
#include "ranking/ranktabcontroller.h"
#include "scriptedprompts.h"
#include "testhttpserver.h"
#include "web/cxhtml.h"

#include <QApplication>
#include <QNetworkAccessManager>
#include <QSettings>
#include <QTemporaryDir>
#include <QTreeView>
#include <qcoro/qcorotask.h>

#include <chrono>

using namespace marbleway;
using namespace Qt::StringLiterals;

namespace {

double seconds(std::chrono::steady_clock::duration duration)
{
    return std::chrono::duration<double>(duration).count();
}

void serveResultPages(test::TestHttpServer& server)
{
    server.setHandler([](const test::Request& request) -> std::optional<test::Response> {
        const bool yahoo = request.query(u"p").has_value();
        const SearchEngine engine = yahoo                     ? SearchEngine::Yahoo
                                    : request.query(u"start") ? SearchEngine::Google
                                                              : SearchEngine::Bing;
        const auto keyword = request.query(yahoo ? u"p" : u"q");
        return test::Response::page(fakeweb::resultPage(engine, keyword.value_or(QString()), 0));
    });
}

void BM_RankRun(benchmark::State& state)
{
    test::BackgroundHttpServer background;
    serveResultPages(background.server());
    QNetworkAccessManager network;
    const WebClient web(network);
    Endpoints endpoints;
    for (const Service service : Endpoints::AllServices)
        endpoints.setHost(service, background.server().hostAndPort());

    // The cost of one bare fetch of such a page: the server's and the wire's.
    CXHtml html(web);
    html.setChar(u"utf-8"_s);
    const int bareFetches = 300;
    const auto bareStart = std::chrono::steady_clock::now();
    for (int i = 0; i < bareFetches; ++i) {
        html.setUrl(
            background.server().url(u"/search?q=k%1&hl=en&newwindow=1&start=0&sa=N"_s.arg(i)));
        benchmark::DoNotOptimize(QCoro::waitFor(html.GetSrc()));
    }
    const double bare = seconds(std::chrono::steady_clock::now() - bareStart) / bareFetches;

    QTemporaryDir home;
    SettingsStore settings(
        std::make_unique<QSettings>(home.filePath(u"settings.ini"_s), QSettings::IniFormat));
    test::ScriptedPrompts prompts;
    RankTabController controller(
        RankTabController::Services{settings, DataFolder(home.path()), prompts, web, endpoints,
                                    Clock::system(), [] { return false; }});
    RankTabModel& model = controller.model();
    model.fillEngines();
    model.checkEngines({u"Google.com"_s, u"Yahoo.com"_s, u"Bing.com"_s});
    for (int i = 0; i < 20; ++i)
        model.sites()->append(checkedItem(u"www.site%1.example"_s.arg(i)));
    for (int i = 0; i < 50; ++i)
        model.keywords()->append(checkedItem(u"keyword %1"_s.arg(i)));

    double perRequest = 0;
    for (auto _ : state) {
        background.server().clearRequests();
        const auto start = std::chrono::steady_clock::now();
        QCoro::waitFor(controller.job().run());
        const double wall = seconds(std::chrono::steady_clock::now() - start);
        perRequest = wall / double(background.server().requestCount());
    }
    state.counters["requests"] = double(background.server().requestCount());
    state.counters["ms_per_request"] = perRequest * 1e3;
    state.counters["ms_bare_fetch"] = bare * 1e3;
    state.counters["ms_overhead"] = (perRequest - bare) * 1e3;
}
BENCHMARK(BM_RankRun)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_AppendResultRows(benchmark::State& state)
{
    RankTabModel model;
    QTreeView view;
    view.setModel(model.results());
    view.resize(800, 600);
    view.show();
    for (auto _ : state) {
        model.results()->clear();
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < 10000; ++i)
            model.results()->append(textRow(
                {u"Google.com"_s, QString::number(i % 50), u"www.site.example/page-%1"_s.arg(i)}));
        QCoreApplication::processEvents();
        state.SetIterationTime(seconds(std::chrono::steady_clock::now() - start));
    }
    state.counters["rows"] = double(model.results()->rowCount());
}
BENCHMARK(BM_AppendResultRows)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    return runBenchmarks(argc, argv);
}
