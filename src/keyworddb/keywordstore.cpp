#include "keyworddb/keywordstore.h"

#include "core/clock.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <atomic>

namespace marbleway {

using namespace Qt::StringLiterals;

namespace {

QString nextConnectionName()
{
    static std::atomic<int> counter{0};
    return u"keywords-%1"_s.arg(++counter);
}

const QString lookUpColumns = u"select id,adddate,googles,yahoos,bings from keywords"_s;

} // namespace

KeywordStore::KeywordStore()
    : m_connection(nextConnectionName())
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
    QSqlDatabase db = QSqlDatabase::contains(m_connection)
                          ? QSqlDatabase::database(m_connection, false)
                          : QSqlDatabase::addDatabase(u"QSQLITE"_s, m_connection);
    if (!db.isValid()) {
        m_lastError = u"the SQLite driver is missing"_s;
        return false;
    }
    db.close();
    db.setDatabaseName(path);
    if (!db.open()) {
        m_lastError = db.lastError().text();
        return false;
    }
    QSqlQuery query(db);
    const bool created =
        query.exec(u"create table if not exists keywords (id integer primary key autoincrement, "
                   "keys text not null, parentkeys text, googles text, yahoos text, bings text, "
                   "adddate text)"_s) &&
        query.exec(u"create index if not exists keywords_keys on keywords (keys)"_s);
    if (!created) {
        m_lastError = query.lastError().text();
        db.close();
        return false;
    }
    m_lastError.clear();
    m_open = true;
    return true;
}

std::optional<StoredCounts> KeywordStore::lookUp(const QString& sql, const QList<QVariant>& values)
{
    if (!m_open)
        return std::nullopt;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        return std::nullopt;
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec() || !query.next())
        return std::nullopt;
    return StoredCounts{query.value(0).toLongLong(), parseIsoDate(query.value(1).toString()),
                        query.value(2).toString(), query.value(3).toString(),
                        query.value(4).toString()};
}

bool KeywordStore::run(const QString& sql, const QList<QVariant>& values)
{
    if (!m_open)
        return false;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.prepare(sql)) {
        m_lastError = query.lastError().text();
        return false;
    }
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec()) {
        m_lastError = query.lastError().text();
        return false;
    }
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
    return run(u"insert into keywords (keys,parentkeys,googles,yahoos,bings,adddate) "
               "values (?,?,?,?,?,?)"_s,
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

QList<KeywordRecord> KeywordStore::all()
{
    QList<KeywordRecord> records;
    if (!m_open)
        return records;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    if (!query.exec(u"select keys,parentkeys,googles,yahoos,bings,adddate from keywords "
                    "order by id desc"_s))
        return records;
    while (query.next()) {
        records.append(KeywordRecord{query.value(0).toString(), query.value(1).toString(),
                                     query.value(2).toString(), query.value(3).toString(),
                                     query.value(4).toString(), query.value(5).toString()});
    }
    return records;
}

bool KeywordStore::remove(const QString& keys)
{
    return run(u"delete from keywords where keys = ?"_s, {keys});
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
