#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

namespace marbleway {

class BrowserEngine;
class CookieJar;
class WebPage;

// Call before the application object exists: the engine refuses to start its
// sandbox as root, so only then it runs without one.
void prepareBrowserEngine();

// The program's embedded browsers. They share one profile on disk in the data
// folder and one cookie store with the program's own requests (the jar), so a
// captcha answered in any of them counts for all. The engine module is loaded
// when a page is first asked for: it costs about 280 MB and a slower start.
class Browsers : public QObject {
    Q_OBJECT
public:
    // `storageFolder` holds the profile; `jar` may be null (cookies then stay
    // within the browsers).
    Browsers(QString storageFolder, CookieJar* jar, QObject* parent = nullptr);
    // Pages still alive go first: a profile must outlive its pages.
    ~Browsers() override;

    // Why no page can be made (the engine module is missing or broken), once
    // a page was asked for; empty while all is well.
    const QString& problem() const { return m_problem; }

    // A page of the shared profile that shows no dialogs of its own (alerts,
    // confirmations, prompts), owned by `parent`; null when the engine cannot
    // be loaded.
    WebPage* newPage(QObject* parent);

    // The fetch browser behind GetBrowserHtml. Windows its pages open are
    // loaded into popupPage() instead.
    WebPage* fetchPage();
    WebPage* popupPage();

    // Where the engine module is looked for, in order.
    static QStringList moduleCandidates();

private:
    BrowserEngine* engine();
    WebPage* makePage(QObject* parent, WebPage* popups);

    QString m_storage;
    QPointer<CookieJar> m_jar;
    std::unique_ptr<BrowserEngine> m_engine;
    QString m_problem;
    QList<QPointer<WebPage>> m_pages;
    QPointer<WebPage> m_fetch;
    QPointer<WebPage> m_popup;
};

} // namespace marbleway
