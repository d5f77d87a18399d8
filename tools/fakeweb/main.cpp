// fakeweb: example pages of the services Marbleway talks to, on loopback.
//
//   fakeweb [--port BASE]
//
// Serves each service on its own port (BASE, BASE+1, ...; BASE 0 picks free
// ports) and prints the MARBLEWAY_HOSTS line that points the program at them.

#include "enginepages.h"
#include "testhttpserver.h"
#include "web/endpoints.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <memory>
#include <vector>

using namespace marbleway;
using namespace Qt::StringLiterals;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"fakeweb"_s);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Example pages of the services Marbleway talks to, on 127.0.0.1."_s);
    parser.addHelpOption();
    const QCommandLineOption portOption(u"port"_s,
                                        u"First port; the services take the next ones in turn "
                                        "(0: any free ports). Default 8081."_s,
                                        u"BASE"_s, u"8081"_s);
    parser.addOption(portOption);
    parser.process(app);

    bool ok = false;
    const int base = parser.value(portOption).toInt(&ok);
    if (!ok || base < 0 || base + static_cast<int>(Endpoints::AllServices.size()) > 65536) {
        std::fprintf(stderr, "fakeweb: --port needs a port number\n");
        return 2;
    }

    std::vector<std::unique_ptr<test::TestHttpServer>> servers;
    QStringList hosts;
    for (size_t i = 0; i < Endpoints::AllServices.size(); ++i) {
        const Service service = Endpoints::AllServices[i];
        const auto port = static_cast<quint16>(base == 0 ? 0 : base + static_cast<int>(i));
        auto server = std::make_unique<test::TestHttpServer>(nullptr, port);
        if (!server->isListening()) {
            std::fprintf(stderr, "fakeweb: cannot listen on 127.0.0.1:%d\n", port);
            return 1;
        }
        fakeweb::serveExamplePages(*server, service);
        hosts << Endpoints::serviceKey(service) + u'=' + server->hostAndPort();
        servers.push_back(std::move(server));
    }

    const QByteArray line = "MARBLEWAY_HOSTS=" + hosts.join(u',').toUtf8() + '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
    std::fflush(stdout);
    std::fprintf(stderr,
                 "fakeweb: serving example pages; the site %s ranks for "
                 "\"seo tools\", \"keyword research\" and \"backlinks\". Ctrl+C stops.\n",
                 fakeweb::DemoSite.toString().toUtf8().constData());
    return QCoreApplication::exec();
}
