// A year of a favourite's rank history (365 day files, three engines): reading
// it, and reading and drawing it as the chart the window shows.
//
//   build/bench/marbleway-bench-history

#include "app/historychart.h"
#include "benchmain.h"
#include "scriptedprompts.h"

#include <QTemporaryDir>

using namespace marbleway;
using namespace marbleway::test;
using namespace Qt::StringLiterals;

namespace {

const QString favourite = u"Google.com,Yahoo.com,Bing.com#www.bluewidget.example#seo tools#2#0"_s;

struct Year {
    QTemporaryDir dir;
    DataFolder data{dir.path()};
    FavouriteStore store{data};

    Year()
    {
        (void)store.create(favourite);
        const QDate last(2026, 12, 6);
        for (int day = 0; day < 365; ++day) {
            const QStringList lines = {
                u"Google.com|%1|www.bluewidget.example/seo-tools"_s.arg(1 + day % 17),
                u"Yahoo.com|%1|www.bluewidget.example/seo-tools"_s.arg(
                    day % 23 == 0 ? 0 : 5 + day % 40),
                u"Bing.com|%1|www.bluewidget.example/seo-tools"_s.arg(3 + day % 29)};
            (void)store.writeDay(favourite, last.addDays(-day), lines);
        }
    }
};

void readYear(benchmark::State& state)
{
    Year year;
    for (auto _ : state)
        benchmark::DoNotOptimize(readHistory(year.store, nullptr, favourite));
}
BENCHMARK(readYear)->Unit(benchmark::kMillisecond);

void readAndDrawYear(benchmark::State& state)
{
    Year year;
    ScriptedPrompts prompts;
    for (auto _ : state) {
        HistoryChartDialog dialog(readHistory(year.store, nullptr, favourite), favourite, prompts);
        dialog.show();
        benchmark::DoNotOptimize(dialog.grab());
    }
}
BENCHMARK(readAndDrawYear)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return runBenchmarks(argc, argv);
}
