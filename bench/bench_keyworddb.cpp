// Keyword database benchmarks, with the window as the user sees it:
//   start-up with 100,000 stored keywords until the window is shown; loading
//   them into the tab's list; the filter with all four criteria and its
//   restore; a sort by a count column; deleting 1,000 checked rows; the
//   resident memory of the window with the list loaded;
//   1,000,000 keywords: the longest the window waits for its event loop while
//   the list loads, the time until the list is complete, and the memory;
//   the count refresh's own time per row above the bare fetches;
//   exporting the 100,000 rows as text, HTML, a workbook and CSV;
//   a backlink resource search of all 800 pages of the example web directory
//   shown in the window: rows per second, and the longest event-loop stall;
//   the store on SQLite and on PostgreSQL: 100,000 inserts, loading them, and
//   the refresh's write per row.
//
//   build/bench/marbleway-bench-keyworddb [--benchmark_filter=Million]
//   PGCLUSTER_FSYNC=on tests/support/pgcluster start /tmp/pg, then with
//   MARBLEWAY_TEST_POSTGRESQL=/tmp/pg/url:
//   build/bench/marbleway-bench-keyworddb --benchmark_filter=StoreBackend

#include "app/application.h"
#include "app/keyworddbtab.h"
#include "app/mainwindow.h"
#include "app/resourcestab.h"
#include "benchmain.h"
#include "enginepages.h"
#include "export/report.h"
#include "scratchdatabase.h"
#include "testsupport.h"
#include "web/cxhtml.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QTreeView>

#include <chrono>

using namespace marbleway;
using namespace marbleway::test;
using namespace Qt::StringLiterals;
using Steady = std::chrono::steady_clock;

namespace {

double msSince(Steady::time_point start)
{
    return std::chrono::duration<double, std::milli>(Steady::now() - start).count();
}

// A memory figure of this process from /proc/self/status, in kB: "VmRSS:" now,
// "VmHWM:" the peak since the last resetPeak().
long statusKb(const QByteArray& field)
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').first().toLong();
    }
    return 0;
}

long peakKb()
{
    return statusKb("VmHWM:");
}

void resetPeak()
{
    QFile refs(u"/proc/self/clear_refs"_s);
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

long residentKb()
{
    return statusKb("VmRSS:");
}

// A keyword database of `rows` keywords as a year of research leaves it.
void fillDatabase(const QString& path, int rows)
{
    KeywordStore store;
    store.open(path);
    KeywordStore::Transaction transaction(store);
    for (int i = 0; i < rows; ++i) {
        store.insert(u"keyword number %1"_s.arg(i), u"seed %1"_s.arg(i / 40),
                     QString::number(qint64(i) * 7919 % 90000000), i % 3 ? u"-"_s : u"1200"_s,
                     QString::number(i % 5000), QDate(2026, 1, 1).addDays(i % 300));
    }
    transaction.commit();
}

// A timer that should fire every 5 ms: the longest gap between two firings is
// the longest the window could not repaint.
class StallMeter {
public:
    StallMeter()
    {
        m_beat.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_beat, &QTimer::timeout, [this] { longest(); });
        m_beat.start(5);
    }
    double longest()
    {
        m_longest = std::max(m_longest, msSince(m_last));
        m_last = Steady::now();
        return m_longest;
    }

private:
    QTimer m_beat;
    Steady::time_point m_last = Steady::now();
    double m_longest = 0;
};

// Until the database list has read every row, the event loop running.
void waitForList(KeywordDatabaseList& list)
{
    QCoro::waitFor([&]() -> QCoro::Task<> {
        while (list.isLoading())
            co_await Clock::system().sleep(std::chrono::milliseconds(1));
    }());
    QCoreApplication::processEvents();
}

// The program started on a data folder holding `rows` keywords.
struct Started {
    explicit Started(int rows)
    {
        fillDatabase(env.dataFile(u"db.sqlite"_s), rows);
        app = std::make_unique<Application>(AppEnvironment{env.dataFolder(),
                                                           env.newSettings(),
                                                           env.web.endpoints,
                                                           QString(),
                                                           &env.web.network,
                                                           &env.prompts,
                                                           &Clock::system(),
                                                           {}});
    }
    KeywordDbTab& tab() { return *app->window()->keywordDbTab(); }
    KeywordDatabaseList& list() { return app->keywordList(); }

    Fixture env;
    std::unique_ptr<Application> app;
};

void BM_DatabaseOf100000(benchmark::State& state)
{
    for (auto _ : state) {
        const long base = residentKb();
        Started started(100000);
        auto start = Steady::now();
        QCoro::waitFor(started.app->start());
        state.counters["startup_ms"] = msSince(start);

        start = Steady::now();
        started.app->window()->selectTab(MainWindow::KeywordDbTabIndex);
        waitForList(started.list());
        state.counters["getdb_ms"] = msSince(start);
        state.counters["rows"] = started.list().list()->rowCount();
        state.counters["rss_mb"] = double(residentKb()) / 1024.0;
        state.counters["rss_growth_mb"] = double(residentKb() - base) / 1024.0;

        ResultFilter filter;
        filter.word = u"number 1"_s;
        filter.counts = {CountCriterion{CountRelation::Greater, 1000},
                         CountCriterion{CountRelation::Less, 2000},
                         CountCriterion{CountRelation::Greater, 10}};
        start = Steady::now();
        started.list().filter(filter);
        QCoreApplication::processEvents();
        state.counters["filter_ms"] = msSince(start);
        state.counters["filtered_rows"] = started.list().list()->rowCount();
        start = Steady::now();
        started.list().restore();
        QCoreApplication::processEvents();
        state.counters["restore_ms"] = msSince(start);

        start = Steady::now();
        started.list().list()->sortBy(2, Qt::DescendingOrder);
        QCoreApplication::processEvents();
        state.counters["sort_ms"] = msSince(start);

        VisibleRows& visible = *started.list().list();
        for (int row = 0; row < 1000; ++row)
            tick(visible, row * 50);
        start = Steady::now();
        QCoro::waitFor(started.list().deleteChecked());
        QCoreApplication::processEvents();
        state.counters["delete_1000_ms"] = msSince(start);
        state.counters["rows_after_delete"] = visible.rowCount();
    }
}
BENCHMARK(BM_DatabaseOf100000)->Unit(benchmark::kMillisecond)->Iterations(1);

// The 100,000-row database list exported in each format as its buttons do:
// the time, and the peak memory above the loaded list against the text size.
void BM_Export100000(benchmark::State& state)
{
    for (auto _ : state) {
        Started started(100000);
        QCoro::waitFor(started.app->start());
        started.app->window()->selectTab(MainWindow::KeywordDbTabIndex);
        waitForList(started.list());
        const QAbstractItemModel& list = *started.list().list();
        QTemporaryDir dir;
        qint64 textBytes = 0;
        for (const auto& [name, format] : {std::pair{"txt", ExportFormat::Text},
                                           {"html", ExportFormat::Html},
                                           {"xlsx", ExportFormat::Workbook},
                                           {"csv", ExportFormat::Csv}}) {
            resetPeak();
            const long before = residentKb();
            const auto start = Steady::now();
            const QString path = dir.filePath(u"list."_s + QLatin1String(name));
            const bool written =
                bool(writeReport(path, format, ReportKind::Database, ModelRows(list)));
            state.counters[std::string(name) + "_ms"] = msSince(start);
            state.counters[std::string(name) + "_peak_mb"] = double(peakKb() - before) / 1024.0;
            const qint64 size = QFileInfo(path).size();
            if (format == ExportFormat::Text)
                textBytes = size;
            state.counters[std::string(name) + "_file_mb"] =
                written ? double(size) / 1048576.0 : -1;
        }
        state.counters["text_file_mb"] = double(textBytes) / 1048576.0;
    }
}
BENCHMARK(BM_Export100000)->Unit(benchmark::kMillisecond)->Iterations(1);

// The window must keep answering while a million rows load.
void BM_MillionRows(benchmark::State& state)
{
    for (auto _ : state) {
        const long base = residentKb();
        Started started(1000000);
        QCoro::waitFor(started.app->start());
        QCoreApplication::processEvents();

        StallMeter stalls;
        const auto start = Steady::now();
        started.app->window()->selectTab(MainWindow::KeywordDbTabIndex);
        waitForList(started.list());
        state.counters["complete_ms"] = msSince(start);
        state.counters["longest_freeze_ms"] = stalls.longest();
        state.counters["rows"] = started.list().list()->rowCount();
        state.counters["rss_mb"] = double(residentKb()) / 1024.0;
        state.counters["rss_growth_mb"] = double(residentKb() - base) / 1024.0;
    }
}
BENCHMARK(BM_MillionRows)->Unit(benchmark::kMillisecond)->Iterations(1);

// The count refresh over 300 rows and all three engines against a local
// server, less the same 900 fetches made bare: the refresh's own cost per row.
void BM_RefreshOverheadPerRow(benchmark::State& state)
{
    constexpr int rows = 300;
    Fixture env;
    fakeweb::serveAllEngines(env.server);
    KeywordStore store;
    fillDatabase(env.dataFile(u"db.sqlite"_s), rows);
    store.open(env.dataFile(u"db.sqlite"_s));
    RecordingClock noPauses; // pacing waits take no time
    CrawlPacer pacer(noPauses);
    StatusPanels panels;
    KeywordDatabaseList list(store, Clock::system(), env.prompts);
    QCoro::waitFor(list.load());
    DatabaseRefresh refresh(DatabaseRefresh::Services{
        env.web.client, env.web.endpoints, Clock::system(), pacer, list, env.prompts, panels});
    for (const SearchEngine engine : AllSearchEngines)
        refresh.setEngine(engine, true);
    for (auto _ : state) {
        auto start = Steady::now();
        QCoro::waitFor([&]() -> QCoro::Task<> {
            CXHtml html(env.web.client);
            html.setChar(u"utf-8"_s);
            for (int row = 0; row < rows; ++row) {
                for (const SearchEngine engine : AllSearchEngines) {
                    html.setUrl(pageCountUrl(env.web.endpoints, engine, list.rows()->text(row)));
                    co_await html.GetSrc();
                }
            }
        }());
        const double bare = msSince(start);
        start = Steady::now();
        QCoro::waitFor(refresh.run());
        const double refreshed = msSince(start);
        state.counters["bare_ms_per_row"] = bare / rows;
        state.counters["overhead_ms_per_row"] = (refreshed - bare) / rows;
    }
}
BENCHMARK(BM_RefreshOverheadPerRow)->Unit(benchmark::kMillisecond)->Iterations(1);

// The store alone on each backend (0: SQLite, 1: PostgreSQL, on the server
// whose address is in the file MARBLEWAY_TEST_POSTGRESQL names, as the tests
// use): 100,000 inserts in one transaction, reading them all back, and the
// refresh's per-row write (three counts and the date, a transaction per row).
void BM_StoreBackend(benchmark::State& state)
{
    const bool postgresql = state.range(0) == 1;
    if (postgresql != ScratchDatabase::isPostgreSQL()) {
        state.SkipWithError(postgresql ? "MARBLEWAY_TEST_POSTGRESQL is not set"
                                       : "runs against PostgreSQL this time");
        return;
    }
    constexpr int rows = 100000;
    constexpr int refreshed = 2000;
    for (auto _ : state) {
        ScratchDatabase database;
        KeywordStore store;
        if (!store.open(database.location())) {
            state.SkipWithError(qPrintable(store.lastError()));
            return;
        }
        auto start = Steady::now();
        {
            KeywordStore::Transaction transaction(store);
            for (int i = 0; i < rows; ++i) {
                store.insert(u"keyword number %1"_s.arg(i), u"seed %1"_s.arg(i / 40),
                             QString::number(qint64(i) * 7919 % 90000000), u"-"_s,
                             QString::number(i % 5000), QDate(2026, 1, 1).addDays(i % 300));
            }
            transaction.commit();
        }
        state.counters["insert_100000_ms"] = msSince(start);
        start = Steady::now();
        const qsizetype loaded = store.all().size();
        state.counters["load_100000_ms"] = msSince(start);
        start = Steady::now();
        for (int i = 0; i < refreshed; ++i) {
            store.updateCounts(u"keyword number %1"_s.arg(i * 37),
                               {QString::number(i), QString::number(i + 1), QString::number(i + 2)},
                               QDate(2026, 12, 6));
        }
        state.counters["refresh_write_ms_per_row"] = msSince(start) / refreshed;
        if (loaded != rows)
            state.SkipWithError("not every row was read back");
    }
}
BENCHMARK(BM_StoreBackend)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ResourceSearch800Pages(benchmark::State& state)
{
    for (auto _ : state) {
        Started started(0);
        fakeweb::serveExamplePages(started.env.server, Service::Maker);
        QCoro::waitFor(started.app->start());
        started.app->window()->selectTab(MainWindow::ResourcesTabIndex);
        started.app->resourceLibrary().chooseCategory(2);
        StallMeter stalls;
        const auto start = Steady::now();
        QCoro::waitFor(started.app->resourceSearch().run());
        const double elapsed = msSince(start);
        const int rows = started.app->resourceLibrary().resources()->size();
        state.counters["rows"] = rows;
        state.counters["rows_per_s"] = rows / (elapsed / 1000.0);
        state.counters["longest_stall_ms"] = stalls.longest();
    }
}
BENCHMARK(BM_ResourceSearch800Pages)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    return runBenchmarks(argc, argv);
}
