// Hosts from settings and the environment, and the maker's version page.
#include "fuzzinput.h"
#include "shell/updatecheck.h"
#include "web/endpoints.h"

#include <QUrl>

using namespace marbleway;
using fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));

    const Endpoints defaults;
    Endpoints endpoints;
    endpoints.applyOverrides(text);
    for (const Service service : Endpoints::AllServices) {
        if (endpoints.host(service) == defaults.host(service))
            continue;
        require(Endpoints::isValidHost(endpoints.host(service)), "only valid hosts are applied");
        const QUrl url(endpoints.url(service, QStringLiteral("/search?q=x")));
        require(url.isValid() && !url.host().isEmpty(), "a valid host makes a usable address");
    }
    if (Endpoints::isValidHost(text)) {
        const QUrl url(QStringLiteral("http://") + text + QStringLiteral("/"));
        require(url.isValid() && url.path() == u"/", "a valid host leaves the path alone");
    }

    const QString version = UpdateCheck::versionFrom(text);
    require(!version.isEmpty() && !version.contains(u'"'), "a version is cut at its quote");
    return 0;
}
