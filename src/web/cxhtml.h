#pragma once

#include "web/webclient.h"

#include <QString>
#include <QStringView>
#include <qcoro/qcorotask.h>

#include <chrono>
#include <functional>

namespace marbleway {

// Page fetcher: set the address, optionally the character set and time-out,
// await GetSrc() and get the page as text, or the empty string when it could
// not be had. Never reports an error.
//
// The fetcher must outlive every call awaited on it.
// A page as fetched, for callers that must tell a failure from an empty page.
struct FetchedPage {
    QString text;   // decoded; empty when nothing arrived
    int status = 0; // the HTTP status, 0 when nothing arrived
    QString error;  // why nothing arrived, empty when something did
    bool arrived() const { return status != 0; }
};

// Renders a page in the embedded browser, waiting until its markup holds
// `waitFor` or `timeout` has passed. Given to readers that have engines whose
// pages must be rendered.
using BrowserFetch = std::function<QCoro::Task<FetchedPage>(QString url, QString waitFor,
                                                            std::chrono::milliseconds timeout)>;

class CXHtml {
public:
    explicit CXHtml(const WebClient& client);

    void setUrl(QString url) { m_url = std::move(url); }
    const QString& url() const { return m_url; }
    // Character-set label used to decode replies; empty means detect it from the page.
    void setChar(QString charset) { m_char = std::move(charset); }
    const QString& charset() const { return m_char; }
    // Time-out of one request, in whole seconds; a request is given up after
    // TryTime + 0.5 s.
    void setTryTime(int seconds) { m_tryTime = seconds; }
    int tryTime() const { return m_tryTime; }

    // Fetches `url` decoded with the character set, detecting it first (one
    // more request of the same page) when none is set. Puts "http://" in front
    // of an address that has it nowhere.
    QCoro::Task<QString> GetSrc();
    // One GET of `url`, decoded with `charset`.
    QCoro::Task<QString> GetHttpPage(QString charset);
    // The same, with the status or the reason it failed.
    QCoro::Task<FetchedPage> fetchPage(QString charset);
    // The lower-cased label the page at `url` declares, or "gb2312".
    QCoro::Task<QString> GetChar();

    static QString GetMemo(QStringView temp, QStringView firststr, QStringView endstr);

    static constexpr int DefaultTryTime = 10;

private:
    void addSchemeWhenMissing();

    const WebClient* m_client;
    QString m_url;
    QString m_char;
    int m_tryTime = DefaultTryTime;
};

} // namespace marbleway
