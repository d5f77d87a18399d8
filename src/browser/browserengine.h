#pragma once

#include <QNetworkCookie>
#include <QString>
#include <QUrl>
#include <QVariant>

#include <functional>
#include <memory>

class QWidget;

namespace marbleway {

// What the program asks of a browser engine. The engine lives in a module of
// its own, loaded on first use, so that a session without a browser neither
// loads nor pays for it; these plain interfaces are all the two sides share.

class EnginePage {
public:
    virtual ~EnginePage() = default;
    virtual void load(const QUrl& url) = 0;
    virtual QUrl url() const = 0;
    // Calls `done` with the script's value once the page has run it.
    virtual void runJavaScript(const QString& script,
                               std::function<void(const QVariant&)> done) = 0;
    // A view that shows this page; it belongs to `parent`.
    virtual QWidget* createView(QWidget* parent) = 0;

    // Set by the program: a document has finished loading (or failed to).
    std::function<void(bool ok)> loadFinished;
};

class BrowserEngine {
public:
    virtual ~BrowserEngine() = default;
    // A page that raises no dialogs; windows it opens load into `popups`, a
    // page of this engine, or nowhere when null.
    virtual std::unique_ptr<EnginePage> newPage(EnginePage* popups) = 0;
    virtual void setCookie(const QNetworkCookie& cookie, const QUrl& origin) = 0;

    // Set by the program: cookies the pages set or dropped.
    std::function<void(const QNetworkCookie&)> cookieAdded;
    std::function<void(const QNetworkCookie&)> cookieRemoved;
};

// The module's one entry point: an engine whose profile lives in `storage`.
using CreateBrowserEngine = BrowserEngine* (*)(const QString& storage);
inline constexpr const char* CreateBrowserEngineSymbol = "marblewayCreateBrowserEngine";

} // namespace marbleway
