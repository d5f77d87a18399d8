#include "app/application.h"

#include "app/language.h"
#include "app/mainwindow.h"
#include "app/relatedtab.h"
#include "browser/pagescript.h"
#include "core/textfile.h"
#include "core/version.h"
#include "research/relatedoptions.h"
#include "shell/updatecheck.h"
#include "web/cookiejar.h"
#include "web/engines.h"
#include "web/proxies.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QSystemTrayIcon>
#include <QUrl>

namespace marbleway {

using namespace Qt::StringLiterals;

AppEnvironment AppEnvironment::forUser(QNetworkAccessManager& network, Prompts& prompts)
{
    AppEnvironment environment{DataFolder::fromEnvironment(),
                               std::make_unique<SettingsStore>(),
                               Endpoints(),
                               QString(),
                               &network,
                               &prompts,
                               &Clock::system(),
                               {}};
    environment.endpoints =
        Endpoints::fromSystem(&environment.settings->settings(), &environment.hostProblems);
#ifdef Q_OS_WIN
    environment.updaterProgram = QCoreApplication::applicationDirPath() + u"/update.exe"_s;
#else
    environment.updaterProgram = QCoreApplication::applicationDirPath() + u"/marbleway-update"_s;
#endif
    return environment;
}

Application::Application(AppEnvironment environment, QObject* parent)
    : QObject(parent)
    , m_env(std::move(environment))
    , m_web(*m_env.network, *m_env.clock)
    , m_pacer(*m_env.clock)
{
    m_panels.setText(1, StatusPanels::Ready);
}

Application::~Application()
{
    settings().setFailureHandler({});
    if (m_tray)
        m_tray->hide();
    // The window's views show the controller's models: the window goes first.
    m_window.reset();
    m_baidu.reset();
    m_related.reset();
    // Pages before the profile they belong to.
    m_adWordsTool.reset();
    m_browsers.reset();
}

QCoro::Task<QString> Application::fetchInBrowser(QString url)
{
    if (!m_browsers)
        co_return QString();
    co_return co_await GetBrowserHtml(*m_browsers, std::move(url), *m_env.clock);
}

AdWordsTool* Application::adWordsTool()
{
    if (!m_adWordsTool && m_browsers) {
        m_adWordsTool = std::make_unique<AdWordsTool>(
            nullptr,
            QUrl(m_env.endpoints.secureUrl(Service::AdWords, u"/select/KeywordToolExternal"_s)),
            m_adWords, prompts(), *m_env.clock);
        WebPage* page = m_browsers->newPage(m_adWordsTool.get());
        if (!page) {
            warn(m_browsers->problem());
            m_adWordsTool.reset();
            return nullptr;
        }
        m_adWordsTool->setPage(page);
    }
    return m_adWordsTool.get();
}

QCoro::Task<Application::StartResult> Application::start()
{
    // 1. One program per data folder.
    if (!m_env.dataFolder.ensureExists()) {
        co_await prompts().message(tr("提示"),
                                   tr("无法创建数据文件夹：%1").arg(m_env.dataFolder.path()),
                                   PromptIcon::Critical);
        co_return StartResult::Failed;
    }
    m_instance.emplace(m_env.dataFolder.filePath(QString::fromLatin1(SingleInstance::LockName)));
    switch (m_instance->acquire()) {
    case SingleInstance::Result::Acquired:
        break;
    case SingleInstance::Result::HeldByAnother:
        co_await prompts().message(tr("提示"), tr("程序已运行。"), PromptIcon::Information);
        co_return StartResult::AlreadyRunning;
    case SingleInstance::Result::Unusable:
        co_await prompts().message(
            tr("提示"),
            tr("数据文件夹无法使用：%1（%2）").arg(m_env.dataFolder.path(), m_instance->reason()),
            PromptIcon::Critical);
        co_return StartResult::Failed;
    }
    m_warnings << m_env.hostProblems;
    // The engines' page rules: built in, or the user's engines.json over them.
    for (const QString& problem :
         loadEngineRules(m_env.dataFolder.filePath(EngineRulesFileName.toString())))
        m_warnings << tr("搜索引擎规则文件有误：%1").arg(problem);
    // Proxies: the requests' now, the browsers' for their whole life.
    const ProxySettings proxies = ProxySettings::load(settings().settings());
    for (const QString& problem : proxies.problems())
        m_warnings << tr("代理设置有误（第 %1 项）：%2")
                          .arg(problem.section(u':', 0, 0), problem.section(u':', 1).trimmed());
    applyProxies(proxies);
    if (proxies.mode == ProxySettings::Mode::None)
        QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::NoProxy));
    else if (const auto list = proxies.proxies();
             proxies.mode == ProxySettings::Mode::List && !list.isEmpty())
        QNetworkProxy::setApplicationProxy(list.first());
    // Cookies the program's requests and its browsers share, kept in the data
    // folder (the network takes the jar over).
    auto* cookies = new CookieJar(m_env.dataFolder.filePath(CookieJar::FileName.toString()));
    m_env.network->setCookieJar(cookies);
    if (m_env.withBrowsers)
        m_browsers = std::make_unique<Browsers>(m_env.dataFolder.filePath(u"browser"_s), cookies);
    // A keyword database that stops taking writes (full disk, damaged file) is
    // told once, where the user looks.
    connect(&m_keywords, &KeywordStore::failed, this, [this](const QString& error) {
        if (!m_keywords.isConnectionLost()) {
            warn(tr("关键词数据库读写失败（%1）").arg(error));
            return;
        }
        m_databaseWarning = tr("与数据库的连接已断开（%1），任务将在连接恢复后继续").arg(error);
        warn(m_databaseWarning);
    });
    connect(&m_keywords, &KeywordStore::reconnected, this, [this] {
        if (m_window)
            m_window->withdrawWarning(std::exchange(m_databaseWarning, QString()));
    });
    // A setting that cannot be written is told where the user looks, once.
    settings().setFailureHandler([this](const QString& reason) { warn(reason); });

    // 2. The keyword database; the program runs without it.
    QString databaseError;
    const auto database =
        configuredDatabase(settings().settings(), m_env.dataFolder, &databaseError);
    if (!database) {
        m_warnings << tr("数据库设置有误（%1），关键词将不会被保存").arg(databaseError);
    } else if (database->kind == DatabaseLocation::Kind::PostgreSQL) {
        // Opened once the window shows.
    } else if (!m_keywords.open(*database)) {
        m_warnings << tr("关键词数据库无法打开（%1），关键词将不会被保存")
                          .arg(m_keywords.lastError() + u" — "_s + database->shown());
    } else if (m_keywords.isReadOnly()) {
        m_warnings << tr("关键词数据库只读（%1），关键词将不会被保存").arg(m_keywords.lastError());
    }

    // 3. The version, for the updater.
    if (const WriteResult written =
            m_env.dataFolder.write(u"ver.txt"_s, crlfLines({ProgramVersion.toString()}));
        !written)
        m_warnings << tr("无法写入 ver.txt：%1").arg(written.error);

    // 5 and 6. The window with its choice lists and engines.
    m_related = std::make_unique<RelatedSearch>(
        RelatedSearch::Services{m_web, m_env.endpoints, *m_env.clock, m_pacer, m_keywords,
                                prompts(), m_panels, m_env.dataFolder});
    m_baidu = std::make_unique<BaiduRequery>(
        BaiduRequery::Services{m_web, m_env.endpoints, m_panels,
                               [this](QString url) { return fetchInBrowser(std::move(url)); }},
        *m_related);
    m_keywordList = std::make_unique<KeywordDatabaseList>(m_keywords, *m_env.clock, prompts());
    m_resourceSearch = std::make_unique<ResourceSearch>(
        ResourceSearch::Services{m_web, m_env.endpoints, prompts(), m_panels}, m_resources);
    m_databaseRefresh = std::make_unique<DatabaseRefresh>(DatabaseRefresh::Services{
        m_web, m_env.endpoints, *m_env.clock, m_pacer, *m_keywordList, prompts(), m_panels});
    m_rank = std::make_unique<RankTabController>(
        RankTabController::Services{settings(), m_env.dataFolder, prompts(), m_web, m_env.endpoints,
                                    *m_env.clock, [this] { return m_loaded; }, &m_keywords});
    if (m_browsers) {
        // Engines whose rules want their pages rendered use the fetch browser.
        m_rank->job().setBrowserFetch(
            [this](QString url, QString waitFor, std::chrono::milliseconds timeout) {
                return renderPage(*m_browsers, std::move(url), std::move(waitFor), timeout,
                                  *m_env.clock);
            });
    }
    m_window = std::make_unique<MainWindow>(*this);
    connect(m_window.get(), &MainWindow::closing, this, [this] {
        if (m_tray)
            m_tray->hide();
        if (m_adWordsTool)
            m_adWordsTool->stop();
        Q_EMIT finished();
    });
    connect(m_related.get(), &RelatedSearch::optionsChanged, this,
            &Application::saveRelatedOptions);
    m_window->fillChoiceLists();
    m_window->fillEngines();

    // 7 to 10. The stored options.
    restoreOptions();

    // 11 and 12.
    m_window->markTab(MainWindow::RelatedTabIndex);
    m_window->showReleasePage(m_env.endpoints.url(Service::Maker, u"/marbleway/"_s));

    // 13. From here on option changes are saved.
    m_loaded = true;

    // 14. The tray icon, where the desktop has a tray.
    installTray();

    for (const QString& warning : std::as_const(m_warnings))
        m_window->showWarning(warning);
    m_window->restoreLayout();
    m_window->show();

    // 4. Once a day, behind the window: is there a newer version?
    m_updateCheck = checkForUpdate();
    if (database && database->kind == DatabaseLocation::Kind::PostgreSQL) {
        m_sharedDatabase = *database;
        m_databaseRetry.setSingleShot(true);
        m_databaseRetry.setInterval(std::chrono::seconds(5));
        connect(&m_databaseRetry, &QTimer::timeout, this,
                [this] { m_databaseOpening = openSharedDatabase(); });
        m_databaseOpening = openSharedDatabase();
    }
    co_return StartResult::Running;
}

QCoro::Task<> Application::checkForUpdate()
{
    QPointer<Application> self = this;
    UpdateCheck check(settings(), m_web, m_env.endpoints, *m_env.clock);
    check.setOwner(this);
    const UpdateOutcome update = co_await check.run();
    if (!self || !update.updateAvailable || !m_window)
        co_return;
    m_updateKnown = true;
    // A job in hand is not cut short: the update waits for the next start.
    if (m_panels.isBusy() || m_rank->job().isRunning()) {
        warn(tr("发现新版本 %1，请在当前任务结束后重新启动程序升级").arg(update.version.trimmed()));
        co_return;
    }
    if (const QString problem = startUpdater(); !problem.isEmpty())
        warn(tr("发现新版本 %1，但%2").arg(update.version.trimmed(), problem));
}

QCoro::Task<> Application::openSharedDatabase()
{
    QPointer<Application> self = this;
    const QString problem = co_await KeywordStore::connectionProblem(m_sharedDatabase);
    if (!self)
        co_return;
    if (!problem.isEmpty()) {
        if (m_databaseWarning.isEmpty()) {
            m_databaseWarning = tr("共享数据库暂时无法连接（%1 — %2），连接上之后自动使用")
                                    .arg(problem, m_sharedDatabase.shown());
            warn(m_databaseWarning);
        }
        m_databaseRetry.start();
        co_return;
    }
    if (m_window)
        m_window->withdrawWarning(std::exchange(m_databaseWarning, QString()));
    if (!m_keywords.open(m_sharedDatabase)) {
        warn(tr("关键词数据库无法打开（%1），关键词将不会被保存")
                 .arg(m_keywords.lastError() + u" — "_s + m_sharedDatabase.shown()));
        co_return;
    }
    // A list read while the database was away is read again.
    if (m_keywordList->isLoaded())
        m_keywordList->load();
}

QCoro::Task<> Application::chooseDatabase()
{
    QPointer<Application> self = this;
    const QString title = tr("数据库设置");
    const QString key = QString::fromLatin1(DatabaseSettingKey);
    QString text = settings().settings().value(key).toString();
    std::optional<DatabaseLocation> location;
    // A wrong address is offered again to mend, not lost.
    while (!location) {
        const auto answer = co_await prompts().input(
            title,
            tr("关键词数据库和收藏的排名记录保存在哪里。\n留空：本机数据文件夹中的 db.sqlite。\n"
               "多人共用：PostgreSQL 地址，例如 postgresql://用户@服务器:5432/marbleway"),
            text);
        if (!self || !answer)
            co_return;
        text = answer->trimmed();
        QString error;
        location = DatabaseLocation::parse(text, m_env.dataFolder, &error);
        if (!location)
            co_await prompts().message(title, tr("数据库地址有误：%1").arg(error),
                                       PromptIcon::Critical);
        if (!self)
            co_return;
    }
    QString told = tr("新的数据库设置在下次启动时生效。");
    // The settings file is anyone's to read: a password goes where only its owner can.
    if (!location->password.isEmpty()) {
        QUrl withoutPassword(text);
        withoutPassword.setPassword(QString());
        text = withoutPassword.toString();
        told += u'\n' +
                tr("密码没有保存在设置中：请把它写进 ~/.pgpass（一行“主机:端口:数据库:用户:密码”，"
                   "文件权限 0600）。");
    }
    QSettings& stored = settings().settings();
    stored.setValue(key, text);
    stored.sync();
    if (stored.status() != QSettings::NoError) {
        co_await prompts().message(title, tr("数据库设置未能保存：设置文件无法写入。"),
                                   PromptIcon::Critical);
        co_return;
    }
    if (!qEnvironmentVariableIsEmpty(DatabaseEnvironmentVariable))
        told += u'\n' + tr("环境变量 %1 已设置，它优先于此设置。")
                            .arg(QString::fromLatin1(DatabaseEnvironmentVariable));
    co_await prompts().message(title, told, PromptIcon::Information);
}

QCoro::Task<> Application::updateNow()
{
    QPointer<Application> self = this;
    // Closing for the updater would cut a job short.
    if (m_panels.isBusy() || m_rank->job().isRunning()) {
        co_await prompts().message(tr("提示"), tr("程序正在运行中，请停止后再升级。"),
                                   PromptIcon::Information);
        co_return;
    }
    if (!m_updateFlag && !m_updateKnown) {
        const bool yes = co_await prompts().confirm(
            tr("提示"), tr("未发现可用的更新，确实要更新吗？"), PromptButtons::YesNo);
        if (!self || !yes)
            co_return;
    }
    if (const QString problem = self->startUpdater(); !problem.isEmpty())
        co_await self->prompts().message(tr("提示"), problem, PromptIcon::Critical);
}

QString Application::startUpdater()
{
    const QFileInfo updater(m_env.updaterProgram);
    if (!updater.isFile() || !updater.isExecutable())
        return tr("找不到升级程序 %1，无法在线升级。")
            .arg(QDir::toNativeSeparators(updater.filePath()));
    // The updater reads "ver.txt" and the setting "ver"; it takes no arguments.
    m_updateFlag = true;
    if (!QProcess::startDetached(updater.filePath(), {}, m_env.dataFolder.path())) {
        m_updateFlag = false;
        return tr("无法启动升级程序 %1。").arg(QDir::toNativeSeparators(updater.filePath()));
    }
    if (m_window)
        m_window->close();
    return {};
}

void Application::applyProxies(const ProxySettings& proxies)
{
    ProxyPool* pool = applyProxySettings(*m_env.network, proxies, *m_env.clock);
    if (pool && proxies.pacePerProxy)
        m_pacer.setSpread([pool] { return pool->usableCount(); });
    else
        m_pacer.setSpread({});
}

void Application::warn(const QString& text)
{
    if (m_window)
        m_window->showWarning(text);
    else if (!m_warnings.contains(text))
        m_warnings << text;
}

void Application::restoreOptions()
{
    RelatedOptions options;
    options.apply(settings().readOrCreate(RelatedOptions::SettingName, RelatedOptions::Default));
    m_related->setOptions(options);
    RelatedTab* related = m_window->relatedTab();

    m_pacer.loadIntervals(settings());

    if (!settings().contains(u"settingurl"_s)) {
        settings().RegCreate();
        settings().RegSave(u"settingurl"_s, QString());
    }

    if (const auto seeds = readAnsiFile(m_env.dataFolder.filePath(u"kws.txt"_s))) {
        const QStringList lines = splitLines(*seeds);
        if (!lines.isEmpty())
            related->keywordBox()->setText(lines.first());
    }
}

std::array<int, 3> Application::crawlIntervals() const
{
    return {m_pacer.interval(SearchEngine::Google), m_pacer.interval(SearchEngine::Yahoo),
            m_pacer.interval(SearchEngine::Bing)};
}

void Application::saveRelatedOptions()
{
    if (m_loaded)
        settings().RegSave(RelatedOptions::SettingName, m_related->inputs().options.toSetting());
}

void Application::installTray()
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    m_tray = new QSystemTrayIcon(m_window->windowIcon(), this);
    m_tray->setToolTip(translated("Program", programDescription()));
    QMenu* menu = m_window->trayMenu();
    m_tray->setContextMenu(menu);
    // The context menu opens on a right click; a left click opens it too.
    connect(m_tray.data(), &QSystemTrayIcon::activated, menu,
            [menu](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger)
                    menu->popup(QCursor::pos());
            });
    m_tray->show();
}

} // namespace marbleway
