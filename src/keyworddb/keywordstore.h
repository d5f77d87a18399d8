#pragma once

#include "web/engines.h"

#include <QDate>
#include <QList>
#include <QString>

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
// yahoos, bings, adddate) in an SQLite file of the data folder. Every value goes
// in as a bound parameter, so any keyword is stored and found verbatim.
//
// When the file cannot be opened the store stays closed: look-ups find nothing
// and writes report that nothing was stored.
class KeywordStore {
public:
    KeywordStore();
    ~KeywordStore();
    KeywordStore(const KeywordStore&) = delete;
    KeywordStore& operator=(const KeywordStore&) = delete;

    // Opens the file, creating it and its table when missing. False, with
    // lastError() telling why, when it cannot be used.
    bool open(const QString& path);
    bool isOpen() const { return m_open; }
    const QString& lastError() const { return m_lastError; }
    // The Qt SQL connection, for batching writes in one transaction.
    const QString& connectionName() const { return m_connection; }

    static constexpr const char* FileName = "db.sqlite";

    // The row of `keys` stored on `day` (the page-count cache).
    std::optional<StoredCounts> findOnDate(const QString& keys, QDate day);
    // The row of `keys`, whatever its date.
    std::optional<StoredCounts> find(const QString& keys);
    bool insert(const QString& keys, const QString& parentkeys, const QString& googles,
                const QString& yahoos, const QString& bings, QDate day);
    // A row without counts ("-" for each engine).
    bool insertUncounted(const QString& keys, const QString& parentkeys, QDate day);
    // Replaces parent, counts and date of every row of `keys`.
    bool update(const QString& keys, const QString& parentkeys, const QString& googles,
                const QString& yahoos, const QString& bings, QDate day);
    // Every row, the newest insert first.
    QList<KeywordRecord> all();
    bool remove(const QString& keys);
    // One engine's count and the date of every row of `keys`.
    bool updateCount(SearchEngine engine, const QString& keys, const QString& count, QDate day);

private:
    std::optional<StoredCounts> lookUp(const QString& sql, const QList<QVariant>& values);
    bool run(const QString& sql, const QList<QVariant>& values);

    QString m_connection;
    QString m_lastError;
    bool m_open = false;
};

} // namespace marbleway
