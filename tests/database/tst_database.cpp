#include "core/listroles.h"
#include "enginepages.h"
#include "keyworddb/keyworddatabaselist.h"
#include "research/databaserefresh.h"
#include "research/relatedsearch.h"
#include "scratchdatabase.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTimer>

using namespace marbleway;
using namespace marbleway::test;
using namespace Qt::StringLiterals;

namespace {

// Keyword, Google, Yahoo, Bing: the related keyword list's columns.
const QList<QStringList> filterRows = {
    {u"seo tools"_s, u"1,000"_s, u"-"_s, u"12"_s},
    {u"SEO guide"_s, u"999"_s, u"5"_s, u""_s},
    {u"seo tools free"_s, u"3000000000"_s, u"0"_s, u"更新中..."_s},
    {u"backlinks"_s, u"-"_s, u"7"_s, u"12"_s},
    {u"link tools"_s, u""_s, u"5"_s, u"1,000,000"_s},
};

} // namespace

class TestDatabase : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();

    void filters_data();
    void filters();
    void filterStartsOverFromTheFullList();
    void addDeleteAndLoad();
    void largeTableLoadsWhole();
    void refresh_data();
    void refresh();
    void refreshTimeOutsAndPacing();
    void refreshWaitsForALostConnection();

private:
    // The store's connection takes no more writes.
    void refuseWrites();
    void store(const QString& keys, const QString& counts = u"1 2 3"_s);
    KeywordDatabaseList& list() { return m_env->list; }

    // Time-outs are noted and real (the server answers at once); pacing waits
    // are noted and take no time.
    struct Env {
        RecordingClock webClock{false};
        Fixture fixture{webClock};
        RecordingClock waits;
        CrawlPacer pacer{waits};
        ScratchDatabase database;
        KeywordStore store;
        StatusPanels panels;
        KeywordDatabaseList list{store, webClock, fixture.prompts};
        DatabaseRefresh refresh{{fixture.web.client, fixture.web.endpoints, webClock, pacer, list,
                                 fixture.prompts, panels}};
    };
    std::unique_ptr<Env> m_env;
};

void TestDatabase::init()
{
    m_env.reset();
    m_env = std::make_unique<Env>();
    fakeweb::serveAllEngines(m_env->fixture.server);
    QVERIFY2(m_env->database.error().isEmpty(), qPrintable(m_env->database.error()));
    QVERIFY2(m_env->store.open(m_env->database.location()), qPrintable(m_env->store.lastError()));
}

void TestDatabase::refuseWrites()
{
    QSqlQuery(QSqlDatabase::database(m_env->store.connectionName()))
        .exec(ScratchDatabase::isPostgreSQL() ? u"set default_transaction_read_only = on"_s
                                              : u"pragma query_only = 1"_s);
}

void TestDatabase::store(const QString& keys, const QString& counts)
{
    const QStringList c = counts.split(u' ');
    QVERIFY(m_env->store.insert(keys, u"parent"_s, c.value(0), c.value(1), c.value(2),
                                QDate(2026, 1, 2)));
}

void TestDatabase::filters_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<bool>("excluded");
    QTest::addColumn<QString>("counts"); // relation + number per engine, "|"-separated
    QTest::addColumn<QString>("kept");

    const QString all = u"seo tools|SEO guide|seo tools free|backlinks|link tools"_s;
    QTest::newRow("nothing asked: all, in order") << u""_s << false << u"||"_s << all;
    QTest::newRow("contains, case counts")
        << u"seo"_s << false << u"||"_s << u"seo tools|seo tools free"_s;
    QTest::newRow("not contains") << u"tools"_s << true << u"||"_s << u"SEO guide|backlinks"_s;
    QTest::newRow("spaces are part of the word")
        << u" tools"_s << false << u"||"_s << u"seo tools|seo tools free|link tools"_s;
    QTest::newRow("google > 1000 keeps '-', empty and 64-bit counts")
        << u""_s << false << u">1000||"_s << u"seo tools free|backlinks|link tools"_s;
    QTest::newRow("google = 1000 reads 1,000")
        << u""_s << false << u"=1000||"_s << u"seo tools|backlinks|link tools"_s;
    QTest::newRow("yahoo < 6, a count in hand never drops")
        << u""_s << false << u"|<6|"_s << u"seo tools|SEO guide|seo tools free|link tools"_s;
    QTest::newRow("number with commas")
        << u""_s << false << u"||=1,000,000"_s << u"SEO guide|seo tools free|link tools"_s;
    QTest::newRow("number rounded half to even")
        << u""_s << false << u"||=12.5"_s << u"seo tools|SEO guide|seo tools free|backlinks"_s;
    QTest::newRow("not a number: ignored") << u""_s << false << u">abc||"_s << all;
    QTest::newRow("all four, and")
        << u"tools"_s << false << u">500|<6|=12"_s << u"seo tools|seo tools free"_s;
}

// Both tabs' lists read the same criteria from their own columns.
void TestDatabase::filters()
{
    QFETCH(QString, word);
    QFETCH(bool, excluded);
    QFETCH(QString, counts);
    QFETCH(QString, kept);
    ResultFilter filter;
    filter.word = word;
    filter.wordExcluded = excluded;
    for (size_t engine = 0; engine < 3; ++engine) {
        const QString criterion = counts.section(u'|', int(engine), int(engine));
        filter.counts[engine] = ResultFilter::countCriterion(criterion.left(1), criterion.mid(1));
    }
    for (const bool database : {false, true}) {
        const std::array<int, 3> columns =
            database ? KeywordDatabaseList::CountColumns : RelatedSearch::CountColumns;
        RowModel rows(database ? KeywordDatabaseList::Columns : RelatedSearch::Columns);
        for (const QStringList& cells : filterRows) {
            Row row;
            row.cells = database ? QStringList{cells.at(0), u"p"_s,      cells.at(1),
                                               cells.at(2), cells.at(3), u"2026-01-02"_s}
                                 : cells;
            row.checkable = row.checked = true;
            rows.append(std::move(row));
        }
        VisibleRows visible(rows);
        applyFilter(visible, filter, columns);
        QCOMPARE(column(visible).join(u'|'), kept);
        for (int row = 0; row < visible.rowCount(); ++row)
            QCOMPARE(visible.index(row, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    }
}

// A filter after a sort, a deletion or a refresh starts from the full list in
// its own order; the related list brings its deleted rows back, the database
// list never does, and keeps refreshed counts.
void TestDatabase::filterStartsOverFromTheFullList()
{
    for (const QString& keys : {u"c"_s, u"b"_s, u"a"_s})
        store(keys);
    await(list().load());
    VisibleRows& visible = *list().list();
    visible.sortBy(0, Qt::DescendingOrder);
    QCOMPARE(column(visible), (QStringList{u"c"_s, u"b"_s, u"a"_s}));
    list().rows()->setCell(list().rows()->idAt(0), 2, u"777"_s);
    list().rows()->setBold(list().rows()->idAt(1), true);
    tick(visible, 0);
    await(list().deleteChecked());
    list().filter(ResultFilter{});
    QCOMPARE(column(visible), (QStringList{u"a"_s, u"b"_s}));
    QCOMPARE(visible.index(0, 2).data().toString(), u"777"_s);
    // The refresh position is gone: the next refresh starts at the top.
    QVERIFY(!visible.index(1, 0).data(BoldRole).toBool());

    RowModel related(RelatedSearch::Columns);
    for (const QString& keys : {u"x"_s, u"y"_s}) {
        Row row = textRow({keys, u"1"_s, u"2"_s, u"3"_s});
        row.checkable = true;
        row.bold = keys == u"x"_s;
        related.append(std::move(row));
    }
    VisibleRows relatedList(related);
    tick(relatedList, 1);
    relatedList.hideChecked();
    applyFilter(relatedList, std::nullopt, RelatedSearch::CountColumns);
    QCOMPARE(column(relatedList), (QStringList{u"x"_s, u"y"_s}));
    QVERIFY(relatedList.index(0, 0).data(BoldRole).toBool());
}

// The add button of the AdWords tab, deletion and loading, with keywords that
// would break a statement built from text.
void TestDatabase::addDeleteAndLoad()
{
    const QString odd = u"it's 100%_\\ \"new\"\nline "_s + QString(10000, u'k');
    QCOMPARE(await(list().addUncounted({u" planner "_s, odd, u"planner"_s}, u" ads "_s)), 2);
    QCOMPARE(await(list().addUncounted({u"planner"_s}, u"ads"_s)), 0);
    store(u"counted"_s);

    await(list().load());
    VisibleRows& visible = *list().list();
    QCOMPARE(column(visible), (QStringList{u"counted"_s, odd, u"planner"_s}));
    const QStringList cells = {u"planner"_s, u"ads"_s, u"-"_s,
                               u"-"_s,       u"-"_s,   isoDate(m_env->webClock.today())};
    for (int c = 0; c < cells.size(); ++c)
        QCOMPARE(visible.index(2, c).data().toString(), cells.at(c));
    QVERIFY(!(visible.flags(visible.index(0, 0)) & Qt::ItemIsEditable));

    ResultFilter filter;
    filter.word = u"%_\\"_s;
    list().filter(filter);
    QCOMPARE(column(visible), QStringList{odd});

    m_env->fixture.prompts.clear();
    await(list().deleteChecked());
    tick(visible, 0);
    await(list().deleteChecked());
    QCOMPARE(m_env->fixture.prompts.messages(),
             (QStringList{u"请选择要删除的关键词！"_s, u"成功删除1个关键词！"_s}));
    await(list().load());
    QCOMPARE(column(visible), (QStringList{u"counted"_s, u"planner"_s}));

    // A table that takes no writes: nothing leaves the list, nothing is counted.
    refuseWrites();
    m_env->fixture.prompts.clear();
    tick(visible, 0);
    tick(visible, 1);
    await(list().deleteChecked());
    QCOMPARE(await(list().addUncounted({u"new"_s}, QString())), 0);
    const QStringList messages = m_env->fixture.prompts.messages();
    QVERIFY(messages.value(0).startsWith(u"关键词数据库无法写入，没有删除任何关键词："_s));
    QCOMPARE(messages.value(1), u"成功提交了0条数据至数据库！"_s);
    QCOMPARE(column(visible), (QStringList{u"counted"_s, u"planner"_s}));
}

// Read in several steps, every row arrives once, newest first.
void TestDatabase::largeTableLoadsWhole()
{
    constexpr int count = 12001;
    {
        KeywordStore::Transaction transaction(m_env->store);
        for (int i = 0; i < count; ++i)
            m_env->store.insertUncounted(QString::number(i), QString(), QDate(2026, 1, 2));
        QVERIFY(transaction.commit());
    }
    QStringList newestFirst;
    for (int i = count - 1; i >= 0; --i)
        newestFirst << QString::number(i);
    await(list().load());
    QCOMPARE(column(*list().list()), newestFirst);
}

void TestDatabase::refresh_data()
{
    QTest::addColumn<QList<bool>>("engines"); // Google, Yahoo, Bing
    QTest::addColumn<int>("pauseAt");         // the row (from 1) during which pause is clicked

    QTest::newRow("all engines, pause at row 6") << QList<bool>{true, true, true} << 6;
    QTest::newRow("only Yahoo, pause at row 1") << QList<bool>{false, true, false} << 1;
    QTest::newRow("Google and Bing, pause at the last row") << QList<bool>{true, false, true} << 8;
}

// A pause clicked while a row is refreshed drops its request at once; the row
// stays marked and a start does it again, whole. Unchosen engines keep their
// cells, refreshed rows get today's date, and a complete pass clears the mark.
void TestDatabase::refresh()
{
    QFETCH(QList<bool>, engines);
    QFETCH(int, pauseAt);
    const int rows = 8;
    for (int i = rows; i >= 1; --i)
        store(u"keyword %1"_s.arg(i), u"old old old"_s);
    await(list().load());
    for (const SearchEngine engine : AllSearchEngines)
        m_env->refresh.setEngine(engine, engines.at(int(engine)));
    QStringList refreshed;
    connect(&m_env->refresh, &DatabaseRefresh::rowRefreshed, this,
            [&](RowId id) { refreshed << list().rows()->text(list().rows()->indexOf(id)); });
    bool clicked = false;
    connect(&m_env->refresh, &Job::progress, this, [&](int done, int) {
        if (!clicked && done == pauseAt - 1) {
            clicked = true;
            m_env->refresh.click();
        }
    });
    await(m_env->refresh.run());
    const VisibleRows& visible = *list().list();
    QCOMPARE(refreshed.size(), pauseAt - 1);
    QCOMPARE(m_env->panels.text(1), StatusPanels::Paused);
    QCOMPARE(m_env->refresh.control().caption(), u"开始更新"_s);
    for (int row = 0; row < rows; ++row) {
        QCOMPARE(visible.index(row, 0).data(BoldRole).toBool(), row == pauseAt - 1);
        // The interrupted row shows what is stored, not "更新中...".
        QVERIFY(!visible.index(row, 2).data().toString().contains(DatabaseRefresh::Updating));
    }

    await(m_env->refresh.run());
    QCOMPARE(refreshed.at(pauseAt - 1), u"keyword %1"_s.arg(pauseAt));
    QCOMPARE(refreshed.size(), rows);
    const QString today = isoDate(m_env->webClock.today());
    const QList<KeywordRecord> records = m_env->store.all();
    for (int row = 0; row < rows; ++row) {
        QVERIFY(!visible.index(row, 0).data(BoldRole).toBool());
        const QString keyword = visible.index(row, 0).data().toString();
        const KeywordRecord& record = records.at(row);
        QCOMPARE(record.keys, keyword);
        QCOMPARE(record.adddate, today);
        QCOMPARE(visible.index(row, 5).data().toString(), today);
        const std::array<QString, 3> inTable = {record.googles, record.yahoos, record.bings};
        for (const SearchEngine engine : AllSearchEngines) {
            const QString expected = engines.at(int(engine))
                                         ? QString::number(fakeweb::countFor(engine, keyword))
                                         : u"old"_s;
            QCOMPARE(visible.index(row, 2 + int(engine)).data().toString(), expected);
            QCOMPARE(inTable[size_t(engine)], expected);
        }
    }
}

// One time-out of 10 s until the first Bing request, 15 s from then on; exact
// pacing waits; a failed request keeps the engine's "nothing found" count; no
// engine chosen: a message, no request.
void TestDatabase::refreshTimeOutsAndPacing()
{
    await(m_env->refresh.run());
    QCOMPARE(m_env->fixture.prompts.messages(), QStringList{u"请至少选择一个要更新的项目"_s});
    store(u"b"_s);
    store(u"a"_s);
    await(list().load());
    m_env->refresh.setEngine(SearchEngine::Google, true);
    m_env->refresh.setEngine(SearchEngine::Bing, true);
    m_env->fixture.server.setHandler([](const Request&) { return Response::dropped(); });
    m_env->pacer.setInterval(SearchEngine::Google, 3);
    await(m_env->refresh.run());
    QCOMPARE(m_env->webClock.asked(), (QList<qint64>{10500, 15500, 15500, 15500}));
    // The second Google request waits the whole interval; Bing's then waits
    // what is left of its own, exactly (not rounded to 2 s).
    QCOMPARE(m_env->waits.asked(), (QList<qint64>{3001, 2000}));
    QCOMPARE(column(*list().list(), 2), (QStringList{u"0"_s, u"0"_s}));
    QCOMPARE(column(*list().list(), 4), (QStringList{u"-"_s, u"-"_s}));

    // Two callers pacing one engine at once (the related search during a
    // refresh): the second waits for its own turn after the first's.
    auto first = m_env->pacer.pace(SearchEngine::Google);
    auto second = m_env->pacer.pace(SearchEngine::Google);
    await(std::move(first));
    await(std::move(second));
    QCOMPARE(m_env->waits.asked().mid(2), (QList<qint64>{1001, 3001}));

    // A table that takes no writes: the row keeps showing what is stored, and
    // the refresh pauses on it with a warning.
    fakeweb::serveAllEngines(m_env->fixture.server);
    refuseWrites();
    QSignalSpy warned(&m_env->refresh, &Job::warning);
    await(m_env->refresh.run());
    QCOMPARE(warned.size(), 1);
    QCOMPARE(m_env->panels.text(1), StatusPanels::Paused);
    QCOMPARE(column(*list().list(), 2), (QStringList{u"0"_s, u"0"_s}));
    QVERIFY(list().list()->index(0, 0).data(BoldRole).toBool());
}

// A connection lost before a row's counts are stored: told once, the refresh
// waits on the row, and goes on when the server is back, the row written whole.
void TestDatabase::refreshWaitsForALostConnection()
{
    if (!ScratchDatabase::isPostgreSQL())
        QSKIP("a connection is lost only to a server");
    store(u"first"_s);
    store(u"second"_s);
    await(list().load());
    // The server drops the connection and takes no new one for a while.
    const QString name = m_env->database.location().name;
    QVERIFY(m_env->database.administer(u"alter database %1 allow_connections false"_s.arg(name)));
    QVERIFY(m_env->database.administer(u"select pg_terminate_backend(pid) from "
                                       "pg_stat_activity where datname = '%1'"_s.arg(name)));
    QTimer::singleShot(1500, this, [this, name] {
        m_env->database.administer(u"alter database %1 allow_connections true"_s.arg(name));
    });
    QSignalSpy failed(&m_env->store, &KeywordStore::failed);
    QSignalSpy warned(&m_env->refresh, &Job::warning);
    m_env->refresh.setEngine(SearchEngine::Google, true);
    await(m_env->refresh.run());
    QCOMPARE(failed.size(), 1);
    QCOMPARE(warned.size(), 0);
    QCOMPARE(m_env->panels.text(1), StatusPanels::Ready);
    const QString count = QString::number(fakeweb::countFor(SearchEngine::Google, u"second"_s));
    QCOMPARE(column(*list().list(), 2).first(), count);
    const auto second = m_env->store.find(u"second"_s);
    QVERIFY(second && second->googles == count && second->yahoos == u"2"_s);
    QVERIFY(m_env->store.find(u"first"_s)->googles != u"1"_s);
}

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"
