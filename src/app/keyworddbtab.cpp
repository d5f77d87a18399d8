#include "app/keyworddbtab.h"

#include "app/reportlist.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTreeView>
#include <QVBoxLayout>

namespace marbleway {

using namespace Qt::StringLiterals;

KeywordDbTab::KeywordDbTab(KeywordDatabaseList& list, DatabaseRefresh& refresh,
                           StatusPanels& panels, QWidget* parent)
    : QWidget(parent)
    , m_list(&list)
    , m_refreshJob(&refresh)
    , m_panels(&panels)
    , m_view(makeListView(this, u"keywordDbList"_s, list.list(), false, {170, 110, 110, 110, 110}))
    , m_filter(new FilterFrame(tr("关键词中："), this))
    , m_refresh(new QPushButton(tr("刷新数据库"), this))
    , m_delete(new QPushButton(tr("删除关键词"), this))
    , m_update(new QPushButton(tr("开始更新"), this))
{
    connect(m_refresh, &QPushButton::clicked, this, [this] { m_list->load(); });
    connect(m_delete, &QPushButton::clicked, this, [this] { m_list->deleteChecked(); });
    deleteKeyPresses(m_view, m_delete);
    connect(m_filter->filterButton(), &QPushButton::clicked, this,
            [this] { m_list->filter(m_filter->criteria()); });
    connect(m_filter->restoreButton(), &QPushButton::clicked, this, [this] { m_list->restore(); });
    connect(&refresh, &DatabaseRefresh::filterEnabledChanged, m_filter, &QWidget::setEnabled);
    connect(m_update, &QPushButton::clicked, this, [this] { m_refreshJob->click(); });
    // A reload would take the refresh's rows away from under it.
    connect(&refresh, &Job::runningChanged, m_refresh,
            [this](bool running) { m_refresh->setEnabled(!running); });
    connect(&refresh.control(), &JobControl::changed, this, [this] {
        m_update->setText(m_refreshJob->control().caption());
        m_update->setEnabled(m_refreshJob->control().isEnabled());
    });
    connect(m_view->header(), &QHeaderView::sectionClicked, this, &KeywordDbTab::sortByColumn);

    auto* update = new QGroupBox(tr("更新收录量"), this);
    auto* updateLayout = new QVBoxLayout(update);
    for (const SearchEngine engine : AllSearchEngines) {
        auto* box = new QCheckBox(tr("更新%1收录量").arg(engineDisplayName(engine)), update);
        m_updateBoxes[size_t(engine)] = box;
        connect(box, &QCheckBox::toggled, this,
                [this, engine](bool on) { m_refreshJob->setEngine(engine, on); });
        updateLayout->addWidget(box);
    }
    updateLayout->addWidget(m_update);

    auto* side = new QWidget(this);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addWidget(update);
    sideLayout->addWidget(m_filter);
    sideLayout->addStretch();

    QSplitter* splitter = listBesidePanel(m_view, side, this);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_delete);
    buttons->addWidget(m_refresh);
    buttons->addStretch();
    m_export = addExportButtons(buttons, tr("导出至"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        hintLabel(tr("你可以将使用本软件时查询到的有用关键词批量保存到“关键词数据库”中，"
                     "以作长期的研究和观察。"),
                  this));
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);
}

void KeywordDbTab::sortByColumn(int column)
{
    // Only a running job stops a sort here; "正在停止..." does not. The
    // refresh counts too when another job's pause has changed the panel.
    if (m_panels->text(1) == StatusPanels::Running || m_refreshJob->isRunning() || column < 0 ||
        column >= KeywordDatabaseList::Columns.size())
        return;
    m_order = m_order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    m_list->list()->sortBy(column, m_order);
}

} // namespace marbleway
