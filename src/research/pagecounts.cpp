#include "research/pagecounts.h"

#include "web/textutil.h"

namespace marbleway {

using namespace Qt::StringLiterals;

QString pageCountUrl(const Endpoints& endpoints, SearchEngine engine, const QString& keyword)
{
    switch (engine) {
    case SearchEngine::Google:
        return endpoints.url(Service::Google, u"/search?hl=en&q="_s + keyword);
    case SearchEngine::Yahoo:
        return endpoints.url(Service::Yahoo, u"/search?p="_s + keyword);
    case SearchEngine::Bing:
        return endpoints.url(Service::Bing, u"/search?q="_s + keyword + u"&setmkt=en-US"_s);
    }
    return {};
}

QString noCount(SearchEngine engine)
{
    return engine == SearchEngine::Google ? u"0"_s : u"-"_s;
}

QString pageCountFrom(SearchEngine engine, const QString& page)
{
    QString count;
    switch (engine) {
    case SearchEngine::Google: {
        count = GetMemo(page, u"</b> of", u"</b>");
        if (const qsizetype bold = count.indexOf(u"<b>"); bold >= 0) {
            count = count.mid(bold + 3);
            if (const qsizetype next = count.indexOf(u"<b>"); next >= 0)
                count.truncate(next);
        }
        break;
    }
    case SearchEngine::Yahoo:
        count = GetMemo(page, u"<strong id=\"resultCount\">", u"<");
        break;
    case SearchEngine::Bing:
        count = trimSpaces(GetMemo(page, u" of ", u"results")).toString();
        break;
    }
    count.remove(u',');
    return count.isEmpty() ? noCount(engine) : count;
}

} // namespace marbleway
