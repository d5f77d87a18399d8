#pragma once

#include "app/pagewidgets.h"
#include "research/relatedoptions.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace marbleway {

class BaiduRequery;
class RelatedSearch;

// Tab "相关关键词查询": a seed keyword, the search options, the related
// keyword list with its filter and the Baidu figures' explanation. Binds the
// search's list and inputs to widgets.
class RelatedTab : public QWidget {
    Q_OBJECT
public:
    RelatedTab(RelatedSearch& search, BaiduRequery& baidu, QWidget* parent = nullptr);

    RelatedSearch& search() const { return *m_search; }
    QLineEdit* keywordBox() const { return m_keyword; }
    QCheckBox* optionBox(RelatedOptions::Option option) const { return m_options[size_t(option)]; }
    QCheckBox* excludeBox() const { return m_exclude; }
    QLineEdit* excludeWords() const { return m_excludeWords; }
    QPushButton* startButton() const { return m_start; }
    QPushButton* deleteButton() const { return m_delete; }
    QPushButton* addToDatabaseButton() const { return m_addToDatabase; }
    QTreeView* resultsView() const { return m_results; }
    FilterFrame* filterFrame() const { return m_filter; }
    const ExportButtons& exportButtons() const { return m_export; }

    RelatedOptions options() const;
    void applyOptions(const RelatedOptions& options);

Q_SIGNALS:
    // One of the five stored option boxes changed.
    void optionsChanged();

private:
    // The list's pop-up menu: "重查当前项", "查看百度指数", "查看百度收录", "删除选中项".
    void showMenu(const QPoint& position);

    RelatedSearch* m_search;
    BaiduRequery* m_baidu;
    QLineEdit* m_keyword;
    std::array<QCheckBox*, RelatedOptions::Count> m_options{};
    QCheckBox* m_exclude;
    QLineEdit* m_excludeWords;
    QPushButton* m_start;
    QPushButton* m_delete;
    QPushButton* m_addToDatabase;
    QTreeView* m_results;
    FilterFrame* m_filter;
    ExportButtons m_export;
};

} // namespace marbleway
