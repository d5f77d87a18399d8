#pragma once

#include "web/engines.h"

#include <QDate>
#include <QList>
#include <QObject>
#include <QString>

#include <array>
#include <optional>

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

// The keyword database: one table `keywords` (id, keys, parentkeys, googles,
// yahoos, bings, adddate) in an SQLite file of the data folder, one row per
// keyword. Every value goes in as a bound parameter, so any keyword is stored
// and found verbatim. The window and marbleway-cli may use the file at the
// same time: a writer waits for the other's lock.
//
// When the file cannot be opened the store stays closed: look-ups find nothing
// and writes report that nothing was stored.
class KeywordStore : public QObject {
    Q_OBJECT
public:
    explicit KeywordStore(QObject* parent = nullptr);
    ~KeywordStore() override;

    // Opens the file, creating it and its table when missing, and checks that
    // it is whole. False, with lastError() telling why, when it cannot be used
    // (a damaged file is refused rather than read as empty).
    bool open(const QString& path);
    bool isOpen() const { return m_open; }
    // Open, but every write will fail; lastError() tells why.
    bool isReadOnly() const { return m_readOnly; }
    const QString& lastError() const { return m_lastError; }
    // The Qt SQL connection, for batching writes in one transaction.
    const QString& connectionName() const { return m_connection; }

    // Caps the file at `pages` pages (never below its size), as a full disk would.
    bool setPageLimit(int pages);

    static constexpr const char* FileName = "db.sqlite";

    // The row of `keys` stored on `day` (the page-count cache).
    // A look-up that fails finds nothing and reports failed().
    std::optional<StoredCounts> findOnDate(const QString& keys, QDate day);
    // The row of `keys`, whatever its date.
    std::optional<StoredCounts> find(const QString& keys);
    // Stores `keys`, or replaces parent, counts and date of its row when another
    // writer stored it meanwhile.
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

private:
    bool migrate();
    std::optional<StoredCounts> lookUp(const QString& sql, const QList<QVariant>& values);
    bool run(const QString& sql, const QList<QVariant>& values);
    bool fail(const QString& message);
    void succeeded() { m_failing = false; }

    QString m_connection;
    QString m_lastError;
    bool m_open = false;
    bool m_readOnly = false;
    bool m_failing = false;
};

} // namespace marbleway
