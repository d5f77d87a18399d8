#include "web/webclient.h"

#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QPointer>
#include <QScopeGuard>
#include <QTimer>
#include <QUrl>
#include <qcoro/qcoronetworkreply.h>

namespace marbleway {

using namespace Qt::StringLiterals;

namespace {

// A reply counts as arrived when the server answered, whatever the status: an
// error page is a page. Transport and protocol failures, and our own aborts
// (time-out, oversized body), do not.
bool arrived(const QNetworkReply& reply)
{
    if (!reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid())
        return false;
    const int error = reply.error();
    return error == QNetworkReply::NoError || (error >= 201 && error <= 299) ||
           (error >= 401 && error <= 499);
}

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

const QByteArray& WebClient::userAgent()
{
    static const QByteArray agent =
        "Mozilla/5.0 (Windows; U; Windows NT 6.0; zh-CN; rv:1.9.0.3) Gecko/2008092417 "
        "Firefox/3.0.3 (.NET CLR 3.5.30729)"_ba;
    return agent;
}

QCoro::Task<HttpResponse> WebClient::get(QString url, std::chrono::milliseconds timeout) const
{
    QNetworkRequest request{QUrl(url, QUrl::TolerantMode)};
    request.setRawHeader("User-Agent"_ba, userAgent());
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);

    QPointer<QNetworkReply> reply = m_network->get(request);
    reply->setParent(m_inFlight.get());
    const auto release = qScopeGuard([reply] {
        if (reply)
            reply->deleteLater();
    });

    const qint64 limit = m_maxBodyBytes;
    QNetworkReply* raw = reply.data();
    QObject::connect(raw, &QNetworkReply::metaDataChanged, raw, [raw, limit] {
        const QVariant length = raw->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > limit)
            raw->abort();
    });
    QObject::connect(raw, &QNetworkReply::downloadProgress, raw,
                     [raw, limit](qint64 received, qint64) {
                         if (received > limit)
                             raw->abort();
                     });

    // The timer belongs to the reply, so it cannot outlive it.
    auto* deadline = new QTimer(raw);
    deadline->setSingleShot(true);
    deadline->setTimerType(Qt::PreciseTimer);
    QObject::connect(deadline, &QTimer::timeout, raw, [raw] { raw->abort(); });
    deadline->start(m_clock->realDuration(timeout));

    if (!raw->isFinished())
        co_await raw;

    HttpResponse response;
    if (!reply)
        co_return response;
    deadline->stop();
    if (arrived(*reply)) {
        response.completed = true;
        response.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        response.body = reply->readAll();
    }
    co_return response;
}

} // namespace marbleway
