#include "app/resourcestab.h"

#include "app/pagewidgets.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QStandardItem>
#include <QTreeView>
#include <QVBoxLayout>

namespace marbleway {

using namespace Qt::StringLiterals;

ResourcesTab::ResourcesTab(QWidget* parent)
    : QWidget(parent)
    , m_categories(
          makeReportList(this, u"categoryList"_s, {u"分类名称"_s, u"语言"_s, u"资源数量"_s}))
    , m_type(new QComboBox(this))
    , m_start(pendingButton(u"开始搜索"_s, this))
    , m_resources(makeReportList(this, u"resourceList"_s,
                                 {u"资源名称"_s, u"资源URL"_s, u"PR"_s, u"备注&说明"_s}))
{
    m_categories.view->setColumnWidth(0, 165);
    m_categories.view->setColumnWidth(1, 45);
    m_resources.view->setColumnWidth(0, 200);
    m_resources.view->setColumnWidth(1, 240);
    m_resources.view->setColumnWidth(2, 40);

    auto* frame = new QGroupBox(u"资源分类"_s, this);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(m_categories.view, 1);
    auto* typeRow = new QHBoxLayout;
    typeRow->addWidget(new QLabel(u"分类过滤："_s, frame));
    typeRow->addWidget(m_type, 1);
    frameLayout->addLayout(typeRow);
    frameLayout->addWidget(m_start);
    frameLayout->addWidget(hintLabel(
        u"勾选一个资源分类后点击“开始搜索”，软件将逐页读取该分类下可以添加外链的网站。"_s, frame));

    auto* right = new QWidget(this);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(m_resources.view, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    addExportButtons(buttons, u"保存至"_s);
    rightLayout->addLayout(buttons);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(frame);
    splitter->addWidget(right);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 3);
    splitter->setChildrenCollapsible(false);
    splitter->setSizes({340, 820});

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter);
}

void ResourcesTab::ensureCategories()
{
    if (m_categories.rowCount() > 0)
        return;
    struct Category {
        QString name, language, count, tip;
    };
    const Category builtIn[] = {
        {u"Blog Service Provider"_s, u"英文"_s, u"38"_s, u"英文博客托管网站"_s},
        {u"Social Bookmarks"_s, u"英文"_s, u"155"_s, u"英文社会化书签"_s},
        {u"Web Directory"_s, u"英文"_s, u"7300"_s, u"英文网站目录"_s},
    };
    for (const Category& category : builtIn) {
        const auto items =
            m_categories.appendRow({category.name, category.language, category.count}, true);
        for (QStandardItem* item : items)
            item->setToolTip(category.tip);
    }
}

} // namespace marbleway
