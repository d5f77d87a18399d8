#include "app/ranktab.h"

#include "app/historychart.h"
#include "app/language.h"
#include "app/pagewidgets.h"
#include "app/reportlist.h"
#include "ranking/ranktabcontroller.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

namespace marbleway {

using namespace Qt::StringLiterals;

RankTab::RankTab(RankTabController& controller, QWidget* parent)
    : QWidget(parent)
    , m_controller(&controller)
    , m_depth(new QComboBox(this))
    , m_allPositions(new QCheckBox(tr("查询所有符合条件的记录（效率低）"), this))
    , m_mode(new QComboBox(this))
    , m_start(new QPushButton(tr("开始查询"), this))
    , m_history(new QTabWidget(this))
{
    RankTabModel& model = controller.model();
    m_sites = makeListView(this, u"siteList"_s, model.sites(), true);
    m_keywords = makeListView(this, u"keywordList"_s, model.keywords(), true);
    m_engines = makeListView(this, u"engineList"_s, model.engines());
    m_engines->setHeaderHidden(true);
    m_results = makeListView(this, u"rankList"_s, model.results(), false, {200, 150});
    m_recent = makeListView(this, u"recentList"_s, model.recent(), false, {170, 170});
    m_favourites = makeListView(this, u"favouriteList"_s, model.favourites(), false, {170, 170});

    m_mode->addItems({tr("多对多模式"), tr("一对多模式")});
    m_mode->setToolTip(translated("SiteKeywordLists", SiteKeywordLists::ManyToManyTip));
    m_start->setMinimumHeight(60);

    // Left: the sites and keywords to check.
    auto* left = new QWidget(this);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(listFrame(QT_TR_NOOP("网站"), m_sites, 0), 1);
    leftLayout->addWidget(listFrame(QT_TR_NOOP("关键词"), m_keywords, 1), 1);

    // Right, top: engines and the query options.
    auto* engineFrame = new QGroupBox(tr("搜索引擎"), this);
    auto* engineLayout = new QVBoxLayout(engineFrame);
    engineLayout->addWidget(m_engines);
    m_engines->setMaximumHeight(90);

    auto* options = new QGroupBox(tr("查询设置"), this);
    auto* grid = new QGridLayout(options);
    auto* depthRow = new QHBoxLayout;
    depthRow->addWidget(new QLabel(tr("在前"), options));
    depthRow->addWidget(m_depth);
    depthRow->addWidget(new QLabel(tr("条记录中查询"), options));
    depthRow->addStretch();
    grid->addLayout(depthRow, 0, 0);
    grid->addWidget(m_allPositions, 1, 0);
    auto* modeRow = new QHBoxLayout;
    modeRow->addWidget(new QLabel(tr("网站关键词关联模式："), options));
    modeRow->addWidget(m_mode);
    modeRow->addStretch();
    grid->addLayout(modeRow, 2, 0);
    grid->addWidget(m_start, 0, 1, 3, 1);

    auto* top = new QHBoxLayout;
    top->addWidget(engineFrame, 1);
    top->addWidget(options, 2);

    // Right, middle: the results.
    auto* resultsPane = new QWidget(this);
    auto* resultsLayout = new QVBoxLayout(resultsPane);
    resultsLayout->setContentsMargins(0, 0, 0, 0);
    resultsLayout->addWidget(m_results, 1);
    auto* resultButtons = new QHBoxLayout;
    resultButtons->addWidget(hintLabel(tr("排名为0表示在指定记录中未找到符合的结果。"), this), 1);
    m_export = addExportButtons(resultButtons, tr("导出至"));
    resultsLayout->addLayout(resultButtons);

    // Right, bottom: recent queries and favourites.
    m_history->addTab(historyPage(m_recent,
                                  tr("最近查询记录只保留本次软件打开后所有的\n"
                                     "查询记录，如需长期保留关键词排名记录，请\n"
                                     "将关键词组合加入“我的收藏”。"),
                                  {QT_TR_NOOP("加入我的收藏"), QT_TR_NOOP("删除查询记录")}),
                      tr("最近查询"));
    m_history->addTab(historyPage(m_favourites,
                                  tr("软件保留收藏关键词组合每天查询的排名信息，\n"
                                     "点击每条收藏，可浏览该组合的历史查询数据。"),
                                  {QT_TR_NOOP("排名走势图"), QT_TR_NOOP("删除选中收藏")}),
                      tr("我的收藏"));

    auto* rightSplitter = new QSplitter(Qt::Vertical, this);
    rightSplitter->addWidget(resultsPane);
    rightSplitter->addWidget(m_history);
    rightSplitter->setStretchFactor(0, 3);
    rightSplitter->setStretchFactor(1, 2);
    rightSplitter->setChildrenCollapsible(false);

    auto* right = new QWidget(this);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addLayout(top);
    rightLayout->addWidget(rightSplitter, 1);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(left);
    splitter->addWidget(right);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 3);
    splitter->setChildrenCollapsible(false);
    splitter->setSizes({250, 910});

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter);

    // Choices: the widgets show the model; a user's change goes to the model
    // and is saved.
    connect(&model, &RankTabModel::choicesChanged, this, &RankTab::showChoices);
    connect(m_depth, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_controller->model().setDepthIndex(index); });
    connect(m_allPositions, &QCheckBox::toggled, this,
            [this](bool on) { m_controller->model().setAllPositions(on); });
    connect(m_mode, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_controller->lists().setMode(index); });
    SiteKeywordLists& lists = controller.lists();
    connect(&lists, &SiteKeywordLists::modeTipChanged, m_mode, [this](const QString& tip) {
        m_mode->setToolTip(translated("SiteKeywordLists", tip));
    });
    connect(&lists, &SiteKeywordLists::siteSelected, this,
            [this](int row) { m_sites->setCurrentIndex(m_sites->model()->index(row, 0)); });
    connect(m_sites, &QTreeView::clicked, this,
            [this](const QModelIndex& index) { m_controller->lists().siteClicked(index.row()); });

    // The job.
    RankJob& job = controller.job();
    // While a query runs the button stops it.
    connect(m_start, &QPushButton::clicked, this, [this] {
        RankJob& rankJob = m_controller->job();
        if (!rankJob.isRunning()) {
            rankJob.start();
            return;
        }
        rankJob.stop();
        m_start->setText(tr("正在停止..."));
        m_start->setEnabled(false);
    });
    connect(&job, &RankJob::runningChanged, m_start, [this](bool running) {
        m_start->setText(running ? tr("停止查询") : tr("开始查询"));
        m_start->setEnabled(true);
    });
    connect(m_results, &QTreeView::doubleClicked, this, &RankTab::openResult);
    connect(m_recent, &QTreeView::clicked, this,
            [this](const QModelIndex& index) { m_controller->restoreRecent(index.row()); });
    connect(m_favourites, &QTreeView::clicked, this, [this](const QModelIndex& index) {
        // A click on its check box selects it too: the chart is of this one.
        m_favourites->setCurrentIndex(index);
        m_controller->browseFavourite(index.row());
    });
    connect(m_favourites, &QTreeView::doubleClicked, this, &RankTab::showHistoryChart);
}

HistoryChartDialog* RankTab::showHistoryChart()
{
    // The favourite that is selected, or the only one.
    const QModelIndex current = m_favourites->currentIndex();
    const RowModel& favourites = *m_controller->model().favourites();
    const int row = current.isValid() ? current.row() : favourites.size() == 1 ? 0 : -1;
    if (row < 0 || row >= favourites.size()) {
        m_controller->services().prompts.message(tr("提示"), tr("请先选择一条收藏。"),
                                                 PromptIcon::Information);
        return nullptr;
    }
    const QString descriptor = favourites.at(row).tag;
    auto* dialog = new HistoryChartDialog(m_controller->history(descriptor), descriptor,
                                          m_controller->services().prompts, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    return dialog;
}

QWidget* RankTab::listFrame(const char* title, QTreeView* view, int list)
{
    const auto which = list == 0 ? SiteKeywordLists::List::Sites : SiteKeywordLists::List::Keywords;
    auto* frame = new QGroupBox(tr(title), this);
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(view, 1);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    // Object names and the dispatch below use the source captions.
    for (const char* source : {QT_TR_NOOP("全选"), QT_TR_NOOP("导入"), QT_TR_NOOP("导出"),
                               QT_TR_NOOP("添加"), QT_TR_NOOP("删除")}) {
        const QString caption = QString::fromUtf8(source);
        auto* button = new QPushButton(tr(source), frame);
        button->setObjectName(QString::fromUtf8(title) + u'/' + caption);
        if (caption == u"删除"_s)
            deleteKeyPresses(view, button);
        if (caption == u"全选"_s)
            button->setProperty("toggle", caption);
        button->setMinimumWidth(20);
        buttons->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, button, caption, which] {
            SiteKeywordLists& lists = m_controller->lists();
            if (caption == u"全选"_s) {
                const QString next = lists.toggleAll(which, button->property("toggle").toString());
                button->setProperty("toggle", next);
                button->setText(translated("SiteKeywordLists", next));
            } else if (caption == u"导入"_s)
                lists.importFile(which);
            else if (caption == u"导出"_s)
                lists.exportFile(which);
            else if (caption == u"添加"_s)
                lists.add(which);
            else
                lists.remove(which);
        });
    }
    layout->addLayout(buttons);
    return frame;
}

QWidget* RankTab::historyPage(QTreeView* view, const QString& note,
                              std::initializer_list<const char*> buttons)
{
    auto* page = new QWidget(m_history);
    auto* layout = new QHBoxLayout(page);
    layout->addWidget(view, 1);
    auto* side = new QVBoxLayout;
    side->addWidget(hintLabel(note, page));
    for (const char* source : buttons) {
        const QString caption = QString::fromUtf8(source);
        auto* button = new QPushButton(tr(source), page);
        button->setObjectName(caption);
        if (caption.startsWith(u"删除"_s))
            deleteKeyPresses(view, button);
        side->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, caption] {
            if (caption == u"加入我的收藏"_s)
                m_controller->favourites().add();
            else if (caption == u"排名走势图"_s)
                showHistoryChart();
            else if (caption == u"删除选中收藏"_s)
                m_controller->favourites().remove();
            else
                m_controller->job().deleteRecent();
        });
    }
    side->addStretch();
    layout->addLayout(side);
    return page;
}

QPushButton* RankTab::listButton(const QString& list, const QString& caption) const
{
    return findChild<QPushButton*>(list + u'/' + caption);
}

void RankTab::fillDepthChoices()
{
    const QSignalBlocker blocker(m_depth);
    m_depth->clear();
    for (const Depth& depth : Depths)
        m_depth->addItem(QString::number(depth.results), int(depth.pages));
    m_depth->setCurrentIndex(0);
    m_controller->model().setDepthIndex(0);
}

void RankTab::showChoices()
{
    const RankTabModel& model = m_controller->model();
    const QSignalBlocker depth(m_depth);
    const QSignalBlocker all(m_allPositions);
    const QSignalBlocker mode(m_mode);
    m_depth->setCurrentIndex(model.depthIndex());
    m_allPositions->setChecked(model.allPositions());
    m_mode->setCurrentIndex(model.modeIndex());
}

void RankTab::openResult(const QModelIndex& index)
{
    const QModelIndex first = index.siblingAtColumn(0);
    const QString address = first.data(TagRole).toString();
    if (!address.isEmpty())
        QDesktopServices::openUrl(QUrl(address, QUrl::TolerantMode));
}

} // namespace marbleway
