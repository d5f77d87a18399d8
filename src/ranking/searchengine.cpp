#include "ranking/searchengine.h"

namespace marbleway {

namespace {

struct EngineNames {
    SearchEngine engine;
    QStringView displayName;
    QStringView key;
    Service service;
};

constexpr std::array<EngineNames, AllSearchEngines.size()> names = {{
    {SearchEngine::Google, u"Google.com", u"google", Service::Google},
    {SearchEngine::Yahoo, u"Yahoo.com", u"yahoo", Service::Yahoo},
    {SearchEngine::Bing, u"Bing.com", u"bing", Service::Bing},
}};

const EngineNames& namesOf(SearchEngine engine)
{
    return names[static_cast<size_t>(engine)];
}

} // namespace

QString engineDisplayName(SearchEngine engine)
{
    return namesOf(engine).displayName.toString();
}

QString engineKey(SearchEngine engine)
{
    return namesOf(engine).key.toString();
}

std::optional<SearchEngine> engineFromDisplayName(QStringView name)
{
    for (const EngineNames& entry : names) {
        if (entry.displayName == name)
            return entry.engine;
    }
    return std::nullopt;
}

std::optional<SearchEngine> engineFromKey(QStringView key)
{
    for (const EngineNames& entry : names) {
        if (entry.key == key)
            return entry.engine;
    }
    return std::nullopt;
}

Service engineService(SearchEngine engine)
{
    return namesOf(engine).service;
}

} // namespace marbleway
