// Web access benchmarks:
//   text helpers on a 1 MB result page (throughput),
//   sequential page fetches from a loopback server (requests per second),
//   CPU used while a request waits for a slow server (share of wall time).
//
//   build/bench/marbleway-bench [--benchmark_filter=...]

#include "benchmain.h"
#include "testhttpserver.h"
#include "web/cxhtml.h"
#include "web/textutil.h"
#include "web/webclient.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <qcoro/qcorotask.h>

#include <chrono>
#include <ctime>

using namespace marbleway;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

// About 1 MB of result page: 2000 blocks after a head.
QString bigResultPage()
{
    QString page = u"<html><head><title>results</title></head><body>"_s;
    for (int i = 0; page.size() < 1024 * 1024 / 2; ++i)
        page += u"<li class=g><h3 class=r><a href=\"http://www.site%1.test/path/\" class=l>"
                "Result %1</a></h3><div class=s>Snippet text for result %1, long enough to "
                "look like a real one.</div></li>\n"_s.arg(i);
    return page + u"<div id=foot>end</div></body></html>"_s;
}

double processCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void BM_GetMemoAcrossPage(benchmark::State& state)
{
    const QString page = bigResultPage();
    for (auto _ : state) {
        // Both markers near the end: the whole page is scanned.
        benchmark::DoNotOptimize(GetMemo(page, u"<div id=foot>", u"</div>"));
    }
    state.SetBytesProcessed(state.iterations() * page.size() * qsizetype(sizeof(QChar)));
}
BENCHMARK(BM_GetMemoAcrossPage);

void BM_SplitBlocks(benchmark::State& state)
{
    const QString page = bigResultPage();
    qsizetype blocks = 0;
    for (auto _ : state) {
        const QList<QStringView> pieces = splitBlocks(page, u"<h3 class=r>");
        blocks = pieces.size();
        benchmark::DoNotOptimize(pieces.data());
    }
    state.SetBytesProcessed(state.iterations() * page.size() * qsizetype(sizeof(QChar)));
    state.counters["blocks"] = static_cast<double>(blocks);
}
BENCHMARK(BM_SplitBlocks);

void BM_GetSrcSequential(benchmark::State& state)
{
    test::BackgroundHttpServer background;
    background.server().serve(u"/page"_s, test::Response::page(u"<html>small page</html>"_s));
    QNetworkAccessManager network;
    const WebClient client(network);
    CXHtml html(client);
    html.setChar(u"utf-8"_s);
    const QString url = background.server().url(u"/page");
    for (auto _ : state) {
        html.setUrl(url);
        const QString page = QCoro::waitFor(html.GetSrc());
        if (page.isEmpty()) {
            state.SkipWithError("empty page");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GetSrcSequential)->Unit(benchmark::kMicrosecond)->MinTime(2.0)->UseRealTime();

void BM_CpuWhileWaiting(benchmark::State& state)
{
    test::BackgroundHttpServer background;
    background.server().serve(u"/slow"_s, test::Response::page(u"late"_s).after(2s));
    QNetworkAccessManager network;
    const WebClient client(network);
    CXHtml html(client);
    html.setChar(u"utf-8"_s);
    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        html.setUrl(background.server().url(u"/slow"));
        const double cpuStart = processCpuSeconds();
        const auto wallStart = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(QCoro::waitFor(html.GetSrc()));
        cpu += processCpuSeconds() - cpuStart;
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    }
    state.counters["cpu_share_percent"] = 100.0 * cpu / wall;
    state.counters["wall_s"] = wall / static_cast<double>(state.iterations());
}
BENCHMARK(BM_CpuWhileWaiting)->Iterations(2)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return runBenchmarks(argc, argv);
}
