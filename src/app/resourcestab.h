#pragma once

#include "app/reportlist.h"

#include <QWidget>

class QComboBox;
class QPushButton;

namespace marbleway {

// Tab "外链资源库": the built-in resource categories and the resources of the
// chosen one, paged in from the maker's resource list service.
class ResourcesTab : public QWidget {
    Q_OBJECT
public:
    explicit ResourcesTab(QWidget* parent = nullptr);

    const ReportList& categories() const { return m_categories; }
    const ReportList& resources() const { return m_resources; }
    QComboBox* typeChoice() const { return m_type; }
    QPushButton* startButton() const { return m_start; }

    // Fills the category list with the built-in categories when it is empty.
    void ensureCategories();

private:
    ReportList m_categories;
    QComboBox* m_type;
    QPushButton* m_start;
    ReportList m_resources;
};

} // namespace marbleway
