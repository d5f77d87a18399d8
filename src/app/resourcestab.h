#pragma once

#include "resources/resourcelibrary.h"

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
    explicit ResourcesTab(ResourceLibrary& library, QWidget* parent = nullptr);

    ResourceLibrary& library() const { return *m_library; }
    QTreeView* categoriesView() const { return m_categories; }
    QTreeView* resourcesView() const { return m_resources; }
    QComboBox* typeChoice() const { return m_type; }
    QPushButton* startButton() const { return m_start; }

    // Fills the category list with the built-in categories when it is empty.
    void ensureCategories();

private:
    ResourceLibrary* m_library;
    QTreeView* m_categories;
    QComboBox* m_type;
    QPushButton* m_start;
    QTreeView* m_resources;
};

} // namespace marbleway
