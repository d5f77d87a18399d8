#pragma once

#include "adwords/adwordsresults.h"
#include "browser/webpage.h"
#include "core/clock.h"
#include "core/prompts.h"

#include <QObject>
#include <QPointer>
#include <QUrl>
#include <qcoro/qcorotask.h>

namespace marbleway {

// Drives the AdWords keyword tool page in an embedded browser as a user would:
// types the keyword, passes on the captcha answer read off the page, presses
// the search button, waits for the result table and copies it into the list.
// The tab's widgets show the state kept here and hand in the user's input.
class AdWordsTool : public QObject {
    Q_OBJECT
public:
    // `page` shows the tool page (see setPage()).
    AdWordsTool(WebPage* page, QUrl toolAddress, AdWordsResults& results, Prompts& prompts,
                const Clock& clock, QObject* parent = nullptr);
    ~AdWordsTool() override;

    static const QString StartCaption;
    static const QString BusyCaption;
    static const QString CaptchaFailed;
    static const QString PageFailed;

    // What the tab shows.
    const QString& startCaption() const { return m_startCaption; }
    bool isStartEnabled() const { return m_startEnabled; }
    bool isCaptchaShown() const { return m_captchaShown; }
    bool isCaptchaEnabled() const { return m_captchaEnabled; }
    bool isCoverShown() const { return m_coverShown; }
    bool isBrowserShown() const { return m_browserShown; }
    bool isRefreshEnabled() const { return m_refreshEnabled; }
    const QString& captchaAnswer() const { return m_captchaAnswer; }
    bool isQuerying() const { return m_querying; }
    // The tool page's last load failed (no network, a broken server).
    bool isLoadFailed() const { return m_loadFailed; }
    WebPage* page() const { return m_page; }
    const QUrl& toolAddress() const { return m_toolAddress; }

    // The page the tool drives; it may belong to the tool itself.
    void setPage(WebPage* page);

    // The tab was opened: load the tool page, hide the browser until it is
    // there. A running query keeps its page.
    void open();
    // "重新获取": a new captcha (the old answer goes).
    void refresh();
    void setCaptchaAnswer(const QString& answer);
    // The start button. While a query polls for results the button is live
    // again and a click ends the query, list unchanged.
    void start(const QString& keyword);
    // Ends a running query at its next step without touching the page again
    // (the window is closing).
    void stop();

Q_SIGNALS:
    // Anything the tab shows has changed.
    void changed();
    // A query is back to idle, by whichever way it ended.
    void queryEnded();

private:
    QCoro::Task<> pageLoaded(QUrl url, bool ok);
    QCoro::Task<> query(QString keyword);
    // The tool page's rows appear; false when the query ended without them.
    QCoro::Task<bool> readResults(QString keyword);
    QCoro::Task<QString> captchaMarkup();
    // Whether the query must end now: the tool has gone or was told to stop.
    bool abandoned() const;
    void navigateToTool();
    // Back to idle: with the tool page reloaded for a fresh captcha, or on the
    // page in hand (a failed captcha, a page that is away).
    void endQuery(bool reload);
    void update();

    QPointer<WebPage> m_page;
    QUrl m_toolAddress;
    AdWordsResults* m_results;
    Prompts* m_prompts;
    const Clock* m_clock;

    QString m_startCaption;
    bool m_startEnabled = false;
    bool m_captchaShown = false;
    bool m_captchaEnabled = true;
    bool m_coverShown = false;
    bool m_browserShown = false;
    bool m_refreshEnabled = false;
    QString m_captchaAnswer;

    bool m_reloadPending = false;
    bool m_firstCaptchaQuery = false;
    bool m_querying = false;
    bool m_loadFailed = false;
    bool m_polling = false;
    bool m_stopRequested = false; // the start button ended the polling
    bool m_closing = false;       // the window is going: the page is left alone
    int m_loads = 0;              // page loads seen, so a slow handler of an older one gives way
    QCoro::Task<> m_query;
};

} // namespace marbleway
