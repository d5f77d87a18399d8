#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace marbleway {

// Reading the keyword tool's result table ("kpResults") as the tab copies it.

// The markup a browser engine returns, lower-cased and in the form the
// reader's markers expect: attribute values without quotes ("<td class=c0>"),
// as the older engines wrote them.
QString legacyMarkup(const QString& html);

// Whether the table holds results that are not in the list yet: any table
// while the list is empty; otherwise a table whose first keyword differs from
// `firstListed` (or whose first cell has further attributes).
bool resultsAreNew(const QString& resultText, bool listEmpty, const QString& firstListed);

// The rows of the table: keyword, estimated ad position, estimated cost per
// click, competition text, global monthly searches.
QList<QStringList> readResultRows(const QString& resultText);

// "75%(激烈)" from a row's two "indicatorbar" widths; "100%(非常激烈)" for a
// single bar; "-" for a row without bars or with two empty ones.
QString competitionText(const QString& rowPiece);

} // namespace marbleway
