#pragma once

#include "adwords/adwordsresults.h"
#include "app/pagewidgets.h"
#include "keyworddb/keyworddatabaselist.h"

#include <QWidget>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTreeView;

namespace marbleway {

class AdWordsTool;

// Tab "Adwords关键词查询": drives the keyword tool page in a browser (with its
// captcha) and copies the tool's result table into a list.
class AdWordsTab : public QWidget {
    Q_OBJECT
public:
    AdWordsTab(AdWordsResults& results, KeywordDatabaseList& database, QWidget* parent = nullptr);

    QLineEdit* keywordBox() const { return m_keyword; }
    QTreeView* resultsView() const { return m_results; }
    QPushButton* addToDatabaseButton() const { return m_addToDatabase; }
    const ExportButtons& exportButtons() const { return m_export; }
    QPushButton* startButton() const { return m_start; }
    QGroupBox* captchaPanel() const { return m_captcha; }
    QLineEdit* captchaBox() const { return m_captchaAnswer; }
    QPushButton* refreshButton() const { return m_refresh; }
    QGroupBox* usageFrame() const { return m_usage; }
    QGroupBox* operationsFrame() const { return m_operations; }

    QStackedWidget* browserArea() const { return m_browserArea; }

    // The frames "使用说明" and "相关操作" show only while this tab is selected.
    void setFramesVisible(bool visible);
    // Shows the tool's page and binds the controls to it; the first call
    // creates the browser.
    void attach(AdWordsTool* tool);
    // No browser can be made: says why where the page would be.
    void showUnavailable(const QString& reason);

private:
    void showTool();

    QLineEdit* m_keyword;
    QPushButton* m_addToDatabase;
    ExportButtons m_export;
    QPushButton* m_start;
    QGroupBox* m_captcha;
    QLineEdit* m_captchaAnswer;
    QPushButton* m_refresh;
    QStackedWidget* m_browserArea; // a note, the tool page, or the cover over it
    QWidget* m_cover;
    QWidget* m_view = nullptr;
    AdWordsTool* m_tool = nullptr;
    QTreeView* m_results;
    QGroupBox* m_usage;
    QGroupBox* m_operations;
};

} // namespace marbleway
