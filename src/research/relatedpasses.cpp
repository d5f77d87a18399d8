#include "research/relatedpasses.h"

#include "web/textutil.h"

namespace marbleway {

using namespace Qt::StringLiterals;

namespace {

// Yahoo embeds its related terms as [["term","0"],["term","0"],...].
const QString yahooSplit = u",\"0\"],["_s;
const QString yahooFirst = u":[[\""_s;
const QString bingSplit = u"')\""_s;

} // namespace

QString relatedSearchUrl(const Endpoints& endpoints, SearchEngine engine, const QString& seed)
{
    switch (engine) {
    case SearchEngine::Yahoo:
        return endpoints.url(Service::Yahoo, u"/search?p="_s + seed);
    case SearchEngine::Google:
        return endpoints.url(Service::Google, u"/search?hl=en&q="_s + seed);
    case SearchEngine::Bing:
        return endpoints.url(Service::Bing, u"/search?q="_s + seed + u"&setmkt=en-US"_s);
    }
    return {};
}

QStringList relatedPieces(SearchEngine engine, const QString& lowerPage)
{
    if (lowerPage.isEmpty())
        return {};
    QStringList pieces;
    switch (engine) {
    case SearchEngine::Yahoo:
        pieces = lowerPage.split(yahooSplit);
        break;
    case SearchEngine::Google:
        pieces = GetMemo(lowerPage, u">searches related to", u"</table>").split(u"><a "_s);
        pieces.removeFirst();
        break;
    case SearchEngine::Bing:
        pieces = GetMemo(lowerPage, u"<h2>related searches</h2><ul>", u"</ul>").split(bingSplit);
        pieces.removeFirst();
        break;
    }
    return pieces;
}

QString relatedCandidate(SearchEngine engine, const QString& piece, qsizetype index)
{
    switch (engine) {
    case SearchEngine::Yahoo:
        return index == 0 ? GetMemo(piece, yahooFirst, u"\"") : GetMemo(piece, u"\"", u"\"");
    case SearchEngine::Google:
        return GetMemo(piece, u">", u"</a>").remove(u"<b>"_s).remove(u"</b>"_s);
    case SearchEngine::Bing:
        return GetMemo(piece, u">", u"</a>").remove(u"<strong>"_s).remove(u"</strong>"_s);
    }
    return {};
}

bool HasExcludedWord(const QString& text, const QString& words)
{
    if (words.isEmpty())
        return false;
    for (const QStringView word : QStringView(words).split(u'|')) {
        if (!word.isEmpty() && text.contains(word))
            return true;
    }
    return false;
}

} // namespace marbleway
