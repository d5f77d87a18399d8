#pragma once

#include "app/pagewidgets.h"
#include "resources/resourcelibrary.h"
#include "resources/resourcesearch.h"

#include <QWidget>

class QComboBox;
class QPushButton;
class QTreeView;

namespace marbleway {

// Tab "外链资源库": the built-in resource categories and the resources of the
// chosen one, paged in from the maker's resource list service.
class ResourcesTab : public QWidget {
    Q_OBJECT
public:
    ResourcesTab(ResourceSearch& search, ResourceLibrary& library, StatusPanels& panels,
                 QWidget* parent = nullptr);

    ResourceLibrary& library() const { return *m_library; }
    QTreeView* categoriesView() const { return m_categories; }
    QTreeView* resourcesView() const { return m_resources; }
    QComboBox* typeChoice() const { return m_type; }
    QPushButton* startButton() const { return m_start; }
    const ExportButtons& exportButtons() const { return m_export; }

private:
    void showTypes();
    void sortByColumn(int column);

    ResourceSearch* m_search;
    ResourceLibrary* m_library;
    StatusPanels* m_panels;
    QTreeView* m_categories;
    QComboBox* m_type;
    QPushButton* m_start;
    QTreeView* m_resources;
    ExportButtons m_export;
    Qt::SortOrder m_order = Qt::AscendingOrder;
};

} // namespace marbleway
