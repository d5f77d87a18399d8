#pragma once

#include "web/endpoints.h"
#include "web/engines.h"

#include <QList>
#include <QString>

#include <optional>

namespace marbleway::test {
class TestHttpServer;
struct Request;
} // namespace marbleway::test

namespace marbleway::fakeweb {

// The site the example pages rank for a few keywords.
inline constexpr QStringView DemoSite = u"www.bluewidget.example";

// One organic result of an example page.
struct Result {
    QString host; // as listed, e.g. "www.bluewidget.example"
    QString path; // starts and ends with "/"
    QString title;
};

// The example index: `count` results for a keyword on an engine, in order.
// The demo site stands at fixed places for the keywords "seo tools",
// "keyword research" and "backlinks"; other keywords never list it.
QList<Result> resultsFor(SearchEngine engine, const QString& keyword, int count = 50);

// The related searches the example engine suggests for a keyword, in order.
QStringList relatedFor(SearchEngine engine, const QString& keyword);
// The page count the example engine reports for a keyword.
quint32 countFor(SearchEngine engine, const QString& keyword);

// A result page in the engine's own layout listing exactly these results.
QString layoutPage(SearchEngine engine, const QString& keyword, int page,
                   const QList<Result>& results);

// A result page in the engine's own layout: results (page × 10 + 1) to
// (page × 10 + 10) of the keyword.
QString resultPage(SearchEngine engine, const QString& keyword, int page);

// The engine's answer to a request on its search path, or nullopt when the
// request is not a search (missing keys).
std::optional<QString> answerSearch(SearchEngine engine, const QString& path,
                                    const std::optional<QString>& keyword,
                                    const std::optional<QString>& offset);

// Which engine a search request is meant for, told by its query keys (Yahoo
// asks with "p", Bing's research requests carry "setmkt", Google's "hl" or
// "start"; a bare "q" with "first" is Bing's rank request).
std::optional<SearchEngine> engineOfRequest(const test::Request& request);

// How the example resource lists misbehave on request.
struct ResourceListOptions {
    int pages = 0;          // pages after this one answer empty (0: none do)
    bool shortRows = false; // every fourth row lacks its PageRank and remark
};

// One page of the maker's backlink resource list for a category (6, 7 or 8)
// and an optional second-level type: rows "name~address~PR~remark<br>".
QString resourceListPage(int category, const QString& type, int page,
                         const ResourceListOptions& options = {});

// Makes one server answer every engine's search requests with example pages.
void serveAllEngines(test::TestHttpServer& server);

// Makes `server` answer as the example version of `service`.
void serveExamplePages(test::TestHttpServer& server, Service service,
                       const ResourceListOptions& resources = {});

} // namespace marbleway::fakeweb
