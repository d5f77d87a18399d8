#pragma once

#include "ranking/searchengine.h"
#include "web/endpoints.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace marbleway {

// Reading the related searches an engine shows for a seed.

// The address of the engine's page for the seed (trimmed and lower-cased by
// the caller, put in as it stands).
QString relatedSearchUrl(const Endpoints& endpoints, SearchEngine engine, const QString& seed);

// The pieces of the lower-cased page from which candidates are cut, in order.
QStringList relatedPieces(SearchEngine engine, const QString& lowerPage);
// The candidate cut from piece `index` of those pieces.
QString relatedCandidate(SearchEngine engine, const QString& piece, qsizetype index);

// Whether one of the "|"-separated words occurs in `text` (case-sensitive).
// Empty words are skipped: they would exclude everything.
bool HasExcludedWord(const QString& text, const QString& words);

} // namespace marbleway
