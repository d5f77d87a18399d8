#include "app/relatedtab.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTreeView>
#include <QVBoxLayout>

namespace marbleway {

using namespace Qt::StringLiterals;

RelatedTab::RelatedTab(QWidget* parent)
    : QWidget(parent)
    , m_keyword(new QLineEdit(this))
    , m_exclude(new QCheckBox(u"相关关键词中不包含以下关键词："_s, this))
    , m_excludeWords(new QLineEdit(this))
    , m_start(pendingButton(u"开始查询"_s, this))
    , m_results(makeReportList(
          this, u"relatedList"_s,
          {u"相关关键词"_s, u"Google.com收录"_s, u"Yahoo.com收录"_s, u"Bing.com收录数"_s}))
    , m_filter(new FilterFrame(u"相关关键词中："_s, this))
{
    m_keyword->setObjectName(u"seedKeyword"_s);
    m_keyword->setPlaceholderText(u"输入要挖掘的关键词，例如 seo tools"_s);
    for (int i = 0; i < RelatedOptions::Count; ++i) {
        auto* box = new QCheckBox(RelatedOptions::Captions.at(i), this);
        m_options[size_t(i)] = box;
        connect(box, &QCheckBox::toggled, this, &RelatedTab::optionsChanged);
    }

    auto* settings = new QGroupBox(u"检测设置"_s, this);
    auto* grid = new QGridLayout(settings);
    grid->addWidget(new QLabel(u"关键词："_s, settings), 0, 0);
    grid->addWidget(m_keyword, 0, 1, 1, 3);
    grid->addWidget(m_start, 0, 4);
    grid->addWidget(optionBox(RelatedOptions::MustContain), 1, 0, 1, 2);
    grid->addWidget(m_exclude, 1, 2);
    auto* words = new QHBoxLayout;
    words->addWidget(m_excludeWords, 1);
    words->addWidget(new QLabel(u"（多个词间用|分开）"_s, settings));
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
    auto* baidu = new QGroupBox(u"百度优化指数"_s, side);
    auto* baiduLayout = new QVBoxLayout(baidu);
    baiduLayout->addWidget(hintLabel(
        u"“优化指数”是指关键词的搜索量x10000/关键词的百度收录网页量，“优化指数”从一定意义上反应了一组相关"_s
        u"关键词之间的优化难易程度的对比（越大越易）。需要更精确的分析，请使用软件的“关键词竞争度分析”功能。"_s,
        baidu));
    sideLayout->addWidget(baidu);
    sideLayout->addStretch();

    auto* splitter = new QSplitter(this);
    splitter->addWidget(m_results.view);
    splitter->addWidget(side);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    splitter->setChildrenCollapsible(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(pendingButton(u"删除关键词"_s, this));
    buttons->addWidget(pendingButton(u"加入关键词数据库"_s, this));
    buttons->addStretch();
    addExportButtons(buttons, u"导出至"_s);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(settings);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);
    m_results.view->setToolTip(u"种子关键词以粗体显示"_s);
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
    for (int i = 0; i < RelatedOptions::Count; ++i)
        m_options[size_t(i)]->setChecked(options.checked[size_t(i)]);
}

} // namespace marbleway
