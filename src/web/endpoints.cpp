#include "web/endpoints.h"

#include <QSettings>
#include <QUrl>

namespace marbleway {

using namespace Qt::StringLiterals;

namespace {

size_t slot(Service service)
{
    return static_cast<size_t>(service);
}

struct ServiceNames {
    QStringView key;
    QStringView defaultHost;
};

// In the order of Service. The maker's host is reserved for examples (RFC 2606),
// so no request can reach a stranger's server.
constexpr std::array<ServiceNames, Endpoints::AllServices.size()> services = {{
    {u"google", u"www.google.com"},
    {u"yahoo", u"search.yahoo.com"},
    {u"bing", u"www.bing.com"},
    {u"baidu", u"www.baidu.com"},
    {u"baiduindex", u"index.baidu.com"},
    {u"adwords", u"adwords.google.com"},
    {u"maker", u"marbleway.example"},
}};

} // namespace

Endpoints::Endpoints()
{
    for (const Service service : AllServices)
        m_hosts[slot(service)] = services[slot(service)].defaultHost.toString();
}

Endpoints Endpoints::load(QSettings* settings, const QString& environment, QStringList* problems)
{
    Endpoints endpoints;
    QStringList found;
    if (settings) {
        settings->beginGroup(u"Hosts"_s);
        for (const Service service : AllServices) {
            const QString key = serviceKey(service);
            const QString value = settings->value(key).toString().trimmed();
            if (value.isEmpty())
                continue;
            if (isValidHost(value))
                endpoints.setHost(service, value);
            else
                found << u"settings Hosts/%1: \"%2\" is not a host[:port]"_s.arg(key, value);
        }
        settings->endGroup();
    }
    found << endpoints.applyOverrides(environment);
    if (problems)
        *problems = found;
    return endpoints;
}

Endpoints Endpoints::fromSystem(QSettings* settings, QStringList* problems)
{
    return load(settings, qEnvironmentVariable(EnvironmentVariable), problems);
}

const QString& Endpoints::host(Service service) const
{
    return m_hosts[slot(service)];
}

void Endpoints::setHost(Service service, const QString& hostAndPort)
{
    m_hosts[slot(service)] = hostAndPort;
}

bool Endpoints::isReachable(Service service) const
{
    return !host(service).endsWith(u".example"_s);
}

QString Endpoints::url(Service service, const QString& pathAndQuery) const
{
    return u"http://"_s + host(service) + pathAndQuery;
}

QString Endpoints::secureUrl(Service service, const QString& pathAndQuery) const
{
    const QString& hostAndPort = host(service);
    return (isLoopbackHost(hostAndPort) ? u"http://"_s : u"https://"_s) + hostAndPort +
           pathAndQuery;
}

bool Endpoints::isLoopbackHost(const QString& hostAndPort)
{
    const QString name = QUrl(u"http://"_s + hostAndPort).host();
    return name == u"localhost"_s || name.endsWith(u".localhost"_s) ||
           (name.startsWith(u"127."_s) && name.count(u'.') == 3);
}

QString Endpoints::knownKeys()
{
    QStringList keys;
    for (const ServiceNames& names : services)
        keys << names.key.toString();
    return keys.join(u", "_s);
}

QStringList Endpoints::applyOverrides(QStringView overrides)
{
    QStringList problems;
    const QString variable = QString::fromLatin1(EnvironmentVariable);
    for (const QStringView entry : overrides.split(u',', Qt::SkipEmptyParts)) {
        const QStringView item = entry.trimmed();
        if (item.isEmpty())
            continue;
        const qsizetype equals = item.indexOf(u'=');
        const auto service =
            equals > 0 ? serviceFromKey(item.first(equals).trimmed()) : std::nullopt;
        const QString value = equals > 0 ? item.sliced(equals + 1).trimmed().toString() : QString();
        if (!service) {
            problems << u"%1: \"%2\" does not name a service (%3)"_s.arg(variable, item.toString(),
                                                                         knownKeys());
        } else if (!isValidHost(value)) {
            problems << u"%1: \"%2\" is not a host[:port]"_s.arg(variable, value);
        } else {
            setHost(*service, value);
        }
    }
    return problems;
}

QString Endpoints::serviceKey(Service service)
{
    return services[slot(service)].key.toString();
}

std::optional<Service> Endpoints::serviceFromKey(QStringView key)
{
    for (const Service service : AllServices) {
        if (key.compare(serviceKey(service), Qt::CaseInsensitive) == 0)
            return service;
    }
    return std::nullopt;
}

bool Endpoints::isValidHost(const QString& hostAndPort)
{
    if (hostAndPort.isEmpty() || hostAndPort.contains(u'/') || hostAndPort.contains(u'@'))
        return false;
    const QUrl url(u"http://"_s + hostAndPort, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() || !url.path().isEmpty() || url.hasQuery() ||
        url.hasFragment() || url.port() == 0)
        return false;
    // An explicit port must be a usable one; QUrl accepts "host:" with none.
    if (hostAndPort.endsWith(u':'))
        return false;
    return true;
}

QString queryValue(QStringView value)
{
    return QString::fromLatin1(value.toUtf8().toPercentEncoding());
}

} // namespace marbleway
