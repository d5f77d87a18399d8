#include "cli/commands.h"

#include "core/clock.h"
#include "core/datafolder.h"
#include "core/jobstatus.h"
#include "core/prompts.h"
#include "core/settingsfile.h"
#include "core/settingsstore.h"
#include "core/textfile.h"
#include "export/report.h"
#include "keyworddb/keywordstore.h"
#include "ranking/favouritestore.h"
#include "ranking/keyrank.h"
#include "ranking/rankhistory.h"
#include "ranking/rankjob.h"
#include "ranking/ranktext.h"
#include "research/baidufigures.h"
#include "research/baidurequery.h"
#include "research/databaserefresh.h"
#include "research/relatedsearch.h"
#include "resources/resourcesearch.h"
#include "web/cookiejar.h"
#include "web/cxhtml.h"
#include "web/endpoints.h"
#include "web/proxies.h"
#include "web/textutil.h"
#include "web/webclient.h"

#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <functional>
#include <limits>
#include <optional>
#include <unistd.h>

namespace marbleway::cli {

using namespace Qt::StringLiterals;

namespace {

// The real clock, or one running MARBLEWAY_TIME_SCALE times faster, so that the
// command line's tests need not wait out real crawl intervals.
const Clock& cliClock()
{
    static const SystemClock clock(qEnvironmentVariable("MARBLEWAY_TIME_SCALE", u"1"_s).toDouble());
    return clock;
}

void writeTo(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

// The hosts to use, or nothing after reporting why they cannot be used.
std::optional<Endpoints> loadEndpoints()
{
    QStringList problems;
    const auto settings = openUserSettings();
    Endpoints endpoints = Endpoints::fromSystem(settings.get(), &problems);
    if (problems.isEmpty())
        return endpoints;
    for (const QString& problem : problems)
        writeErr(u"marbleway-cli: "_s + problem + u'\n');
    return std::nullopt;
}

// What a command needs to ask the web: the hosts and a client.
struct Online {
    Endpoints endpoints;
    std::unique_ptr<QNetworkAccessManager> network;
    std::unique_ptr<WebClient> client;
};

QString& proxyForRun()
{
    static QString proxy;
    return proxy;
}

std::optional<Online> goOnline()
{
    std::optional<Endpoints> endpoints = loadEndpoints();
    if (!endpoints)
        return std::nullopt;
    // The engines' page rules as the window uses them; a faulty entry is told
    // and keeps its built-in rule.
    for (const QString& problem :
         loadEngineRules(DataFolder::fromEnvironment().filePath(EngineRulesFileName.toString())))
        writeErr(u"marbleway-cli: "_s + problem + u'\n');
    Online online{std::move(*endpoints), makeNetworkAccess(), nullptr};
    // The window's cookies (a captcha answered in its browsers) count here too;
    // the window alone writes them.
    online.network->setCookieJar(
        new CookieJar(DataFolder::fromEnvironment().filePath(CookieJar::FileName.toString()),
                      CookieJar::Saving::ReadOnly));
    // The window's proxy setting, or --proxy for this run.
    ProxySettings proxies = ProxySettings::load(*openUserSettings());
    if (!proxyForRun().isEmpty())
        proxies = ProxySettings{ProxySettings::Mode::List, {proxyForRun()}, false};
    for (const QString& problem : proxies.problems())
        writeErr(u"marbleway-cli: proxy setting, entry "_s + problem + u'\n');
    applyProxySettings(*online.network, proxies, cliClock());
    online.client = std::make_unique<WebClient>(*online.network, cliClock());
    return online;
}

// Writes the rows to the file of --output, if any: 0, or 1 after saying why not.
int writeOutput(const QString& path, ReportKind kind, const ReportRows& table)
{
    if (path.isEmpty())
        return 0;
    if (const WriteResult written = writeReport(path, *formatOfFile(path), kind, table); !written) {
        writeErr(u"marbleway-cli: cannot write %1: %2\n"_s.arg(path, written.error));
        return 1;
    }
    return 0;
}

// The rank results as the window lists them: a row for the site, keyword and
// day, then one per result found.
ExportTable rankTable()
{
    ExportTable table;
    table.headers = {u"搜索引擎/网站"_s, u"关键字/排名"_s, u"查询日期/收录网址"_s};
    return table;
}

void addRankRows(ExportTable& table, const Combination& combination, QDate day,
                 const QList<RankHit>& hits)
{
    table.rows.push_back({{combination.site, combination.keyword, isoDate(day)}, {}});
    for (const RankHit& hit : hits) {
        // As the window lists it: the outcome in its words.
        table.rows.push_back(
            {{engineDisplayName(hit.engine),
              hit.isRead() ? QString::number(hit.position) : outcomeText(hit.outcome), hit.link},
             hit.queryUrl});
    }
}

// Adds to the end of a log-like file (made when missing).
bool appendLine(const QString& path, const QByteArray& line)
{
    QFile file(path);
    return file.open(QIODevice::Append) && file.write(line) == line.size() && file.flush();
}

// The rows of a combination a signal cut short: what was read and printed.
void addReadRows(ExportTable& table, const Combination& combination, QDate day,
                 const QList<RankHit>& hits)
{
    QList<RankHit> read;
    std::copy_if(hits.begin(), hits.end(), std::back_inserter(read),
                 [](const RankHit& hit) { return hit.isRead(); });
    if (!read.isEmpty())
        addRankRows(table, combination, day, read);
}

// One tab-separated line; a tab, line break or backslash inside a cell is
// written \t, \n, \r or \\, so that every row stays one line of fields.
QString recordLine(const QStringList& cells)
{
    QString line;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0)
            line += u'\t';
        for (const QChar ch : cells.at(i)) {
            switch (ch.unicode()) {
            case u'\\':
                line += u"\\\\"_s;
                break;
            case u'\t':
                line += u"\\t"_s;
                break;
            case u'\n':
                line += u"\\n"_s;
                break;
            case u'\r':
                line += u"\\r"_s;
                break;
            default:
                line += ch;
            }
        }
    }
    return line + u'\n';
}

// A position, or the word for a lookup that was not read: never a number then.
QString positionWord(int position, RankOutcome outcome)
{
    return outcome == RankOutcome::Read ? QString::number(position) : outcomeKey(outcome);
}

QString rowLine(const RankHit& hit)
{
    return recordLine({engineDisplayName(hit.engine), positionWord(hit.position, hit.outcome),
                       hit.isRead() ? hit.link : hit.reason, hit.queryUrl});
}

// SIGINT and SIGTERM. A command that can stop early sets what to do (drop the
// request in flight, end its loop) and ends with what it has; any other, or a
// second signal, ends the program at once as the signal would.
class Interruption {
public:
    static Interruption& instance()
    {
        static Interruption interruption;
        return interruption;
    }

    // Until the handler is replaced; the command must outlive it or replace it.
    void onSignal(std::function<void()> handler) { m_handler = std::move(handler); }
    // The signal that arrived, 0 while none did.
    int signal() const { return m_signal; }
    // The exit status of a command a signal ended.
    int status() const { return 128 + m_signal; }

private:
    Interruption()
    {
        if (::pipe(s_pipe) != 0)
            return;
        m_notifier = std::make_unique<QSocketNotifier>(s_pipe[0], QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(),
                         [this] { arrived(); });
        struct sigaction action = {};
        action.sa_handler = [](int number) {
            const char byte = char(number);
            [[maybe_unused]] const auto written = ::write(s_pipe[1], &byte, 1);
        };
        sigemptyset(&action.sa_mask);
        for (const int number : {SIGINT, SIGTERM})
            sigaction(number, &action, nullptr);
    }

    void arrived()
    {
        char byte = 0;
        if (::read(s_pipe[0], &byte, 1) != 1)
            return;
        if (m_signal != 0 || !m_handler) {
            std::signal(byte, SIG_DFL);
            std::raise(byte);
            return;
        }
        m_signal = byte;
        m_handler();
    }

    inline static int s_pipe[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::function<void()> m_handler;
    int m_signal = 0;
};

// "[3/12] site keyword" on standard error while it is a terminal; a person
// watching sees the run move, a pipe or a log gets nothing.
void showProgress(int done, int total, const QString& what)
{
    static const bool terminal = ::isatty(STDERR_FILENO) == 1;
    if (!terminal)
        return;
    writeErr(done < total ? u"\r\033[K[%1/%2] %3"_s.arg(done + 1).arg(total).arg(what)
                          : u"\r\033[K"_s);
}

} // namespace

void setProxyForRun(const QString& proxy)
{
    proxyForRun() = proxy;
}

void writeOut(const QString& text)
{
    writeTo(stdout, text);
}

void writeErr(const QString& text)
{
    writeTo(stderr, text);
}

QCoro::Task<int> runFetch(FetchOptions options)
{
    const auto network = makeNetworkAccess();
    const WebClient client(*network, cliClock());
    CXHtml html(client);
    html.setUrl(options.url);
    html.setChar(options.charset);
    html.setTryTime(options.timeoutSeconds);
    writeOut(co_await html.GetSrc());
    co_return 0;
}

QCoro::Task<int> runRank(RankOptions options)
{
    QStringList keywords = options.keywords;
    if (!options.keywordsFile.isEmpty()) {
        const auto text = readImportedTextFile(options.keywordsFile);
        if (!text) {
            writeErr(u"marbleway-cli: cannot read %1\n"_s.arg(options.keywordsFile));
            co_return 1;
        }
        for (const QString& line : splitLines(*text)) {
            const QString keyword = line.trimmed();
            if (!keyword.isEmpty() && !keywords.contains(keyword))
                keywords << keyword;
        }
    }
    if (keywords.isEmpty()) {
        writeErr(u"marbleway-cli: %1 holds no keywords\n"_s.arg(options.keywordsFile));
        co_return 2;
    }
    const std::optional<Online> online = goOnline();
    if (!online)
        co_return 1;
    cKeyrank finder(*online->client, online->endpoints);
    QStringList engines;
    for (const SearchEngine engine : options.engines)
        engines << engineDisplayName(engine);
    Interruption& interruption = Interruption::instance();
    interruption.onSignal([client = online->client.get()] { client->close(); });
    int saved = 0;
    bool saveFailed = false;
    if (!options.savePages.isEmpty()) {
        // The index tells this run's pages, whatever an earlier run left.
        if (!QDir().mkpath(options.savePages) ||
            !writeWholeFile(QDir(options.savePages).filePath(u"index.txt"_s), {})) {
            writeErr(u"marbleway-cli: cannot keep pages in %1\n"_s.arg(options.savePages));
            co_return 1;
        }
        finder.setPageObserver([&options, &saved, &saveFailed](SearchEngine engine,
                                                               const QString& url,
                                                               const FetchedPage& page) {
            const QString name =
                u"%1-%2.html"_s.arg(saved + 1, 4, 10, QLatin1Char('0')).arg(engineKey(engine));
            const QDir folder(options.savePages);
            const QString outcome =
                page.arrived() ? QString::number(page.status) : u"failed: "_s + page.error;
            const bool kept = writeWholeFile(folder.filePath(name), page.text.toUtf8()) &&
                              appendLine(folder.filePath(u"index.txt"_s),
                                         recordLine({name, url, outcome}).toUtf8());
            if (!kept && !saveFailed)
                writeErr(u"marbleway-cli: cannot keep the pages in %1\n"_s.arg(options.savePages));
            saveFailed = saveFailed || !kept;
            ++saved;
        });
    }

    // Every site with every keyword, as the window does, in one process.
    const bool several = options.sites.size() * keywords.size() > 1;
    const int total = int(options.sites.size() * keywords.size());
    int done = 0;
    bool allRead = true;
    ExportTable table = rankTable();
    for (const QString& site : std::as_const(options.sites)) {
        for (const QString& keyword : std::as_const(keywords)) {
            if (interruption.signal() != 0)
                break;
            const Combination combination{engineString(engines), site, keyword,
                                          depthIndexForResults(options.depthResults),
                                          options.allPositions ? 1 : 0};
            showProgress(done, total, site + u' ' + keyword);
            if (several)
                writeOut(combination.descriptor() + u'\n');
            const QDate day = cliClock().today();
            const QList<RankHit> hits =
                co_await queryCombination(finder, combination, [&interruption](const RankHit& hit) {
                    // The request a signal dropped is no answer.
                    if (interruption.signal() == 0 || hit.isRead())
                        writeOut(rowLine(hit));
                });
            if (interruption.signal() != 0) {
                addReadRows(table, combination, day, hits);
                break;
            }
            allRead = allRead && std::all_of(hits.begin(), hits.end(),
                                             [](const RankHit& hit) { return hit.isRead(); });
            addRankRows(table, combination, day, hits);
            ++done;
        }
    }
    showProgress(total, total, {});
    interruption.onSignal({});
    const int written = writeOutput(options.output, ReportKind::Rank, table);
    if (interruption.signal() != 0)
        co_return interruption.status();
    co_return written != 0 || saveFailed ? 1 : allRead ? 0 : 3;
}

namespace {

// The database's failures on the standard error, `failed` set by them. A lost
// connection is waited for and not counted: a write it keeps from landing is.
void tellFailures(KeywordStore& store, bool& failed)
{
    QObject::connect(
        &store, &KeywordStore::failed, &store, [&store, &failed](const QString& error) {
            if (store.isConnectionLost()) {
                writeErr(u"marbleway-cli: the connection to the database is lost (%1); waiting for "
                         "it\n"_s.arg(error));
                return;
            }
            writeErr(u"marbleway-cli: the keyword database failed (%1)\n"_s.arg(error));
            failed = true;
        });
}

// Opens the database the settings or MARBLEWAY_DATABASE name, or says why it cannot.
bool openConfiguredStore(KeywordStore& store, const DataFolder& data)
{
    SettingsStore settings;
    QString error;
    const auto location = configuredDatabase(settings.settings(), data, &error);
    if (!location) {
        writeErr(u"marbleway-cli: the database setting is wrong: %1\n"_s.arg(error));
        return false;
    }
    if (!store.open(*location)) {
        writeErr(u"marbleway-cli: the keyword database cannot be opened (%1: %2)\n"_s.arg(
            location->shown(), store.lastError()));
        return false;
    }
    return true;
}

// The favourites whose site or keyword holds `name`, all when it is empty;
// with a database, also those only it has lookups of (a team's).
QList<Combination> favouritesNamed(const FavouriteStore& store, KeywordStore* database,
                                   const QString& name, QStringList* unreadable)
{
    QList<Combination> found;
    QStringList descriptors = store.descriptors();
    if (database && database->isOpen()) {
        descriptors += database->rankedFavourites();
        descriptors.sort();
        descriptors.removeDuplicates();
    }
    for (const QString& descriptor : descriptors) {
        const auto combination = Combination::fromDescriptor(descriptor);
        if (!combination) {
            if (unreadable)
                *unreadable << descriptor;
            continue;
        }
        if (name.isEmpty() || combination->site.contains(name, Qt::CaseInsensitive) ||
            combination->keyword.contains(name, Qt::CaseInsensitive))
            found << *combination;
    }
    return found;
}

int listFavourites(const FavouriteStore& store)
{
    for (const Combination& favourite : favouritesNamed(store, nullptr, {}, nullptr)) {
        writeOut(recordLine({favourite.engines, favourite.site, favourite.keyword,
                             QString::number(Depths[size_t(favourite.depthIndex)].results),
                             favourite.allPositions == 1 ? u"all"_s : u"first"_s}));
    }
    return 0;
}

int printHistory(const FavouriteStore& store, KeywordStore* database,
                 const FavouritesOptions& options)
{
    ExportTable table = rankTable();
    const QList<Combination> favourites = favouritesNamed(store, database, options.name, nullptr);
    for (const Combination& favourite : favourites) {
        writeOut(recordLine({favourite.descriptor()}));
        QDate shownDay;
        for (const HistoryPoint& point : readHistory(store, database, favourite.descriptor())) {
            writeOut(recordLine({isoDate(point.date), engineDisplayName(point.engine),
                                 positionWord(point.position, point.outcome),
                                 point.outcome == RankOutcome::Read ? point.link : point.reason}));
            // As the window shows a favourite's days.
            if (point.date != shownDay) {
                table.rows.push_back(
                    {{favourite.site, favourite.keyword, isoDate(point.date)}, {}});
                shownDay = point.date;
            }
            const bool read = point.outcome == RankOutcome::Read;
            table.rows.push_back(
                {{engineDisplayName(point.engine),
                  read ? QString::number(point.position) : outcomeText(point.outcome),
                  read ? point.link : point.reason},
                 {}});
        }
    }
    if (favourites.isEmpty() && !options.name.isEmpty()) {
        writeErr(
            u"marbleway-cli: no favourite's site or keyword holds \"%1\"\n"_s.arg(options.name));
        return 1;
    }
    return writeOutput(options.output, ReportKind::Rank, table);
}

} // namespace

QCoro::Task<int> runFavourites(FavouritesOptions options)
{
    const DataFolder data = DataFolder::fromEnvironment();
    const FavouriteStore store(data);
    if (options.action == FavouritesOptions::Action::List)
        co_return listFavourites(store);
    // The lookups are kept in the database too; without it, in the day files alone.
    KeywordStore database;
    bool databaseFailed = false;
    tellFailures(database, databaseFailed);
    if (data.ensureExists() && !openConfiguredStore(database, data))
        databaseFailed = true;
    if (options.action == FavouritesOptions::Action::History)
        co_return std::max(printHistory(store, &database, options), databaseFailed ? 1 : 0);

    const std::optional<Online> online = goOnline();
    if (!online)
        co_return 1;
    cKeyrank finder(*online->client, online->endpoints);
    Interruption& interruption = Interruption::instance();
    interruption.onSignal([client = online->client.get()] { client->close(); });
    int status = 0;
    bool allRead = true;
    ExportTable table = rankTable();
    const QStringList favourites = store.descriptors();
    int done = 0;
    for (const QString& descriptor : favourites) {
        if (interruption.signal() != 0)
            break;
        const auto combination = Combination::fromDescriptor(descriptor);
        if (!combination) {
            // Guessing the fields would query, and record, the wrong thing.
            writeErr(u"marbleway-cli: cannot read the favourite \"%1\" (a \"#\" in its site or "
                     "keyword?); it is left out\n"_s.arg(descriptor));
            status = 1;
            continue;
        }
        showProgress(done++, int(favourites.size()), descriptor);
        writeOut(recordLine({descriptor}));
        // One day for the whole combination, even across midnight.
        const QDate day = cliClock().today();
        QStringList history;
        const QList<RankHit> hits =
            co_await queryCombination(finder, *combination, [&interruption](const RankHit& hit) {
                if (interruption.signal() == 0 || hit.isRead())
                    writeOut(rowLine(hit));
            });
        // A favourite cut short keeps the day it had; its rows printed so far
        // go to the file too.
        if (interruption.signal() != 0) {
            addReadRows(table, *combination, day, hits);
            break;
        }
        for (const RankHit& hit : hits) {
            history << historyLine(hit);
            allRead = allRead && hit.isRead();
        }
        addRankRows(table, *combination, day, hits);
        if (const WriteResult written = store.writeDay(descriptor, day, history); !written) {
            writeErr(u"marbleway-cli: cannot write today's ranks of %1: %2\n"_s.arg(descriptor,
                                                                                    written.error));
            status = 1;
        }
        if (database.isOpen()) {
            const QList<StoredRank> ranks = storedRanks(descriptor, day, history);
            const std::function<bool()> write = [&database, &ranks] {
                return database.recordRanks(ranks);
            };
            const std::function<bool()> running = [&interruption] {
                return interruption.signal() == 0;
            };
            const bool stored = co_await database.writeThroughLoss(write, cliClock(), running);
            if (!stored)
                status = 1;
        }
    }
    showProgress(1, 1, {});
    interruption.onSignal({});
    status = std::max(
        {status, writeOutput(options.output, ReportKind::Rank, table), databaseFailed ? 1 : 0});
    if (interruption.signal() != 0)
        co_return interruption.status();
    co_return status != 0 ? status : allRead ? 0 : 3;
}

namespace {

// Messages of a job go to the standard error; nobody is there to answer.
class ConsolePrompts final : public Prompts {
public:
    QCoro::Task<> message(QString, QString text, PromptIcon) override
    {
        writeErr(u"marbleway-cli: "_s + text + u'\n');
        co_return;
    }
    QCoro::Task<bool> confirm(QString, QString, PromptButtons) override { co_return false; }
    QCoro::Task<std::optional<QString>> input(QString, QString, QString) override
    {
        co_return std::nullopt;
    }
    QCoro::Task<std::optional<QString>> openFileName(QString, QString) override
    {
        co_return std::nullopt;
    }
    QCoro::Task<std::optional<QString>> saveFileName(QString, QString, QString) override
    {
        co_return std::nullopt;
    }
};

} // namespace

QCoro::Task<int> runRelated(RelatedSearchOptions options)
{
    const std::optional<Online> online = goOnline();
    if (!online)
        co_return 1;
    const DataFolder data = DataFolder::fromEnvironment();
    data.ensureExists();
    // A database that cannot be used is told once; the rows still print, and
    // the exit status says that storing them failed.
    bool storeFailed = false;
    KeywordStore store;
    tellFailures(store, storeFailed);
    if (!openConfiguredStore(store, data))
        storeFailed = true;
    SettingsStore settings;
    CrawlPacer pacer(cliClock());
    pacer.loadIntervals(settings);
    ConsolePrompts prompts;
    StatusPanels panels;
    RelatedSearch search(RelatedSearch::Services{*online->client, online->endpoints, cliClock(),
                                                 pacer, store, prompts, panels, data});
    RelatedInputs& inputs = search.inputs();
    inputs.seedText = options.seed;
    inputs.options.checked = {options.mustContain, options.counts.contains(SearchEngine::Google),
                              options.counts.contains(SearchEngine::Yahoo),
                              options.counts.contains(SearchEngine::Bing), options.store};
    inputs.exclude = options.exclude.has_value();
    inputs.excludeWords = options.exclude.value_or(QString());

    // Each keyword as soon as its counts are in: a pipe sees them at once, and
    // an interruption loses nothing printed.
    QObject::connect(&search, &RelatedSearch::keywordFound, &search, [&search](RowId id) {
        const RowModel& rows = *search.rows();
        writeOut(recordLine(rows.at(rows.indexOf(id)).cells));
    });
    Interruption& interruption = Interruption::instance();
    interruption.onSignal([&search] {
        if (search.control().isRunning())
            search.click();
    });
    co_await search.run();
    interruption.onSignal({});
    // The Baidu figures' columns stay out, as the window leaves them out until
    // a re-query fills them.
    std::vector<bool> hidden(size_t(RelatedSearch::Columns.size()), false);
    std::fill(hidden.begin() + BaiduRequery::FirstColumn, hidden.end(), true);
    const int written = writeOutput(options.output, ReportKind::Related,
                                    ModelRows(*search.list(), std::move(hidden)));
    if (interruption.signal() != 0)
        co_return interruption.status();
    co_return storeFailed || written != 0 ? 1 : 0;
}

namespace {

// The keyword database of the data folder, or nothing after saying why it
// cannot be used.
std::unique_ptr<KeywordStore> openKeywordStore()
{
    const DataFolder data = DataFolder::fromEnvironment();
    auto store = std::make_unique<KeywordStore>();
    if (!data.ensureExists()) {
        writeErr(u"marbleway-cli: the data folder %1 cannot be created\n"_s.arg(data.path()));
        return nullptr;
    }
    return openConfiguredStore(*store, data) ? std::move(store) : nullptr;
}

} // namespace

QCoro::Task<int> runDb(DbOptions options)
{
    const std::unique_ptr<KeywordStore> store = openKeywordStore();
    if (!store)
        co_return 1;
    bool failed = false;
    tellFailures(*store, failed);
    const QDate today = cliClock().today();
    switch (options.action) {
    case DbOptions::Action::List: {
        // Printed as read, a step at a time: a large table starts at once.
        constexpr int step = 5000;
        qint64 before = std::numeric_limits<qint64>::max();
        ExportTable table;
        table.headers = KeywordDatabaseList::Columns;
        for (;;) {
            const QList<KeywordRecord> part = store->page(before, step);
            for (const KeywordRecord& record : part) {
                const QStringList cells = {record.keys,   record.parentkeys, record.googles,
                                           record.yahoos, record.bings,      record.adddate};
                if (!options.filter.keeps(cells, KeywordDatabaseList::CountColumns))
                    continue;
                writeOut(recordLine(cells));
                if (!options.output.isEmpty())
                    table.rows.push_back({cells, {}});
            }
            if (part.size() < step)
                break;
            before = part.last().id;
        }
        if (writeOutput(options.output, ReportKind::Database, table) != 0)
            co_return 1;
        break;
    }
    case DbOptions::Action::Delete:
    case DbOptions::Action::Add: {
        QStringList done;
        KeywordStore::Transaction transaction(*store);
        for (const QString& keyword : options.keywords) {
            const QString key = trimSpaces(keyword).toString();
            if (options.action == DbOptions::Action::Add) {
                if (store->add(key, trimSpaces(options.parent).toString(), u"-"_s, u"-"_s, u"-"_s,
                               today) == KeywordStore::AddResult::Added)
                    done << key;
            } else {
                // As typed, and trimmed as the program stores keywords.
                for (const QString& each : QStringList{keyword, key}) {
                    if (!done.contains(each) && store->find(each) && store->remove(each))
                        done << each;
                }
            }
        }
        if (!transaction.commit())
            co_return 1;
        for (const QString& key : done)
            writeOut(recordLine({key}));
        break;
    }
    case DbOptions::Action::Update: {
        const std::optional<Online> online = goOnline();
        if (!online)
            co_return 1;
        SettingsStore settings;
        CrawlPacer pacer(cliClock());
        pacer.loadIntervals(settings);
        ConsolePrompts prompts;
        StatusPanels panels;
        KeywordDatabaseList list(*store, cliClock(), prompts);
        co_await list.load();
        DatabaseRefresh refresh(DatabaseRefresh::Services{
            *online->client, online->endpoints, cliClock(), pacer, list, prompts, panels});
        for (const SearchEngine engine : options.engines)
            refresh.setEngine(engine, true);
        QObject::connect(&refresh, &DatabaseRefresh::rowRefreshed, &refresh, [&list](RowId id) {
            const RowModel& rows = *list.rows();
            writeOut(recordLine(rows.at(rows.indexOf(id)).cells));
        });
        Interruption& interruption = Interruption::instance();
        interruption.onSignal([&refresh] {
            if (refresh.control().isRunning())
                refresh.click();
        });
        QObject::connect(&refresh, &Job::progress, &refresh,
                         [](int done, int total) { showProgress(done, total, {}); });
        co_await refresh.run();
        interruption.onSignal({});
        if (interruption.signal() != 0)
            co_return interruption.status();
        break;
    }
    }
    co_return failed ? 1 : 0;
}

QCoro::Task<int> runResources(ResourcesOptions options)
{
    const std::optional<Online> online = goOnline();
    if (!online)
        co_return 1;
    if (!online->endpoints.isReachable(Service::Maker)) {
        writeErr(u"marbleway-cli: no resource list service is set: give the \"maker\" host in "
                 "the settings group Hosts or in MARBLEWAY_HOSTS (maker=HOST:PORT)\n"_s);
        co_return 1;
    }
    ConsolePrompts prompts;
    StatusPanels panels;
    ResourceLibrary library;
    library.ensureCategories();
    library.chooseCategory(options.category - 6);
    library.setTypeIndex(std::max(0, int(ResourceLibrary::DirectoryTypes.indexOf(options.type))));
    ResourceSearch search(
        ResourceSearch::Services{*online->client, online->endpoints, prompts, panels}, library);
    if (options.fromPage > 1)
        search.resumeAt(options.fromPage, 0);
    RowModel& rows = *library.resources();
    QObject::connect(&rows, &RowModel::rowsInserted, &rows,
                     [&rows](const QModelIndex&, int first, int last) {
                         for (int row = first; row <= last; ++row)
                             writeOut(recordLine(rows.at(row).cells));
                     });
    co_await search.run();
    if (writeOutput(options.output, ReportKind::Resources, ModelRows(*library.list())) != 0)
        co_return 1;
    co_return search.emptyPages() > 0 ? 3 : 0;
}

QCoro::Task<int> runBaidu(BaiduOptions options)
{
    const std::optional<Online> online = goOnline();
    if (!online)
        co_return 1;
    // One run, one failure counter, as one session of the window.
    BaiduLookup lookup({*online->client, online->endpoints, {}});
    for (const QString& keyword : std::as_const(options.keywords)) {
        const BaiduFigures figures = co_await lookup.requery(
            keyword, options.parent.isEmpty() ? keyword : options.parent, true, true);
        writeOut(recordLine(
            {keyword, figures.monthly, figures.lastDay, figures.pageCount, figures.index}));
    }
    co_return 0;
}

} // namespace marbleway::cli
