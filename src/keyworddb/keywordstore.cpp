#include "keyworddb/keywordstore.h"

#include "core/clock.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include <atomic>
#include <limits>

namespace marbleway {

using namespace Qt::StringLiterals;

namespace {

QString nextConnectionName()
{
    static std::atomic<int> counter{0};
    return u"keywords-%1"_s.arg(++counter);
}

const QString lookUpColumns = u"select id,adddate,googles,yahoos,bings from keywords"_s;
const QString uniqueIndex = u"keywords_unique_keys"_s;
constexpr int busyTimeoutMs = 10000;

} // namespace

KeywordStore::KeywordStore(QObject* parent)
    : QObject(parent)
    , m_connection(nextConnectionName())
{}

KeywordStore::~KeywordStore()
{
    if (QSqlDatabase::contains(m_connection)) {
        QSqlDatabase::database(m_connection, false).close();
        QSqlDatabase::removeDatabase(m_connection);
    }
}

bool KeywordStore::open(const QString& path)
{
    m_open = false;
    m_failing = false;
    m_lastError.clear();
    QSqlDatabase db = QSqlDatabase::contains(m_connection)
                          ? QSqlDatabase::database(m_connection, false)
                          : QSqlDatabase::addDatabase(u"QSQLITE"_s, m_connection);
    if (!db.isValid()) {
        m_lastError = u"the SQLite driver is missing"_s;
        return false;
    }
    db.close();
    db.setDatabaseName(path);
    // The window and a cron job of marbleway-cli share the file: wait out the other's write.
    db.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT=%1"_s.arg(busyTimeoutMs));
    if (!db.open()) {
        m_lastError = db.lastError().text();
        return false;
    }
    QSqlQuery query(db);
    // Reads every page, so that a damaged file is refused now instead of
    // looking empty (or half empty) later.
    if (!query.exec(u"pragma quick_check"_s) || !query.next()) {
        m_lastError = query.lastError().text();
        db.close();
        return false;
    }
    if (const QString verdict = query.value(0).toString(); verdict != u"ok") {
        m_lastError = u"the file is damaged (%1)"_s.arg(verdict);
        db.close();
        return false;
    }
    query.finish();
    if (!query.exec(u"create table if not exists keywords (id integer primary key autoincrement, "
                    "keys text not null, parentkeys text, googles text, yahoos text, bings text, "
                    "adddate text)"_s) ||
        !migrate()) {
        if (m_lastError.isEmpty())
            m_lastError = query.lastError().text();
        db.close();
        return false;
    }
    m_lastError.clear();
    m_open = true;
    // A file the program may read but not write (a read-only mount, an
    // immutable file) is told now, not at the first keyword lost.
    m_readOnly = !query.exec(u"begin immediate"_s);
    if (m_readOnly)
        m_lastError = query.lastError().text();
    else
        query.exec(u"rollback"_s);
    return true;
}

bool KeywordStore::migrate()
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.exec(u"select 1 from sqlite_master where type = 'index' and name = '"_s +
                    uniqueIndex + u"'"_s)) {
        m_lastError = query.lastError().text();
        return false;
    }
    if (query.next())
        return true;
    query.finish();
    // Older files may hold a keyword more than once: its newest row stays. An
    // immediate transaction makes a second process doing the same wait, then
    // find the work done.
    const QStringList steps = {
        u"begin immediate"_s,
        u"delete from keywords where id not in (select max(id) from keywords group by keys)"_s,
        u"drop index if exists keywords_keys"_s,
        u"create unique index if not exists "_s + uniqueIndex + u" on keywords (keys)"_s,
        u"commit"_s};
    for (const QString& step : steps) {
        if (!query.exec(step)) {
            m_lastError = query.lastError().text();
            query.exec(u"rollback"_s);
            return false;
        }
    }
    return true;
}

bool KeywordStore::setPageLimit(int pages)
{
    if (!m_open)
        return false;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    return query.exec(u"pragma max_page_count = %1"_s.arg(pages));
}

bool KeywordStore::fail(const QString& message)
{
    m_lastError = message;
    if (!m_failing) {
        m_failing = true;
        Q_EMIT failed(message);
    }
    return false;
}

std::optional<StoredCounts> KeywordStore::lookUp(const QString& sql, const QList<QVariant>& values)
{
    if (!m_open)
        return std::nullopt;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    if (!query.prepare(sql)) {
        fail(query.lastError().text());
        return std::nullopt;
    }
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec()) {
        fail(query.lastError().text());
        return std::nullopt;
    }
    if (!query.next()) {
        if (query.lastError().isValid())
            fail(query.lastError().text());
        return std::nullopt;
    }
    return StoredCounts{query.value(0).toLongLong(), parseIsoDate(query.value(1).toString()),
                        query.value(2).toString(), query.value(3).toString(),
                        query.value(4).toString()};
}

bool KeywordStore::run(const QString& sql, const QList<QVariant>& values)
{
    if (!m_open)
        return false;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.prepare(sql))
        return fail(query.lastError().text());
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec())
        return fail(query.lastError().text());
    succeeded();
    return true;
}

std::optional<StoredCounts> KeywordStore::findOnDate(const QString& keys, QDate day)
{
    return lookUp(lookUpColumns + u" where keys = ? and adddate = ?"_s, {keys, isoDate(day)});
}

std::optional<StoredCounts> KeywordStore::find(const QString& keys)
{
    return lookUp(lookUpColumns + u" where keys = ?"_s, {keys});
}

bool KeywordStore::insert(const QString& keys, const QString& parentkeys, const QString& googles,
                          const QString& yahoos, const QString& bings, QDate day)
{
    // One statement against the unique index: a look-up before it could race another writer.
    return run(u"insert into keywords (keys,parentkeys,googles,yahoos,bings,adddate) "
               "values (?,?,?,?,?,?) on conflict (keys) do update set "
               "parentkeys = excluded.parentkeys,googles = excluded.googles,"
               "yahoos = excluded.yahoos,bings = excluded.bings,adddate = excluded.adddate"_s,
               {keys, parentkeys, googles, yahoos, bings, isoDate(day)});
}

bool KeywordStore::insertUncounted(const QString& keys, const QString& parentkeys, QDate day)
{
    return insert(keys, parentkeys, u"-"_s, u"-"_s, u"-"_s, day);
}

bool KeywordStore::update(const QString& keys, const QString& parentkeys, const QString& googles,
                          const QString& yahoos, const QString& bings, QDate day)
{
    return run(u"update keywords set parentkeys = ?,googles = ?,yahoos = ?,bings = ?,adddate = ? "
               "where keys = ?"_s,
               {parentkeys, googles, yahoos, bings, isoDate(day), keys});
}

KeywordStore::AddResult KeywordStore::add(const QString& keys, const QString& parentkeys,
                                          const QString& googles, const QString& yahoos,
                                          const QString& bings, QDate day)
{
    if (!m_open)
        return AddResult::Failed;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    // One statement against the unique index: a look-up before it could race another writer.
    if (!query.prepare(u"insert into keywords (keys,parentkeys,googles,yahoos,bings,adddate) "
                       "values (?,?,?,?,?,?) on conflict (keys) do nothing"_s)) {
        fail(query.lastError().text());
        return AddResult::Failed;
    }
    for (const QString& value : {keys, parentkeys, googles, yahoos, bings, isoDate(day)})
        query.addBindValue(value);
    if (!query.exec()) {
        fail(query.lastError().text());
        return AddResult::Failed;
    }
    succeeded();
    return query.numRowsAffected() > 0 ? AddResult::Added : AddResult::AlreadyStored;
}

QList<KeywordRecord> KeywordStore::page(qint64 beforeId, int limit)
{
    QList<KeywordRecord> records;
    if (!m_open)
        return records;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    if (!query.prepare(u"select keys,parentkeys,googles,yahoos,bings,adddate,id from keywords "
                       "where id < ? order by id desc limit ?"_s)) {
        fail(query.lastError().text());
        return records;
    }
    query.addBindValue(beforeId);
    query.addBindValue(limit);
    if (!query.exec()) {
        fail(query.lastError().text());
        return records;
    }
    records.reserve(limit);
    while (query.next()) {
        records.append(KeywordRecord{query.value(0).toString(), query.value(1).toString(),
                                     query.value(2).toString(), query.value(3).toString(),
                                     query.value(4).toString(), query.value(5).toString(),
                                     query.value(6).toLongLong()});
    }
    if (query.lastError().isValid())
        fail(query.lastError().text());
    return records;
}

qint64 KeywordStore::count()
{
    if (!m_open)
        return 0;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.exec(u"select count(*) from keywords"_s) || !query.next()) {
        fail(query.lastError().text());
        return 0;
    }
    return query.value(0).toLongLong();
}

QList<KeywordRecord> KeywordStore::all()
{
    QList<KeywordRecord> records;
    constexpr int step = 10000;
    qint64 before = std::numeric_limits<qint64>::max();
    for (;;) {
        const QList<KeywordRecord> part = page(before, step);
        records += part;
        if (part.size() < step)
            return records;
        before = part.last().id;
    }
}

bool KeywordStore::remove(const QString& keys)
{
    return run(u"delete from keywords where keys = ?"_s, {keys});
}

bool KeywordStore::remove(const QStringList& keys)
{
    Transaction transaction(*this);
    for (const QString& key : keys) {
        if (!remove(key))
            return false;
    }
    return transaction.commit();
}

bool KeywordStore::updateCounts(
    const QString& keys, const std::array<std::optional<QString>, AllSearchEngines.size()>& counts,
    QDate day)
{
    Transaction transaction(*this);
    for (const SearchEngine engine : AllSearchEngines) {
        const auto& count = counts[size_t(engine)];
        if (count && !updateCount(engine, keys, *count, day))
            return false;
    }
    return transaction.commit();
}

KeywordStore::Transaction::Transaction(KeywordStore& store)
    : m_store(&store)
{
    if (store.m_open)
        m_open = QSqlDatabase::database(store.m_connection, false).transaction();
}

KeywordStore::Transaction::~Transaction()
{
    if (m_open)
        QSqlDatabase::database(m_store->m_connection, false).rollback();
}

bool KeywordStore::Transaction::commit()
{
    if (!m_store->m_open)
        return false;
    if (!m_open)
        return true;
    m_open = false;
    QSqlDatabase db = QSqlDatabase::database(m_store->m_connection, false);
    if (db.commit())
        return true;
    const QString error = db.lastError().text();
    db.rollback();
    return m_store->fail(error);
}

const QString& StoredCounts::count(SearchEngine engine) const
{
    const std::array<const QString*, 3> counts = {&googles, &yahoos, &bings};
    return *counts[size_t(engine)];
}

bool KeywordStore::updateCount(SearchEngine engine, const QString& keys, const QString& count,
                               QDate day)
{
    // Column names cannot be bound; they come from the engine table only.
    const QString name = engineInfo(engine).databaseColumn.toString();
    return run(u"update keywords set "_s + name + u" = ?,adddate = ? where keys = ?"_s,
               {count, isoDate(day), keys});
}

} // namespace marbleway
