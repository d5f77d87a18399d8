// The browser engine module: Qt WebEngine behind the program's plain browser
// interfaces. Only this module links the engine.

#include "browser/browserengine.h"

#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QTimer>

#include <chrono>

#ifdef Q_OS_UNIX
#include <csignal>
#include <unistd.h>
#endif
#include <QAuthenticator>
#include <QNetworkProxy>
#include <QWebEngineCookieStore>
#include <QWebEnginePage>
#include <QWebEngineProfile>
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
    {
        // The proxy the program set for the browsers, with its credentials.
        QObject::connect(this, &QWebEnginePage::proxyAuthenticationRequired, this,
                         [](const QUrl&, QAuthenticator* authenticator, const QString&) {
                             const QNetworkProxy proxy = QNetworkProxy::applicationProxy();
                             authenticator->setUser(proxy.user());
                             authenticator->setPassword(proxy.password());
                         });
    }

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

// A hostile server can send an endless page or a compression bomb; the
// renderer would take every byte of memory. A load that goes past these ends
// as failed.
constexpr qint64 RendererMemoryLimit = 512LL * 1024 * 1024;
constexpr std::chrono::seconds LoadTimeLimit(30);

// The resident memory of a process, or 0 where that cannot be read.
qint64 residentBytes(qint64 pid)
{
#ifdef Q_OS_LINUX
    QFile statm(u"/proc/%1/statm"_s.arg(pid));
    if (pid <= 0 || !statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toLongLong() * sysconf(_SC_PAGESIZE);
#else
    Q_UNUSED(pid);
    return 0;
#endif
}

class Page final : public EnginePage {
public:
    Page(QWebEngineProfile* profile, QWebEnginePage* popups)
        : m_page(profile, popups)
    {
        m_guard.setInterval(250);
        QObject::connect(&m_page, &QWebEnginePage::loadStarted, &m_page, [this] {
            m_loading.start();
            m_guard.start();
        });
        QObject::connect(&m_page, &QWebEnginePage::loadFinished, &m_page, [this](bool ok) {
            m_guard.stop();
            if (loadFinished)
                loadFinished(ok);
        });
        QObject::connect(&m_guard, &QTimer::timeout, &m_page, [this] { watchLoad(); });
        // A renderer that ends in the middle of a load (killed below, crashed)
        // ends the load as failed.
        QObject::connect(&m_page, &QWebEnginePage::renderProcessTerminated, &m_page, [this] {
            if (!m_guard.isActive())
                return;
            m_guard.stop();
            if (loadFinished)
                loadFinished(false);
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
    void watchLoad()
    {
        if (std::chrono::milliseconds(m_loading.elapsed()) > LoadTimeLimit) {
            m_page.triggerAction(QWebEnginePage::Stop);
            return;
        }
#ifdef Q_OS_UNIX
        const qint64 pid = m_page.renderProcessPid();
        if (residentBytes(pid) > RendererMemoryLimit) {
            // Stopping leaves the document in memory; only its process can go.
            ::kill(pid_t(pid), SIGKILL);
        }
#endif
    }

    SilentPage m_page;
    QTimer m_guard;
    QElapsedTimer m_loading;
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
