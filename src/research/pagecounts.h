#pragma once

#include "ranking/searchengine.h"
#include "web/endpoints.h"

#include <QString>

namespace marbleway {

// How many pages an engine reports for a keyword.

// The request address: the keyword goes in as it stands.
QString pageCountUrl(const Endpoints& endpoints, SearchEngine engine, const QString& keyword);

// The count read from the engine's page: digits without separators, or what
// the page holds there when the layout differs; "0" (Google) or "-" (Yahoo,
// Bing) when nothing is found.
QString pageCountFrom(SearchEngine engine, const QString& page);

// What a count reads as when nothing was found.
QString noCount(SearchEngine engine);

} // namespace marbleway
