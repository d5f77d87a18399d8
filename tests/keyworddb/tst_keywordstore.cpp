#include "keyworddb/keywordstore.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using namespace marbleway;
using namespace Qt::StringLiterals;

class TestKeywordStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void lookUpsAndInserts();
    void updatesAndDeletes();
    void keywordsAreStoredVerbatim();
    void oneRowPerKeywordAcrossProcesses();
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
    m_dir = std::make_unique<QTemporaryDir>();
    m_store = std::make_unique<KeywordStore>();
    QVERIFY2(m_store->open(m_dir->filePath(u"db.sqlite"_s)), qPrintable(m_store->lastError()));
}

void TestKeywordStore::cleanup()
{
    m_store.reset();
    m_dir.reset();
}

void TestKeywordStore::lookUpsAndInserts()
{
    QVERIFY(m_store->insert(u"seo tools"_s, u"seo"_s, u"1230000"_s, u"-"_s, u"45600"_s, m_day));
    QVERIFY(m_store->insertUncounted(u"adwords"_s, u"ad"_s, m_day.addDays(-3)));
    QVERIFY(m_store->insert(u"seo"_s, QString(), u"0"_s, u"5"_s, u"6"_s, m_day));

    const auto found = m_store->find(u"seo tools"_s);
    QVERIFY(found);
    QCOMPARE(found->adddate, m_day);
    QCOMPARE(found->googles + u'|' + found->yahoos + u'|' + found->bings, u"1230000|-|45600"_s);
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

namespace {

const QString writerArgument = u"--store-keywords"_s;
constexpr int raceKeywords = 150;

// A second program on the same file: stores keywords 0..raceKeywords-1 the
// way a related search does, asking for each before the page counts are
// fetched and storing it after, so the two writers' steps interleave.
int storeKeywords(const QString& path)
{
    KeywordStore store;
    if (!store.open(path))
        return 2;
    // Both writers start together, when the test says so.
    std::puts("ready");
    std::fflush(stdout);
    std::getchar();
    const QDate day(2026, 12, 5);
    QStringList missing;
    for (int i = 0; i < raceKeywords; ++i) {
        if (const QString keyword = u"keyword %1"_s.arg(i); !store.find(keyword))
            missing << keyword;
    }
    for (const QString& keyword : missing) {
        if (!store.insert(keyword, u"seed"_s, u"1"_s, u"2"_s, u"3"_s, day))
            return 1;
    }
    return 0;
}

} // namespace

void TestKeywordStore::oneRowPerKeywordAcrossProcesses()
{
    const QString path = m_dir->filePath(u"db.sqlite"_s);
    std::array<QProcess, 2> writers;
    for (QProcess& writer : writers) {
        writer.start(QCoreApplication::applicationFilePath(), {writerArgument, path});
        QVERIFY(writer.waitForReadyRead(60000));
    }
    for (QProcess& writer : writers) {
        writer.write("go\n");
        QVERIFY(writer.waitForBytesWritten(10000));
    }
    for (QProcess& writer : writers) {
        QVERIFY(writer.waitForFinished(120000));
        QCOMPARE(writer.exitStatus(), QProcess::NormalExit);
        QCOMPARE(writer.exitCode(), 0);
    }
    QCOMPARE(m_store->all().size(), raceKeywords);
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

    KeywordStore store;
    QVERIFY2(store.open(path), qPrintable(store.lastError()));
    const QList<KeywordRecord> rows = store.all();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(0).keys, u"links"_s);
    QCOMPARE(rows.at(1).parentkeys, u"b"_s);
    // From now on the file itself holds one row per keyword.
    QVERIFY(store.insert(u"seo"_s, u"d"_s, u"4"_s, u"5"_s, u"6"_s, m_day));
    QCOMPARE(store.all().size(), 2);
    QCOMPARE(store.find(u"seo"_s)->googles, u"4"_s);
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
    constexpr int rows = 60;
    for (int i = 0; i < rows; ++i)
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
    QCOMPARE(store.all().size(), rows);
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && QString::fromLocal8Bit(argv[1]) == writerArgument)
        return storeKeywords(QString::fromLocal8Bit(argv[2]));
    TestKeywordStore test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_keywordstore.moc"
