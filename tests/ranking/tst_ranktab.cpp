#include "core/textfile.h"
#include "enginepages.h"
#include "ranking/rankhistory.h"
#include "ranking/ranktabcontroller.h"
#include "testsupport.h"

#include <QSignalSpy>

using namespace marbleway;
using namespace marbleway::test;
using namespace Qt::StringLiterals;

namespace {

using List = SiteKeywordLists::List;
const QString demo = fakeweb::DemoSite.toString();

// Each row as its cells joined by "|".
QStringList rows(const RowModel& model)
{
    QStringList all;
    for (int r = 0; r < model.size(); ++r) {
        QStringList cells = model.at(r).cells;
        while (cells.size() < model.columnCount())
            cells << QString();
        all << cells.join(u'|');
    }
    return all;
}

// Today until the first look, then the next day: a run that crosses midnight.
class MidnightClock final : public Clock {
public:
    std::chrono::milliseconds monotonic() const override { return Clock::system().monotonic(); }
    QDateTime now() const override
    {
        return QDateTime(QDate(2026, 12, 5).addDays(m_looks++ > 0 ? 1 : 0), QTime(23, 59, 59));
    }
    std::chrono::milliseconds realDuration(std::chrono::milliseconds t) const override { return t; }

private:
    mutable int m_looks = 0;
};

} // namespace

class TestRankTab : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();

    void runAndRecentQueries();
    void favouriteHistory();
    void browsingStoredDays();
    void favouritesAddAndDelete();
    void listsAreStored();
    void importAndExport();
    void failedWritesKeepTheOldFile();
    void oneToManyMode();
    void choicesRoundTrip();
    void clickingWhileAQueryWaits();
    void stoppingAndBlockPages();
    void historyForTheChart();
    void aRunAcrossMidnight();

private:
    RankTabController& controller() { return *m_controller; }
    RankTabModel& model() { return m_controller->model(); }
    ScriptedPrompts& prompts() { return m_env->prompts; }
    QStringList results() { return rows(*model().results()); }
    // Engines, depth, all positions and mode as shown, in the stored form.
    QString choices() { return model().choices().toSetting(); }
    void makeController(const Clock& clock = Clock::system());
    void add(List list, const QStringList& texts);
    // The sites, keywords and choices of a run, as the user gives them.
    void choose(const QStringList& sites, const QStringList& keywords, const QStringList& engines,
                int depth = 0, bool all = false);
    void run() { await(controller().job().run()); }

    std::unique_ptr<Fixture> m_env;
    std::unique_ptr<KeywordStore> m_database;
    std::unique_ptr<RankTabController> m_controller;
    bool m_loaded = true;
};

void TestRankTab::init()
{
    m_controller.reset();
    m_database.reset();
    m_env = std::make_unique<Fixture>();
    m_database = std::make_unique<KeywordStore>();
    QVERIFY(m_database->open(m_env->dataFile(u"db.sqlite"_s)));
    fakeweb::serveAllEngines(m_env->server);
    m_loaded = true;
    makeController();
}

void TestRankTab::makeController(const Clock& clock)
{
    m_controller = std::make_unique<RankTabController>(RankTabController::Services{
        *m_env->settings, m_env->dataFolder(), m_env->prompts, m_env->web.client,
        m_env->web.endpoints, clock, [this] { return m_loaded; }, m_database.get()});
    model().fillEngines();
}

void TestRankTab::add(List list, const QStringList& texts)
{
    for (const QString& text : texts) {
        prompts().answerText(text);
        await(controller().lists().add(list));
    }
}

void TestRankTab::choose(const QStringList& sites, const QStringList& keywords,
                         const QStringList& engines, int depth, bool all)
{
    add(List::Sites, sites);
    add(List::Keywords, keywords);
    model().checkEngines(engines);
    model().setDepthIndex(depth);
    model().setAllPositions(all);
}

void TestRankTab::runAndRecentQueries()
{
    // Nothing to run without a site, a keyword and an engine.
    run();
    add(List::Sites, {demo, u"www.absent.example"_s});
    run();
    const QStringList keywords = {u"seo tools"_s, u"keyword research"_s};
    add(List::Keywords, keywords);
    run();
    QCOMPARE(prompts().messages(), QStringList({u"请添加或选择至少一个要查询的网站！"_s,
                                                u"请添加或选择至少一个要查询的关键词！"_s,
                                                u"请至少选择一个要查询搜索引擎！"_s}));
    QCOMPARE(m_env->server.requestCount(), 0);

    prompts().clear();
    model().checkEngines({u"Google.com"_s, u"Bing.com"_s});
    QSignalSpy progress(&controller().job(), &Job::progress);
    run();
    const QStringList google = {u"3|"_s + demo + u"/seo-tools"_s,
                                u"8|"_s + demo + u"/keyword-research"_s};
    QStringList expected;
    for (const QString& site : {demo, u"www.absent.example"_s})
        for (int k = 0; k < 2; ++k)
            expected << site + u'|' + keywords[k] + u'|' + isoDate(QDate::currentDate())
                     << u"Google.com|"_s + (site == demo ? google[k] : u"0|"_s) << u"Bing.com|0|"_s;
    QCOMPARE(results(), expected);
    QCOMPARE(m_env->server.requestCount(), 8);
    QCOMPARE(prompts().messages(), QStringList{u"查询完毕"_s});
    QCOMPARE(progress.size(), 5);

    // Recent queries: one per site and keyword; a second identical run adds
    // none, another depth is another query.
    QCOMPARE(rows(*model().recent()).first(), u"Google.com,Bing.com|"_s + demo + u"|seo tools"_s);
    run();
    QCOMPARE(model().recent()->size(), 4);
    model().setDepthIndex(1);
    run();
    QCOMPARE(model().recent()->size(), 8);

    // A click brings one back: its choices, saved whole, and its results.
    model().setDepthIndex(0);
    model().uncheckAllEngines();
    controller().restoreRecent(4);
    QCOMPARE(choices(), u"Google.com$Bing.com#1#0#0"_s);
    QCOMPARE(m_env->setting(u"setting3"_s), choices());
    QCOMPARE(results().mid(1), QStringList({u"Google.com|"_s + google[0],
                                            u"Bing.com|12|"_s + demo + u"/seo-tools"_s}));

    tick(*model().recent(), 0, true);
    prompts().answerConfirm(false);
    await(controller().job().deleteRecent());
    QCOMPARE(model().recent()->size(), 8);
    prompts().answerConfirm(true);
    await(controller().job().deleteRecent());
    QCOMPARE(model().recent()->size(), 7);
}

void TestRankTab::favouriteHistory()
{
    // Every position of a favourite, each from one reading of its page, and
    // its day file as the run saw them.
    const FavouriteStore& store = controller().store();
    const Combination favourite{u"Google.com,Bing.com"_s, demo, u"seo tools"_s, 2, 1};
    QCOMPARE(store.create(favourite.descriptor()), FavouriteStore::Created::Created);
    choose({demo}, {u"seo tools"_s}, {u"Google.com"_s, u"Bing.com"_s}, 2, true);
    run();
    const QStringList hits = {u"Google.com|3|"_s + demo + u"/seo-tools"_s,
                              u"Google.com|17|"_s + demo + u"/blog/seo-tools-17"_s,
                              u"Bing.com|12|"_s + demo + u"/seo-tools"_s,
                              u"Bing.com|41|"_s + demo + u"/blog/seo-tools-41"_s};
    QCOMPARE(results().mid(1), hits);
    QCOMPARE(m_env->server.requestCount(), 10);
    const QString day = store.folder() + u'/' + favourite.descriptor() + u'/' +
                        isoDate(QDate::currentDate()) + u".txt"_s;
    QCOMPARE(readAnsiFile(day), crlfLines(hits));
    // The database keeps each engine's best position, and after a failed run too.
    const auto stored = [this, &favourite] {
        QStringList ranks;
        for (const StoredRank& rank : m_database->ranks(favourite.descriptor()))
            ranks << u"%1|%2|%3"_s.arg(rank.engine).arg(rank.position).arg(rank.outcome);
        return ranks;
    };
    const QStringList best = {u"bing|12|read"_s, u"google|3|read"_s};
    QCOMPARE(stored(), best);

    // A second run the same day whose lookups fail shows why and keeps the
    // day's read lines; one that reads the pages replaces them.
    m_env->server.setHandler(
        [](const Request&) { return std::optional(Response::withStatus(503, u"busy"_s)); });
    prompts().clear();
    run();
    QCOMPARE(results().mid(1), (QStringList{u"Google.com|查询失败|"_s, u"Bing.com|查询失败|"_s}));
    QCOMPARE(model().results()->at(1).tip, u"HTTP 503"_s);
    QCOMPARE(readAnsiFile(day), crlfLines(hits));
    QCOMPARE(stored(), best);
    QCOMPARE(prompts().messages(), QStringList{u"查询完毕"_s});
    m_env->server.setHandler(
        [](const Request&) { return std::optional(Response::page(QString())); });
    run();
    QCOMPARE(readAnsiFile(day), u"Google.com|0|\r\nBing.com|0|\r\n"_s);
    QCOMPARE(stored(), (QStringList{u"bing|0|read"_s, u"google|0|read"_s}));
    QCOMPARE(store.days(favourite.descriptor()).size(), 1);

    // A day file that cannot be written is reported; the run goes on.
    QVERIFY(QFile::remove(day) && QDir().mkpath(day));
    QSignalSpy warnings(&controller().job(), &Job::warning);
    run();
    QCOMPARE(warnings.size(), 1);
    QVERIFY(warnings.first().first().toString().contains(favourite.descriptor()));
    QCOMPARE(model().results()->size(), 3);
}

void TestRankTab::browsingStoredDays()
{
    const FavouriteStore& store = controller().store();
    const QString descriptor = u"Yahoo.com,Bing.com#www.site.example#seo#1#0"_s;
    store.create(descriptor);
    QVERIFY(store.writeDay(descriptor, QDate(2026, 3, 2), {u"Yahoo.com|4|www.site.example/a"_s}));
    QVERIFY(store.writeDay(descriptor, QDate(2026, 2, 27), {u"Yahoo.com|9|x"_s, u"Bing.com|0|"_s}));
    QVERIFY(store.writeDay(descriptor, QDate(2026, 3, 1), {}));
    // What a write killed before its rename leaves, and files of other names, are no days.
    const QDir folder(store.folder() + u'/' + descriptor);
    const QStringList others = {u"2026-03-02.txt.fgSsxg"_s, u"2026-03-01.txt.Ab12Cd"_s,
                                u"2026-02-30.txt"_s, u"notes.txt"_s};
    for (const QString& name : others)
        QVERIFY(writeAnsiFile(folder.filePath(name), u"Google.com|1|x\r\n"_s));
    controller().favourites().load();
    add(List::Sites, {u"other.example"_s});
    // A team's lookups in the database win over the day files' where they differ.
    QVERIFY(m_database->recordRanks(
        {{descriptor, QDate(2026, 2, 27), u"bing"_s, 8, u"y"_s, u"read"_s, {}},
         {descriptor, QDate(2026, 3, 1), u"yahoo"_s, 2, u"db"_s, u"read"_s, {}},
         {descriptor, QDate(2026, 3, 2), u"yahoo"_s, 4, u"www.site.example/a"_s, u"read"_s, {}}}));

    controller().browseFavourite(0);
    QCOMPARE(results(), QStringList({u"www.site.example|seo|2026-02-27"_s, u"Yahoo.com|9|x"_s,
                                     u"Bing.com|8|y"_s, u"www.site.example|seo|2026-03-01"_s,
                                     u"Yahoo.com|2|db"_s, u"www.site.example|seo|2026-03-02"_s,
                                     u"Yahoo.com|4|www.site.example/a"_s}));
    QCOMPARE(model().sites()->columnTexts(), QStringList{u"www.site.example"_s});
    QCOMPARE(model().keywords()->checkedTexts(), QStringList{u"seo"_s});
    QCOMPARE(choices(), u"Yahoo.com$Bing.com#1#0#0"_s);
    // Browsing changes the lists on screen only, also when they are checked after.
    tick(*model().sites(), 0, false);
    tick(*model().sites(), 0, true);
    QCOMPARE(m_env->setting(u"settingurl"_s), u"other.example"_s);

    // The next write removes stale leftovers; one a minute old may be a write still running.
    QFile stale(folder.filePath(others.first()));
    QVERIFY(stale.open(QIODevice::ReadWrite));
    QVERIFY(stale.setFileTime(QDateTime::currentDateTime().addSecs(-120),
                              QFileDevice::FileModificationTime));
    stale.close();
    QVERIFY(store.writeDay(descriptor, QDate(2026, 3, 3), {}));
    QCOMPARE(folder.entryList(QDir::Files).size(), 7);
    QVERIFY(!stale.exists());
}

void TestRankTab::favouritesAddAndDelete()
{
    await(controller().favourites().add());
    QCOMPARE(prompts().messages().last(), u"请至少选择一条记录！"_s);

    choose({demo, u"bad/site.example"_s}, {u"seo tools"_s, u"c# seo"_s}, {u"Google.com"_s}, 2,
           true);
    run();
    model().recent()->setAllChecked(true);
    prompts().clear();
    await(controller().favourites().add());
    // A site that cannot be a folder name, and a "#" that would split the
    // descriptor, are reported; the other is added.
    QCOMPARE(prompts().messages().size(), 2);
    QVERIFY(prompts().messages().at(0).contains(u"Google.com#bad/site.example#seo tools#2#1"));
    QVERIFY(prompts().messages().at(0).contains(u"c# seo#2#1（含有“#”）"));
    QCOMPARE(prompts().messages().at(1), u"成功加入1条收藏记录！"_s);
    const QString descriptor = u"Google.com#"_s + demo + u"#seo tools#2#1"_s;
    QCOMPARE(controller().store().days(descriptor).first().lines, results().mid(1, 2));
    QCOMPARE(m_database->ranks(descriptor).value(0).position,
             results().at(1).section(u'|', 1, 1).toInt());
    QCOMPARE(model().favourites()->size(), 1);
    // Once more: it exists already and is not counted.
    await(controller().favourites().add());
    QCOMPARE(prompts().messages().last(), u"成功加入0条收藏记录！"_s);

    // Delete it; an old index loses its line.
    QVERIFY(writeAnsiFile(m_env->dataFile(u"myfav/list.txt"_s),
                          crlfLines({u"keep#me"_s, descriptor, u"also#kept"_s})));
    tick(*model().favourites(), 0, true);
    prompts().answerConfirm(true);
    await(controller().favourites().remove());
    QVERIFY(!controller().store().IsSaves(descriptor));
    QCOMPARE(model().favourites()->size(), 0);
    QCOMPARE(readAnsiFile(m_env->dataFile(u"myfav/list.txt"_s)), u"keep#me\r\nalso#kept\r\n"_s);
}

void TestRankTab::listsAreStored()
{
    add(List::Sites, {u"  www.one.example  "_s, u"www.站点.example"_s, u"www.one.example"_s, {}});
    add(List::Keywords, {u"seo"_s, u"关键词"_s});
    QCOMPARE(m_env->setting(u"settingurl"_s), u"www.one.example$www.站点.example"_s);
    QCOMPARE(readAnsiFile(m_env->dataFile(u"mykw.txt"_s)), u"seo$关键词\r\n"_s);

    // Delete needs a yes.
    tick(*model().sites(), 0, true);
    tick(*model().sites(), 1, false);
    await(controller().lists().remove(List::Sites));
    QCOMPARE(model().sites()->size(), 2);
    prompts().answerConfirm(true);
    await(controller().lists().remove(List::Sites));
    QCOMPARE(m_env->setting(u"settingurl"_s), u"www.站点.example"_s);

    // An edit in place is saved.
    model().keywords()->setData(model().keywords()->index(0, 0), u"seo tools"_s, Qt::EditRole);
    QCOMPARE(readAnsiFile(m_env->dataFile(u"mykw.txt"_s)), u"seo tools$关键词\r\n"_s);

    // A restart loads both lists, every item checked.
    makeController();
    controller().tabShown();
    QCOMPARE(model().sites()->checkedTexts(), QStringList{u"www.站点.example"_s});
    QCOMPARE(model().keywords()->checkedTexts(), QStringList({u"seo tools"_s, u"关键词"_s}));
}

void TestRankTab::importAndExport()
{
    const QString import = m_env->dir.filePath(u"sites.txt"_s);
    QVERIFY(writeAnsiFile(import, u"a.example\r\nb.example\n\r\nc.example\r\n"_s));
    add(List::Sites, {u"a.example"_s});
    prompts().answerText(import);
    await(controller().lists().importFile(List::Sites));
    // Every non-empty line, however it ends, saved at once; the user told how many.
    const QStringList all = {u"a.example"_s, u"a.example"_s, u"b.example"_s, u"c.example"_s};
    QCOMPARE(model().sites()->columnTexts(), all);
    QCOMPARE(model().sites()->checkedTexts(), QStringList{u"a.example"_s});
    QCOMPARE(m_env->setting(u"settingurl"_s), all.join(u'$'));
    QCOMPARE(prompts().messages().last(), u"成功导入3条记录！"_s);

    const QString exported = m_env->dir.filePath(u"out.txt"_s);
    prompts().answerText(exported);
    await(controller().lists().exportFile(List::Sites));
    QCOMPARE(readAnsiFile(exported), crlfLines(all));
    QCOMPARE(prompts().messages().last(), u"网站列表导出成功！"_s);
    // An existing file is kept unless the user agrees.
    QVERIFY(writeAnsiFile(exported, u"old"_s));
    prompts().answerText(exported);
    prompts().answerConfirm(false);
    await(controller().lists().exportFile(List::Sites));
    QCOMPARE(readAnsiFile(exported), u"old"_s);

    await(controller().lists().exportFile(List::Keywords));
    QCOMPARE(prompts().messages().last(), u"没有数据需要导出！"_s);
}

// The keyword list and the day files are written through the data folder's
// writer (how each fault fails: tst_core).
void TestRankTab::failedWritesKeepTheOldFile()
{
    const FavouriteStore& store = controller().store();
    const QString descriptor = u"Google.com#www.site.example#seo#0#0"_s;
    QCOMPARE(store.create(descriptor), FavouriteStore::Created::Created);
    const QStringList paths = {store.folder() + u'/' + descriptor + u"/2026-12-05.txt"_s,
                               m_env->dataFile(u"mykw.txt"_s)};
    for (const QString& path : paths)
        QVERIFY(writeAnsiFile(path, u"old$医院\r\n"_s));
    m_env->writer->setFault(WriteFault::Commit);
    QVERIFY(!store.writeDay(descriptor, QDate(2026, 12, 5), {u"Google.com|1|x"_s}));
    QSignalSpy failed(&controller().lists(), &SiteKeywordLists::saveFailed);
    add(List::Keywords, {u"seo tools"_s});
    QCOMPARE(failed.size(), 1);
    for (const QString& path : paths)
        QCOMPARE(readAnsiFile(path), u"old$医院\r\n"_s);
}

void TestRankTab::oneToManyMode()
{
    add(List::Sites, {u"a.example"_s, u"b.example"_s});
    add(List::Keywords, {u"shared"_s});
    SiteKeywordLists& lists = controller().lists();
    RowModel& sites = *model().sites();
    const auto keywords = [this] { return model().keywords()->columnTexts().join(u','); };
    // The checked sites, then the keywords shown.
    const auto shown = [&]() -> QString {
        return sites.checkedTexts().join(u',') + u':' + keywords();
    };

    lists.setMode(1);
    QCOMPARE(shown(), u"a.example:shared"_s);
    QCOMPARE(model().currentSite(), 1);
    // Checking b unchecks a and shows b's own, empty, keyword list.
    tick(sites, 1, true);
    QCOMPARE(shown(), u"b.example:"_s);
    add(List::Keywords, {u"only b"_s});
    // A site's own keywords never replace the shared list.
    QCOMPARE(readAnsiFile(m_env->dataFile(u"mykw.txt"_s)), u"shared\r\n"_s);

    // Back to a: its keywords as they were when the mode began. A clicked site
    // takes the next change, not the site checked before.
    tick(sites, 0, true);
    QCOMPARE(shown(), u"a.example:shared"_s);
    lists.siteClicked(1);
    add(List::Keywords, {u"b too"_s});
    tick(sites, 0, true);
    lists.siteClicked(1);
    QCOMPARE(shown(), u"b.example:only b,b too"_s);
    // "$" joins the stored lists: an item holding one is refused, not split.
    prompts().clear();
    add(List::Keywords, {u"a$b"_s});
    QVERIFY(prompts().messages().last().contains(u"a$b"));
    // Renamed in place, a site keeps its own keywords; shown again (another tab,
    // then back), the mode, the current site and its keywords are as they were.
    sites.setData(sites.index(1, 0), u"b2.example"_s, Qt::EditRole);
    tick(sites, 0, true);
    tick(sites, 1, true);
    controller().tabShown();
    QCOMPARE(model().modeIndex(), 1);
    QCOMPARE(shown(), u"b2.example:only b,b too"_s);

    // Back to many-to-many: the shared list again; none stored is none shown.
    lists.setMode(0);
    QCOMPARE(keywords(), u"shared"_s);
    QVERIFY(QFile::remove(m_env->dataFile(u"mykw.txt"_s)));
    lists.setMode(1);
    lists.setMode(0);
    QCOMPARE(keywords(), QString());
    // Unchecking the only checked site in one-to-many mode empties the keyword list.
    lists.setMode(1);
    tick(sites, 1, false);
    QCOMPARE(keywords(), QString());

    // Without a current site no keyword can be added.
    lists.setMode(0);
    sites.setAllChecked(false);
    lists.setMode(1);
    QCOMPARE(model().currentSite(), 0);
    prompts().clear();
    await(lists.add(List::Keywords));
    QCOMPARE(prompts().messages(), QStringList{u"必须选定一个网站后再添加关键词！"_s});
}

void TestRankTab::choicesRoundTrip()
{
    // First switch to the tab: the default is written back in four fields.
    controller().tabShown();
    QCOMPARE(m_env->setting(u"setting3"_s), u"#1#0#0"_s);

    m_env->settings->RegSave(u"setting3"_s, u"Google.com$Bing.com#2#1#1"_s);
    makeController();
    controller().tabShown();
    QCOMPARE(choices(), u"Google.com$Bing.com#2#1#1"_s);
    QCOMPARE(m_env->setting(u"setting3"_s), choices());

    // Unchecking every engine leaves the first field empty.
    tick(*model().engines(), 0, false);
    tick(*model().engines(), 2, false);
    QCOMPARE(m_env->setting(u"setting3"_s), u"#2#1#1"_s);

    // The restore only checks: an engine already checked stays so.
    tick(*model().engines(), 1, true);
    m_env->settings->RegSave(u"setting3"_s, u"Google.com#0#0#0"_s);
    controller().tabShown();
    QCOMPARE(model().checkedEngines(), QStringList({u"Google.com"_s, u"Yahoo.com"_s}));

    // Before start-up has restored everything nothing is written.
    m_loaded = false;
    tick(*model().engines(), 2, true);
    QCOMPARE(m_env->setting(u"setting3"_s), u"Google.com$Yahoo.com#0#0#0"_s);
}

void TestRankTab::clickingWhileAQueryWaits()
{
    choose({demo}, {u"seo tools"_s, u"backlinks"_s}, {u"Google.com"_s, u"Bing.com"_s});
    run();
    QCOMPARE(controller().store().create(u"Google.com#x.example#k#0#0"_s),
             FavouriteStore::Created::Created);
    controller().favourites().load();

    // Slow pages: every click below lands while the job waits for one.
    m_env->server.setHandler([](const Request&) {
        return std::optional(Response::page(QString()).after(std::chrono::milliseconds(30)));
    });
    controller().job().start();
    QVERIFY(controller().job().isRunning());
    for (int i = 0; i < 6; ++i) {
        QTest::qWait(20);
        if (i % 3 == 0)
            controller().restoreRecent(0);
        else if (i % 3 == 1)
            controller().browseFavourite(0);
        else
            tick(*model().recent(), 0, i % 2 == 0);
    }
    QTRY_VERIFY_WITH_TIMEOUT(!controller().job().isRunning(), 10000);
    QCOMPARE(model().recent()->size(), 2);
    // The run kept its list: its own rows, whole, and no earlier results shown over them.
    QStringList expected;
    for (const QString& keyword : {u"seo tools"_s, u"backlinks"_s})
        expected << demo + u'|' + keyword + u'|' + isoDate(QDate::currentDate())
                 << u"Google.com|0|"_s << u"Bing.com|0|"_s;
    QCOMPARE(results(), expected);
}

void TestRankTab::stoppingAndBlockPages()
{
    // Google answers with its captcha page at once; Bing waits ten seconds.
    m_env->server.setHandler([](const Request& request) -> std::optional<Response> {
        if (request.query(u"first"))
            return Response::page(QString()).after(std::chrono::seconds(10));
        return Response::withStatus(
            429,
            u"<html>Our systems have detected unusual traffic from your computer network.</html>"_s);
    });
    const Combination favourite{u"Google.com,Bing.com"_s, demo, u"seo tools"_s, 0, 0};
    QCOMPARE(controller().store().create(favourite.descriptor()), FavouriteStore::Created::Created);
    choose({demo}, {u"seo tools"_s, u"backlinks"_s}, {u"Google.com"_s, u"Bing.com"_s});
    prompts().clear();
    RankJob& job = controller().job();
    job.start();
    QTRY_VERIFY(m_env->server.requestCount() == 2);
    // The stop drops the waiting request: the run ends now, with what it found.
    job.stop();
    QTRY_VERIFY_WITH_TIMEOUT(!job.isRunning(), 3000);
    QCOMPARE(results(), (QStringList{demo + u"|seo tools|"_s + isoDate(QDate::currentDate()),
                                     u"Google.com|被屏蔽|"_s}));
    QCOMPARE(model().results()->at(1).tip, u"验证码页面"_s);
    // A combination cut short is no recent query and no day of the favourite.
    QCOMPARE(model().recent()->size(), 0);
    QCOMPARE(controller().store().days(favourite.descriptor()).size(), 0);
    QVERIFY(prompts().shown().isEmpty());

    // A run that ends offers the page that blocked it.
    m_env->server.setHandler([](const Request& request) -> std::optional<Response> {
        if (request.query(u"first"))
            return Response::page(QString());
        return Response::page(u"<html><a href=\"https://consent.google.com/\">x</a></html>"_s);
    });
    QSignalSpy answer(&job, &RankJob::answerBlockPage);
    prompts().answerConfirm(true);
    run();
    QCOMPARE(prompts().shown().size(), 1);
    QVERIFY(prompts().shown().first().text.contains(u"Google.com返回了Cookie 同意页面"));
    QCOMPARE(answer.size(), 1);
    QVERIFY(answer.first().first().toString().contains(u"/search?q=seo%20tools"));
    QCOMPARE(controller().store().days(favourite.descriptor()).first().lines,
             (QStringList{u"Google.com|0||blocked|Cookie 同意页面"_s, u"Bing.com|0|"_s}));
}

void TestRankTab::historyForTheChart()
{
    // Day files as runs leave them: the best line of each engine counts, a
    // missing day, a failed lookup and a day outside the depth break a line.
    const FavouriteStore& store = controller().store();
    const QString favourite = u"Google.com,Bing.com#"_s + demo + u"#seo tools#0#1"_s;
    QCOMPARE(store.create(favourite), FavouriteStore::Created::Created);
    const QDate first(2026, 3, 1);
    const QList<QStringList> days = {{u"Google.com|3|a"_s, u"Google.com|7|b"_s, u"Bing.com|12|c"_s},
                                     {u"Google.com|5|a"_s},
                                     {},
                                     {u"Google.com|0||failed|HTTP 503"_s},
                                     {u"Google.com|0|"_s},
                                     {u"Google.com|2|a"_s, u"Altavista.com|1|x"_s},
                                     {u"Google.com|4|a"_s}};
    for (int day = 0; day < days.size(); ++day)
        QVERIFY(days.at(day).isEmpty() ||
                store.writeDay(favourite, first.addDays(day), days.at(day)));
    const QList<HistoryPoint> points = readHistory(store, nullptr, favourite);
    QCOMPARE(points.size(), 7);
    QCOMPARE(points.at(3).outcome, RankOutcome::Failed);
    QCOMPARE(points.at(3).reason, u"HTTP 503"_s);
    // A team's lookups in the database win over the day files and add the days they lack.
    QVERIFY(m_database->recordRanks(
        {{favourite, first.addDays(1), u"google"_s, 9, u"t"_s, u"read"_s, {}},
         {favourite, first.addDays(9), u"bing"_s, 0, {}, u"blocked"_s, u"captcha"_s}}));
    const QList<HistoryPoint> merged = controller().history(favourite);
    QCOMPARE(merged.size(), 8);
    QCOMPARE(merged.at(2).position, 9);
    QCOMPARE(merged.last().outcome, RankOutcome::Blocked);

    const QList<ChartLine> lines = chartLines(points);
    QCOMPARE(lines.size(), 2);
    const auto positions = [](const ChartLine& line) {
        QList<QList<int>> runs;
        for (const QList<HistoryPoint>& run : line.runs) {
            runs.append(QList<int>());
            for (const HistoryPoint& point : run)
                runs.last() << point.position;
        }
        return runs;
    };
    QCOMPARE(positions(lines.at(0)), (QList<QList<int>>{{3, 5}, {2, 4}}));
    QCOMPARE(lines.at(0).unlisted.size(), 1);
    QCOMPARE(lines.at(0).unlisted.first().date, first.addDays(4));
    QCOMPARE(positions(lines.at(1)), (QList<QList<int>>{{12}}));
}

void TestRankTab::aRunAcrossMidnight()
{
    // The row's date and the day file are the same day.
    const MidnightClock clock;
    makeController(clock);
    const QString descriptor = u"Google.com#"_s + demo + u"#seo tools#0#0"_s;
    controller().store().create(descriptor);
    choose({demo}, {u"seo tools"_s}, {u"Google.com"_s});
    run();
    const QList<HistoryDay> days = controller().store().days(descriptor);
    QCOMPARE(days.size(), 1);
    QCOMPARE(days.first().date, model().results()->text(0, 2));
}

QTEST_GUILESS_MAIN(TestRankTab)
#include "tst_ranktab.moc"
