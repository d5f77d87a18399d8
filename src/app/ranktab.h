#pragma once

#include "app/pagewidgets.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QPushButton;
class QTabWidget;
class QTreeView;

namespace marbleway {

class HistoryChartDialog;

class RankTabController;

// Tab "关键词排名查询": sites, keywords and engines to check, the depth and
// mode, the rank results, the recent queries and the favourites. Binds the
// controller's models and actions to widgets.
class RankTab : public QWidget {
    Q_OBJECT
public:
    explicit RankTab(RankTabController& controller, QWidget* parent = nullptr);

    RankTabController& controller() const { return *m_controller; }
    QTreeView* sitesView() const { return m_sites; }
    QTreeView* keywordsView() const { return m_keywords; }
    QTreeView* enginesView() const { return m_engines; }
    QTreeView* resultsView() const { return m_results; }
    QTreeView* recentView() const { return m_recent; }
    QTreeView* favouritesView() const { return m_favourites; }
    // "排名走势图": the chart of the selected favourite's history; null when
    // none is selected.
    HistoryChartDialog* showHistoryChart();
    QComboBox* depthBox() const { return m_depth; }
    QCheckBox* allPositionsBox() const { return m_allPositions; }
    QComboBox* modeBox() const { return m_mode; }
    QPushButton* startButton() const { return m_start; }
    QTabWidget* historyStrip() const { return m_history; }
    // A button by its caption in the sites' ("网站") or keywords' ("关键词") row.
    QPushButton* listButton(const QString& list, const QString& caption) const;

    // "10", "20", "50" with the depth in result pages (1, 2, 5) as item data.
    void fillDepthChoices();

    const ExportButtons& exportButtons() const { return m_export; }

private:
    // Titles and captions are source texts (QT_TR_NOOP): the object names keep them.
    QWidget* listFrame(const char* title, QTreeView* view, int list);
    QWidget* historyPage(QTreeView* view, const QString& note,
                         std::initializer_list<const char*> buttons);
    void showChoices();
    void openResult(const QModelIndex& index);

    RankTabController* m_controller;
    QTreeView* m_sites;
    QTreeView* m_keywords;
    QTreeView* m_engines;
    QComboBox* m_depth;
    QCheckBox* m_allPositions;
    QComboBox* m_mode;
    QPushButton* m_start;
    QTreeView* m_results;
    QTabWidget* m_history;
    QTreeView* m_recent;
    QTreeView* m_favourites;
    ExportButtons m_export;
};

} // namespace marbleway
