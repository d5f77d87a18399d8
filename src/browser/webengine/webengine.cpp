// The browser engine module: Qt WebEngine behind the program's plain browser
// interfaces. Only this module links the engine.

#include "browser/browserengine.h"

#include <QPointer>
#include <QWebEngineCookieStore>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace marbleway {
namespace {

using namespace Qt::StringLiterals;

// Dialogs a page raises would stop nobody (nothing waits for them) but would
// cover the window: the pages answer them silently.
class SilentPage : public QWebEnginePage {
public:
    SilentPage(QWebEngineProfile* profile, QWebEnginePage* popups)
        : QWebEnginePage(profile)
        , m_popups(popups)
    {}

protected:
    void javaScriptAlert(const QUrl&, const QString&) override {}
    bool javaScriptConfirm(const QUrl&, const QString&) override { return false; }
    bool javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) override
    {
        return false;
    }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                  const QString&) override
    {}
    QWebEnginePage* createWindow(WebWindowType) override { return m_popups.data(); }

private:
    QPointer<QWebEnginePage> m_popups;
};

class Page final : public EnginePage {
public:
    Page(QWebEngineProfile* profile, QWebEnginePage* popups)
        : m_page(profile, popups)
    {
        QObject::connect(&m_page, &QWebEnginePage::loadFinished, &m_page, [this](bool ok) {
            if (loadFinished)
                loadFinished(ok);
        });
    }

    void load(const QUrl& url) override { m_page.load(url); }
    QUrl url() const override { return m_page.url(); }
    void runJavaScript(const QString& script, std::function<void(const QVariant&)> done) override
    {
        m_page.runJavaScript(script, done);
    }
    QWidget* createView(QWidget* parent) override
    {
        auto* view = new QWebEngineView(parent);
        view->setPage(&m_page);
        return view;
    }
    QWebEnginePage* page() { return &m_page; }

private:
    SilentPage m_page;
};

class Engine final : public BrowserEngine {
public:
    explicit Engine(const QString& storage)
        : m_profile(u"marbleway"_s)
    {
        m_profile.setPersistentStoragePath(storage);
        m_profile.setCachePath(storage + u"/cache"_s);
        // The program keeps the lasting cookies: one store on disk, not two that drift.
        m_profile.setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
        m_profile.settings()->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
        QWebEngineCookieStore* store = m_profile.cookieStore();
        QObject::connect(store, &QWebEngineCookieStore::cookieAdded, store,
                         [this](const QNetworkCookie& cookie) {
                             if (cookieAdded)
                                 cookieAdded(cookie);
                         });
        QObject::connect(store, &QWebEngineCookieStore::cookieRemoved, store,
                         [this](const QNetworkCookie& cookie) {
                             if (cookieRemoved)
                                 cookieRemoved(cookie);
                         });
    }

    std::unique_ptr<EnginePage> newPage(EnginePage* popups) override
    {
        auto* target = dynamic_cast<Page*>(popups);
        return std::make_unique<Page>(&m_profile, target ? target->page() : nullptr);
    }

    void setCookie(const QNetworkCookie& cookie, const QUrl& origin) override
    {
        m_profile.cookieStore()->setCookie(cookie, origin);
    }

private:
    QWebEngineProfile m_profile;
};

} // namespace
} // namespace marbleway

extern "C" Q_DECL_EXPORT marbleway::BrowserEngine*
marblewayCreateBrowserEngine(const QString& storage)
{
    return new marbleway::Engine(storage);
}
