#include "web/engines.h"

#include "web/endpoints.h"
#include "web/enginerules.h"
#include "web/textutil.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <limits>

namespace marbleway {

using namespace Qt::StringLiterals;

namespace {

const std::array<EngineInfo, AllSearchEngines.size()> engines = {{
    {SearchEngine::Google, u"Google.com", u"google", Service::Google, u"googlese", u"googles", 1,
     u"0"},
    {SearchEngine::Yahoo, u"Yahoo.com", u"yahoo", Service::Yahoo, u"yahoose", u"yahoos", 2, u"-"},
    {SearchEngine::Bing, u"Bing.com", u"bing", Service::Bing, u"bingse", u"bings", 3, u"-"},
}};

std::array<EngineRules, AllSearchEngines.size()>& rulesInUse()
{
    static std::array<EngineRules, AllSearchEngines.size()> rules = [] {
        std::array<EngineRules, AllSearchEngines.size()> built;
        (void)readEngineRules(QString(), built);
        return built;
    }();
    return rules;
}

QString fillPath(const QString& path, const QString& encodedKeyword, int page)
{
    QString filled = path;
    filled.replace(u"{keyword}"_s, encodedKeyword)
        .replace(u"{start0}"_s, QString::number(page * 10))
        .replace(u"{start1}"_s, QString::number(page * 10 + 1))
        .replace(u"{page}"_s, QString::number(page));
    return filled;
}

bool blockMatches(const EngineRules& rules, QStringView block, QStringView site)
{
    const QString scope = rules.siteInFirstLink ? GetMemo(block, u"<a", u"</a>") : block.toString();
    return scope.contains(QString(rules.sitePrefix + site));
}

QString blockLink(const EngineRules& rules, QStringView block)
{
    QString link = rules.linkPrefix + GetMemo(block, rules.linkFrom, rules.linkTo);
    for (const auto& [from, to] : rules.linkReplace)
        link.replace(from, to);
    return link;
}

} // namespace

const EngineRules& engineRules(SearchEngine engine)
{
    return rulesInUse()[size_t(engine)];
}

QStringList applyEngineRules(const QString& overrides)
{
    std::array<EngineRules, AllSearchEngines.size()> rules;
    const QStringList problems = readEngineRules(overrides, rules);
    rulesInUse() = rules;
    return problems;
}

QStringList loadEngineRules(const QString& file)
{
    QFile input(file);
    if (!input.exists())
        return applyEngineRules(QString());
    if (!input.open(QIODevice::ReadOnly))
        return {u"%1: cannot be read (%2); the built-in rules are used"_s.arg(file,
                                                                              input.errorString())};
    QStringList problems = applyEngineRules(QString::fromUtf8(input.readAll()));
    for (QString& problem : problems)
        problem.prepend(file + u": "_s);
    return problems;
}

const EngineInfo& engineInfo(SearchEngine engine)
{
    return engines[static_cast<size_t>(engine)];
}

QString engineDisplayName(SearchEngine engine)
{
    return engineInfo(engine).displayName.toString();
}

QString engineKey(SearchEngine engine)
{
    return engineInfo(engine).key.toString();
}

std::optional<SearchEngine> engineFromDisplayName(QStringView name)
{
    for (const EngineInfo& info : engines) {
        if (info.displayName == name)
            return info.engine;
    }
    return std::nullopt;
}

std::optional<SearchEngine> engineFromKey(QStringView key)
{
    for (const EngineInfo& info : engines) {
        if (key.compare(info.key, Qt::CaseInsensitive) == 0)
            return info.engine;
    }
    return std::nullopt;
}

QString engineQueryText(QStringView keyword)
{
    return queryValue(keyword);
}

QList<BlockMatch> readRankPage(SearchEngine engine, QStringView text, QStringView site, int page)
{
    const EngineRules& rules = engineRules(engine);
    QList<BlockMatch> matches;
    const QList<QStringView> blocks = splitBlocks(text, rules.rankMarker);
    for (qsizetype k = rules.firstBlock; k < blocks.size(); ++k) {
        if (!blockMatches(rules, blocks[k], site))
            continue;
        const qint64 position = qint64(page) * 10 + k + rules.positionShift;
        if (position > std::numeric_limits<int>::max())
            break;
        matches.append(
            {int(position), cleanField(normaliseResultLink(blockLink(rules, blocks[k])))});
    }
    return matches;
}

qsizetype resultBlockCount(SearchEngine engine, QStringView text)
{
    return std::max<qsizetype>(0, splitBlocks(text, engineRules(engine).rankMarker).size() - 1);
}

BlockPage blockPageOf(SearchEngine engine, QStringView text)
{
    if (resultBlockCount(engine, text) > 0)
        return BlockPage::None;
    for (const EngineRules::Marker& marker : engineRules(engine).blocked) {
        if (text.contains(marker.text, Qt::CaseInsensitive))
            return marker.page;
    }
    return BlockPage::None;
}

QString blockPageName(BlockPage page)
{
    switch (page) {
    case BlockPage::Captcha:
        return QStringLiteral(QT_TRANSLATE_NOOP("Values", "验证码页面"));
    case BlockPage::JavaScript:
        return QStringLiteral(QT_TRANSLATE_NOOP("Values", "要求运行 JavaScript 的页面"));
    case BlockPage::Consent:
        return QStringLiteral(QT_TRANSLATE_NOOP("Values", "Cookie 同意页面"));
    case BlockPage::None:
        break;
    }
    return {};
}

QString normaliseResultLink(QString link)
{
    if (link.toLower().contains(u"http://"))
        link = link.toLower().remove(u"http://"_s);
    if (link.toLower().endsWith(u'/'))
        link = link.toLower().chopped(1);
    return link;
}

QString rankPageUrl(const Endpoints& endpoints, SearchEngine engine, const QString& keyword,
                    int page)
{
    return endpoints.url(engineInfo(engine).service,
                         fillPath(engineRules(engine).rankPath, engineQueryText(keyword), page));
}

QString pageCountUrl(const Endpoints& endpoints, SearchEngine engine, const QString& keyword)
{
    return endpoints.url(engineInfo(engine).service,
                         fillPath(engineRules(engine).countPath, engineQueryText(keyword), 0));
}

QString noCount(SearchEngine engine)
{
    return engineInfo(engine).noCount.toString();
}

QString pageCountFrom(SearchEngine engine, const QString& page)
{
    const EngineRules& rules = engineRules(engine);
    QString count = GetMemo(page, rules.countFrom, rules.countTo);
    if (!rules.countAfter.isEmpty()) {
        if (const qsizetype after = count.indexOf(rules.countAfter); after >= 0)
            count = count.mid(after + rules.countAfter.size());
    }
    if (!rules.countBefore.isEmpty()) {
        if (const qsizetype before = count.indexOf(rules.countBefore); before >= 0)
            count.truncate(before);
    }
    if (rules.countTrim)
        count = trimSpaces(count).toString();
    count.remove(u',');
    // A value is never markup: a marker that matched elsewhere on the page
    // (a title holding " of ") gives nothing found.
    if (count.contains(u'<') || count.contains(u'\n') || count.contains(u'\r'))
        count.clear();
    count = cleanField(count, 64);
    return count.isEmpty() ? noCount(engine) : count;
}

QString relatedSearchUrl(const Endpoints& endpoints, SearchEngine engine, const QString& seed)
{
    return endpoints.url(engineInfo(engine).service,
                         fillPath(engineRules(engine).relatedPath, engineQueryText(seed), 0));
}

QStringList relatedPieces(SearchEngine engine, const QString& lowerPage)
{
    if (lowerPage.isEmpty())
        return {};
    const EngineRules& rules = engineRules(engine);
    const QString part = rules.relatedFrom.isEmpty()
                             ? lowerPage
                             : GetMemo(lowerPage, rules.relatedFrom, rules.relatedTo);
    QStringList pieces = part.split(rules.relatedSplit);
    if (rules.relatedDropFirst)
        pieces.removeFirst();
    return pieces;
}

QString relatedCandidate(SearchEngine engine, const QString& piece, qsizetype index)
{
    const EngineRules& rules = engineRules(engine);
    const QString& from = index == 0 && !rules.candidateFirstFrom.isEmpty()
                              ? rules.candidateFirstFrom
                              : rules.candidateFrom;
    QString candidate = GetMemo(piece, from, rules.candidateTo);
    for (const QString& tag : rules.candidateRemove)
        candidate.remove(tag);
    return candidate;
}

} // namespace marbleway
