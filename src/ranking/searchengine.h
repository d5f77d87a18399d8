#pragma once

#include "web/endpoints.h"

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace marbleway {

// The engines a rank query can ask, in the order they are queried.
enum class SearchEngine { Google, Yahoo, Bing };

inline constexpr std::array AllSearchEngines = {SearchEngine::Google, SearchEngine::Yahoo,
                                                SearchEngine::Bing};

// "Google.com", "Yahoo.com", "Bing.com": list texts, result rows, history lines.
QString engineDisplayName(SearchEngine engine);
// "google", "yahoo", "bing": icons and command-line names.
QString engineKey(SearchEngine engine);
std::optional<SearchEngine> engineFromDisplayName(QStringView name);
std::optional<SearchEngine> engineFromKey(QStringView key);
Service engineService(SearchEngine engine);

} // namespace marbleway
