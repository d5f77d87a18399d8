#include "core/textfile.h"
#include "enginepages.h"
#include "export/report.h"
#include "keyworddb/keywordstore.h"
#include "research/baidufigures.h"
#include "testproxy.h"
#include "testsupport.h"

#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QUrl>

#include <csignal>

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

const QString demo = fakeweb::DemoSite.toString();

} // namespace

class TestCli : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init() { m_home = std::make_unique<QTemporaryDir>(); }

    void commandLine_data();
    void commandLine();
    void rank();
    void rankManyOutcomesAndSignals();
    void fetchPrintsThePage();
    void favourites();
    void related();
    void keywordDatabase();
    void resources();
    void baidu();

private:
    // Runs the program on a data folder of the test's own; `timeScale` speeds up its waits.
    Outcome run(const QStringList& arguments, const QString& hosts = {}, int timeScale = 1);
    // The user's own settings and proxies stay out of it.
    QProcessEnvironment environment(const QString& hosts, int timeScale = 1) const;
    QString hosts() const;
    QString home(const QString& name) const { return m_home->filePath(name); }
    // The settings file the program reads, its folder made.
    QString settingsFile() const;

    QTemporaryDir m_config;
    std::unique_ptr<QTemporaryDir> m_home;
    TestHttpServer m_google;
    TestHttpServer m_yahoo;
    TestHttpServer m_bing;
    TestHttpServer m_pages;
};

void TestCli::initTestCase()
{
    fakeweb::serveExamplePages(m_google, Service::Google);
    fakeweb::serveExamplePages(m_yahoo, Service::Yahoo);
    fakeweb::serveExamplePages(m_bing, Service::Bing);
}

QString TestCli::hosts() const
{
    return u"google=%1,yahoo=%2,bing=%3"_s.arg(m_google.hostAndPort(), m_yahoo.hostAndPort(),
                                               m_bing.hostAndPort());
}

QString TestCli::settingsFile() const
{
    QDir().mkpath(m_config.filePath(u"Marbleway"_s));
    return m_config.filePath(u"Marbleway/Marbleway.conf"_s);
}

QProcessEnvironment TestCli::environment(const QString& hosts, int timeScale) const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"MARBLEWAY_HOSTS"_s, hosts);
    environment.insert(u"MARBLEWAY_HOME"_s, m_home->path());
    environment.insert(u"MARBLEWAY_TIME_SCALE"_s, QString::number(timeScale));
    environment.insert(u"XDG_CONFIG_HOME"_s, m_config.path());
    for (const QString& proxy : {u"http_proxy"_s, u"HTTP_PROXY"_s, u"all_proxy"_s})
        environment.remove(proxy);
    return environment;
}

Outcome TestCli::run(const QStringList& arguments, const QString& hosts, int timeScale)
{
    QProcess process;
    process.setProcessEnvironment(environment(hosts, timeScale));
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

void TestCli::commandLine_data()
{
    // Help on standard output with status 0; a wrong command line is told on
    // standard error with status 2, and nothing runs.
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("hosts");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    const QStringList rank = {u"rank"_s, u"--site"_s, u"a.test"_s, u"--keyword"_s, u"k"_s};
    const QStringList fetch = {u"fetch"_s, u"x.test"_s};
    const auto row = [](const char* name, const QStringList& arguments, int status,
                        const QString& message, const QString& hosts = {}) {
        QTest::newRow(name) << arguments << hosts << status << message;
    };
    row("help", {u"--help"_s}, 0, u"Usage: marbleway-cli"_s);
    row("version", {u"--version"_s}, 0, u"marbleway-cli 1.0.0\n"_s);
    row("help of a command", {u"rank"_s, u"--help"_s}, 0, u"--depth 10|20|50"_s);
    row("help command", {u"help"_s, u"favourites"_s}, 0, u"Usage:\n  favourites --list"_s);
    row("no command", {}, 2, u"no command given\nTry 'marbleway-cli --help'"_s);
    row("unknown command", {u"crawl"_s}, 2, u"unknown command"_s);
    row("unknown option", rank + QStringList{u"--fast"_s}, 2, u"fast"_s);
    row("bad depth", rank + QStringList{u"--depth"_s, u"30"_s}, 2, u"--depth"_s);
    row("bad engine", rank + QStringList{u"--engine"_s, u"altavista"_s}, 2, u"altavista"_s);
    row("no site", {u"rank"_s, u"--keyword"_s, u"k"_s}, 2, u"--site"_s);
    row("no keyword", {u"rank"_s, u"--site"_s, u"a.test"_s}, 2, u"--keyword"_s);
    row("unusable hosts", rank, 1, u"MARBLEWAY_HOSTS"_s, u"google=http://127.0.0.1/"_s);
    row("fetch without url", {u"fetch"_s}, 2, u"one URL"_s);
    row("bad charset", fetch + QStringList{u"--charset"_s, u"utf-99"_s}, 2, u"utf-99"_s);
    row("bad timeout", fetch + QStringList{u"--timeout"_s, u"soon"_s}, 2, u"--timeout"_s);
    row("negative timeout", fetch + QStringList{u"--timeout"_s, u"-1"_s}, 2, u"--timeout"_s);
    row("favourites, neither", {u"favourites"_s}, 2, u"--list"_s);
    row("bad counts", {u"related"_s, u"seo"_s, u"--counts"_s, u"altavista"_s}, 2, u"altavista"_s);
    row("db unknown", {u"db"_s, u"drop"_s}, 2, u"\"drop\" (list, update, delete or add)"_s);
    row("db count without relation", {u"db"_s, u"list"_s, u"--google"_s, u"1000"_s}, 2,
        u"--google takes a relation"_s);
    row("db both words", {u"db"_s, u"list"_s, u"--contains"_s, u"a"_s, u"--not-contains"_s, u"b"_s},
        2, u"not both"_s);
    row("db delete nothing", {u"db"_s, u"delete"_s, u" "_s}, 2, u"at least one keyword"_s);
    row("output of no known format", rank + QStringList{u"--output"_s, u"ranks.doc"_s}, 2,
        u"ranks.doc"_s);
    row("resources without category", {u"resources"_s}, 2, u"--category 6, 7 or 8"_s);
    row("resources type of a category without",
        {u"resources"_s, u"--category"_s, u"6"_s, u"--type"_s, u"免费"_s}, 2,
        u"--category 8 only"_s);
    row("resources page out of range",
        {u"resources"_s, u"--category"_s, u"7"_s, u"--from-page"_s, u"31"_s}, 2, u"1 to 30"_s);
    row("resources without a service", {u"resources"_s, u"--category"_s, u"6"_s}, 1,
        u"maker=HOST:PORT"_s);
    row("baidu without keyword", {u"baidu"_s}, 2, u"at least one keyword"_s);
    row("bad proxy", rank + QStringList{u"--proxy"_s, u"ftp://10.0.0.1:21"_s}, 2, u"--proxy"_s);
}

void TestCli::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, hosts);
    QFETCH(int, status);
    QFETCH(QString, message);
    const Outcome outcome = run(arguments, hosts);
    QCOMPARE(outcome.exitCode, status);
    QCOMPARE((status == 0 ? outcome.err : outcome.out), QString());
    const QString& told = status == 0 ? outcome.out : outcome.err;
    QVERIFY2(told.contains(message), qPrintable(told));
}

void TestCli::rank()
{
    // Hosts from the settings file; engines in any letter case; with --all every
    // position within the depth: engine, position, link and result page.
    {
        QSettings settings(settingsFile(), QSettings::IniFormat);
        for (const auto& [key, server] :
             {std::pair{u"google"_s, &m_google}, {u"yahoo"_s, &m_yahoo}, {u"bing"_s, &m_bing}})
            settings.setValue(u"Hosts/"_s + key, server->hostAndPort());
    }
    const QString report = home(u"排名 报告.htm"_s);
    const Outcome outcome =
        run({u"rank"_s, u"--site"_s, demo, u"--keyword"_s, u"seo tools"_s, u"--engine"_s,
             u"GOOGLE"_s, u"--depth"_s, u"20"_s, u"--all"_s, u"--output"_s, report});
    QFile::remove(settingsFile());
    QCOMPARE(outcome.exitCode, 0);
    const QString page = m_google.url(u"/search?q=seo%20tools&hl=en&newwindow=1&start=%1&sa=N");
    QCOMPARE(outcome.out, u"Google.com\t3\t"_s + demo + u"/seo-tools\t"_s + page.arg(0) +
                              u"\nGoogle.com\t17\t"_s + demo + u"/blog/seo-tools-17\t"_s +
                              page.arg(10) + u'\n');
    // The report the window's HTML button writes: the site row, then each result.
    ExportTable table;
    table.headers = {u"搜索引擎/网站"_s, u"关键字/排名"_s, u"查询日期/收录网址"_s};
    table.rows = {{{demo, u"seo tools"_s, isoDate(QDate::currentDate())}, {}},
                  {{u"Google.com"_s, u"3"_s, demo + u"/seo-tools"_s}, page.arg(0)},
                  {{u"Google.com"_s, u"17"_s, demo + u"/blog/seo-tools-17"_s}, page.arg(10)}};
    QCOMPARE(fileBytes(report), htmlReport(ReportKind::Rank, table));
}

void TestCli::rankManyOutcomesAndSignals()
{
    // Every site with every keyword of the file, each combination under its line.
    const QString file = home(u"keywords.txt"_s);
    QVERIFY(writeAnsiFile(file, u"seo tools\r\n\r\nbacklinks\r\nseo tools\r\n"_s));
    Outcome outcome = run({u"rank"_s, u"--site"_s, demo, u"--site"_s, u"www.other.example"_s,
                           u"--keywords-file"_s, file, u"--engine"_s, u"bing"_s},
                          hosts());
    QCOMPARE(outcome.exitCode, 0);
    // Each row names the result page of its own keyword, found or not.
    const QStringList lines = outcome.out.split(u'\n');
    QCOMPARE(lines.size(), 9);
    QStringList heads;
    for (qsizetype line = 0; line + 1 < lines.size(); line += 2) {
        heads << lines.at(line);
        const QString keyword = lines.at(line).section(u'#', 2, 2);
        QVERIFY2(lines.at(line + 1).section(u'\t', 3).contains(
                     u"q="_s + QString::fromLatin1(QUrl::toPercentEncoding(keyword))),
                 qPrintable(lines.at(line + 1)));
    }
    QCOMPARE(heads, (QStringList{u"Bing.com#"_s + demo + u"#seo tools#0#0"_s,
                                 u"Bing.com#"_s + demo + u"#backlinks#0#0"_s,
                                 u"Bing.com#www.other.example#seo tools#0#0"_s,
                                 u"Bing.com#www.other.example#backlinks#0#0"_s}));

    // --proxy for one run: every request goes through it.
    TestProxy proxy;
    outcome = run({u"rank"_s, u"--site"_s, demo, u"--keyword"_s, u"seo tools"_s, u"--engine"_s,
                   u"bing"_s, u"--proxy"_s, proxy.url()},
                  hosts());
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(proxy.relayed(), 1);

    // A captcha page is a word and a reason, never a rank, and exit status 3.
    TestHttpServer blocking;
    blocking.setHandler([](const Request& request) -> std::optional<Response> {
        // Bing (asked after Google) takes its time over "slow".
        if (request.query(u"q") == u"slow"_s && request.query(u"first"))
            return Response::page(QString()).after(std::chrono::seconds(20));
        if (request.query(u"q") == u"seo tools"_s)
            return Response::withStatus(429,
                                        u"<p>unusual traffic from your computer network</p>"_s);
        return Response::page(QString());
    });
    const QString google = u"google="_s + blocking.hostAndPort();
    outcome = run(
        {u"rank"_s, u"--site"_s, demo, u"--keyword"_s, u"seo tools"_s, u"--engine"_s, u"google"_s},
        google);
    QCOMPARE(outcome.exitCode, 3);
    QVERIFY2(outcome.out.startsWith(u"Google.com\tblocked\t验证码页面\thttp://"_s),
             qPrintable(outcome.out));

    // A signal drops the request in flight: the rows so far stay, nothing waits.
    QProcess process;
    process.setProcessEnvironment(environment(google + u",bing="_s + blocking.hostAndPort()));
    QSignalSpy finished(&process, &QProcess::finished);
    process.start(QString::fromUtf8(MARBLEWAY_CLI),
                  {u"rank"_s, u"--site"_s, demo, u"--keyword"_s, u"other"_s, u"--keyword"_s,
                   u"slow"_s, u"--engine"_s, u"google"_s, u"--engine"_s, u"bing"_s, u"--output"_s,
                   home(u"cut.csv"_s)});
    QTRY_VERIFY(std::any_of(blocking.requests().cbegin(), blocking.requests().cend(),
                            [](const Request& request) {
                                return request.query(u"q") == u"slow" && request.query(u"first");
                            }));
    process.terminate();
    QVERIFY(finished.wait(3000));
    QCOMPARE(process.exitCode(), 128 + SIGTERM);
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    QVERIFY2(out.contains(u"#other#0#0\nGoogle.com\t0\t"_s) && !out.contains(u"failed"_s),
             qPrintable(out));
    // The rows printed are in the file too, those of the combination cut short included.
    QCOMPARE(fileBytes(home(u"cut.csv"_s)).count("Google.com"), 2);
}

void TestCli::fetchPrintsThePage()
{
    // In the character set given, printed as UTF-8 and nothing else; an address
    // without a scheme is taken as http.
    const QString page = u"<meta content=\"text/html; charset=gb2312\">网站排名"_s;
    m_pages.serve(u"/gbk"_s, Response::page(page, "GBK"));
    m_pages.serve(u"/slow"_s, Response::page(u"late"_s).after(3s));
    Outcome outcome =
        run({u"fetch"_s, m_pages.hostAndPort() + u"/gbk"_s, u"--charset"_s, u"gbk"_s});
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(outcome.out, page);
    outcome = run(
        {u"fetch"_s, m_pages.url(u"/slow"), u"--charset"_s, u"utf-8"_s, u"--timeout"_s, u"0"_s});
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(outcome.out, QString());
}

void TestCli::favourites()
{
    const QStringList descriptors = {u"Google.com,Bing.com#"_s + demo + u"#seo tools#2#1"_s,
                                     u"Yahoo.com#"_s + demo + u"#backlinks#1#0"_s};
    for (const QString& descriptor : descriptors)
        QVERIFY(QDir().mkpath(home(u"myfav/"_s + descriptor)));
    const Outcome listed = run({u"favourites"_s, u"--list"_s});
    QCOMPARE(listed.out, u"Google.com,Bing.com\t"_s + demo +
                             u"\tseo tools\t50\tall\nYahoo.com\t"_s + demo +
                             u"\tbacklinks\t20\tfirst\n"_s);

    // Each favourite, then its rows; today's day file as the window writes it.
    Outcome ran = run({u"favourites"_s, u"--run"_s}, hosts());
    QCOMPARE(ran.exitCode, 0);
    QVERIFY(ran.out.startsWith(descriptors.at(0) + u"\nGoogle.com\t3\t"_s));
    QVERIFY(ran.out.contains(u'\n' + descriptors.at(1) + u"\nYahoo.com\t15\t"_s));
    const QString day =
        home(u"myfav/%1/%2.txt"_s.arg(descriptors.at(0), isoDate(QDate::currentDate())));
    const QString lines = readAnsiFile(day).value_or(QString());
    QVERIFY(lines.startsWith(u"Google.com|3|"_s + demo + u"/seo-tools\r\nGoogle.com|17|"_s));
    QCOMPARE(lines.count(u"\r\n"_s), 4);

    // Engines that cannot be reached: failed lookups, told by a word and the
    // exit status; the day keeps what was read.
    const QString nowhere = TestHttpServer().hostAndPort(); // closed again at once
    ran = run({u"favourites"_s, u"--run"_s}, u"google=%1,yahoo=%1,bing=%1"_s.arg(nowhere));
    QCOMPARE(ran.exitCode, 3);
    QVERIFY2(ran.out.contains(u"\nGoogle.com\tfailed\t"_s), qPrintable(ran.out));
    QCOMPARE(readAnsiFile(day).value_or(QString()), lines);

    // The history: a line per day and engine under each favourite.
    const Outcome history =
        run({u"favourites"_s, u"--history"_s, u"BACKLINKS"_s, u"--output"_s, home(u"h.csv"_s)});
    QCOMPARE(history.exitCode, 0);
    const QString today = isoDate(QDate::currentDate());
    QVERIFY2(history.out.startsWith(descriptors.at(1) + u'\n' + today + u"\tYahoo.com\t15\t"_s),
             qPrintable(history.out));
    QCOMPARE(history.out.count(u'\n'), 2);
    QVERIFY(fileBytes(home(u"h.csv"_s)).contains("Yahoo.com"));

    // A day file that cannot be written is told and sets the exit status.
    QVERIFY(QFile::remove(day) && QDir().mkpath(day));
    ran = run({u"favourites"_s, u"--run"_s}, hosts());
    QCOMPARE(ran.exitCode, 1);
    QVERIFY(ran.err.contains(u"cannot write today's ranks of "_s + descriptors.at(0)));
}

void TestCli::related()
{
    // The crawl interval as the window stores it, above the default: a run that
    // did not read it would ask twice as early. Program time runs eight times
    // faster; the margin either way is a quarter second of real time, as a busy
    // machine may delay one request's arrival.
    QSettings(settingsFile(), QSettings::IniFormat)
        .setValue(u"Software/Marbleway/V1.0.0/Config/googlese"_s, u"10"_s);
    constexpr int speed = 8;
    m_google.clearRequests();
    const Outcome counted =
        run({u"related"_s, u"seo tools"_s, u"--must-contain"_s, u"--exclude"_s,
             u"free|best|beginners|software|comparison|top|review|online"_s, u"--counts"_s,
             u"google"_s, u"--store"_s, u"--output"_s, home(u"related.csv"_s)},
            hosts(), speed);
    QFile::remove(settingsFile());
    QCOMPARE(counted.exitCode, 0);
    QCOMPARE(counted.out.count(u'\n'), 3);
    QVERIFY(counted.out.startsWith(
        u"seo tools\t%1\t-\t-\n"_s.arg(fakeweb::countFor(SearchEngine::Google, u"seo tools"_s))));
    QString expected = u"相关关键词,Google.com收录,Yahoo.com收录,Bing.com收录数\n"_s + counted.out;
    expected.replace(u'\t', u',').replace(u"\n"_s, u"\r\n"_s);
    QCOMPARE(fileBytes(home(u"related.csv"_s)), "\xEF\xBB\xBF" + expected.toUtf8());
    {
        KeywordStore store;
        QVERIFY(store.open(home(u"db.sqlite"_s)) && store.all().size() == 3);
    }
    // The first request for each keyword is its count (the seed's related page comes later).
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
        QVERIFY2((counts.at(i) - counts.at(i - 1)) * speed >= 7500ms, qPrintable(keywords.at(i)));

    // A database damaged past its first page: the rows print, the failure is
    // told once and sets the exit status.
    const QString db = home(u"db.sqlite"_s);
    QVERIFY(writeBytes(db, QByteArray(QFileInfo(db).size() - 4096, 'x'), 4096));
    const Outcome damaged = run({u"related"_s, u"seo tools"_s, u"--store"_s}, hosts());
    QCOMPARE(damaged.exitCode, 1);
    QVERIFY(damaged.out.startsWith(u"seo tools\t-\t-\t-\n"_s));
    QVERIFY(damaged.out.contains(u"\nseo tools online\t"_s));
    QCOMPARE(damaged.err.count(u"keyword database"_s), 1);
}

void TestCli::keywordDatabase()
{
    const auto lines = [this](const QStringList& arguments, int timeScale = 1) {
        const Outcome outcome = run(arguments, hosts(), timeScale);
        return outcome.exitCode == 0 ? outcome.out.split(u'\n', Qt::SkipEmptyParts)
                                     : QStringList{outcome.err};
    };
    const QString odd = u"it's 100%_"_s;
    QCOMPARE(lines({u"db"_s, u"add"_s, u"seo tools"_s, u" "_s + odd, u"seo tools"_s, u"--parent"_s,
                    u"seo"_s}),
             (QStringList{u"seo tools"_s, odd}));
    QCOMPARE(lines({u"db"_s, u"add"_s, u"seo tools"_s}), QStringList());

    // Only Yahoo asked: the other counts stay, the date is today's; rows print newest first.
    const QStringList updated = lines({u"db"_s, u"update"_s, u"--engines"_s, u"YAHOO"_s}, 50);
    QStringList expected;
    for (const QString& keyword : {odd, u"seo tools"_s})
        expected << u"%1\tseo\t-\t%2\t-\t%3"_s.arg(
            keyword, QString::number(fakeweb::countFor(SearchEngine::Yahoo, keyword)),
            isoDate(QDate::currentDate()));
    QCOMPARE(updated, expected);
    QCOMPARE(lines({u"db"_s, u"list"_s}), expected);
    // --output: the bytes of the window's export buttons, by extension.
    ExportTable table;
    table.headers = {u"关键词"_s,        u"父关键词"_s,     u"Google.com收录"_s,
                     u"Yahoo.com收录"_s, u"Bing.com收录"_s, u"更新日期"_s};
    for (const QString& line : expected)
        table.rows.push_back({line.split(u'\t'), {}});
    const std::array<std::pair<QString, QByteArray>, 3> outputs = {
        {{u"db.txt"_s, textReport(ReportKind::Database, table)},
         {u"db.html"_s, htmlReport(ReportKind::Database, table)},
         {u"db.xlsx"_s, "PK\x03\x04"}}};
    for (const auto& [name, bytes] : outputs) {
        QCOMPARE(lines({u"db"_s, u"list"_s, u"--output"_s, home(name)}), expected);
        const QByteArray written = fileBytes(home(name));
        QCOMPARE(name.endsWith(u"xlsx") ? written.left(4) : written, bytes);
    }
    // The filter options reach the list (the rules are the filter's own tests).
    QCOMPARE(lines({u"db"_s, u"list"_s, u"--not-contains"_s, u"'"_s, u"--yahoo"_s, u">0"_s}),
             QStringList{expected.at(1)});
    QCOMPARE(lines({u"db"_s, u"delete"_s, u"seo tools"_s, u"nothing"_s}),
             QStringList{u"seo tools"_s});
    QCOMPARE(lines({u"db"_s, u"list"_s}), QStringList{expected.at(0)});
    // A row stays one line whatever its keyword holds; a keyword stored with
    // spaces around it (by an older version) can still be deleted.
    QCOMPARE(lines({u"db"_s, u"add"_s, u"a\tb\\c"_s}), QStringList{u"a\\tb\\\\c"_s});
    {
        KeywordStore store;
        QVERIFY(store.open(home(u"db.sqlite"_s)));
        QVERIFY(store.insertUncounted(u" spaced "_s, QString(), QDate(2026, 1, 2)));
    }
    QCOMPARE(lines({u"db"_s, u"delete"_s, u" spaced "_s, u"a\tb\\c"_s}),
             (QStringList{u" spaced "_s, u"a\\tb\\\\c"_s}));

    QVERIFY(writeBytes(home(u"db.sqlite"_s), QByteArray(8192, 'x')));
    const Outcome unusable = run({u"db"_s, u"list"_s});
    QCOMPARE(unusable.exitCode, 1);
    QVERIFY(unusable.err.contains(u"the keyword database cannot be opened"_s));
}

// The last pages of a category, as the example service lists them, printed
// and kept in the report the tab's save button writes.
void TestCli::resources()
{
    fakeweb::serveExamplePages(m_pages, Service::Maker);
    const Outcome outcome = run({u"resources"_s, u"--category"_s, u"6"_s, u"--from-page"_s, u"19"_s,
                                 u"--output"_s, home(u"blogs.csv"_s)},
                                u"maker="_s + m_pages.hostAndPort());
    QCOMPARE(outcome.exitCode, 0);
    QStringList expected;
    for (int n = 35; n <= 38; ++n)
        expected << u"Example blog %1\twww.blog-%1.example/submit\t%2\t英文，免费提交"_s.arg(n).arg(
            n % 8);
    QCOMPARE(outcome.out, expected.join(u'\n') + u'\n');
    QCOMPARE(fileBytes(home(u"blogs.csv"_s)),
             "\xEF\xBB\xBF" + (u"资源名称,资源URL,PR,备注&说明\r\n"_s +
                               QString(expected.join(u"\r\n"_s) + u"\r\n"_s).replace(u'\t', u','))
                                  .toUtf8());
}

void TestCli::baidu()
{
    // One line per keyword, in order: the figures the example pages give.
    fakeweb::serveExamplePages(m_pages, Service::Baidu);
    const Outcome outcome = run({u"baidu"_s, u"seo tools"_s, u"网站优化"_s},
                                u"baidu=%1,baiduindex=%1"_s.arg(m_pages.hostAndPort()));
    QCOMPARE(outcome.exitCode, 0);
    const QStringList lines = outcome.out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QVERIFY(lines.at(1).startsWith(u"网站优化\t"_s));
    for (const QStringList& fields : {lines.at(0).split(u'\t'), lines.at(1).split(u'\t')}) {
        QVERIFY2(fields.size() == 5 && fields.at(1).toInt() > 0 && fields.at(3).toInt() > 0 &&
                     fields.at(4) == optimisationIndex(fields.at(1), fields.at(3)),
                 qPrintable(fields.join(u'|')));
    }
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
