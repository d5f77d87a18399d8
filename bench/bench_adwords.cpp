// The AdWords tab against the example tool page, in real time: memory of the
// program and its browser processes before and after the tab is opened, the
// time until the tool page shows, and the time from "开始查询" to the rows
// (with and without the captcha), less the page's own delay.
//
//   marbleway-bench-adwords [RUNS]

#include "app/application.h"
#include "app/mainwindow.h"
#include "browser/browsers.h"
#include "testsupport.h"
#include "toolpage.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <qcoro/qcorosignal.h>
#include <qcoro/qcorotimer.h>

#include <chrono>
#include <cstdio>

using namespace marbleway;
using namespace Qt::StringLiterals;
using Steady = std::chrono::steady_clock;

namespace {

// Resident memory of this process and every process below it, in MB.
double treeResidentMb()
{
    QHash<qint64, QList<qint64>> children;
    QHash<qint64, long> resident;
    const QStringList entries = QDir(u"/proc"_s).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        QFile status(u"/proc/"_s + entry + u"/status"_s);
        if (!isPid || !status.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("PPid:"))
                children[line.mid(5).trimmed().toLongLong()] << pid;
            if (line.startsWith("VmRSS:"))
                resident[pid] = line.mid(6).trimmed().split(' ').first().toLong();
        }
    }
    long total = 0;
    QList<qint64> pending{QCoreApplication::applicationPid()};
    while (!pending.isEmpty()) {
        const qint64 pid = pending.takeLast();
        total += resident.value(pid);
        pending << children.value(pid);
    }
    return double(total) / 1024.0;
}

double msSince(Steady::time_point start)
{
    return std::chrono::duration<double, std::milli>(Steady::now() - start).count();
}

QCoro::Task<> waitFor(AdWordsTool* tool, const std::function<bool()>& ready)
{
    while (!ready())
        co_await qCoro(tool, &AdWordsTool::changed, std::chrono::seconds(30));
}

QCoro::Task<> measure(Application* app, test::Fixture* env, int runs)
{
    co_await app->start();
    co_await QCoro::sleepFor(std::chrono::seconds(1));
    std::printf("no browser:            %6.0f MB (program and its processes)\n", treeResidentMb());
    const auto opened = Steady::now();
    app->window()->selectTab(MainWindow::AdWordsTabIndex);
    AdWordsTool* tool = app->adWordsTool();
    co_await waitFor(tool, [tool] { return tool->isBrowserShown() && tool->isCaptchaShown(); });
    std::printf("tab to tool page:      %6.0f ms\n", msSince(opened));
    co_await QCoro::sleepFor(std::chrono::seconds(1));
    std::printf("AdWords tab open:      %6.0f MB\n", treeResidentMb());

    const double pageDelay = fakeweb::ToolPageOptions().delayMs;
    for (int run = 0; run < runs; ++run) {
        if (run == 0)
            tool->setCaptchaAnswer(fakeweb::ToolPageOptions::Answer.toString());
        const auto started = Steady::now();
        tool->start(u"seo tools %1"_s.arg(run));
        co_await qCoro(tool, &AdWordsTool::queryEnded, std::chrono::seconds(60));
        std::printf("query %d (%s): %6.0f ms to the rows, %6.0f ms beyond the page's delay\n", run,
                    run == 0 ? "captcha" : "no captcha", msSince(started),
                    msSince(started) - pageDelay);
        co_await waitFor(tool, [tool] { return tool->isBrowserShown() && tool->isCoverShown(); });
    }
    std::printf("after the queries:     %6.0f MB\n", treeResidentMb());
    Q_UNUSED(env);
    QCoreApplication::exit(0);
}

} // namespace

int main(int argc, char* argv[])
{
    prepareBrowserEngine();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const int runs = argc > 1 ? std::max(2, std::atoi(argv[1])) : 4;

    test::Fixture env;
    fakeweb::serveToolPage(env.server);
    env.web.endpoints.setHost(Service::AdWords,
                              u"adwords.google.localhost:%1"_s.arg(env.server.port()));
    // No maker's site: its release page would start a browser on the first tab.
    env.web.endpoints.setHost(Service::Maker, u"marbleway.example"_s);
    Application app(AppEnvironment{env.dataFolder(),
                                   env.newSettings(),
                                   env.web.endpoints,
                                   QString(),
                                   &env.web.network,
                                   &env.prompts,
                                   &Clock::system(),
                                   {}});
    QTimer::singleShot(0, &app, [&app, &env, runs] { measure(&app, &env, runs); });
    return QApplication::exec();
}
