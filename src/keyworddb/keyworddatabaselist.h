#pragma once

#include "keyworddb/keywordstore.h"
#include "lists/rowmodel.h"

#include <QObject>

namespace marbleway {

// The keyword database tab's list: every stored keyword in the full copy, the
// visible list over it.
class KeywordDatabaseList : public QObject {
    Q_OBJECT
public:
    explicit KeywordDatabaseList(KeywordStore& store, QObject* parent = nullptr);

    RowModel* rows() { return &m_rows; }
    VisibleRows* list() { return &m_visible; }
    bool isLoaded() const { return m_loaded; }

    // Reads every row of the store, newest first ("刷新数据库").
    void load();

    static const QStringList Columns;

private:
    KeywordStore* m_store;
    RowModel m_rows;
    VisibleRows m_visible;
    bool m_loaded = false;
};

} // namespace marbleway
