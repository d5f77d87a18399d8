// fakeweb: example pages of the services Marbleway talks to, on loopback.
//
//   fakeweb [--port BASE] [--fault NAME] [--resource-pages N] [--short-rows]
//
// Serves each service on its own port (BASE, BASE+1, ...; BASE 0 picks free
// ports) and prints the MARBLEWAY_HOSTS line that points the program at them.
// Every service also misbehaves on request at /fault/NAME; with --fault it
// answers everything that way.

#include "enginepages.h"
#include "testhttpserver.h"
#include "web/endpoints.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <memory>
#include <optional>
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
    QStringList faultNames;
    for (const test::Fault fault : test::AllFaults)
        faultNames << test::faultName(fault);
    const QCommandLineOption faultOption(
        u"fault"_s, u"Answer every request with this fault: "_s + faultNames.join(u", "_s) + u'.',
        u"NAME"_s);
    parser.addOption(faultOption);
    const QCommandLineOption resourcePages(
        u"resource-pages"_s, u"The resource lists end after page N: later pages answer empty."_s,
        u"N"_s);
    const QCommandLineOption shortRows(u"short-rows"_s,
                                       u"Every fourth resource lacks its PageRank and remark."_s);
    parser.addOptions({resourcePages, shortRows});
    parser.process(app);
    fakeweb::ResourceListOptions resources;
    resources.pages = parser.value(resourcePages).toInt();
    resources.shortRows = parser.isSet(shortRows);

    bool ok = false;
    const int base = parser.value(portOption).toInt(&ok);
    if (!ok || base < 0 || base + static_cast<int>(Endpoints::AllServices.size()) > 65536) {
        std::fprintf(stderr, "fakeweb: --port needs a port number\n");
        return 2;
    }
    std::optional<test::Fault> everywhere;
    if (parser.isSet(faultOption)) {
        const qsizetype index = faultNames.indexOf(parser.value(faultOption));
        if (index < 0) {
            std::fprintf(stderr, "fakeweb: --fault takes one of %s\n",
                         qPrintable(faultNames.join(u", "_s)));
            return 2;
        }
        everywhere = test::AllFaults[static_cast<size_t>(index)];
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
        fakeweb::serveExamplePages(*server, service, resources);
        server->serveFaults();
        if (everywhere) {
            server->setHandler([fault = *everywhere](const test::Request&) {
                return test::Response::faulty(fault);
            });
        }
        // The browser reaches the tool page by a name holding "google", as the
        // program expects of it; every name under .localhost is this machine.
        const QString host = service == Service::AdWords
                                 ? u"adwords.google.localhost:%1"_s.arg(server->port())
                                 : server->hostAndPort();
        hosts << Endpoints::serviceKey(service) + u'=' + host;
        servers.push_back(std::move(server));
    }

    const QByteArray line = "MARBLEWAY_HOSTS=" + hosts.join(u',').toUtf8() + '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
    std::fflush(stdout);
    std::fprintf(stderr,
                 "fakeweb: serving example pages; the site %s ranks for "
                 "\"seo tools\", \"keyword research\" and \"backlinks\". Ctrl+C stops.\n",
                 fakeweb::DemoSite.toString().toUtf8().constData());
    std::fprintf(stderr, "fakeweb: hostile answers at http://%s/fault/{%s}\n",
                 qPrintable(servers.front()->hostAndPort()), qPrintable(faultNames.join(u',')));
    return QCoreApplication::exec();
}
