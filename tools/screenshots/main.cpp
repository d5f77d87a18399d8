// marbleway-screenshots [--language en] OUTPUT_FOLDER
//
// Starts the window on a fresh data folder against the example pages (served
// in this process) and saves a picture of each tab, in Chinese or in the
// language given. Run it under a display, e.g. xvfb-run, or with
// QT_QPA_PLATFORM=offscreen.

#include "app/adwordstab.h"
#include "app/application.h"
#include "app/feedbackdialog.h"
#include "app/historychart.h"
#include "app/language.h"
#include "app/mainwindow.h"
#include "app/ranktab.h"
#include "browser/browsers.h"
#include "core/textfile.h"
#include "enginepages.h"
#include "keyworddb/keywordstore.h"
#include "ranking/ranktabcontroller.h"
#include "research/relatedsearch.h"
#include "scaledclock.h"
#include "scriptedprompts.h"
#include "testhttpserver.h"
#include "toolpage.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <qcoro/qcorosignal.h>
#include <qcoro/qcorotimer.h>

#include <cstdio>
#include <memory>
#include <vector>

using namespace marbleway;
using namespace Qt::StringLiterals;

namespace {

// The window's language: Chinese, or English with --language en.
QString pictureLanguage = language::Chinese;

const QStringList pictureNames = {u"related"_s, u"adwords"_s, u"resources"_s, u"ranking"_s,
                                  u"keyworddb"_s};

void seedKeywordDatabase(const DataFolder& folder)
{
    KeywordStore store;
    if (!store.open(folder.filePath(QString::fromLatin1(DatabaseLocation::DefaultFileName))))
        return;
    const QDate today = QDate::currentDate();
    store.insert(u"seo tools"_s, u"seo"_s, u"41200000"_s, u"18300000"_s, u"9650000"_s,
                 today.addDays(-2));
    store.insert(u"free seo tools"_s, u"seo tools"_s, u"12600000"_s, u"-"_s, u"3120000"_s,
                 today.addDays(-1));
    store.insert(u"关键词排名"_s, u"关键词"_s, u"2380000"_s, u"-"_s, u"-"_s, today);
    store.insertUncounted(u"keyword planner"_s, u"keyword research"_s, today);
}

QCoro::Task<> takePictures(Application* application, QString folder)
{
    const auto result = co_await application->start();
    if (result != Application::StartResult::Running) {
        std::fprintf(stderr, "marbleway-screenshots: the window did not start\n");
        QCoreApplication::exit(1);
        co_return;
    }
    MainWindow* window = application->window();
    for (int tab = 0; tab < pictureNames.size(); ++tab) {
        window->selectTab(tab);
        if (tab == MainWindow::RelatedTabIndex) {
            // A related keyword search with page counts, as a user would start it.
            co_await application->relatedSearch().run();
            // The Baidu figures of the first two keywords, as "重查当前项" gives them.
            for (int row = 0; row < 2; ++row)
                co_await application->baiduRequery().requery(
                    application->relatedSearch().rows()->idAt(row));
        }
        if (tab == MainWindow::AdWordsTabIndex) {
            // A query with the captcha answered, as a user would make it.
            AdWordsTool* tool = application->adWordsTool();
            while (!tool->isStartEnabled() || !tool->isCaptchaShown())
                co_await qCoro(tool, &AdWordsTool::changed, std::chrono::seconds(20));
            co_await application->clock().sleep(std::chrono::seconds(50));
            window->grab().save(folder + u"/adwords-captcha.png"_s);
            tool->setCaptchaAnswer(fakeweb::ToolPageOptions::Answer.toString());
            window->adWordsTab()->keywordBox()->setText(u"seo tools"_s);
            tool->start(u"seo tools"_s);
            co_await qCoro(tool, &AdWordsTool::queryEnded, std::chrono::seconds(60));
            co_await application->clock().sleep(std::chrono::seconds(100));
        }
        if (tab == MainWindow::ResourcesTabIndex) {
            // The blog hosts, read from the example resource list.
            application->resourceLibrary().chooseCategory(0);
            co_await application->resourceSearch().run();
        }
        if (tab == MainWindow::RankTabIndex) {
            // A real run against the example pages, as a user would start it.
            co_await application->rankController().job().run();
        }
        co_await application->clock().sleep(std::chrono::milliseconds(400));
        const QString file = folder + u"/"_s + pictureNames.at(tab) + u".png"_s;
        if (!window->grab().save(file)) {
            std::fprintf(stderr, "marbleway-screenshots: cannot write %s\n", qPrintable(file));
            QCoreApplication::exit(1);
            co_return;
        }
        std::printf("%s\n", qPrintable(file));
    }
    // The crawl interval window, over the main window.
    const auto actions = window->findChildren<QAction*>();
    for (QAction* action : actions) {
        if (action->text() ==
            QCoreApplication::translate("marbleway::MainWindow", "搜索引擎屏蔽设置"))
            action->trigger();
    }
    // Real time: the engine pages load at their own pace.
    co_await QCoro::sleepFor(std::chrono::seconds(2));
    if (auto* dialog = window->findChild<QDialog*>(u"frm_setse"_s)) {
        const QString file = folder + u"/crawlsettings.png"_s;
        dialog->grab().save(file);
        std::printf("%s\n", qPrintable(file));
        dialog->close();
    }
    // The feedback window, filled in.
    window->showFeedback();
    if (FeedbackDialog* feedback = window->feedbackDialog()) {
        // What a user of that language would type.
        const bool english = pictureLanguage == language::English;
        feedback->titleBox()->setText(english ? u"Please support more search engines"_s
                                              : u"希望支持更多搜索引擎"_s);
        feedback->contentBox()->setPlainText(
            english ? u"The rank check works well. Could you add DuckDuckGo?"_s
                    : u"排名查询很好用，希望以后能加入 DuckDuckGo。"_s);
        co_await QCoro::sleepFor(std::chrono::milliseconds(300));
        const QString file = folder + u"/feedback.png"_s;
        feedback->grab().save(file);
        std::printf("%s\n", qPrintable(file));
    }
    // Two months of a favourite's ranks, as a chart.
    {
        const FavouriteStore& store = application->rankController().store();
        const QString favourite = u"Google.com,Bing.com#www.bluewidget.example#seo tools#1#0"_s;
        (void)store.create(favourite);
        const QDate today = QDate::currentDate();
        for (int day = 60; day >= 0; --day) {
            if (day % 17 == 5)
                continue; // a day the computer was off
            const int google = 3 + (day * 7 % 11) / 3;
            const int bing = day % 13 == 0 ? 0 : 9 + (day * 5 % 9);
            QStringList lines = {u"Google.com|%1|www.bluewidget.example/seo-tools"_s.arg(google),
                                 u"Bing.com|%1|www.bluewidget.example/seo-tools"_s.arg(bing)};
            if (day == 20)
                lines[1] = u"Bing.com|0||blocked|验证码页面"_s;
            (void)store.writeDay(favourite, today.addDays(-day), lines);
        }
        window->selectTab(MainWindow::RankTabIndex);
        application->rankController().favourites().load();
        QTreeView* favourites = window->rankTab()->favouritesView();
        favourites->setCurrentIndex(favourites->model()->index(0, 0));
        if (HistoryChartDialog* chart = window->rankTab()->showHistoryChart()) {
            co_await QCoro::sleepFor(std::chrono::milliseconds(500));
            const QString file = folder + u"/history-chart.png"_s;
            chart->grab().save(file);
            std::printf("%s\n", qPrintable(file));
        }
    }
    QCoreApplication::exit(0);
}

} // namespace

int main(int argc, char* argv[])
{
    prepareBrowserEngine();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.size() == 3 && arguments.first() == u"--language"_s) {
        pictureLanguage = arguments.at(1);
        arguments = arguments.mid(2);
    }
    if (arguments.size() != 1 ||
        (pictureLanguage != language::Chinese && pictureLanguage != language::English)) {
        std::fprintf(stderr, "usage: marbleway-screenshots [--language en|zh_CN] OUTPUT_FOLDER\n");
        return 2;
    }
    const Translations translations(pictureLanguage);
    const QString output = QDir(arguments.first()).absolutePath();
    QDir().mkpath(output);

    QTemporaryDir home;
    std::vector<std::unique_ptr<test::TestHttpServer>> servers;
    Endpoints endpoints;
    for (const Service service : Endpoints::AllServices) {
        auto server = std::make_unique<test::TestHttpServer>();
        fakeweb::serveExamplePages(*server, service);
        endpoints.setHost(service, service == Service::AdWords
                                       ? u"adwords.google.localhost:%1"_s.arg(server->port())
                                       : server->hostAndPort());
        servers.push_back(std::move(server));
    }

    const DataFolder folder(home.filePath(u"data"_s));
    folder.ensureExists();
    seedKeywordDatabase(folder);

    // Sites, keywords and engines to check, as a user would have left them.
    auto settings =
        std::make_unique<QSettings>(home.filePath(u"settings.ini"_s), QSettings::IniFormat);
    settings->setValue(u"Software/Marbleway/V1.0.0/Config/settingurl"_s,
                       QString(fakeweb::DemoSite.toString() + u"$www.linkgarden.example"_s));
    settings->setValue(u"Software/Marbleway/V1.0.0/Config/setting3"_s,
                       u"Google.com$Yahoo.com$Bing.com#1#1#0"_s);
    if (!folder.write(u"mykw.txt"_s, u"seo tools$keyword research\r\n"_s) ||
        !folder.write(u"kws.txt"_s, u"seo tools\r\n"_s))
        qFatal("cannot write the example keyword lists");

    QNetworkAccessManager network;
    // No dialog may wait for a click here.
    test::ScriptedPrompts prompts;
    AppEnvironment environment{
        folder,           std::make_unique<SettingsStore>(std::move(settings)),
        endpoints,        home.filePath(u"update"_s),
        &network,         &prompts,
        &Clock::system(), {}};
    // Pauses between count requests pass a hundred times faster.
    const test::ScaledClock clock(100.0);
    environment.clock = &clock;
    Application application(std::move(environment));
    QTimer::singleShot(0, &application,
                       [&application, output] { takePictures(&application, output); });
    return QApplication::exec();
}
