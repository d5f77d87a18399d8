#include "browser/browsers.h"

#include "browser/browserengine.h"
#include "browser/webpage.h"
#include "web/cookiejar.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QOpenGLContext>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

// Qt's hook for the context every GL context shares. The engine needs one;
// the public way (AA_ShareOpenGLContexts) makes it at start-up and loads the
// GL driver into every session, browser or not (+60 MB, +40 ms here).
void qt_gl_set_global_share_context(QOpenGLContext* context);

namespace marbleway {

using namespace Qt::StringLiterals;

void prepareBrowserEngine()
{
#ifdef Q_OS_UNIX
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
#endif
}

Browsers::Browsers(QString storageFolder, CookieJar* jar, QObject* parent)
    : QObject(parent)
    , m_storage(std::move(storageFolder))
    , m_jar(jar)
{}

Browsers::~Browsers()
{
    for (const QPointer<WebPage>& page : std::as_const(m_pages))
        delete page.data();
    if (m_engine) {
        m_engine->cookieAdded = nullptr;
        m_engine->cookieRemoved = nullptr;
    }
    if (m_jar)
        disconnect(m_jar, nullptr, this, nullptr);
}

QStringList Browsers::moduleCandidates()
{
    const QString name = u"marbleway-webengine"_s;
    QStringList candidates{QCoreApplication::applicationDirPath() + u"/../lib/marbleway/"_s + name,
                           QCoreApplication::applicationDirPath() + u'/' + name};
#ifdef MARBLEWAY_BUILD_MODULE_DIR
    candidates << QStringLiteral(MARBLEWAY_BUILD_MODULE_DIR) + u'/' + name;
#endif
    return candidates;
}

BrowserEngine* Browsers::engine()
{
    if (m_engine || !m_problem.isEmpty())
        return m_engine.get();
    CreateBrowserEngine create = nullptr;
    QStringList errors;
    // Before the engine's library runs its start-up code, which looks for it.
    if (!QOpenGLContext::globalShareContext()) {
        auto* shared = new QOpenGLContext(QCoreApplication::instance());
        shared->create();
        qt_gl_set_global_share_context(shared);
    }
    for (const QString& candidate : moduleCandidates()) {
        QLibrary module(candidate);
        create = reinterpret_cast<CreateBrowserEngine>(module.resolve(CreateBrowserEngineSymbol));
        if (create)
            break;
        errors << module.errorString();
    }
    if (!create) {
        m_problem = QCoreApplication::translate("Browsers", "内嵌浏览器无法加载（%1）")
                        .arg(errors.join(u"；"_s));
        return nullptr;
    }
    QDir().mkpath(m_storage);
    m_engine.reset(create(m_storage));

    // One set of cookies: what the jar holds goes to the pages, what the pages
    // set goes to the jar, and what the program's requests receive goes on to
    // the pages.
    if (m_jar) {
        for (const QNetworkCookie& cookie : m_jar->cookies())
            m_engine->setCookie(cookie, QUrl());
        QPointer<CookieJar> jar = m_jar;
        m_engine->cookieAdded = [jar](const QNetworkCookie& cookie) {
            if (jar)
                jar->addFromBrowser(cookie);
        };
        m_engine->cookieRemoved = [jar](const QNetworkCookie& cookie) {
            if (jar)
                jar->removeFromBrowser(cookie);
        };
        connect(m_jar, &CookieJar::received, this,
                [this](const QList<QNetworkCookie>& cookies, const QUrl& url) {
                    for (const QNetworkCookie& cookie : cookies)
                        m_engine->setCookie(cookie, url);
                });
    }
    return m_engine.get();
}

WebPage* Browsers::makePage(QObject* parent, WebPage* popups)
{
    BrowserEngine* browser = engine();
    if (!browser)
        return nullptr;
    auto* page = new WebPage(browser->newPage(popups ? popups->enginePage() : nullptr), parent);
    m_pages.removeAll(nullptr);
    m_pages << page;
    return page;
}

WebPage* Browsers::newPage(QObject* parent)
{
    return makePage(parent, nullptr);
}

WebPage* Browsers::popupPage()
{
    if (!m_popup)
        m_popup = makePage(this, nullptr);
    return m_popup;
}

WebPage* Browsers::fetchPage()
{
    if (!m_fetch) {
        WebPage* popups = popupPage();
        if (popups)
            m_fetch = makePage(this, popups);
    }
    return m_fetch;
}

} // namespace marbleway
