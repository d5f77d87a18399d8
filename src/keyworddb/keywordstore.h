#pragma once

#include "keyworddb/databaselocation.h"
#include "web/engines.h"

#include <QDate>
#include <QList>
#include <QObject>
#include <QString>
#include <qcoro/qcorotask.h>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>

class QSqlError;
class QSqlQuery;

namespace marbleway {

// A row of the keywords table as the list shows it.
struct KeywordRecord {
    QString keys;
    QString parentkeys;
    QString googles;
    QString yahoos;
    QString bings;
    QString adddate; // as stored, "yyyy-MM-dd"
    qint64 id = 0;   // order of insertion
};

// What a look-up of one keyword returns.
struct StoredCounts {
    qint64 id = 0;
    QDate adddate; // invalid when the stored text is not a date
    QString googles;
    QString yahoos;
    QString bings;

    const QString& count(SearchEngine engine) const;
};

class Clock;

// One favourite's lookup on one engine on one day: the best position found.
struct StoredRank {
    QString favourite; // the favourite's descriptor
    QDate day;
    QString engine;   // the engine's key
    int position = 0; // 0: not within the depth
    QString link;
    QString outcome; // "read", "failed", "blocked", "unrecognised"
    QString reason;

    bool operator==(const StoredRank&) const = default;
};

// The keyword database and the favourites' rank history: the tables `keywords`
// (id, keys, parentkeys, googles, yahoos, bings, adddate; one row per keyword)
// and `rank_history` (one row per favourite, day and engine), in an SQLite file
// or a PostgreSQL database. Both run the same statements; only the schema's
// creation differs, versioned in `schema_version` and brought up to date on
// open. Every value goes in as a bound parameter, so any keyword is stored and
// found verbatim. Several programs may write at once: a unique key on the
// keyword and upserts keep one row per keyword, and a count update touches
// only its own column.
//
// When the database cannot be opened the store stays closed: look-ups find
// nothing and writes report that nothing was stored. A PostgreSQL connection
// lost later makes writes fail and isConnectionLost() true until reconnect().
class KeywordStore : public QObject {
    Q_OBJECT
public:
    explicit KeywordStore(QObject* parent = nullptr);
    ~KeywordStore() override;

    // Opens the file, creating it and its table when missing, and checks that
    // it is whole. False, with lastError() telling why, when it cannot be used
    // (a damaged file is refused rather than read as empty).
    bool open(const DatabaseLocation& location);
    bool open(const QString& sqliteFile) { return open(DatabaseLocation::sqliteFile(sqliteFile)); }
    bool isOpen() const { return m_open; }
    const DatabaseLocation& location() const { return m_location; }
    // The Qt SQL connection's name.
    const QString& connectionName() const { return m_connection; }
    // Open, but every write will fail; lastError() tells why.
    bool isReadOnly() const { return m_readOnly; }
    const QString& lastError() const { return m_lastError; }
    // The schema this program writes; a database of a later one is refused.
    static constexpr int SchemaVersion = 2;

    // Caps an SQLite file at `pages` pages (never below its size), as a full disk would.
    bool setPageLimit(int pages);

    // Why a connection to `location` cannot be made now; empty when it can.
    // Tried in a thread of its own, so that a slow network never stalls the window.
    static QCoro::Task<QString> connectionProblem(DatabaseLocation location);

    // The last failure came from a PostgreSQL connection that is gone.
    bool isConnectionLost() const { return m_lost; }
    // Connects again; true when the store can be used.
    bool reconnect();
    // Until the server takes connections again (asked every second through
    // connectionProblem()), then reconnects. False when `keepWaiting` says to give up first.
    // The functions are the caller's: they must outlive the wait.
    QCoro::Task<bool> reconnectWhenBack(const Clock& clock,
                                        const std::function<bool()>& keepWaiting);
    // Runs `write` until it succeeds, waiting for the connection each time it
    // was lost. False when it failed for another reason (told through
    // failed()) or waiting was given up.
    QCoro::Task<bool> writeThroughLoss(const std::function<bool()>& write, const Clock& clock,
                                       const std::function<bool()>& keepWaiting);

    // The row of `keys` stored on `day` (the page-count cache).
    // A look-up that fails finds nothing and reports failed().
    std::optional<StoredCounts> findOnDate(const QString& keys, QDate day);
    // The row of `keys`, whatever its date.
    std::optional<StoredCounts> find(const QString& keys);
    // Stores `keys`, or replaces parent, counts and date of its row when another
    // writer stored it meanwhile; a count of "-" keeps the one stored.
    bool insert(const QString& keys, const QString& parentkeys, const QString& googles,
                const QString& yahoos, const QString& bings, QDate day);
    // A row without counts ("-" for each engine).
    bool insertUncounted(const QString& keys, const QString& parentkeys, QDate day);
    // Replaces parent, counts and date of every row of `keys`.
    bool update(const QString& keys, const QString& parentkeys, const QString& googles,
                const QString& yahoos, const QString& bings, QDate day);
    enum class AddResult { Added, AlreadyStored, Failed };
    // Stores `keys` unless it is stored already (the add buttons): a stored row
    // is left as it is.
    AddResult add(const QString& keys, const QString& parentkeys, const QString& googles,
                  const QString& yahoos, const QString& bings, QDate day);
    // Every row, the newest insert first.
    QList<KeywordRecord> all();
    // How many rows the table holds; 0 when that cannot be read.
    qint64 count();
    // Up to `limit` rows inserted before the row `beforeId`, the newest first:
    // a long list is read in steps that each leave the file free for writers.
    QList<KeywordRecord> page(qint64 beforeId, int limit);
    bool remove(const QString& keys);
    // Removes every keyword of `keys` in one transaction: all or none.
    bool remove(const QStringList& keys);
    // One engine's count and the date of every row of `keys`.
    bool updateCount(SearchEngine engine, const QString& keys, const QString& count, QDate day);
    // The counts of the engines given and the date, in one transaction, so that a
    // row holds its old counts or its new ones, never half of each.
    bool updateCounts(const QString& keys,
                      const std::array<std::optional<QString>, AllSearchEngines.size()>& counts,
                      QDate day);

    // Stores a day's lookups of favourites, all or none. A lookup replaces the
    // stored one of its favourite, day and engine, except that one not read
    // never replaces one read: a failed run does not spoil a good day.
    bool recordRanks(const QList<StoredRank>& ranks);
    // A favourite's stored lookups, by day, then engine key.
    QList<StoredRank> ranks(const QString& favourite);
    // Every favourite with stored lookups, sorted.
    QStringList rankedFavourites();

    // Groups writes in one transaction; rolled back unless committed. Writes
    // while no transaction can be begun still run, one by one.
    class Transaction {
    public:
        explicit Transaction(KeywordStore& store);
        ~Transaction();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;
        bool commit();

    private:
        KeywordStore* m_store;
        bool m_open = false;
    };

Q_SIGNALS:
    // A look-up or write of the open store failed (read-only file, full disk,
    // damage): emitted once when failures start, again only after a success.
    // open() reports through its return value instead.
    void failed(const QString& message);
    // The connection lost is back.
    void reconnected();

private:
    bool connect();
    bool migrate();
    // The statement prepared once per connection, with `values` bound; null
    // after telling the failure.
    QSqlQuery* prepared(const QString& sql, const QList<QVariant>& values);
    // The same, run; null after telling the failure. The caller finishes it.
    QSqlQuery* executed(const QString& sql, const QList<QVariant>& values);
    // Each row of a select handed to `row`; a failure is told.
    void select(const QString& sql, const QList<QVariant>& values,
                const std::function<void(const QSqlQuery&)>& row);
    std::optional<StoredCounts> lookUp(const QString& sql, const QList<QVariant>& values);
    bool run(const QString& sql, const QList<QVariant>& values);
    bool fail(const QString& message);
    bool fail(const QSqlError& error);
    void succeeded() { m_failing = false; }

    QString m_connection;
    DatabaseLocation m_location;
    QString m_lastError;
    std::map<QString, std::unique_ptr<QSqlQuery>> m_prepared;
    bool m_open = false;
    bool m_readOnly = false;
    bool m_failing = false;
    bool m_lost = false;
};

} // namespace marbleway
