#pragma once

#include "app/pagewidgets.h"
#include "app/reportlist.h"
#include "keyworddb/keywordstore.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QPushButton;

namespace marbleway {

// Tab "关键词数据库": the stored keywords, their refresh from the engines,
// deletion and the filter.
class KeywordDbTab : public QWidget {
    Q_OBJECT
public:
    explicit KeywordDbTab(QWidget* parent = nullptr);

    const ReportList& list() const { return m_list; }
    FilterFrame* filterFrame() const { return m_filter; }
    QPushButton* refreshButton() const { return m_refresh; }
    QPushButton* updateButton() const { return m_update; }
    QCheckBox* updateBox(int engine) const { return m_updateBoxes[size_t(engine)]; }

    // Replaces the list with these rows (newest first, as the store gives them).
    void showRecords(const QList<KeywordRecord>& records);

Q_SIGNALS:
    void refreshRequested();

private:
    ReportList m_list;
    FilterFrame* m_filter;
    QPushButton* m_refresh;
    QPushButton* m_update;
    std::array<QCheckBox*, 3> m_updateBoxes{};
};

} // namespace marbleway
