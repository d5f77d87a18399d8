#include "keyworddb/keywordstore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace marbleway;
using namespace Qt::StringLiterals;

class TestKeywordStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void createsFileAndTable();
    void lookUpsAndInserts();
    void updatesAndDeletes();
    void keywordsAreStoredVerbatim();
    void unusableFileStoresNothing();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<KeywordStore> m_store;
    const QDate m_day{2026, 12, 5};
};

void TestKeywordStore::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_store = std::make_unique<KeywordStore>();
    QVERIFY2(m_store->open(m_dir->filePath(u"db.sqlite"_s)), qPrintable(m_store->lastError()));
}

void TestKeywordStore::cleanup()
{
    m_store.reset();
    m_dir.reset();
}

void TestKeywordStore::createsFileAndTable()
{
    QVERIFY(QFile::exists(m_dir->filePath(u"db.sqlite"_s)));
    QVERIFY(m_store->all().isEmpty());
    QVERIFY(m_store->insert(u"seo"_s, u"seed"_s, u"10"_s, u"20"_s, u"30"_s, m_day));
    // Opening an existing file keeps its rows; so does a second store on it.
    KeywordStore second;
    QVERIFY(second.open(m_dir->filePath(u"db.sqlite"_s)));
    QCOMPARE(second.all().size(), 1);
}

void TestKeywordStore::lookUpsAndInserts()
{
    QVERIFY(m_store->insert(u"seo tools"_s, u"seo"_s, u"1230000"_s, u"-"_s, u"45600"_s, m_day));
    QVERIFY(m_store->insertUncounted(u"adwords"_s, u"ad"_s, m_day.addDays(-3)));
    QVERIFY(m_store->insert(u"seo"_s, QString(), u"0"_s, u"5"_s, u"6"_s, m_day));

    const auto found = m_store->find(u"seo tools"_s);
    QVERIFY(found);
    QCOMPARE(found->adddate, m_day);
    QCOMPARE(found->googles, u"1230000"_s);
    QCOMPARE(found->yahoos, u"-"_s);
    QCOMPARE(found->bings, u"45600"_s);
    QVERIFY(!m_store->find(u"SEO TOOLS"_s));
    QVERIFY(!m_store->find(u"seo tools "_s));

    // The cache look-up wants the same day.
    QVERIFY(m_store->findOnDate(u"seo tools"_s, m_day));
    QVERIFY(!m_store->findOnDate(u"seo tools"_s, m_day.addDays(1)));
    const auto uncounted = m_store->findOnDate(u"adwords"_s, m_day.addDays(-3));
    QVERIFY(uncounted);
    QCOMPARE(uncounted->googles + uncounted->yahoos + uncounted->bings, u"---"_s);

    // Newest insert first, every column as stored.
    const QList<KeywordRecord> rows = m_store->all();
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows.at(0).keys, u"seo"_s);
    QCOMPARE(rows.at(1).keys, u"adwords"_s);
    QCOMPARE(rows.at(1).parentkeys, u"ad"_s);
    QCOMPARE(rows.at(1).adddate, u"2026-12-02"_s);
    QCOMPARE(rows.at(2).keys, u"seo tools"_s);
}

void TestKeywordStore::updatesAndDeletes()
{
    QVERIFY(m_store->insert(u"seo"_s, u"old"_s, u"1"_s, u"2"_s, u"3"_s, m_day.addDays(-10)));
    QVERIFY(m_store->insert(u"links"_s, u"p"_s, u"7"_s, u"8"_s, u"9"_s, m_day.addDays(-10)));

    QVERIFY(m_store->update(u"seo"_s, u"new"_s, u"11"_s, u"12"_s, u"13"_s, m_day));
    auto seo = m_store->find(u"seo"_s);
    QCOMPARE(seo->adddate, m_day);
    QCOMPARE(seo->googles + u'|' + seo->yahoos + u'|' + seo->bings, u"11|12|13"_s);
    QCOMPARE(m_store->all().last().parentkeys, u"new"_s);

    // One engine's count at a time; the others stay.
    QVERIFY(m_store->updateCount(SearchEngine::Yahoo, u"links"_s, u"800"_s, m_day));
    QVERIFY(m_store->updateCount(SearchEngine::Bing, u"links"_s, u"-"_s, m_day));
    const auto links = m_store->find(u"links"_s);
    QCOMPARE(links->googles + u'|' + links->yahoos + u'|' + links->bings, u"7|800|-"_s);
    QCOMPARE(links->adddate, m_day);
    QVERIFY(m_store->updateCount(SearchEngine::Google, u"links"_s, u"70"_s, m_day));
    QCOMPARE(m_store->find(u"links"_s)->googles, u"70"_s);

    QVERIFY(m_store->remove(u"seo"_s));
    QVERIFY(!m_store->find(u"seo"_s));
    QCOMPARE(m_store->all().size(), 1);
}

void TestKeywordStore::keywordsAreStoredVerbatim()
{
    const QStringList awkward = {
        u"it's"_s,        u"a#b"_s,         u"100%"_s,
        u"x -- y"_s,      u"back\\slash"_s, u"'; drop table keywords; --"_s,
        u"关键词 排名"_s, u"%"_s,           u"_"_s};
    for (const QString& keyword : awkward)
        QVERIFY(m_store->insert(keyword, keyword, u"1"_s, u"2"_s, u"3"_s, m_day));
    QCOMPARE(m_store->all().size(), awkward.size());
    for (const QString& keyword : awkward) {
        QVERIFY2(m_store->find(keyword), qPrintable(keyword));
        QVERIFY(m_store->findOnDate(keyword, m_day));
    }
    // "%" and "_" are no wildcards: each finds only itself.
    QVERIFY(m_store->remove(u"%"_s));
    QCOMPARE(m_store->all().size(), awkward.size() - 1);
    QCOMPARE(m_store->all().first().parentkeys, u"_"_s);
}

void TestKeywordStore::unusableFileStoresNothing()
{
    // Not a database at all.
    const QString corrupt = m_dir->filePath(u"corrupt.sqlite"_s);
    QFile file(corrupt);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    KeywordStore broken;
    QVERIFY(!broken.open(corrupt));
    QVERIFY(!broken.lastError().isEmpty());

    // A folder that does not exist.
    KeywordStore missing;
    QVERIFY(!missing.open(m_dir->filePath(u"no/such/folder/db.sqlite"_s)));

    for (KeywordStore* store : {&broken, &missing}) {
        QVERIFY(!store->isOpen());
        QVERIFY(!store->insert(u"seo"_s, u"p"_s, u"1"_s, u"2"_s, u"3"_s, m_day));
        QVERIFY(!store->insertUncounted(u"seo"_s, u"p"_s, m_day));
        QVERIFY(!store->find(u"seo"_s));
        QVERIFY(!store->findOnDate(u"seo"_s, m_day));
        QVERIFY(!store->update(u"seo"_s, u"p"_s, u"1"_s, u"2"_s, u"3"_s, m_day));
        QVERIFY(!store->updateCount(SearchEngine::Google, u"seo"_s, u"1"_s, m_day));
        QVERIFY(!store->remove(u"seo"_s));
        QVERIFY(store->all().isEmpty());
    }
}

QTEST_GUILESS_MAIN(TestKeywordStore)
#include "tst_keywordstore.moc"
