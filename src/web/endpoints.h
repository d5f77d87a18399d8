#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <optional>

class QSettings;

namespace marbleway {

// The outside services the program talks to.
enum class Service { Google, Yahoo, Bing, Baidu, BaiduIndex, AdWords, Maker };

// Host (with optional port) of every service. Every address the program
// requests is built here, so that a settings group or the environment can point
// the whole program at other servers (a test server, a mirror).
class Endpoints {
public:
    // The public hosts; the maker's services default to a name that never resolves.
    Endpoints();

    // Defaults, then the settings group "Hosts" (keys as serviceKey()), then
    // MARBLEWAY_HOSTS ("google=127.0.0.1:8081,bing=..."). Entries that cannot be
    // used are skipped and described in `problems`.
    static Endpoints load(QSettings* settings, const QString& environment,
                          QStringList* problems = nullptr);
    // As load(), reading the process environment.
    static Endpoints fromSystem(QSettings* settings, QStringList* problems = nullptr);

    const QString& host(Service service) const;
    void setHost(Service service, const QString& hostAndPort);

    // Whether the service has a host that can be reached: the maker's services
    // have none until one is configured.
    bool isReachable(Service service) const;

    // "http://" + host + pathAndQuery; pathAndQuery starts with "/".
    QString url(Service service, const QString& pathAndQuery) const;
    // "https://" + host + pathAndQuery, for pages the embedded browser shows;
    // "http://" for a loopback host (a test server, fakeweb), which has no TLS.
    QString secureUrl(Service service, const QString& pathAndQuery) const;

    // Applies "key=host[:port],..."; returns what could not be applied.
    QStringList applyOverrides(QStringView overrides);

    static QString serviceKey(Service service);
    static std::optional<Service> serviceFromKey(QStringView key);
    // "google, yahoo, ...", for messages.
    static QString knownKeys();
    // Whether `hostAndPort` is a plain host with an optional port (no scheme, no path).
    static bool isValidHost(const QString& hostAndPort);
    // 127.x.x.x, localhost and every name under .localhost (which browsers
    // resolve to the loopback address themselves).
    static bool isLoopbackHost(const QString& hostAndPort);

    static constexpr const char* EnvironmentVariable = "MARBLEWAY_HOSTS";
    static constexpr std::array AllServices = {
        Service::Google,     Service::Yahoo,   Service::Bing, Service::Baidu,
        Service::BaiduIndex, Service::AdWords, Service::Maker};

private:
    std::array<QString, AllServices.size()> m_hosts;
};

// A value for an address's query: UTF-8, percent-encoded, so that "&", "#",
// "+", "%", "=" and spaces arrive as typed and cannot start another key.
QString queryValue(QStringView value);

} // namespace marbleway
