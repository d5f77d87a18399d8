#pragma once

#include "core/jobstatus.h"
#include "core/prompts.h"
#include "resources/resourcelibrary.h"
#include "web/endpoints.h"
#include "web/webclient.h"

#include <qcoro/qcorotask.h>

namespace marbleway {

// The backlink resource search: pages through the maker's resource list
// service for the chosen category and appends every resource to the library's
// list. Stoppable; a stopped search resumes at the page and row it stopped at.
class ResourceSearch : public Job {
    Q_OBJECT
public:
    struct Services {
        const WebClient& web;
        const Endpoints& endpoints;
        Prompts& prompts;
        StatusPanels& panels;
    };

    ResourceSearch(Services services, ResourceLibrary& library, QObject* parent = nullptr);

    JobControl& control() { return m_control; }
    // Where the search stands: the page being read (from 1) and the row in it.
    int page() const { return m_page; }
    int row() const { return m_row; }

    // The tab was shown: the categories are there, and a search starts (or a
    // stopped one resumes) at page 1, row 0.
    void tabShown();
    // The next start goes on from this page and row of the ticked category.
    void resumeAt(int page, int row);
    // Pages of the last search that came back empty.
    int emptyPages() const { return m_empty; }

    // "开始搜索" / "停止搜索". The search keeps its own task.
    void click();
    // The same, for callers that wait for the search to stop.
    QCoro::Task<> run();

    // The address of one page of a category's list; `type` is left out when empty.
    static QString listAddress(const Endpoints& endpoints, int category, const QString& type,
                               int page);
    // The resources of one answer: rows end with "<br>", fields are split at
    // "~" (name, address, PageRank, remark); missing fields are empty.
    static QList<QStringList> readRows(const QString& answer);

    static constexpr int TryTime = 10;
    // Empty answers a search puts up with before it ends.
    static constexpr int EmptyPagesAllowed = 2;

Q_SIGNALS:
    // The search moved to another page or row.
    void positionChanged(int page, int row);

private:
    QCoro::Task<> QueryLinkRes();
    void finishPaused();
    void setPosition(int page, int row);

    Services m_services;
    ResourceLibrary* m_library;
    JobControl m_control;
    std::unique_ptr<WebClient> m_web; // its own: a stop drops only its requests
    int m_page = 1;
    int m_row = 0;
    int m_category = 0; // of the last search; 0 before the first
    bool m_paused = false;
    int m_empty = 0;
};

// The address to open for a resource: one "http://" in front.
QString resourceAddress(const QString& listed);

} // namespace marbleway
