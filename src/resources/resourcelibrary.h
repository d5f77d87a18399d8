#pragma once

#include "lists/rowmodel.h"

#include <QObject>

namespace marbleway {

// The backlink resource library's lists: the categories, one ticked at a time,
// the second-level types of the ticked one, and the resources found.
class ResourceLibrary : public QObject {
    Q_OBJECT
public:
    explicit ResourceLibrary(QObject* parent = nullptr);

    RowModel* categories() { return &m_categories; }
    RowModel* resources() { return &m_resources; }
    // The resource list as shown (sorted on request).
    VisibleRows* list() { return &m_visible; }

    // The three built-in categories, once.
    void ensureCategories();

    // A click on a category row: it alone is ticked.
    void chooseCategory(int row);
    // The ticked category's number (its row + 6), 0 when none is ticked.
    int category() const;
    static int lastPage(int category);

    // The second-level types of the ticked category ("选择二级类别" first),
    // and the one chosen; type() is empty for the first entry or none.
    const QStringList& types() const { return m_types; }
    void setTypeIndex(int index) { m_typeIndex = index; }
    int typeIndex() const { return m_typeIndex; }
    QString type() const;

    static const QStringList DirectoryTypes;

Q_SIGNALS:
    // Another category is ticked (or none); the types changed with it.
    void categoryChanged();

private:
    void checkToggled(RowId id, bool checked);
    void fillTypes();

    RowModel m_categories;
    RowModel m_resources;
    VisibleRows m_visible;
    QStringList m_types;
    int m_typeIndex = -1;
    bool m_choosing = false;
};

} // namespace marbleway
