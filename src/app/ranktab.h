#pragma once

#include "app/reportlist.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QPushButton;
class QTabWidget;

namespace marbleway {

// Tab "关键词排名查询": sites, keywords and engines to check, the depth and
// mode, the rank results, the recent queries and the favourites.
class RankTab : public QWidget {
    Q_OBJECT
public:
    explicit RankTab(QWidget* parent = nullptr);

    const ReportList& sites() const { return m_sites; }
    const ReportList& keywords() const { return m_keywords; }
    const ReportList& engines() const { return m_engines; }
    QComboBox* depthBox() const { return m_depth; }
    QCheckBox* allPositionsBox() const { return m_allPositions; }
    QComboBox* modeBox() const { return m_mode; }
    QPushButton* startButton() const { return m_start; }
    const ReportList& results() const { return m_results; }
    const ReportList& recentQueries() const { return m_recent; }
    const ReportList& favourites() const { return m_favourites; }
    QTabWidget* historyStrip() const { return m_history; }

    // "10", "20", "50" with the depth in result pages (1, 2, 5) as item data.
    void fillDepthChoices();
    // The three engines, checkable, each with its picture; none checked.
    void fillEngines();

private:
    QWidget* listFrame(const QString& title, const ReportList& list);

    ReportList m_sites;
    ReportList m_keywords;
    ReportList m_engines;
    QComboBox* m_depth;
    QCheckBox* m_allPositions;
    QComboBox* m_mode;
    QPushButton* m_start;
    ReportList m_results;
    QTabWidget* m_history;
    ReportList m_recent;
    ReportList m_favourites;
};

} // namespace marbleway
