// Keyword research benchmarks:
//   mining a seed whose three result pages offer 300 candidates in all, with
//   page counts from all three engines and the crawl intervals at their minimum
//   on a clock a thousand times faster: the program's own time per keyword,
//   above the server's, the wire's and the pacing's;
//   sorting a 10,000-row related keyword list by a count column while a view
//   shows it; 66,000 related candidates without counts.
//
//   build/bench/marbleway-bench-research

#include "benchmain.h"
#include "research/relatedsearch.h"
#include "scaledclock.h"
#include "scriptedprompts.h"
#include "testhttpserver.h"

#include <QApplication>
#include <QNetworkAccessManager>
#include <QTemporaryDir>
#include <QTreeView>
#include <qcoro/qcorotask.h>

#include <atomic>
#include <chrono>

using namespace marbleway;
using namespace Qt::StringLiterals;
using std::chrono::milliseconds;

namespace {

double seconds(std::chrono::steady_clock::duration duration)
{
    return std::chrono::duration<double>(duration).count();
}

// A clock on which pauses pass a thousand times faster, adding them up.
// Time-outs (longer than any crawl interval) keep their real length: the
// requests themselves are not what is sped up.
class PacingClock final : public Clock {
public:
    explicit PacingClock(double speed)
        : m_clock(speed)
    {}
    milliseconds monotonic() const override { return m_clock.monotonic(); }
    QDateTime now() const override { return m_clock.now(); }
    milliseconds realDuration(milliseconds programTime) const override
    {
        if (programTime >= milliseconds(10000))
            return programTime;
        const milliseconds real = m_clock.realDuration(programTime);
        m_paused += real.count();
        return real;
    }
    double pausedSeconds() const { return double(m_paused) / 1000.0; }

private:
    test::ScaledClock m_clock;
    mutable std::atomic<qint64> m_paused{0};
};

// Result pages whose related searches offer `perEngine` keywords per engine, and counts.
void serveBigRelatedPages(test::TestHttpServer& server, int perEngine = 100)
{
    server.setHandler([perEngine](const test::Request& request) -> std::optional<test::Response> {
        QString page = u"<html><body>Results <b>1</b> - <b>10</b> of about <b>1,234</b> "
                       "<strong id=\"resultCount\">5,678</strong> 1-10 of 9,012 results "_s;
        const bool yahoo = request.query(u"p").has_value();
        const bool bing = request.query(u"setmkt").has_value();
        const QString seed = request.query(yahoo ? u"p" : u"q").value_or(QString());
        if (seed != u"seed"_s)
            return test::Response::page(page + u"</body></html>"_s);
        if (yahoo) {
            QStringList terms;
            for (int i = 0; i < perEngine; ++i)
                terms << u"[\"seed yahoo %1\",\"0\"]"_s.arg(i);
            page += u"<script>var r = {\"t\":["_s + terms.join(u',') + u"]};</script>"_s;
        } else if (bing) {
            page += u"<h2>Related searches</h2><ul>"_s;
            for (int i = 0; i < perEngine; ++i)
                page += u"<li><a h=\"x('%1')\">seed bing %1</a></li>"_s.arg(i);
            page += u"</ul>"_s;
        } else {
            page += u"<p>Searches related to seed</p><table><tr>"_s;
            for (int i = 0; i < perEngine; ++i)
                page += u"<td><a href=\"/s%1\">seed google %1</a></td>"_s.arg(i);
            page += u"</tr></table>"_s;
        }
        return test::Response::page(page + u"</body></html>"_s);
    });
}

void BM_MineWithCounts(benchmark::State& state)
{
    test::BackgroundHttpServer background;
    serveBigRelatedPages(background.server());
    QNetworkAccessManager network;
    PacingClock clock(1000.0);
    const WebClient web(network, clock);
    Endpoints endpoints;
    for (const Service service : Endpoints::AllServices)
        endpoints.setHost(service, background.server().hostAndPort());

    // What one request costs the server and the wire.
    CXHtml html(web);
    html.setChar(u"utf-8"_s);
    const auto bareStart = std::chrono::steady_clock::now();
    for (int i = 0; i < 300; ++i) {
        html.setUrl(background.server().url(u"/search?hl=en&q=k%1"_s.arg(i)));
        benchmark::DoNotOptimize(QCoro::waitFor(html.GetSrc()));
    }
    const double bare = seconds(std::chrono::steady_clock::now() - bareStart) / 300.0;

    QTemporaryDir home;
    KeywordStore store;
    store.open(home.filePath(u"db.sqlite"_s));
    CrawlPacer pacer(clock);
    for (const SearchEngine engine : AllSearchEngines)
        pacer.setInterval(engine, 3);
    test::ScriptedPrompts prompts;
    StatusPanels panels;
    RelatedSearch search(RelatedSearch::Services{web, endpoints, clock, pacer, store, prompts,
                                                 panels, DataFolder(home.path())});
    search.inputs().seedText = u"seed"_s;
    search.inputs().options.checked = {false, true, true, true, false};

    double perKeyword = 0;
    double ownPerKeyword = 0;
    int keywords = 0;
    for (auto _ : state) {
        background.server().clearRequests();
        const double pausedBefore = clock.pausedSeconds();
        const auto start = std::chrono::steady_clock::now();
        QCoro::waitFor(search.run());
        const double wall = seconds(std::chrono::steady_clock::now() - start);
        const double paused = clock.pausedSeconds() - pausedBefore;
        const double server = bare * double(background.server().requestCount());
        keywords = search.list()->rowCount();
        perKeyword = wall / keywords;
        ownPerKeyword = (wall - paused - server) / keywords;
    }
    state.counters["keywords"] = keywords;
    state.counters["ms_per_keyword"] = perKeyword * 1e3;
    state.counters["ms_own_per_keyword"] = ownPerKeyword * 1e3;
    state.counters["ms_bare_fetch"] = bare * 1e3;
}
BENCHMARK(BM_MineWithCounts)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_SortTenThousandRows(benchmark::State& state)
{
    RowModel rows({u"k"_s, u"g"_s, u"y"_s, u"b"_s});
    VisibleRows list(rows);
    QTreeView view;
    view.setModel(&list);
    view.resize(800, 600);
    view.show();
    std::vector<Row> all;
    for (int i = 0; i < 10000; ++i) {
        const quint32 count = (quint32(i) * 2654435761u) % 50000000u;
        all.push_back(
            textRow({u"keyword %1"_s.arg(i), i % 17 == 0 ? u"-"_s : QString::number(count),
                     QString::number(i), u"-"_s}));
    }
    rows.reset(std::move(all));
    Qt::SortOrder order = Qt::AscendingOrder;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        order = order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
        list.sortBy(1, order);
        QCoreApplication::processEvents();
        state.SetIterationTime(seconds(std::chrono::steady_clock::now() - start));
    }
}
BENCHMARK(BM_SortTenThousandRows)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(6);

// A related search whose three pages offer 22,000 candidates each (66,000 in
// all), without counts: the duplicate check and the appends must stay linear.
void BM_SixtySixThousandCandidates(benchmark::State& state)
{
    test::BackgroundHttpServer background;
    serveBigRelatedPages(background.server(), 22000);
    QNetworkAccessManager network;
    const WebClient web(network);
    Endpoints endpoints;
    for (const Service service : Endpoints::AllServices)
        endpoints.setHost(service, background.server().hostAndPort());
    CrawlPacer pacer(Clock::system());
    QTemporaryDir home;
    KeywordStore store;
    store.open(home.filePath(u"db.sqlite"_s));
    test::ScriptedPrompts prompts;
    StatusPanels panels;
    RelatedSearch search(RelatedSearch::Services{web, endpoints, Clock::system(), pacer, store,
                                                 prompts, panels, DataFolder(home.path())});
    search.inputs().options.checked = {false, false, false, false, false};
    search.setSeedText(u"seed"_s);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        QCoro::waitFor(search.run());
        state.SetIterationTime(seconds(std::chrono::steady_clock::now() - start));
    }
    state.counters["keywords"] = double(search.rows()->size());
}
BENCHMARK(BM_SixtySixThousandCandidates)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    return runBenchmarks(argc, argv);
}
