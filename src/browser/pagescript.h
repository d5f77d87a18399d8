#pragma once

#include "web/cxhtml.h"

#include <QString>
#include <QVariant>
#include <qcoro/qcorotask.h>

#include <chrono>

namespace marbleway {

class Browsers;
class Clock;
class WebPage;

// Reaching into a page's document. Every script runs in the page and is
// awaited; nothing here waits in a loop of its own.

// The script's value; an invalid QVariant when the page goes away or does not
// answer within `timeout` (a hung page).
QCoro::Task<QVariant> runScript(WebPage* page, QString script,
                                std::chrono::milliseconds timeout = std::chrono::seconds(10));

// Scripts over the document's elements, walked in document order as the
// collection of all elements is. Ids are compared exactly.
namespace dom {
// Sets `value` on the first element with the id; true when one was found.
QString setValue(const QString& id, const QString& value);
// Clicks every element with the id.
QString click(const QString& id);
// The innerHTML of the first (or the last) element with the id; null when
// the document has none.
enum class Match { First, Last };
QString innerHtml(const QString& id, Match match);
// Scrolls the page's window, horizontal distance first.
QString scrollBy(int x, int y);
// Cancels the page's own context menu and mouse-wheel scrolling.
QString suppressMenuAndWheel();
// The markup of the whole document as the browser holds it.
QString documentMarkup();
} // namespace dom

// Loads `url` in the fetch browser, waits 5 s of program time whatever the
// page does, and gives the document's markup then; empty on any failure
// (the browser engine cannot be loaded, among others).
QCoro::Task<QString> GetBrowserHtml(Browsers& browsers, QString url, const Clock& clock);

// Loads `url` in the fetch browser and gives its markup once it holds
// `waitFor` (any letter case), or at `timeout` (program time) whatever it holds.
// A page that did not load is a failure with the reason.
QCoro::Task<FetchedPage> renderPage(Browsers& browsers, QString url, QString waitFor,
                                    std::chrono::milliseconds timeout, const Clock& clock);

} // namespace marbleway
