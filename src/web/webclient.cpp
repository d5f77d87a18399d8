#include "web/webclient.h"

#include "web/proxies.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <coroutine>
#include <utility>

namespace marbleway {

using namespace Qt::StringLiterals;

namespace {

// What Qt reads ahead of us; everything else is in our own buffer, counted
// against the cap.
constexpr qint64 ReadAheadBytes = 64 * 1024;
constexpr qint64 InflateCheckBytes = 4 * 1024 * 1024;
// Marks a reply that abortAll() ended.
constexpr const char* CancelledProperty = "marblewayCancelled";

// A reply counts as arrived when the server answered, whatever the status: an
// error page is a page. Transport and protocol failures, bodies that do not
// decode, and our own aborts (time-out, oversized body), do not.
bool arrived(const QNetworkReply& reply)
{
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid())
        return false;
    const int error = reply.error();
    if (error == QNetworkReply::NoError)
        return true;
    // The errors Qt derives from a 4xx or 5xx status; the same codes on any
    // other status are failures of the body (it would not inflate).
    return status.toInt() >= 400 &&
           ((error >= 201 && error <= 299) || (error >= 401 && error <= 499));
}

// The common failures in the program's words (shown in the window's language,
// kept as written); Qt's own text for the rare ones.
QString reasonOf(QNetworkReply::NetworkError error, const QString& qtText)
{
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral(QT_TRANSLATE_NOOP("Values", "连接被拒绝"));
    case QNetworkReply::RemoteHostClosedError:
        return QStringLiteral(QT_TRANSLATE_NOOP("Values", "连接被对方关闭"));
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral(QT_TRANSLATE_NOOP("Values", "找不到主机"));
    case QNetworkReply::TimeoutError:
        return QStringLiteral(QT_TRANSLATE_NOOP("Values", "超时"));
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral(QT_TRANSLATE_NOOP("Values", "SSL 握手失败"));
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyConnectionClosedError:
    case QNetworkReply::ProxyNotFoundError:
    case QNetworkReply::ProxyTimeoutError:
        return QStringLiteral(QT_TRANSLATE_NOOP("Values", "代理无法连接"));
    case QNetworkReply::ProxyAuthenticationRequiredError:
        return QStringLiteral(QT_TRANSLATE_NOOP("Values", "代理拒绝了用户名或密码"));
    default:
        return qtText;
    }
}

// One request in flight, awaited once. The reply's signals only record what
// happened; the awaiting coroutine is resumed from the event loop, never from
// inside one of them, because it may go on to delete the network access and
// the reply with it while Qt is still using the reply.
class Transfer {
public:
    Transfer(QNetworkReply* reply, qint64 maxBodyBytes, std::chrono::milliseconds timeout)
        : m_reply(reply)
        , m_limit(maxBodyBytes)
    {
        reply->setReadBufferSize(ReadAheadBytes);
        // Room for a body up to the cap at once: growing the buffer by copies
        // would hold a large body twice. Pages never written cost no memory.
        m_body.reserve(std::min(m_limit, WebClient::DefaultMaxBodyBytes));
        QObject::connect(reply, &QNetworkReply::metaDataChanged, &m_context, [this] {
            const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
            if (length.isValid() && length.toLongLong() > m_limit)
                settle(false, QStringLiteral(QT_TRANSLATE_NOOP("Values", "页面过大")));
        });
        QObject::connect(reply, &QNetworkReply::readyRead, &m_context, [this] { take(); });
        QObject::connect(reply, &QNetworkReply::errorOccurred, &m_context, [this] {
            // Error statuses keep their page; anything else ends the transfer now.
            const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
            if (!status.isValid() || status.toInt() < 400)
                settle(false, failure());
        });
        QObject::connect(reply, &QNetworkReply::finished, &m_context, [this] {
            take();
            // Qt may take a connection closed early for the end of the body.
            const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
            const bool whole = !length.isValid() || m_body.size() >= length.toLongLong();
            const bool ok = whole && arrived(*m_reply);
            settle(ok, ok      ? QString()
                       : whole ? failure()
                               : QStringLiteral(QT_TRANSLATE_NOOP("Values", "连接中断")));
        });
        m_deadline.setSingleShot(true);
        m_deadline.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_deadline, &QTimer::timeout, &m_context, [this] {
            settle(false, QStringLiteral(QT_TRANSLATE_NOOP("Values", "超时")));
        });
        m_deadline.start(timeout);
    }

    ~Transfer()
    {
        if (!m_reply)
            return;
        QObject::disconnect(m_reply, nullptr, &m_context, nullptr);
        m_reply->abort();
        m_reply->deleteLater();
    }

    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;

    // Awaits the end of the transfer.
    auto done()
    {
        struct Awaiter {
            Transfer* transfer;
            bool await_ready() const noexcept { return transfer->m_done; }
            void await_suspend(std::coroutine_handle<> waiter) noexcept
            {
                transfer->m_waiter = waiter;
            }
            void await_resume() const noexcept {}
        };
        return Awaiter{this};
    }

    HttpResponse response() const
    {
        HttpResponse response;
        if (m_ok && m_reply) {
            response.completed = true;
            response.status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
            response.body = m_body;
        } else {
            response.error = m_error.isEmpty()
                                 ? QStringLiteral(QT_TRANSLATE_NOOP("Values", "网络错误"))
                                 : m_error;
            response.proxyFailed = m_proxyFailed;
        }
        return response;
    }

private:
    QString failure()
    {
        // Through a proxy the connection is the proxy's (an HTTP proxy tells a
        // server it cannot reach by a status): a connection that fails is the
        // proxy's failure.
        const int error = m_reply->error();
        m_proxyFailed = error >= QNetworkReply::ConnectionRefusedError &&
                        error <= QNetworkReply::UnknownProxyError &&
                        error != QNetworkReply::OperationCanceledError;
        if (m_reply->property(CancelledProperty).toBool())
            return QStringLiteral(QT_TRANSLATE_NOOP("Values", "已取消"));
        return reasonOf(QNetworkReply::NetworkError(error), m_reply->errorString());
    }

    // Moves what Qt has read into our buffer; what would pass the cap is not
    // taken at all, so the buffer never outgrows it.
    void take()
    {
        while (!m_settled && m_reply->bytesAvailable() > 0) {
            const qint64 available = m_reply->bytesAvailable();
            if (available > m_limit - m_body.size()) {
                settle(false, QStringLiteral(QT_TRANSLATE_NOOP("Values", "页面过大")));
                return;
            }
            m_body += m_reply->read(available);
        }
    }

    void settle(bool ok, const QString& error = {})
    {
        if (m_settled)
            return;
        m_settled = true;
        m_ok = ok;
        m_error = error;
        if (!ok)
            m_body = QByteArray();
        m_deadline.stop();
        if (m_reply)
            QObject::disconnect(m_reply, nullptr, &m_context, nullptr);
        QMetaObject::invokeMethod(
            &m_context, [this] { finish(); }, Qt::QueuedConnection);
    }

    void finish()
    {
        // Out of the reply's signals now: aborting cannot pull anything from
        // under a caller.
        if (m_reply && !m_reply->isFinished())
            m_reply->abort();
        m_done = true;
        if (m_waiter)
            std::exchange(m_waiter, {}).resume();
    }

    QPointer<QNetworkReply> m_reply;
    qint64 m_limit;
    QObject m_context; // our connections and queued calls end with the transfer
    QTimer m_deadline;
    QByteArray m_body;
    QString m_error;
    bool m_proxyFailed = false;
    bool m_settled = false;
    bool m_ok = false;
    bool m_done = false;
    std::coroutine_handle<> m_waiter;
};

} // namespace

std::unique_ptr<QNetworkAccessManager> makeNetworkAccess(QObject* parent)
{
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    return std::make_unique<QNetworkAccessManager>(parent);
}

WebClient::WebClient(QNetworkAccessManager& network, const Clock& clock)
    : m_network(&network)
    , m_clock(&clock)
    , m_inFlight(std::make_unique<QObject>())
{}

WebClient::~WebClient()
{
    const auto replies = m_inFlight->findChildren<QNetworkReply*>(Qt::FindDirectChildrenOnly);
    for (QNetworkReply* reply : replies)
        reply->abort();
}

void WebClient::abortAll()
{
    const auto replies = m_inFlight->findChildren<QNetworkReply*>(Qt::FindDirectChildrenOnly);
    for (QNetworkReply* reply : replies) {
        reply->setProperty(CancelledProperty, true);
        reply->abort();
    }
}

void WebClient::close()
{
    m_closed = true;
    abortAll();
}

std::unique_ptr<WebClient> WebClient::sibling() const
{
    auto client = std::make_unique<WebClient>(*m_network, *m_clock);
    client->setMaxBodyBytes(m_maxBodyBytes);
    return client;
}

const QByteArray& WebClient::userAgent()
{
    static const QByteArray agent =
        "Mozilla/5.0 (Windows; U; Windows NT 6.0; zh-CN; rv:1.9.0.3) Gecko/2008092417 "
        "Firefox/3.0.3 (.NET CLR 3.5.30729)"_ba;
    return agent;
}

QCoro::Task<HttpResponse> WebClient::get(QString url, std::chrono::milliseconds timeout) const
{
    if (m_closed) {
        HttpResponse refused;
        refused.error = QStringLiteral(QT_TRANSLATE_NOOP("Values", "已取消"));
        co_return refused;
    }
    QNetworkRequest request{QUrl(url, QUrl::TolerantMode)};
    request.setRawHeader("User-Agent"_ba, userAgent());
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);

    // Qt gives up inflating a body that grows more than 40 times (gzip) once
    // it has passed this: a bomb ends early, and a page that large and that
    // repetitive is no page.
    request.setDecompressedSafetyCheckThreshold(std::min(m_maxBodyBytes, InflateCheckBytes));

    auto* pool = dynamic_cast<ProxyPool*>(m_network->proxyFactory());
    const int tries = pool ? std::max(1, pool->usableCount()) : 1;
    for (int attempt = 1;; ++attempt) {
        QNetworkReply* reply = m_network->get(request);
        // Held by the client: a client that goes ends what it still waits for.
        reply->setParent(m_inFlight.get());
        Transfer transfer(reply, m_maxBodyBytes, m_clock->realDuration(timeout));
        co_await transfer.done();
        HttpResponse response = transfer.response();
        if (!response.proxyFailed || !pool)
            co_return response;
        if (const auto used = pool->proxyFor(request.url())) {
            pool->reportFailure(*used);
            response.error = u"代理 %1 无法使用（%2）"_s.arg(proxyAddress(*used), response.error);
        }
        if (attempt >= tries)
            co_return response;
    }
}

} // namespace marbleway
