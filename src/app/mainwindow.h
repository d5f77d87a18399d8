#pragma once

#include "app/feedbackdialog.h"
#include "app/pagewidgets.h"
#include "export/report.h"

#include <QMainWindow>
#include <QPointer>
#include <qcoro/qcorotask.h>

#include <array>

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QTabWidget;
class QTreeView;

namespace marbleway {

class AdWordsTab;
class Application;
class KeywordDbTab;
class RankTab;
class RelatedTab;
class ResourcesTab;

// The program's one window: five tabs, the menus, a three-panel status bar and
// a strip with the maker's page at the bottom.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    enum Tab {
        RelatedTabIndex,
        AdWordsTabIndex,
        ResourcesTabIndex,
        RankTabIndex,
        KeywordDbTabIndex
    };

    explicit MainWindow(Application& app, QWidget* parent = nullptr);
    ~MainWindow() override;

    RelatedTab* relatedTab() const { return m_related; }
    AdWordsTab* adWordsTab() const { return m_adWords; }
    ResourcesTab* resourcesTab() const { return m_resources; }
    RankTab* rankTab() const { return m_rank; }
    KeywordDbTab* keywordDbTab() const { return m_keywordDb; }
    QTabWidget* tabs() const { return m_tabs; }
    QAction* tabAction(int tab) const { return m_tabActions[size_t(tab)]; }

    // Start-up's steps on the window.
    void fillChoiceLists();
    void fillEngines();
    void markTab(int tab);
    void showReleasePage(const QString& url);

    void selectTab(int tab);
    // The size, place and splitters of the last session (settings group
    // "Window", beside the program's own keys); saved when the window closes.
    void restoreLayout();
    // A lasting note in the status bar about something that does not work.
    void showWarning(const QString& text);
    // A warning that no longer holds (a connection back) leaves the bar.
    void withdrawWarning(const QString& text);
    QString warnings() const;

    // "关于软件", "退出", "最小化", "恢复": what the tray icon pops up.
    QMenu* trayMenu() const { return m_trayMenu; }
    // "意见和建议", made on first use; null before.
    FeedbackDialog* feedbackDialog() const { return m_feedback; }
    void showFeedback();

Q_SIGNALS:
    // The window has agreed to close and is going.
    void closing();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Connects a list's export buttons: the list its view shows, as `kind`.
    void connectExports(const ExportButtons& buttons, QTreeView* view, ReportKind kind);
    void saveLayout();
    void buildMenus();
    QAction* addMakerLink(QMenu* menu, const QString& caption, const QString& path);
    // The crawl interval window; `blockedPage` takes the place of its Google
    // page, for the user to answer a captcha there.
    void openCrawlSettings(const QString& blockedPage = {});
    void buildStatusBar();
    void tabSelected(int tab);
    QCoro::Task<> askToClose();
    QCoro::Task<> showAbout();

    Application* m_app;
    QTabWidget* m_tabs;
    RelatedTab* m_related;
    AdWordsTab* m_adWords;
    ResourcesTab* m_resources;
    RankTab* m_rank;
    KeywordDbTab* m_keywordDb;
    QLabel* m_releaseStrip;
    std::array<QLabel*, 3> m_panels{};
    QLabel* m_warning;
    QProgressBar* m_progress;
    std::array<QAction*, 5> m_tabActions{};
    QMenu* m_trayMenu = nullptr;
    QPointer<FeedbackDialog> m_feedback;
    bool m_closeAgreed = false;
    bool m_asking = false;
};

} // namespace marbleway
