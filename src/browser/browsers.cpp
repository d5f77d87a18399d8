#include "browser/browsers.h"

#include "web/cookiejar.h"

#include <QCoreApplication>
#include <QDir>
#include <QNetworkCookie>
#include <QWebEngineCookieStore>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace marbleway {

using namespace Qt::StringLiterals;

namespace {

// Dialogs a page raises would stop nobody (nothing waits for them) but would
// cover the window: the pages answer them silently.
class SilentPage : public QWebEnginePage {
public:
    SilentPage(QWebEngineProfile* profile, QObject* parent, QPointer<QWebEnginePage> popups = {})
        : QWebEnginePage(profile, parent)
        , m_popups(std::move(popups))
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

} // namespace

void prepareBrowserEngine()
{
#ifdef Q_OS_UNIX
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
#endif
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

Browsers::Browsers(QString storageFolder, CookieJar* jar, QObject* parent)
    : QObject(parent)
    , m_storage(std::move(storageFolder))
    , m_jar(jar)
{}

Browsers::~Browsers()
{
    for (const QPointer<QWebEnginePage>& page : std::as_const(m_pages))
        delete page.data();
    delete m_profile;
}

QWebEngineProfile* Browsers::profile()
{
    if (m_profile)
        return m_profile;
    QDir().mkpath(m_storage);
    m_profile = new QWebEngineProfile(u"marbleway"_s);
    m_profile->setPersistentStoragePath(m_storage);
    m_profile->setCachePath(m_storage + u"/cache"_s);
    // The jar keeps the lasting cookies: one store on disk, not two that drift.
    m_profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    m_profile->settings()->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);

    QWebEngineCookieStore* store = m_profile->cookieStore();
    if (m_jar) {
        for (const QNetworkCookie& cookie : m_jar->cookies())
            store->setCookie(cookie);
        connect(store, &QWebEngineCookieStore::cookieAdded, m_jar.data(),
                &CookieJar::addFromBrowser);
        connect(store, &QWebEngineCookieStore::cookieRemoved, m_jar.data(),
                &CookieJar::removeFromBrowser);
        connect(m_jar.data(), &CookieJar::received, store,
                [store](const QList<QNetworkCookie>& cookies, const QUrl& url) {
                    for (const QNetworkCookie& cookie : cookies)
                        store->setCookie(cookie, url);
                });
    }
    return m_profile;
}

QWebEnginePage* Browsers::newPage(QObject* parent)
{
    auto* page = new SilentPage(profile(), parent);
    m_pages.removeAll(nullptr);
    m_pages << page;
    return page;
}

QWebEnginePage* Browsers::popupPage()
{
    if (!m_popup) {
        m_popup = new SilentPage(profile(), this);
        m_pages << m_popup;
    }
    return m_popup;
}

QWebEnginePage* Browsers::fetchPage()
{
    if (!m_fetch) {
        m_fetch = new SilentPage(profile(), this, popupPage());
        m_pages << m_fetch;
    }
    return m_fetch;
}

} // namespace marbleway
