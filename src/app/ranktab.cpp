#include "app/ranktab.h"

#include "app/pagewidgets.h"
#include "ranking/searchengine.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QStandardItem>
#include <QTabWidget>
#include <QTreeView>
#include <QVBoxLayout>

namespace marbleway {

using namespace Qt::StringLiterals;

namespace {

const QStringList historyColumns = {u"搜索引擎"_s, u"网站"_s, u"关键字"_s};

} // namespace

RankTab::RankTab(QWidget* parent)
    : QWidget(parent)
    , m_sites(makeReportList(this, u"siteList"_s, {u"单击修改网站"_s}))
    , m_keywords(makeReportList(this, u"keywordList"_s, {u"单击修改关键词"_s}))
    , m_engines(makeReportList(this, u"engineList"_s, {QString()}, false))
    , m_depth(new QComboBox(this))
    , m_allPositions(new QCheckBox(u"查询所有符合条件的记录（效率低）"_s, this))
    , m_mode(new QComboBox(this))
    , m_start(pendingButton(u"开始查询"_s, this))
    , m_results(makeReportList(this, u"rankList"_s,
                               {u"搜索引擎/网站"_s, u"关键字/排名"_s, u"查询日期/收录网址"_s}))
    , m_history(new QTabWidget(this))
    , m_recent(makeReportList(this, u"recentList"_s, historyColumns))
    , m_favourites(makeReportList(this, u"favouriteList"_s, historyColumns))
{
    m_mode->addItems({u"多对多模式"_s, u"一对多模式"_s});
    m_mode->setToolTip(u"多个网站对应多个关键词！"_s);
    m_results.view->setColumnWidth(0, 200);
    m_results.view->setColumnWidth(1, 150);

    // Left: the sites and keywords to check.
    auto* left = new QWidget(this);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(listFrame(u"网站"_s, m_sites), 1);
    leftLayout->addWidget(listFrame(u"关键词"_s, m_keywords), 1);

    // Right, top: engines and the query options.
    auto* engineFrame = new QGroupBox(u"搜索引擎"_s, this);
    auto* engineLayout = new QVBoxLayout(engineFrame);
    engineLayout->addWidget(m_engines.view);
    m_engines.view->setMaximumHeight(90);

    auto* options = new QGroupBox(u"查询设置"_s, this);
    auto* grid = new QGridLayout(options);
    auto* depthRow = new QHBoxLayout;
    depthRow->addWidget(new QLabel(u"在前"_s, options));
    depthRow->addWidget(m_depth);
    depthRow->addWidget(new QLabel(u"条记录中查询"_s, options));
    depthRow->addStretch();
    grid->addLayout(depthRow, 0, 0);
    grid->addWidget(m_allPositions, 1, 0);
    auto* modeRow = new QHBoxLayout;
    modeRow->addWidget(new QLabel(u"网站关键词关联模式："_s, options));
    modeRow->addWidget(m_mode);
    modeRow->addStretch();
    grid->addLayout(modeRow, 2, 0);
    grid->addWidget(m_start, 0, 1, 3, 1);
    m_start->setMinimumHeight(60);

    auto* top = new QHBoxLayout;
    top->addWidget(engineFrame, 1);
    top->addWidget(options, 2);

    // Right, middle: the results.
    auto* resultsPane = new QWidget(this);
    auto* resultsLayout = new QVBoxLayout(resultsPane);
    resultsLayout->setContentsMargins(0, 0, 0, 0);
    resultsLayout->addWidget(m_results.view, 1);
    auto* resultButtons = new QHBoxLayout;
    resultButtons->addWidget(hintLabel(u"排名为0表示在指定记录中未找到符合的结果。"_s, this), 1);
    addExportButtons(resultButtons, u"导出至"_s);
    resultsLayout->addLayout(resultButtons);

    // Right, bottom: recent queries and favourites.
    auto* recentPage = new QWidget(m_history);
    auto* recentLayout = new QHBoxLayout(recentPage);
    recentLayout->addWidget(m_recent.view, 1);
    auto* recentSide = new QVBoxLayout;
    recentSide->addWidget(hintLabel(u"最近查询记录只保留本次软件打开后所有的\n"
                                    "查询记录，如需长期保留关键词排名记录，请\n"
                                    "将关键词组合加入“我的收藏”。"_s,
                                    recentPage));
    recentSide->addWidget(pendingButton(u"加入我的收藏"_s, recentPage));
    recentSide->addWidget(pendingButton(u"删除查询记录"_s, recentPage));
    recentSide->addStretch();
    recentLayout->addLayout(recentSide);

    auto* favouritesPage = new QWidget(m_history);
    auto* favouritesLayout = new QHBoxLayout(favouritesPage);
    favouritesLayout->addWidget(m_favourites.view, 1);
    auto* favouritesSide = new QVBoxLayout;
    favouritesSide->addWidget(hintLabel(u"软件保留收藏关键词组合每天查询的排名信息，\n"
                                        "点击每条收藏，可浏览该组合的历史查询数据。"_s,
                                        favouritesPage));
    favouritesSide->addWidget(pendingButton(u"删除选中收藏"_s, favouritesPage));
    favouritesSide->addStretch();
    favouritesLayout->addLayout(favouritesSide);

    m_history->addTab(recentPage, u"最近查询"_s);
    m_history->addTab(favouritesPage, u"我的收藏"_s);

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
}

QWidget* RankTab::listFrame(const QString& title, const ReportList& list)
{
    auto* frame = new QGroupBox(title, this);
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(list.view, 1);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    for (const QString& caption : {u"全选"_s, u"导入"_s, u"导出"_s, u"添加"_s, u"删除"_s}) {
        QPushButton* button = pendingButton(caption, frame);
        button->setMinimumWidth(20);
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);
    return frame;
}

void RankTab::fillDepthChoices()
{
    m_depth->clear();
    m_depth->addItem(u"10"_s, 1);
    m_depth->addItem(u"20"_s, 2);
    m_depth->addItem(u"50"_s, 5);
    m_depth->setCurrentIndex(0);
}

void RankTab::fillEngines()
{
    m_engines.clear();
    for (const SearchEngine engine : AllSearchEngines) {
        const QString name = engineDisplayName(engine);
        const auto items = m_engines.appendRow({name}, true);
        items.first()->setIcon(engineIcon(engineKey(engine)));
        items.first()->setData(name, Qt::UserRole); // the tag: the engine's text
    }
}

} // namespace marbleway
