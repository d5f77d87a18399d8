#pragma once

#include "ranking/keyrank.h"
#include "web/engines.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <optional>

namespace marbleway {

// One site and keyword asked of some engines at a depth: what a favourite is.
struct Combination {
    QString engines; // display names joined with ",", e.g. "Google.com,Bing.com"
    QString site;
    QString keyword;
    int depthIndex = 0;   // 0, 1, 2 for 10, 20, 50 results
    int allPositions = 0; // 0 or 1

    // engines#site#keyword#depth#all: a favourite's folder name.
    QString descriptor() const;
    // A character of the site or keyword that a descriptor cannot hold ("#"
    // would split it), or a null character when there is none.
    QChar unstorableCharacter() const;
    // The engines named in `engines`, in that order; other names are skipped.
    QList<SearchEngine> engineList() const;
    // Reads a descriptor; nullopt unless it has five fields with a depth index
    // and an all-positions value.
    static std::optional<Combination> fromDescriptor(QStringView descriptor);
};

// The depths offered: results read (10, 20, 50) and result pages of 10 (1, 2, 5).
struct Depth {
    int results;
    qint16 pages;
};
inline constexpr std::array<Depth, 3> Depths = {{{10, 1}, {20, 2}, {50, 5}}};
// The depth in result pages for a depth index (1, 2 or 5), 0 when out of range.
qint16 pagesForDepthIndex(int index);
// The depth index of a number of results (10, 20, 50), -1 when not offered.
int depthIndexForResults(int results);

// The engine string: checked engines' names joined with ",".
QString engineString(const QStringList& checkedNames);

// "$1$" + engine + "|" + position + "|" + link, for one result row.
QString resultPart(const RankHit& hit);
// The parts of a result text, each "engine|position|link".
QStringList resultParts(QStringView resultText);
// The rows of a result text, each as (engine name, position, link).
QList<QStringList> resultRows(QStringView resultText);

// site#1#keyword#1#date#1#results#1#depth#1#all: a recent query.
struct QueryRecord {
    QString site;
    QString keyword;
    QString date;
    QString results;
    QString depthIndex;
    QString allPositions;

    QString toString() const;
    // Missing fields read as empty.
    static QueryRecord parse(QStringView record);
};

// engine|position|link: one line of a favourite's day file. A lookup that was
// not read is engine|0||outcome|reason (outcome as outcomeKey()): a reader that
// knows only three fields sees no position there.
QString historyLine(const RankHit& hit);
// The outcome a stored line or result part records; Read for a plain one.
RankOutcome storedOutcome(const QStringList& cells);
// The day's lines once `now` replaces `earlier`: an engine whose every new line
// failed keeps its earlier read lines, so a failed run never spoils a good day.
QStringList keepReadLines(const QStringList& earlier, const QStringList& now);

// The rank tab's choices, kept in "setting3": checked engines joined with "$",
// depth index, all-positions value, mode index, joined with "#".
struct RankChoices {
    QStringList checkedEngines;
    int depthIndex = 1;
    int allPositions = 0;
    int modeIndex = 0;

    QString toSetting() const;
    // Applies a stored value over these choices. Fields it lacks, or that are not
    // numbers, leave their choices as they are.
    void apply(QStringView stored);

    static const QString SettingName;
    // No engine checked, 20 results, all positions off, many-to-many mode.
    static const QString Default;
};

} // namespace marbleway
