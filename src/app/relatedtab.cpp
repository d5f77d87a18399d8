#include "app/relatedtab.h"

#include "app/language.h"
#include "app/reportlist.h"
#include "research/baidurequery.h"
#include "research/relatedsearch.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

namespace marbleway {

using namespace Qt::StringLiterals;

RelatedTab::RelatedTab(RelatedSearch& search, BaiduRequery& baidu, QWidget* parent)
    : QWidget(parent)
    , m_search(&search)
    , m_baidu(&baidu)
    , m_keyword(new QLineEdit(this))
    , m_exclude(new QCheckBox(tr("相关关键词中不包含以下关键词："), this))
    , m_excludeWords(new QLineEdit(this))
    , m_start(new QPushButton(tr("开始查询"), this))
    , m_delete(new QPushButton(tr("删除关键词"), this))
    , m_addToDatabase(new QPushButton(tr("加入关键词数据库"), this))
    , m_results(makeListView(this, u"relatedList"_s, search.list(), false, {260}))
    , m_filter(new FilterFrame(tr("相关关键词中："), this))
{
    m_keyword->setObjectName(u"seedKeyword"_s);
    m_keyword->setPlaceholderText(tr("输入要挖掘的关键词，例如 seo tools"));
    for (int i = 0; i < RelatedOptions::Count; ++i) {
        auto* box =
            new QCheckBox(translated("RelatedOptions", RelatedOptions::Captions.at(i)), this);
        m_options[size_t(i)] = box;
        connect(box, &QCheckBox::toggled, this, &RelatedTab::optionsChanged);
    }

    auto* settings = new QGroupBox(tr("检测设置"), this);
    auto* grid = new QGridLayout(settings);
    grid->addWidget(new QLabel(tr("关键词："), settings), 0, 0);
    grid->addWidget(m_keyword, 0, 1, 1, 3);
    grid->addWidget(m_start, 0, 4);
    grid->addWidget(optionBox(RelatedOptions::MustContain), 1, 0, 1, 2);
    grid->addWidget(m_exclude, 1, 2);
    auto* words = new QHBoxLayout;
    words->addWidget(m_excludeWords, 1);
    words->addWidget(new QLabel(tr("（多个词间用|分开）"), settings));
    grid->addLayout(words, 1, 3, 1, 2);
    grid->addWidget(optionBox(RelatedOptions::GoogleCounts), 2, 0, 1, 2);
    grid->addWidget(optionBox(RelatedOptions::YahooCounts), 2, 2);
    grid->addWidget(optionBox(RelatedOptions::BingCounts), 2, 3);
    grid->addWidget(optionBox(RelatedOptions::StoreAtOnce), 2, 4);
    grid->setColumnStretch(3, 1);

    // Beside the list: the filter and what the Baidu optimisation index means.
    auto* side = new QWidget(this);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addWidget(m_filter);
    auto* indexNote = new QGroupBox(tr("百度优化指数"), side);
    auto* baiduLayout = new QVBoxLayout(indexNote);
    baiduLayout->addWidget(
        hintLabel(tr("“优化指数”是指关键词的搜索量x10000/"
                     "关键词的百度收录网页量，“优化指数”从一定意义上反应了一组相关"
                     "关键词之间的优化难易程度的对比（越大越易）。需要更精确的分析，请使用软件的“关"
                     "键词竞争度分析”功能。"),
                  indexNote));
    sideLayout->addWidget(indexNote);
    sideLayout->addStretch();

    QSplitter* splitter = listBesidePanel(m_results, side, this);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_delete);
    buttons->addWidget(m_addToDatabase);
    buttons->addStretch();
    m_export = addExportButtons(buttons, tr("导出至"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(settings);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);
    m_results->setToolTip(tr("种子关键词以粗体显示；点击列标题可排序"));

    // Inputs are read afresh for every candidate: keep the search's copy current.
    applyOptions(search.inputs().options);
    connect(&search, &RelatedSearch::optionsChanged, this,
            [this] { applyOptions(m_search->inputs().options); });
    connect(m_keyword, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_search->setSeedText(text); });
    connect(this, &RelatedTab::optionsChanged, this, [this] { m_search->setOptions(options()); });
    connect(m_exclude, &QCheckBox::toggled, this,
            [this](bool on) { m_search->inputs().exclude = on; });
    connect(m_excludeWords, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_search->inputs().excludeWords = text; });

    JobControl& control = search.control();
    connect(&control, &JobControl::changed, this, [this] {
        m_start->setText(m_search->control().caption());
        m_start->setEnabled(m_search->control().isEnabled());
    });
    connect(m_start, &QPushButton::clicked, this, [this] { m_search->click(); });
    // Enter in the keyword box starts the search, as the button would.
    connect(m_keyword, &QLineEdit::returnPressed, m_start, [this] {
        if (m_start->isEnabled() && m_search->control().isIdle())
            m_start->click();
    });
    connect(m_delete, &QPushButton::clicked, this, [this] { m_search->deleteChecked(); });
    deleteKeyPresses(m_results, m_delete);
    connect(m_addToDatabase, &QPushButton::clicked, this,
            [this] { m_search->addCheckedToDatabase(); });
    connect(&search, &RelatedSearch::filterEnabledChanged, m_filter, &QWidget::setEnabled);
    connect(m_filter->filterButton(), &QPushButton::clicked, this,
            [this] { m_search->filter(m_filter->criteria()); });
    connect(m_filter->restoreButton(), &QPushButton::clicked, this,
            [this] { m_search->filter(std::nullopt); });
    connect(m_results->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { m_search->sortByColumn(column); });

    // The Baidu figures' columns show once a re-query fills one.
    for (int column = BaiduRequery::FirstColumn; column < RelatedSearch::Columns.size(); ++column)
        m_results->setColumnHidden(column, true);
    connect(&baidu, &BaiduRequery::figuresShown, this, [this] {
        for (int column = BaiduRequery::FirstColumn; column < RelatedSearch::Columns.size();
             ++column)
            m_results->setColumnHidden(column, false);
    });
    m_results->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_results, &QWidget::customContextMenuRequested, this, &RelatedTab::showMenu);
}

void RelatedTab::showMenu(const QPoint& position)
{
    if (!m_baidu->menuAllowed())
        return;
    const QModelIndex current = m_results->currentIndex();
    const VisibleRows& visible = *m_search->list();
    const int source = current.isValid() ? visible.sourceRow(current.row()) : -1;
    const RowId row = source >= 0 ? m_search->rows()->idAt(source) : RowId();
    const QString keyword = source >= 0 ? m_search->rows()->text(source) : QString();
    auto* menu = new QMenu(tr("菜单"), this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    connect(menu->addAction(tr("重查当前项")), &QAction::triggered, this, [this, row, keyword] {
        if (!keyword.isEmpty())
            m_baidu->requery(row);
    });
    connect(menu->addAction(tr("查看百度指数")), &QAction::triggered, this, [this, keyword] {
        if (!keyword.isEmpty())
            QDesktopServices::openUrl(QUrl(m_baidu->indexPage(keyword)));
    });
    connect(menu->addAction(tr("查看百度收录")), &QAction::triggered, this, [this, keyword] {
        if (!keyword.isEmpty())
            QDesktopServices::openUrl(QUrl(m_baidu->searchPage(keyword)));
    });
    // The ticked rows leave the list; the full copy keeps them.
    connect(menu->addAction(tr("删除选中项")), &QAction::triggered, this,
            [this] { m_search->list()->hideChecked(); });
    menu->popup(m_results->viewport()->mapToGlobal(position));
}

RelatedOptions RelatedTab::options() const
{
    RelatedOptions options;
    for (int i = 0; i < RelatedOptions::Count; ++i)
        options.checked[size_t(i)] = m_options[size_t(i)]->isChecked();
    return options;
}

void RelatedTab::applyOptions(const RelatedOptions& options)
{
    for (int i = 0; i < RelatedOptions::Count; ++i) {
        const QSignalBlocker quiet(m_options[size_t(i)]);
        m_options[size_t(i)]->setChecked(options.checked[size_t(i)]);
    }
}

} // namespace marbleway
