#pragma once

#include "lists/rowmodel.h"

#include <QObject>

namespace marbleway {

// The backlink resource library's lists: the categories and the resources of
// the chosen one. The tab shows them.
class ResourceLibrary : public QObject {
    Q_OBJECT
public:
    explicit ResourceLibrary(QObject* parent = nullptr);

    RowModel* categories() { return &m_categories; }
    RowModel* resources() { return &m_resources; }

    // The three built-in categories, once.
    void ensureCategories();

private:
    RowModel m_categories;
    RowModel m_resources;
};

} // namespace marbleway
