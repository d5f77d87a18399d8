#pragma once

#include "web/endpoints.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <optional>
#include <span>

namespace marbleway {

// The engines the program asks, in the order a rank query asks them.
enum class SearchEngine { Google, Yahoo, Bing };

inline constexpr std::array AllSearchEngines = {SearchEngine::Google, SearchEngine::Yahoo,
                                                SearchEngine::Bing};

// A page an engine answers with instead of results.
enum class BlockPage { None, Captcha, JavaScript, Consent };

// A text that gives such a page away (lower case).
struct BlockMarker {
    QStringView text;
    BlockPage page;
};

// One place for what the program knows of an engine: its names, where its pages
// are and how each kind of page is read. Nothing else switches on the engine.
struct EngineInfo {
    SearchEngine engine;
    QStringView displayName;     // "Google.com": list texts, rows, history lines
    QStringView key;             // "google": icons, command line
    Service service;             // the host table's entry
    QStringView intervalSetting; // "googlese": its crawl interval in the settings
    QStringView databaseColumn;  // "googles": its count in the keyword database
    int countColumn;             // its count's column in the related keyword list
    QStringView noCount;         // a count when nothing was found

    // Result pages: the path of page `page` (0-based) for an encoded keyword.
    QString (*rankPath)(const QString& encodedKeyword, int page);
    QStringView rankMarker; // the text that opens each result block
    int firstBlock;         // blocks before this one are not results
    int positionShift;      // added to the block number to give the position
    bool (*blockMatches)(QStringView block, QStringView site);
    QString (*blockLink)(QStringView block);
    std::span<const BlockMarker> blockMarkers; // pages that hold none of its result blocks

    // Page counts and related searches: the path for an encoded keyword.
    QString (*countPath)(const QString& encodedKeyword);
    QString (*countFrom)(const QString& page);
    QString (*relatedPath)(const QString& encodedSeed);
    QStringList (*relatedPieces)(const QString& lowerPage);
    QString (*relatedCandidate)(const QString& piece, qsizetype index);
};

const EngineInfo& engineInfo(SearchEngine engine);

QString engineDisplayName(SearchEngine engine);
QString engineKey(SearchEngine engine);
std::optional<SearchEngine> engineFromDisplayName(QStringView name);
// Any letter case: "google", "Google".
std::optional<SearchEngine> engineFromKey(QStringView key);

// A keyword as it goes into an engine's query string: the engine receives
// exactly what the user typed ("c# tutorial", "at&t", "c++").
QString engineQueryText(QStringView keyword);

// One match of the site on a result page.
struct BlockMatch {
    int position; // 1-based on the whole result list
    QString link; // as stored (see normaliseResultLink)
};
// Every match of `site` on result page `page` (0-based), in order.
QList<BlockMatch> readRankPage(SearchEngine engine, QStringView text, QStringView site, int page);
// Result blocks on a result page.
qsizetype resultBlockCount(SearchEngine engine, QStringView text);
// The block, captcha, consent or JavaScript-required page this is, if any: a
// page with result blocks never is.
BlockPage blockPageOf(SearchEngine engine, QStringView text);
// "验证码页面", for messages.
QString blockPageName(BlockPage page);
// A result link as stored: without "http://" and without one trailing "/",
// lower-cased whenever either was there to remove.
QString normaliseResultLink(QString link);

QString rankPageUrl(const Endpoints& endpoints, SearchEngine engine, const QString& keyword,
                    int page);
QString pageCountUrl(const Endpoints& endpoints, SearchEngine engine, const QString& keyword);
// The count read from the engine's page: digits without separators, or what the
// page holds there when the layout differs; the engine's no-count value when
// nothing is found or what was found is not a value (markup, a line break).
QString pageCountFrom(SearchEngine engine, const QString& page);
QString noCount(SearchEngine engine);
QString relatedSearchUrl(const Endpoints& endpoints, SearchEngine engine, const QString& seed);
// The pieces of the lower-cased page from which candidates are cut, in order.
QStringList relatedPieces(SearchEngine engine, const QString& lowerPage);
QString relatedCandidate(SearchEngine engine, const QString& piece, qsizetype index);

} // namespace marbleway
