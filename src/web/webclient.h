#pragma once

#include "core/clock.h"

#include <QByteArray>
#include <QString>
#include <qcoro/qcorotask.h>

#include <chrono>
#include <memory>

class QNetworkAccessManager;
class QObject;

namespace marbleway {

struct HttpResponse {
    bool completed = false; // a reply arrived within the time-out, whatever its status
    int status = 0;
    QByteArray body;
    QString error;            // why it did not complete: "超时", Qt's text of a network error
    bool proxyFailed = false; // the proxy, not the server, could not be used
};

// The program's one way onto the web: a GET with a time-out, the program's
// User-Agent, no Referer, redirects followed. Failures of any kind give a
// response that is not completed; nothing throws.
class WebClient {
public:
    explicit WebClient(QNetworkAccessManager& network, const Clock& clock = Clock::system());
    // Requests still in flight end as failed, so that nobody waits on them for ever.
    ~WebClient();
    WebClient(const WebClient&) = delete;
    WebClient& operator=(const WebClient&) = delete;

    // `timeout` is program time (see Clock). The address is taken as written;
    // characters a URL may not hold are percent-encoded on the way out. With
    // a list of proxies, one that cannot be used is reported to the pool and
    // the request goes through the next (the time-out counts per try).
    QCoro::Task<HttpResponse> get(QString url, std::chrono::milliseconds timeout) const;

    // Ends every request of this client still in flight: each fails at once,
    // with the reason "已取消". Requests of other clients go on.
    void abortAll();
    // abortAll(), and every later request fails at once the same way: the
    // program is ending.
    void close();
    // A client on the same network whose requests can be ended on their own.
    std::unique_ptr<WebClient> sibling() const;

    // Bodies beyond this size are abandoned like a failed request.
    void setMaxBodyBytes(qint64 bytes) { m_maxBodyBytes = bytes; }
    qint64 maxBodyBytes() const { return m_maxBodyBytes; }

    const Clock& clock() const { return *m_clock; }

    static const QByteArray& userAgent();
    // Result pages are well under a megabyte; a page past this is no page.
    static constexpr qint64 DefaultMaxBodyBytes = 8 * 1024 * 1024;

private:
    QNetworkAccessManager* m_network;
    const Clock* m_clock;
    std::unique_ptr<QObject> m_inFlight; // parent of the replies not yet finished
    qint64 m_maxBodyBytes = DefaultMaxBodyBytes;
    bool m_closed = false;
};

// The network access the program shares: cookies kept while it runs, the
// system's proxy settings honoured, no cache.
std::unique_ptr<QNetworkAccessManager> makeNetworkAccess(QObject* parent = nullptr);

} // namespace marbleway
