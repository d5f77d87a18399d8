#include "ranking/searchengine.h"

namespace marbleway {

using namespace Qt::StringLiterals;

QString engineDisplayName(SearchEngine engine)
{
    switch (engine) {
    case SearchEngine::Google:
        return u"Google.com"_s;
    case SearchEngine::Yahoo:
        return u"Yahoo.com"_s;
    case SearchEngine::Bing:
        return u"Bing.com"_s;
    }
    return {};
}

QString engineKey(SearchEngine engine)
{
    switch (engine) {
    case SearchEngine::Google:
        return u"google"_s;
    case SearchEngine::Yahoo:
        return u"yahoo"_s;
    case SearchEngine::Bing:
        return u"bing"_s;
    }
    return {};
}

std::optional<SearchEngine> engineFromDisplayName(QStringView name)
{
    for (const SearchEngine engine : AllSearchEngines) {
        if (name == engineDisplayName(engine))
            return engine;
    }
    return std::nullopt;
}

std::optional<SearchEngine> engineFromKey(QStringView key)
{
    for (const SearchEngine engine : AllSearchEngines) {
        if (key == engineKey(engine))
            return engine;
    }
    return std::nullopt;
}

Service engineService(SearchEngine engine)
{
    switch (engine) {
    case SearchEngine::Google:
        return Service::Google;
    case SearchEngine::Yahoo:
        return Service::Yahoo;
    case SearchEngine::Bing:
        return Service::Bing;
    }
    return Service::Google;
}

} // namespace marbleway
