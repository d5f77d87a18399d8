#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class QWebEngineProfile;
class QWebEnginePage;

namespace marbleway {

class CookieJar;

// Call before the application object exists: the browsers draw with the
// window's GL context, and the engine refuses to start its sandbox as root,
// so only then it runs without one.
void prepareBrowserEngine();

// The program's embedded browsers. They share one profile on disk in the data
// folder and one cookie store with the program's own requests (the jar), so a
// captcha answered in any of them counts for all. Nothing of the browser engine
// starts until a page is first asked for: it costs about 280 MB.
class Browsers : public QObject {
    Q_OBJECT
public:
    // `storageFolder` holds the profile; `jar` may be null (cookies then stay
    // within the browsers).
    Browsers(QString storageFolder, CookieJar* jar, QObject* parent = nullptr);
    // Pages still alive go first: a profile must outlive its pages.
    ~Browsers() override;

    bool isStarted() const { return m_profile != nullptr; }

    // A page of the shared profile that shows no dialogs of its own (alerts,
    // confirmations, prompts), owned by `parent`.
    QWebEnginePage* newPage(QObject* parent);

    // The fetch browser behind GetBrowserHtml. Windows its pages open are
    // loaded into popupPage() instead.
    QWebEnginePage* fetchPage();
    QWebEnginePage* popupPage();

    QWebEngineProfile* profile();

private:
    QString m_storage;
    QPointer<CookieJar> m_jar;
    QWebEngineProfile* m_profile = nullptr;
    QList<QPointer<QWebEnginePage>> m_pages;
    QPointer<QWebEnginePage> m_fetch;
    QPointer<QWebEnginePage> m_popup;
};

} // namespace marbleway
