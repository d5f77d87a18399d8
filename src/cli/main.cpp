#include "cli/commands.h"
#include "cli/options.h"
#include "core/version.h"

#include <QCoreApplication>
#include <QTimer>
#include <qcoro/qcorotask.h>

using namespace marbleway::cli;
using namespace Qt::StringLiterals;

namespace {

QCoro::Task<> runAndQuit(Invocation invocation)
{
    int status = 0;
    if (auto* fetch = std::get_if<FetchOptions>(&invocation))
        status = co_await runFetch(*fetch);
    else if (auto* rank = std::get_if<RankOptions>(&invocation))
        status = co_await runRank(*rank);
    else if (auto* favourites = std::get_if<FavouritesOptions>(&invocation))
        status = co_await runFavourites(*favourites);
    else if (auto* related = std::get_if<RelatedSearchOptions>(&invocation))
        status = co_await runRelated(*related);
    else if (auto* db = std::get_if<DbOptions>(&invocation))
        status = co_await runDb(*db);
    else if (auto* resources = std::get_if<ResourcesOptions>(&invocation))
        status = co_await runResources(*resources);
    else if (auto* baidu = std::get_if<BaiduOptions>(&invocation))
        status = co_await runBaidu(*baidu);
    QCoreApplication::exit(status);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"marbleway-cli"_s);
    QCoreApplication::setOrganizationName(u"Marbleway"_s);

    QString proxy;
    Invocation invocation = parseArguments(QCoreApplication::arguments(), &proxy);
    setProxyForRun(proxy);
    if (const auto* help = std::get_if<ShowHelp>(&invocation)) {
        writeOut(help->command.isEmpty() ? usageText() : commandHelp(help->command));
        return 0;
    }
    if (std::holds_alternative<ShowVersion>(invocation)) {
        writeOut(u"marbleway-cli "_s + marbleway::BuildVersion + u'\n');
        return 0;
    }
    if (const auto* error = std::get_if<UsageError>(&invocation)) {
        writeErr(u"marbleway-cli: "_s + error->message +
                 u"\nTry 'marbleway-cli --help' for more information.\n"_s);
        return 2;
    }
    // The commands wait on the network: run them inside the event loop.
    QTimer::singleShot(0, &app, [invocation] { runAndQuit(invocation); });
    return QCoreApplication::exec();
}
