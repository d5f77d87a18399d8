#pragma once

#include "adwords/adwordsresults.h"
#include "adwords/adwordstool.h"
#include "browser/browsers.h"
#include "core/clock.h"
#include "core/datafolder.h"
#include "core/jobstatus.h"
#include "core/prompts.h"
#include "core/settingsstore.h"
#include "keyworddb/keyworddatabaselist.h"
#include "keyworddb/keywordstore.h"
#include "ranking/ranktabcontroller.h"
#include "research/baidurequery.h"
#include "research/crawlpacer.h"
#include "research/databaserefresh.h"
#include "research/relatedsearch.h"
#include "resources/resourcelibrary.h"
#include "resources/resourcesearch.h"
#include "shell/singleinstance.h"
#include "web/endpoints.h"
#include "web/webclient.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <qcoro/qcorotask.h>

#include <array>
#include <memory>
#include <optional>

class QNetworkAccessManager;
class QSystemTrayIcon;

namespace marbleway {

class MainWindow;

// What the program runs on. The program takes the user's own; tests hand in
// temporary folders, a test server and scripted prompts.
struct AppEnvironment {
    DataFolder dataFolder;
    std::unique_ptr<SettingsStore> settings;
    Endpoints endpoints;
    QString updaterProgram;
    QNetworkAccessManager* network = nullptr;
    Prompts* prompts = nullptr;
    const Clock* clock = &Clock::system();
    // What could not be used of the configured hosts, for the user to see.
    QStringList hostProblems;
    // The embedded browsers; tests of the window leave them out (each costs
    // seconds and hundreds of megabytes), the browsers' own tests cover them.
    bool withBrowsers = true;

    // The user's data folder and settings, the hosts they configure, and the
    // updater beside this program.
    static AppEnvironment forUser(QNetworkAccessManager& network, Prompts& prompts);
};

// The running program: start-up in its fixed order, then the window and the
// state its tabs share.
struct ProxySettings;

class Application : public QObject {
    Q_OBJECT
public:
    enum class StartResult { Running, AlreadyRunning, Failed };

    explicit Application(AppEnvironment environment, QObject* parent = nullptr);
    ~Application() override;

    // Runs start-up and shows the window; the daily version check then runs
    // behind it and may hand over to the updater. The application must outlive
    // the call.
    QCoro::Task<StartResult> start();
    // The version check behind the window, for callers that wait for it.
    QCoro::Task<> checkForUpdate();
    // Puts proxy settings to work on the program's requests (and keeps them);
    // the browsers take them at the next start.
    void applyProxies(const ProxySettings& proxies);

    // "在线升级": asks first unless an update is known, then hands over to the
    // updater and closes the window; says so when there is no updater.
    QCoro::Task<> updateNow();
    // "数据库设置": where the keyword database and the rank history live, from the next start.
    QCoro::Task<> chooseDatabase();

    MainWindow* window() const { return m_window.get(); }
    StatusPanels& panels() { return m_panels; }
    SettingsStore& settings() { return *m_env.settings; }
    KeywordStore& keywords() { return m_keywords; }
    Prompts& prompts() { return *m_env.prompts; }
    const Endpoints& endpoints() const { return m_env.endpoints; }
    const WebClient& web() const { return m_web; }
    const Clock& clock() const { return *m_env.clock; }
    const DataFolder& dataFolder() const { return m_env.dataFolder; }
    RankTabController& rankController() { return *m_rank; }
    KeywordDatabaseList& keywordList() { return *m_keywordList; }
    DatabaseRefresh& databaseRefresh() { return *m_databaseRefresh; }
    ResourceLibrary& resourceLibrary() { return m_resources; }
    ResourceSearch& resourceSearch() { return *m_resourceSearch; }
    AdWordsResults& adWordsResults() { return m_adWords; }
    // The browsers, made on first use; null without browsers.
    Browsers* browsers() { return m_browsers.get(); }
    // The keyword tool's driver and its page, made when first asked for; null
    // without browsers.
    AdWordsTool* adWordsTool();

    // Set once start-up has restored every stored option; option changes are
    // written back only from then on.
    bool isLoaded() const { return m_loaded; }
    // Set when the updater has been started and the program ends for it.
    bool updateFlag() const { return m_updateFlag; }
    // Seconds between two page-count requests to Google, Yahoo and Bing.
    std::array<int, 3> crawlIntervals() const;
    CrawlPacer& pacer() { return m_pacer; }
    RelatedSearch& relatedSearch() { return *m_related; }
    BaiduRequery& baiduRequery() { return *m_baidu; }

Q_SIGNALS:
    // The window has closed; the program may end.
    void finished();

private:
    // A lasting note in the status bar; kept for the window until it exists.
    void warn(const QString& text);
    // Starts the updater and closes the window; otherwise why not.
    QString startUpdater();
    void restoreOptions();
    void installTray();
    void saveRelatedOptions();
    // GetBrowserHtml in the fetch browser; empty without browsers.
    // A shared database, opened behind the window: a server far away or down
    // never delays it. Tried again every few seconds until it answers.
    QCoro::Task<> openSharedDatabase();
    QCoro::Task<QString> fetchInBrowser(QString url);

    AppEnvironment m_env;
    StatusPanels m_panels;
    KeywordStore m_keywords;
    WebClient m_web;
    std::optional<SingleInstance> m_instance;
    std::unique_ptr<RankTabController> m_rank;
    std::unique_ptr<MainWindow> m_window;
    QPointer<QSystemTrayIcon> m_tray;
    QStringList m_warnings;
    CrawlPacer m_pacer;
    std::unique_ptr<RelatedSearch> m_related;
    std::unique_ptr<BaiduRequery> m_baidu;
    std::unique_ptr<KeywordDatabaseList> m_keywordList;
    std::unique_ptr<DatabaseRefresh> m_databaseRefresh;
    ResourceLibrary m_resources;
    std::unique_ptr<ResourceSearch> m_resourceSearch;
    AdWordsResults m_adWords;
    std::unique_ptr<Browsers> m_browsers;
    std::unique_ptr<AdWordsTool> m_adWordsTool;
    QCoro::Task<> m_updateCheck;
    QCoro::Task<> m_databaseOpening;
    DatabaseLocation m_sharedDatabase;
    QTimer m_databaseRetry;
    // The warning of a database away for now, withdrawn when it is back.
    QString m_databaseWarning;
    bool m_loaded = false;
    bool m_updateFlag = false;
    bool m_updateKnown = false; // the version page announced a newer version
};

} // namespace marbleway
