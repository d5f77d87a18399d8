#include "app/resourcestab.h"

#include "app/language.h"
#include "app/pagewidgets.h"
#include "app/reportlist.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

namespace marbleway {

using namespace Qt::StringLiterals;

ResourcesTab::ResourcesTab(ResourceSearch& search, ResourceLibrary& library, StatusPanels& panels,
                           QWidget* parent)
    : QWidget(parent)
    , m_search(&search)
    , m_library(&library)
    , m_panels(&panels)
    , m_categories(makeListView(this, u"categoryList"_s, library.categories(), false, {165, 45}))
    , m_type(new QComboBox(this))
    , m_start(new QPushButton(tr("开始搜索"), this))
    , m_resources(makeListView(this, u"resourceList"_s, library.list(), false, {200, 240, 40}))
{
    m_type->setObjectName(u"resourceType"_s);
    connect(m_categories, &QTreeView::clicked, this,
            [this](const QModelIndex& index) { m_library->chooseCategory(index.row()); });
    connect(&library, &ResourceLibrary::categoryChanged, this, &ResourcesTab::showTypes);
    connect(m_type, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_library->setTypeIndex(index); });
    connect(m_start, &QPushButton::clicked, this, [this] { m_search->click(); });
    connect(&search.control(), &JobControl::changed, this, [this] {
        m_start->setText(m_search->control().caption());
        m_start->setEnabled(m_search->control().isEnabled());
    });
    connect(m_resources->header(), &QHeaderView::sectionClicked, this, &ResourcesTab::sortByColumn);
    connect(m_resources, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) {
        const QString address = index.siblingAtColumn(1).data().toString();
        QDesktopServices::openUrl(QUrl(resourceAddress(address), QUrl::TolerantMode));
    });

    auto* frame = new QGroupBox(tr("资源分类"), this);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(m_categories, 1);
    auto* typeRow = new QHBoxLayout;
    typeRow->addWidget(new QLabel(tr("分类过滤："), frame));
    typeRow->addWidget(m_type, 1);
    frameLayout->addLayout(typeRow);
    frameLayout->addWidget(m_start);
    frameLayout->addWidget(hintLabel(
        tr("勾选一个资源分类后点击“开始搜索”，软件将逐页读取该分类下可以添加外链的网站。"), frame));

    auto* right = new QWidget(this);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(m_resources, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    m_export = addExportButtons(buttons, tr("保存至"));
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

void ResourcesTab::showTypes()
{
    const QSignalBlocker quiet(m_type);
    m_type->clear();
    for (const QString& type : m_library->types())
        m_type->addItem(translated("ResourceLibrary", type));
    m_type->setCurrentIndex(m_library->typeIndex());
}

void ResourcesTab::sortByColumn(int column)
{
    if (m_panels->isBusy() || column < 0 || column >= m_library->resources()->columnCount())
        return;
    m_order = m_order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    m_library->list()->sortBy(column, m_order);
}

} // namespace marbleway
