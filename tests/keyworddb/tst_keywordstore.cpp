#include "keyworddb/keywordstore.h"

#include <QFile>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <future>
#include <thread>

using namespace marbleway;
using namespace Qt::StringLiterals;

namespace {

// Every row, newest insert first: "keys|parent|google|yahoo|bing|date".
QStringList rows(KeywordStore& store)
{
    QStringList texts;
    for (const KeywordRecord& row : store.all())
        texts << QStringList{row.keys,   row.parentkeys, row.googles,
                             row.yahoos, row.bings,      row.adddate}
                     .join(u'|');
    return texts;
}

} // namespace

class TestKeywordStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();

    void storeFindAndUpdate();
    void keywordsAreStoredVerbatim();
    void anotherWriterMeanwhile();
    void duplicatesOfOlderFilesAreMerged();
    void failuresAreReported_data();
    void failuresAreReported();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<KeywordStore> m_store;
    const QDate m_day{2026, 12, 5};
};

void TestKeywordStore::init()
{
    m_store.reset();
    m_dir = std::make_unique<QTemporaryDir>();
    m_store = std::make_unique<KeywordStore>();
    QVERIFY2(m_store->open(m_dir->filePath(u"db.sqlite"_s)), qPrintable(m_store->lastError()));
}

void TestKeywordStore::storeFindAndUpdate()
{
    const QDate before = m_day.addDays(-3);
    QVERIFY(m_store->insert(u"seo tools"_s, u"seo"_s, u"1230000"_s, u"-"_s, u"45600"_s, m_day));
    QVERIFY(m_store->insertUncounted(u"adwords"_s, u"ad"_s, before));
    QVERIFY(m_store->insert(u"links"_s, QString(), u"7"_s, u"8"_s, u"9"_s, before));
    QCOMPARE(rows(*m_store),
             QStringList({u"links||7|8|9|2026-12-02"_s, u"adwords|ad|-|-|-|2026-12-02"_s,
                          u"seo tools|seo|1230000|-|45600|2026-12-05"_s}));
    // Found as written only; the cache look-up wants the same day.
    const auto found = m_store->find(u"seo tools"_s);
    QVERIFY(found && found->adddate == m_day && found->count(SearchEngine::Bing) == u"45600");
    QVERIFY(!m_store->find(u"SEO TOOLS"_s) && !m_store->find(u"seo tools "_s));
    QVERIFY(m_store->findOnDate(u"adwords"_s, before));
    QVERIFY(!m_store->findOnDate(u"adwords"_s, m_day));

    // An update replaces parent, counts and date; a count update one engine's count and the date.
    QVERIFY(m_store->update(u"seo tools"_s, u"new"_s, u"11"_s, u"12"_s, u"13"_s, before));
    QVERIFY(m_store->updateCount(SearchEngine::Yahoo, u"links"_s, u"800"_s, m_day));
    QVERIFY(m_store->updateCount(SearchEngine::Google, u"adwords"_s, u"70"_s, m_day));
    QVERIFY(m_store->remove(u"adwords"_s));
    QCOMPARE(rows(*m_store),
             QStringList({u"links||7|800|9|2026-12-05"_s, u"seo tools|new|11|12|13|2026-12-02"_s}));
}

void TestKeywordStore::keywordsAreStoredVerbatim()
{
    const QStringList awkward = {
        u"it's"_s,        u"a#b"_s,         u"100%"_s,
        u"x -- y"_s,      u"back\\slash"_s, u"'; drop table keywords; --"_s,
        u"关键词 排名"_s, u"%"_s,           u"_"_s};
    for (const QString& keyword : awkward)
        QVERIFY(m_store->insert(keyword, keyword, u"1"_s, u"2"_s, u"3"_s, m_day));
    for (const QString& keyword : awkward)
        QVERIFY2(m_store->findOnDate(keyword, m_day), qPrintable(keyword));
    // "%" and "_" are no wildcards: each removes only itself.
    QVERIFY(m_store->remove(u"%"_s));
    QCOMPARE(rows(*m_store).size(), awkward.size() - 1);
    QCOMPARE(rows(*m_store).first(), u"_|_|1|2|3|2026-12-05"_s);
}

void TestKeywordStore::anotherWriterMeanwhile()
{
    // Another program stores the keyword between our look-up and our insert,
    // and holds its write lock a while: the insert waits, then takes its row.
    QVERIFY(!m_store->find(u"seo"_s));
    std::promise<void> locked;
    std::thread other([path = m_dir->filePath(u"db.sqlite"_s), &locked] {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"other"_s);
            db.setDatabaseName(path);
            const bool open = db.open();
            QSqlQuery query(db);
            const bool ok = open && query.exec(u"begin immediate"_s) &&
                            query.exec(u"insert into keywords (keys) values ('seo')"_s);
            locked.set_value();
            if (ok) {
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                query.exec(u"commit"_s);
            }
        }
        QSqlDatabase::removeDatabase(u"other"_s);
    });
    locked.get_future().wait();
    const bool stored = m_store->insert(u"seo"_s, u"b"_s, u"1"_s, u"2"_s, u"3"_s, m_day);
    other.join();
    QVERIFY2(stored, qPrintable(m_store->lastError()));
    QCOMPARE(rows(*m_store), QStringList{u"seo|b|1|2|3|2026-12-05"_s});
}

void TestKeywordStore::duplicatesOfOlderFilesAreMerged()
{
    const QString path = m_dir->filePath(u"old.sqlite"_s);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"old"_s);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery query(db);
        QVERIFY(query.exec(u"create table keywords (id integer primary key autoincrement, keys "
                           "text not null, parentkeys text, googles text, yahoos text, bings "
                           "text, adddate text)"_s));
        QVERIFY(query.exec(u"insert into keywords (keys,parentkeys,googles) values "
                           "('seo','a','1'),('seo','b','2'),('links','c','3')"_s));
        db.close();
    }
    QSqlDatabase::removeDatabase(u"old"_s);

    // The newest row of a keyword stays; from now on the file holds one row per keyword.
    KeywordStore store;
    QVERIFY2(store.open(path), qPrintable(store.lastError()));
    QCOMPARE(rows(store), QStringList({u"links|c|3|||"_s, u"seo|b|2|||"_s}));
    QVERIFY(store.insert(u"seo"_s, u"d"_s, u"4"_s, u"5"_s, u"6"_s, m_day));
    QCOMPARE(rows(store), QStringList({u"links|c|3|||"_s, u"seo|d|4|5|6|2026-12-05"_s}));
}

void TestKeywordStore::failuresAreReported_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("error");
    QTest::newRow("not a database") << u"garbage"_s << false << u"not a database"_s;
    QTest::newRow("missing folder") << u"missing"_s << false << u"open"_s;
    QTest::newRow("damaged file") << u"damaged"_s << false << u"damaged"_s;
    QTest::newRow("read-only file") << u"read-only"_s << true << u"readonly"_s;
    QTest::newRow("full disk") << u"full"_s << true << u"full"_s;
}

void TestKeywordStore::failuresAreReported()
{
    QFETCH(QString, kind);
    QFETCH(bool, opens);
    QFETCH(QString, error);
    // Rows on several pages, with the schema on the first.
    constexpr int stored = 60;
    for (int i = 0; i < stored; ++i)
        QVERIFY(m_store->insert(u"keyword %1 "_s.arg(i) + QString(200, u'x'), u"p"_s, u"1"_s,
                                u"2"_s, u"3"_s, m_day));
    QString path = m_dir->filePath(u"db.sqlite"_s);
    if (kind != u"full")
        m_store.reset();
    QFile file(path);
    if (kind == u"missing") {
        path = m_dir->filePath(u"no/such/folder/db.sqlite"_s);
    } else if (kind == u"read-only") {
        QVERIFY(file.setPermissions(QFileDevice::ReadOwner));
        if (file.open(QIODevice::ReadWrite))
            QSKIP("this user writes read-only files");
    } else if (kind == u"garbage" || kind == u"damaged") {
        // Damage past the first page must not read as an empty or shorter list.
        QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(kind == u"damaged" ? 4096 : 0));
        file.write(QByteArray(file.size() - file.pos(), 'Z'));
        file.close();
    }

    KeywordStore store;
    QSignalSpy failed(&store, &KeywordStore::failed);
    QCOMPARE(store.open(path), opens);
    if (kind == u"full")
        QVERIFY(store.setPageLimit(1));
    for (int i = 0; i < 3; ++i) {
        QVERIFY(!store.insert(u"new %1 "_s.arg(i) + QString(2000, u'y'), u"p"_s, u"1"_s, u"2"_s,
                              u"3"_s, m_day));
        QVERIFY2(store.lastError().contains(error, Qt::CaseInsensitive),
                 qPrintable(store.lastError()));
    }
    if (!opens) {
        // Closed: nothing is found or removed, and open() already told why.
        QVERIFY(!store.find(u"keyword 1 "_s + QString(200, u'x')));
        QVERIFY(!store.remove(u"seo"_s));
        QVERIFY(store.all().isEmpty());
        QCOMPARE(failed.size(), 0);
        return;
    }
    // One warning for the run of failures, not one per keyword.
    QCOMPARE(failed.size(), 1);
    QCOMPARE(store.all().size(), stored);
}

QTEST_GUILESS_MAIN(TestKeywordStore)
#include "tst_keywordstore.moc"
