#include "web/proxies.h"

#include <QNetworkAccessManager>
#include <QSettings>
#include <QUrl>

namespace marbleway {

using namespace Qt::StringLiterals;

namespace {

const QString Group = u"Proxy/"_s;

QString schemeOf(const QNetworkProxy& proxy)
{
    return proxy.type() == QNetworkProxy::Socks5Proxy ? u"socks5"_s : u"http"_s;
}

} // namespace

std::optional<QNetworkProxy> parseProxy(const QString& text, QString* problem)
{
    const auto fail = [problem](const QString& why) -> std::optional<QNetworkProxy> {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty())
        return fail(
            u"\"%1\" is no proxy address (http://host:port or socks5://host:port)"_s.arg(text));
    QNetworkProxy::ProxyType type;
    if (url.scheme() == u"http"_s)
        type = QNetworkProxy::HttpProxy;
    else if (url.scheme() == u"socks5"_s)
        type = QNetworkProxy::Socks5Proxy;
    else
        return fail(u"\"%1\": the scheme must be http or socks5"_s.arg(text));
    if (url.port() <= 0)
        return fail(u"\"%1\" needs a port"_s.arg(text));
    if (!url.path().isEmpty() && url.path() != u"/"_s)
        return fail(u"\"%1\" must not have a path"_s.arg(text));
    return QNetworkProxy(type, url.host(), quint16(url.port()), url.userName(), url.password());
}

QString proxyText(const QNetworkProxy& proxy)
{
    QUrl url;
    url.setScheme(schemeOf(proxy));
    url.setHost(proxy.hostName());
    url.setPort(proxy.port());
    url.setUserName(proxy.user());
    url.setPassword(proxy.password());
    return url.toString();
}

QString proxyAddress(const QNetworkProxy& proxy)
{
    return u"%1://%2:%3"_s.arg(schemeOf(proxy), proxy.hostName()).arg(proxy.port());
}

ProxySettings ProxySettings::load(const QSettings& settings)
{
    ProxySettings loaded;
    const QString mode = settings.value(Group + u"mode"_s).toString();
    loaded.mode = mode == u"none"_s ? Mode::None : mode == u"list"_s ? Mode::List : Mode::System;
    loaded.list = settings.value(Group + u"list"_s).toStringList();
    loaded.pacePerProxy = settings.value(Group + u"pacePerProxy"_s).toBool();
    return loaded;
}

void ProxySettings::save(QSettings& settings) const
{
    settings.setValue(Group + u"mode"_s, mode == Mode::None   ? u"none"_s
                                         : mode == Mode::List ? u"list"_s
                                                              : u"system"_s);
    settings.setValue(Group + u"list"_s, list);
    settings.setValue(Group + u"pacePerProxy"_s, pacePerProxy);
    settings.sync();
}

QStringList ProxySettings::problems() const
{
    QStringList found;
    for (qsizetype line = 0; line < list.size(); ++line) {
        QString problem;
        if (!parseProxy(list.at(line), &problem))
            found << u"%1: %2"_s.arg(line + 1).arg(problem);
    }
    return found;
}

QList<QNetworkProxy> ProxySettings::proxies() const
{
    QList<QNetworkProxy> proxies;
    for (const QString& text : list) {
        if (const auto proxy = parseProxy(text))
            proxies << *proxy;
    }
    return proxies;
}

ProxyPool::ProxyPool(QList<QNetworkProxy> proxies, const Clock& clock)
    : m_proxies(std::move(proxies))
    , m_clock(&clock)
    , m_restingUntil(m_proxies.size(), std::chrono::milliseconds::min())
{}

qsizetype ProxyPool::nextIndex()
{
    const auto now = m_clock->monotonic();
    // The next one in turn that is not resting; failing that, the one whose
    // rest ends first.
    qsizetype soonest = 0;
    for (qsizetype step = 0; step < m_proxies.size(); ++step) {
        const qsizetype index = (m_next + step) % m_proxies.size();
        if (m_restingUntil.at(index) <= now) {
            m_next = index + 1;
            return index;
        }
        if (m_restingUntil.at(index) < m_restingUntil.at(soonest))
            soonest = index;
    }
    m_next = soonest + 1;
    return soonest;
}

QList<QNetworkProxy> ProxyPool::queryProxy(const QNetworkProxyQuery& query)
{
    QMutexLocker lock(&m_mutex);
    if (m_proxies.isEmpty())
        return {QNetworkProxy(QNetworkProxy::NoProxy)};
    const QNetworkProxy proxy = m_proxies.at(nextIndex());
    m_used.insert(query.url().toString(), proxy);
    return {proxy};
}

std::optional<QNetworkProxy> ProxyPool::proxyFor(const QUrl& url) const
{
    QMutexLocker lock(&m_mutex);
    const auto found = m_used.constFind(url.toString());
    return found == m_used.constEnd() ? std::nullopt : std::optional(*found);
}

void ProxyPool::reportFailure(const QNetworkProxy& proxy)
{
    QMutexLocker lock(&m_mutex);
    for (qsizetype index = 0; index < m_proxies.size(); ++index) {
        if (m_proxies.at(index) == proxy)
            m_restingUntil[index] = m_clock->monotonic() + Rest;
    }
}

int ProxyPool::usableCount() const
{
    QMutexLocker lock(&m_mutex);
    const auto now = m_clock->monotonic();
    return int(std::count_if(m_restingUntil.begin(), m_restingUntil.end(),
                             [now](std::chrono::milliseconds until) { return until <= now; }));
}

ProxyPool* applyProxySettings(QNetworkAccessManager& network, const ProxySettings& settings,
                              const Clock& clock)
{
    switch (settings.mode) {
    case ProxySettings::Mode::None:
        network.setProxyFactory(nullptr);
        network.setProxy(QNetworkProxy(QNetworkProxy::NoProxy));
        return nullptr;
    case ProxySettings::Mode::System:
        // The program's default, which follows the system's settings.
        network.setProxyFactory(nullptr);
        network.setProxy(QNetworkProxy(QNetworkProxy::DefaultProxy));
        return nullptr;
    case ProxySettings::Mode::List:
        break;
    }
    auto* pool = new ProxyPool(settings.proxies(), clock);
    network.setProxyFactory(pool);
    return pool;
}

} // namespace marbleway
