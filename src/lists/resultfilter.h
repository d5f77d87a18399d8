#pragma once

#include "lists/rowmodel.h"

#include <QString>

#include <array>
#include <optional>

namespace marbleway {

enum class CountRelation { Greater, Less, Equal };

struct CountCriterion {
    CountRelation relation = CountRelation::Greater;
    qint64 value = 0;
};

// The criteria of a filter frame "查询结果过滤": a word the keyword must (or
// must not) contain and a relation per engine's page count. A row stays only
// when it passes every criterion given ("and").
struct ResultFilter {
    // Used exactly as typed: not trimmed, case-sensitive. Empty: no word pass.
    QString word;
    bool wordExcluded = false; // "不包含"
    // Google, Yahoo, Bing; nullopt: that pass does not run.
    std::array<std::optional<CountCriterion>, 3> counts;

    // The choices of the frame, in the order its lists show them.
    static const QStringList WordChoices;     // "包含", "不包含"
    static const QStringList RelationChoices; // ">", "<", "="

    // A count criterion from a relation ("" , ">", "<" or "=") and the number
    // box. Nothing when the box is empty or holds no number, or the relation is
    // unknown: that criterion is skipped. The number is rounded half to even.
    static std::optional<CountCriterion> countCriterion(const QString& relation,
                                                        const QString& number);

    // Whether a row with these cells stays; the counts are read from
    // `countColumns` (Google, Yahoo, Bing). A count cell that is not a whole
    // number ("-", empty, "更新中...") never removes its row.
    bool keeps(const QStringList& cells, const std::array<int, 3>& countColumns) const;
};

// A page count cell as a number: digits, thousands commas allowed ("1,000"),
// surrounding spaces ignored; 64 bits, since Google reports counts above 2^31.
// Nothing for "-", empty cells and anything else.
std::optional<qint64> countValue(const QString& cell);

// "还原" with `filter` empty, "开始过滤" otherwise: every row of the full copy in
// its own order, unchecked, visible when it passes the filter.
void applyFilter(VisibleRows& list, const std::optional<ResultFilter>& filter,
                 const std::array<int, 3>& countColumns);

} // namespace marbleway
