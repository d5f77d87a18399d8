#pragma once

#include "core/datafolder.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace marbleway {

// One stored day of a favourite's rank history.
struct HistoryDay {
    QString date; // "yyyy-MM-dd", from the day file's name
    QStringList lines;
    bool readable = true;
};

// The favourites on disk: one folder per favourite in "myfav", named by its
// descriptor, holding one day file "yyyy-MM-dd.txt" per day it was queried
// (GBK, CR LF, one history line per result row).
class FavouriteStore {
public:
    explicit FavouriteStore(const DataFolder& dataFolder);

    QString folder() const { return m_folder; }
    // The favourites' descriptors, sorted; empty when "myfav" does not exist.
    QStringList descriptors() const;
    // Whether a favourite of exactly this descriptor exists (IsSaves).
    bool IsSaves(const QString& descriptor) const;

    enum class Created { Created, Exists, InvalidName, Failed };
    // Makes the favourite's folder (and "myfav" when missing).
    Created create(const QString& descriptor) const;
    // Whether a descriptor can be a folder name here.
    static bool isValidName(const QString& descriptor);

    // Replaces the day's file of a favourite with these lines, except that an
    // engine whose lookups all failed keeps the day's earlier read lines; on
    // failure the old file stays as it was. Clears what killed writes left in
    // its folder.
    [[nodiscard]] WriteResult writeDay(const QString& descriptor, QDate day,
                                       const QStringList& lines) const;
    // Every stored day of a favourite, in date order. Only files named
    // "yyyy-MM-dd.txt" are days.
    QList<HistoryDay> days(const QString& descriptor) const;

    // Deletes favourites with all their days. An old index "list.txt" in "myfav"
    // loses their lines too; the result is that of rewriting it.
    WriteResult remove(const QStringList& descriptors) const;

private:
    QString pathOf(const QString& descriptor) const;

    DataFolder m_data;
    QString m_folder;
};

} // namespace marbleway
