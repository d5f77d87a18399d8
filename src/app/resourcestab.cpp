#include "app/resourcestab.h"

#include "app/pagewidgets.h"
#include "app/reportlist.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTreeView>
#include <QVBoxLayout>

namespace marbleway {

using namespace Qt::StringLiterals;

ResourcesTab::ResourcesTab(ResourceLibrary& library, QWidget* parent)
    : QWidget(parent)
    , m_library(&library)
    , m_categories(makeListView(this, u"categoryList"_s, library.categories(), false, {165, 45}))
    , m_type(new QComboBox(this))
    , m_start(pendingButton(u"开始搜索"_s, this))
    , m_resources(makeListView(this, u"resourceList"_s, library.resources(), false, {200, 240, 40}))
{

    auto* frame = new QGroupBox(u"资源分类"_s, this);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(m_categories, 1);
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
    rightLayout->addWidget(m_resources, 1);
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
    m_library->ensureCategories();
}

} // namespace marbleway
