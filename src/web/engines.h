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

// What the program knows of an engine itself: its names, where its pages are
// and where its figures go. How its pages are read is in EngineRules.
struct EngineInfo {
    SearchEngine engine;
    QStringView displayName;     // "Google.com": list texts, rows, history lines
    QStringView key;             // "google": icons, command line, engines.json
    Service service;             // the host table's entry
    QStringView intervalSetting; // "googlese": its crawl interval in the settings
    QStringView databaseColumn;  // "googles": its count in the keyword database
    int countColumn;             // its count's column in the related keyword list
    QStringView noCount;         // a count when nothing was found
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
// How an engine's pages are asked for and read: data, built in and overridable
// by an "engines.json" in the data folder (see engineRules()).
struct EngineRules {
    // Over HTTP, or rendered in the embedded browser (waiting for `waitFor`).
    bool inBrowser = false;
    QString waitFor;

    // Result pages: the path of a page, "{keyword}" the encoded keyword,
    // "{start0}" and "{start1}" its first result counted from 0 or 1, "{page}"
    // the page from 0.
    QString rankPath;
    QString rankMarker;           // the text that opens each result block
    int firstBlock = 1;           // blocks before this one are not results
    int positionShift = 0;        // added to the block number to give the position
    bool siteInFirstLink = false; // the site is looked for in the block's first link only
    QString sitePrefix;           // text that stands right before the site
    QString linkFrom;             // the link is cut from after this ...
    QString linkTo;               // ... to before this
    QString linkPrefix;           // put in front of it
    QList<std::pair<QString, QString>> linkReplace;

    struct Marker {
        QString text; // lower case
        BlockPage page;
    };
    QList<Marker> blocked; // recognised on pages without result blocks

    QString countPath;
    QString countFrom;
    QString countTo;
    QString countAfter;  // then what follows this, when it is there
    QString countBefore; // and what stands before this, when it is there
    bool countTrim = false;

    QString relatedPath;
    QString relatedFrom; // the part of the page between these (the whole page when empty)
    QString relatedTo;
    QString relatedSplit;
    bool relatedDropFirst = false;
    QString candidateFrom;
    QString candidateTo;
    QString candidateFirstFrom; // for the first piece, when set
    QStringList candidateRemove;
};

// The rules in use for an engine.
const EngineRules& engineRules(SearchEngine engine);
// Puts the built-in rules in use, then the valid entries of `overrides` (the
// text of an engines.json) over them. Returns one message per problem, each
// naming the engine, the key and what is wrong; an entry with a problem keeps
// its built-in rule.
QStringList applyEngineRules(const QString& overrides);
// As applyEngineRules() with the file's text; a missing file is no problem.
QStringList loadEngineRules(const QString& file);
// The file a user may put in the data folder.
inline constexpr QStringView EngineRulesFileName = u"engines.json";

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
