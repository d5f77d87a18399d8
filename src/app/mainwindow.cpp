#include "app/mainwindow.h"

#include "app/adwordstab.h"
#include "app/application.h"
#include "app/crawlsettingsdialog.h"
#include "app/keyworddbtab.h"
#include "app/language.h"
#include "app/proxydialog.h"
#include "app/ranktab.h"
#include "app/relatedtab.h"
#include "app/resourcestab.h"
#include "browser/webpage.h"
#include "core/version.h"
#include "export/exportlist.h"
#include "ranking/ranktabcontroller.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

namespace marbleway {

using namespace Qt::StringLiterals;

namespace {

// Translated where shown: the titles are made before any translator is installed.
const std::array<const char*, 5> tabTitles = {QT_TRANSLATE_NOOP("MainWindow", "相关关键词查询"),
                                              QT_TRANSLATE_NOOP("MainWindow", "Adwords关键词查询"),
                                              QT_TRANSLATE_NOOP("MainWindow", "外链资源库"),
                                              QT_TRANSLATE_NOOP("MainWindow", "关键词排名查询"),
                                              QT_TRANSLATE_NOOP("MainWindow", "关键词数据库")};

} // namespace

MainWindow::MainWindow(Application& app, QWidget* parent)
    : QMainWindow(parent)
    , m_app(&app)
    , m_tabs(new QTabWidget(this))
    , m_related(new RelatedTab(app.relatedSearch(), app.baiduRequery(), m_tabs))
    , m_adWords(new AdWordsTab(app.adWordsResults(), app.keywordList(), m_tabs))
    , m_resources(
          new ResourcesTab(app.resourceSearch(), app.resourceLibrary(), app.panels(), m_tabs))
    , m_rank(new RankTab(app.rankController(), m_tabs))
    , m_keywordDb(new KeywordDbTab(app.keywordList(), app.databaseRefresh(), app.panels(), m_tabs))
    , m_releaseStrip(new QLabel(this))
    , m_warning(new QLabel(this))
    , m_progress(new QProgressBar(this))
{
    setWindowTitle(programName() + tr(" - 网站关键词排名与研究工具"));
    setObjectName(u"frm_Main"_s);
    // The size the tabs are laid out for, or less on a small screen: the status
    // bar must stay on it.
    const QRect screen = this->screen()->availableGeometry();
    resize(std::min(1180, screen.width() * 96 / 100), std::min(780, screen.height() * 90 / 100));

    m_tabs->setDocumentMode(true);
    const QList<QWidget*> pages = {m_related, m_adWords, m_resources, m_rank, m_keywordDb};
    for (int tab = 0; tab < pages.size(); ++tab)
        m_tabs->addTab(pages.at(tab),
                       QCoreApplication::translate("MainWindow", tabTitles[size_t(tab)]));

    m_releaseStrip->setOpenExternalLinks(true);
    m_releaseStrip->setContentsMargins(6, 2, 6, 2);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->addWidget(m_tabs, 1);
    layout->addWidget(m_releaseStrip);
    setCentralWidget(central);

    buildMenus();
    buildStatusBar();
    connect(m_tabs, &QTabWidget::currentChanged, this, &MainWindow::tabSelected);
    tabSelected(m_tabs->currentIndex());
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenus()
{
    QMenu* system = menuBar()->addMenu(tr("软件系统(&S)"));
    connect(system->addAction(tr("搜索引擎屏蔽设置")), &QAction::triggered, this,
            [this] { openCrawlSettings(); });
    connect(system->addAction(tr("代理服务器设置")), &QAction::triggered, this, [this] {
        auto* dialog = new ProxyDialog(*m_app, this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->setWindowModality(Qt::WindowModal);
        dialog->open();
    });
    connect(system->addAction(tr("数据库设置")), &QAction::triggered, this,
            [this] { m_app->chooseDatabase(); });
    connect(system->addAction(tr("在线升级")), &QAction::triggered, this,
            [this] { m_app->updateNow(); });
    language::addMenu(system, m_app->settings().settings(), m_app->prompts());
    system->addSeparator();
    // Through the usual closing rules (a running job, the question).
    QAction* quit = system->addAction(tr("退出系统"));
    quit->setShortcut(QKeySequence::Quit);
    connect(quit, &QAction::triggered, this, &QWidget::close);

    QMenu* functions = menuBar()->addMenu(tr("软件功能(&F)"));
    auto* group = new QActionGroup(this);
    for (int tab = 0; tab < int(tabTitles.size()); ++tab) {
        QAction* action =
            functions->addAction(QCoreApplication::translate("MainWindow", tabTitles[size_t(tab)]));
        action->setCheckable(true);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, tab] { selectTab(tab); });
        m_tabActions[size_t(tab)] = action;
    }

    QMenu* about = menuBar()->addMenu(tr("关于软件(&A)"));
    connect(about->addAction(tr("软件说明")), &QAction::triggered, this, [this] { showAbout(); });
    addMakerLink(about, tr("官方网站"), u"/marbleway"_s);
    about->addSeparator();
    addMakerLink(about, tr("更多站长工具"), u"/soft/"_s);
    addMakerLink(about, tr("站长交流论坛"), u"/bbs/"_s);
    addMakerLink(about, tr("联系我们"), u"/contact.htm"_s);

    QMenu* help = menuBar()->addMenu(tr("软件帮助(&H)"));
    addMakerLink(help, tr("在线帮助"), u"/marbleway/help.htm"_s)
        ->setShortcut(QKeySequence::HelpContents);
    connect(help->addAction(tr("意见和建议")), &QAction::triggered, this,
            &MainWindow::showFeedback);

    // The tray's menu, not in the menu bar.
    m_trayMenu = new QMenu(tr("文件"), this);
    connect(m_trayMenu->addAction(tr("关于软件")), &QAction::triggered, this,
            [this] { showAbout(); });
    m_trayMenu->addSeparator();
    connect(m_trayMenu->addAction(tr("退出")), &QAction::triggered, this, &QWidget::close);
    connect(m_trayMenu->addAction(tr("最小化")), &QAction::triggered, this,
            &QWidget::showMinimized);
    connect(m_trayMenu->addAction(tr("恢复")), &QAction::triggered, this, [this] {
        showNormal();
        raise();
        activateWindow();
    });
}

QAction* MainWindow::addMakerLink(QMenu* menu, const QString& caption, const QString& path)
{
    // The maker's pages open only once the maker's site is configured.
    QAction* action = menu->addAction(caption);
    action->setEnabled(m_app->endpoints().isReachable(Service::Maker));
    connect(action, &QAction::triggered, this, [this, path] {
        QDesktopServices::openUrl(QUrl(m_app->endpoints().url(Service::Maker, path)));
    });
    return action;
}

void MainWindow::showFeedback()
{
    // Made on first use and kept: what was typed stays for the next showing.
    if (!m_feedback)
        m_feedback = new FeedbackDialog(m_app->web(), m_app->endpoints(), m_app->prompts(), this);
    m_feedback->setWindowModality(Qt::WindowModal);
    m_feedback->open();
}

void MainWindow::openCrawlSettings(const QString& blockedPage)
{
    auto* dialog = new CrawlSettingsDialog(m_app->settings(), m_app->pacer(), m_app->browsers(),
                                           m_app->endpoints(), this, blockedPage);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->open();
}

void MainWindow::buildStatusBar()
{
    const std::array<int, 3> widths = {110, 260, 320};
    for (int panel = 1; panel <= 3; ++panel) {
        auto* label = new QLabel(this);
        label->setObjectName(u"statusPanel%1"_s.arg(panel));
        label->setMinimumWidth(widths[size_t(panel - 1)]);
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        statusBar()->addWidget(label, panel == 1 ? 0 : 1);
        m_panels[size_t(panel - 1)] = label;
    }
    m_warning->setObjectName(u"statusWarning"_s);
    m_warning->setStyleSheet(u"color: #b00020;"_s);
    m_warning->setWordWrap(false);
    // A long warning is cut at the window's edge (the tooltip holds it whole);
    // it never widens the window.
    m_warning->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_warning->setMinimumWidth(200);
    // Room to be read: it shares the bar with the panels.
    statusBar()->addPermanentWidget(m_warning, 1);

    // The rank job's progress: combinations done of all. It leaves panel 1 alone.
    m_progress->setObjectName(u"rankProgress"_s);
    m_progress->setMaximumWidth(220);
    m_progress->setFormat(tr("排名查询 %v/%m"));
    m_progress->hide();
    statusBar()->addPermanentWidget(m_progress);
    RankJob& job = m_app->rankController().job();
    connect(&job, &Job::progress, m_progress, [this](int done, int total) {
        m_progress->setMaximum(std::max(total, 1));
        m_progress->setValue(done);
    });
    connect(&job, &Job::runningChanged, m_progress, &QWidget::setVisible);
    connect(&job, &RankJob::answerBlockPage, this,
            [this](const QString& url) { openCrawlSettings(url); });
    connect(&m_app->rankController(), &RankTabController::warning, this, &MainWindow::showWarning);
    connect(&m_app->relatedSearch(), &Job::warning, this, &MainWindow::showWarning);
    connect(&m_app->databaseRefresh(), &Job::warning, this, &MainWindow::showWarning);

    connectExports(m_related->exportButtons(), m_related->resultsView(), ReportKind::Related);
    connectExports(m_rank->exportButtons(), m_rank->resultsView(), ReportKind::Rank);
    connectExports(m_keywordDb->exportButtons(), m_keywordDb->listView(), ReportKind::Database);
    connectExports(m_resources->exportButtons(), m_resources->resourcesView(),
                   ReportKind::Resources);
    connectExports(m_adWords->exportButtons(), m_adWords->resultsView(), ReportKind::AdWords);

    StatusPanels& panels = m_app->panels();
    for (int panel = 1; panel <= 3; ++panel)
        m_panels[size_t(panel - 1)]->setText(StatusPanels::shown(panels.text(panel)));
    // The panels hold the source texts ("进行中..." tells a busy program); only
    // the labels speak the window's language.
    connect(&panels, &StatusPanels::changed, this, [this](int panel, const QString& text) {
        m_panels[size_t(panel - 1)]->setText(StatusPanels::shown(text));
    });
}

void MainWindow::connectExports(const ExportButtons& buttons, QTreeView* view, ReportKind kind)
{
    const std::array<std::pair<QPushButton*, ExportFormat>, 4> formats = {{
        {buttons.text, ExportFormat::Text},
        {buttons.html, ExportFormat::Html},
        {buttons.excel, ExportFormat::Workbook},
        {buttons.csv, ExportFormat::Csv},
    }};
    for (const auto& [button, format] : formats) {
        button->setEnabled(true);
        button->setToolTip({});
        connect(button, &QPushButton::clicked, this, [this, view, kind, format] {
            // Columns the list does not show stay out of the workbook and CSV.
            std::vector<bool> hidden;
            for (int column = 0; column < view->model()->columnCount(); ++column)
                hidden.push_back(view->header()->isSectionHidden(column) ||
                                 view->header()->sectionSize(column) == 0);
            static const std::array<QString, 4> descriptions = {u"Txt"_s, u"Html"_s, u"Excel"_s,
                                                                u"CSV"_s};
            ExportList(ExportServices{m_app->prompts(), m_app->panels(),
                                      [](const QString& path) {
                                          QDesktopServices::openUrl(QUrl::fromLocalFile(path));
                                      }},
                       *view->model(), descriptions[size_t(format)], format, kind,
                       std::move(hidden));
        });
    }
}

void MainWindow::fillChoiceLists()
{
    m_rank->fillDepthChoices();
    m_related->filterFrame()->fillChoiceLists();
    m_keywordDb->filterFrame()->fillChoiceLists();
}

void MainWindow::fillEngines()
{
    m_app->rankController().model().fillEngines();
}

void MainWindow::markTab(int tab)
{
    if (tab >= 0 && tab < int(m_tabActions.size()))
        m_tabActions[size_t(tab)]->setChecked(true);
}

void MainWindow::showReleasePage(const QString& url)
{
    m_releaseStrip->setText(programName() + tr(" &nbsp;·&nbsp; 版本说明与使用技巧：") +
                            u"<a href=\"%1\">%1</a>"_s.arg(url.toHtmlEscaped()));
    // The maker's page itself once the window is up, when there is a maker's
    // site to show: the browser engine would hold the window back otherwise.
    if (!m_app->browsers() || !m_app->endpoints().isReachable(Service::Maker))
        return;
    QTimer::singleShot(1000, this, [this, url] {
        WebPage* page = m_app->browsers()->newPage(this);
        if (!page)
            return;
        QWidget* view = page->createView(this);
        // The page goes after the view that shows it.
        page->setParent(view);
        view->setObjectName(u"releasePage"_s);
        view->setFixedHeight(m_releaseStrip->sizeHint().height() + 16);
        view->setContextMenuPolicy(Qt::NoContextMenu);
        page->load(QUrl(url));
        centralWidget()->layout()->replaceWidget(m_releaseStrip, view);
        m_releaseStrip->hide();
    });
}

void MainWindow::selectTab(int tab)
{
    m_tabs->setCurrentIndex(tab);
    markTab(tab);
}

void MainWindow::showWarning(const QString& text)
{
    // Each problem once, however often it happens.
    const QString shown = m_warning->text();
    if (shown.split(u"；"_s).contains(text))
        return;
    m_warning->setText(shown.isEmpty() ? text : shown + u"；"_s + text);
    m_warning->setToolTip(m_warning->text());
}

void MainWindow::withdrawWarning(const QString& text)
{
    QStringList shown = m_warning->text().split(u"；"_s, Qt::SkipEmptyParts);
    shown.removeAll(text);
    m_warning->setText(shown.join(u"；"_s));
    m_warning->setToolTip(m_warning->text());
}

QString MainWindow::warnings() const
{
    return m_warning->text();
}

void MainWindow::tabSelected(int tab)
{
    m_rank->historyStrip()->hide();
    m_adWords->setFramesVisible(false);
    markTab(tab);
    switch (tab) {
    case AdWordsTabIndex:
        m_adWords->setFramesVisible(true);
        // The tool page, every time the tab is opened.
        if (AdWordsTool* tool = m_app->adWordsTool()) {
            m_adWords->attach(tool);
            tool->open();
        } else if (m_app->browsers()) {
            m_adWords->showUnavailable(m_app->browsers()->problem());
        }
        break;
    case ResourcesTabIndex:
        m_app->resourceSearch().tabShown();
        break;
    case RankTabIndex:
        m_rank->historyStrip()->show();
        m_app->rankController().tabShown();
        break;
    case KeywordDbTabIndex:
        if (!m_keywordDb->list().isLoaded())
            m_keywordDb->list().load();
        break;
    default:
        break;
    }
}

namespace {

// The setting of a splitter of the window: named by its place among the
// window's widgets, which is the same in every session. A dialog's splitters
// (a child window, open or not) are not the window's.
QString splitterSetting(const QWidget* window, const QSplitter* splitter)
{
    QStringList path;
    for (const QObject* at = splitter; at && at != window; at = at->parent()) {
        int index = 0;
        for (const QObject* sibling : at->parent()->children()) {
            if (sibling == at)
                break;
            if (qstrcmp(sibling->metaObject()->className(), at->metaObject()->className()) == 0)
                ++index;
        }
        path.prepend(QString::fromLatin1(at->metaObject()->className()) + QString::number(index));
    }
    return u"Window/splitters/"_s + path.join(u'.');
}

QList<QSplitter*> windowSplitters(const QWidget* window)
{
    QList<QSplitter*> own;
    for (QSplitter* splitter : window->findChildren<QSplitter*>()) {
        if (splitter->window() == window)
            own << splitter;
    }
    return own;
}

} // namespace

void MainWindow::restoreLayout()
{
    QSettings& settings = m_app->settings().settings();
    restoreGeometry(settings.value(u"Window/geometry"_s).toByteArray());
    for (QSplitter* splitter : windowSplitters(this)) {
        const QByteArray state = settings.value(splitterSetting(this, splitter)).toByteArray();
        const Qt::Orientation orientation = splitter->orientation();
        // Sizes only: a splitter keeps its own direction whatever was stored.
        if (!state.isEmpty() && splitter->restoreState(state))
            splitter->setOrientation(orientation);
    }
}

void MainWindow::saveLayout()
{
    QSettings& settings = m_app->settings().settings();
    settings.setValue(u"Window/geometry"_s, saveGeometry());
    // Numbered by an earlier version, which mixed them up.
    for (const QString& key : settings.allKeys()) {
        if (key.startsWith(u"Window/splitter"_s) && !key.startsWith(u"Window/splitters/"_s))
            settings.remove(key);
    }
    for (QSplitter* splitter : windowSplitters(this))
        settings.setValue(splitterSetting(this, splitter), splitter->saveState());
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (m_app->updateFlag() || m_closeAgreed) {
        saveLayout();
        Q_EMIT closing();
        event->accept();
        return;
    }
    event->ignore();
    if (!m_asking)
        askToClose();
}

QCoro::Task<> MainWindow::askToClose()
{
    QPointer<MainWindow> self = this;
    Prompts& prompts = m_app->prompts();
    m_asking = true;
    if (m_app->panels().isBusy()) {
        co_await prompts.message(tr("提示"), tr("程序正在运行中，请停止后推出。"),
                                 PromptIcon::Information);
    } else if (co_await prompts.confirm(u"Marbleway"_s, tr("是否真的要退出软件？"),
                                        PromptButtons::YesNo)) {
        if (self) {
            self->m_closeAgreed = true;
            // Not from inside this close event: a close in progress ignores close().
            QTimer::singleShot(0, self.data(), &QWidget::close);
        }
    }
    if (self)
        self->m_asking = false;
}

QCoro::Task<> MainWindow::showAbout()
{
    co_await m_app->prompts().message(
        tr("软件说明"),
        programName() + u"\n\n"_s + translated("Program", programDescription()) +
            tr("\n\n在此感谢一直关心和支持我们的朋友！\n\n版本 ") + BuildVersion,
        PromptIcon::Information);
}

} // namespace marbleway
