#pragma once

#include "app/pagewidgets.h"
#include "keyworddb/keyworddatabaselist.h"
#include "research/databaserefresh.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QPushButton;
class QTreeView;

namespace marbleway {

// Tab "关键词数据库": the stored keywords, their refresh from the engines,
// deletion and the filter.
class KeywordDbTab : public QWidget {
    Q_OBJECT
public:
    KeywordDbTab(KeywordDatabaseList& list, DatabaseRefresh& refresh, StatusPanels& panels,
                 QWidget* parent = nullptr);

    KeywordDatabaseList& list() const { return *m_list; }
    QTreeView* listView() const { return m_view; }
    FilterFrame* filterFrame() const { return m_filter; }
    QPushButton* refreshButton() const { return m_refresh; }
    QPushButton* deleteButton() const { return m_delete; }
    QPushButton* updateButton() const { return m_update; }
    QCheckBox* updateBox(int engine) const { return m_updateBoxes[size_t(engine)]; }

    const ExportButtons& exportButtons() const { return m_export; }

private:
    void sortByColumn(int column);

    KeywordDatabaseList* m_list;
    DatabaseRefresh* m_refreshJob;
    StatusPanels* m_panels;
    QTreeView* m_view;
    FilterFrame* m_filter;
    QPushButton* m_refresh;
    QPushButton* m_delete;
    QPushButton* m_update;
    std::array<QCheckBox*, AllSearchEngines.size()> m_updateBoxes{};
    Qt::SortOrder m_order = Qt::AscendingOrder;
    ExportButtons m_export;
};

} // namespace marbleway
