#pragma once

#include "core/jobstatus.h"
#include "lists/rowmodel.h"
#include "research/baidufigures.h"

#include <QObject>
#include <qcoro/qcorotask.h>

namespace marbleway {

class RelatedSearch;

// "重查当前项" on the related keyword list: the Baidu figures of one row, in
// four columns of their own after the page counts. The failure counter of the
// index lives as long as this object (the window).
class BaiduRequery : public Job {
    Q_OBJECT
public:
    struct Services {
        const WebClient& web;
        const Endpoints& endpoints;
        StatusPanels& panels;
        // GetBrowserHtml, when a browser is at hand.
        std::function<QCoro::Task<QString>(QString)> browserPage;
    };

    BaiduRequery(Services services, RelatedSearch& search, QObject* parent = nullptr);

    // The list's pop-up menu opens only on a list with rows while no job runs.
    bool menuAllowed() const;
    // Re-queries the row; the other jobs wait while it runs.
    QCoro::Task<> requery(RowId row);

    // The pages "查看百度指数" and "查看百度收录" open for the user.
    QString indexPage(const QString& keyword) const;
    QString searchPage(const QString& keyword) const;

    // The figures' columns in the related list: "搜索量-月均", "搜索量-昨日",
    // "百度收录数", "百度优化指数".
    static constexpr int FirstColumn = 4;
    static const QString Pending;

Q_SIGNALS:
    // The figures' columns hold something: the list shows them from now on.
    void figuresShown();

private:
    Services m_services;
    RelatedSearch* m_search;
    BaiduLookup m_lookup;
};

} // namespace marbleway
