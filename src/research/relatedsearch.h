#pragma once

#include "core/clock.h"
#include "core/datafolder.h"
#include "core/jobstatus.h"
#include "core/prompts.h"
#include "keyworddb/keywordstore.h"
#include "lists/resultfilter.h"
#include "lists/rowmodel.h"
#include "research/crawlpacer.h"
#include "research/relatedoptions.h"
#include "web/cxhtml.h"
#include "web/endpoints.h"
#include "web/webclient.h"

#include <QSet>
#include <qcoro/qcorotask.h>

#include <array>

namespace marbleway {

// What the related keyword search reads from the tab; read afresh for every
// candidate, so a change during a search applies from the next one on.
struct RelatedInputs {
    QString seedText; // the keyword box as typed
    RelatedOptions options;
    bool exclude = false; // "相关关键词中不包含以下关键词："
    QString excludeWords;
};

// The related keyword search: the related searches Yahoo, Google and Bing show
// for a seed, filtered by the user's word rules, each with the page counts the
// engines report, paced per engine; pausable and resumable.
class RelatedSearch : public Job {
    Q_OBJECT
public:
    struct Services {
        const WebClient& web;
        const Endpoints& endpoints;
        const Clock& clock;
        CrawlPacer& pacer;
        KeywordStore& store;
        Prompts& prompts;
        StatusPanels& panels;
        DataFolder dataFolder;
    };

    explicit RelatedSearch(Services services, QObject* parent = nullptr);

    // The full list (the hidden copy) and the visible list over it.
    RowModel* rows() { return &m_rows; }
    VisibleRows* list() { return &m_visible; }
    RelatedInputs& inputs() { return m_inputs; }
    // The five stored options; optionsChanged() tells the tab and the settings.
    void setOptions(const RelatedOptions& options);
    JobControl& control() { return m_control; }
    const QString& lastSeed() const { return m_lastSeed; }

    // The keyword box changed: kept in "kws.txt" (unless it reads "qq"). The
    // result says whether that file was written.
    WriteResult setSeedText(const QString& text);

    // The start button: starts, pauses, or resumes a paused search of the same
    // seed. The search keeps its own task.
    void click();
    // The same, for callers that wait for the search to stop.
    QCoro::Task<> run();
    // "删除关键词": the checked rows leave the list (the full copy keeps them).
    QCoro::Task<> deleteChecked();
    // "加入关键词数据库": the checked rows not yet stored are stored.
    QCoro::Task<> addCheckedToDatabase();
    // "开始过滤" with a filter, "还原" without one.
    void filter(const std::optional<ResultFilter>& filter);
    // A click on a column header; nothing while a job is busy.
    void sortByColumn(int column);

    // Stores a row, or refreshes its stored row when that is from another day;
    // a row another program stored today takes the counts found.
    bool checkdb(RowId row);

    static const QStringList Columns;
    static constexpr std::array<int, 3> CountColumns = {1, 2, 3};

Q_SIGNALS:
    // A keyword's row is complete (counts included), in the order found.
    void keywordFound(RowId row);
    // The filter frame is usable only while no search runs.
    void filterEnabledChanged(bool enabled);
    void optionsChanged();

private:
    QCoro::Task<bool> runPass(SearchEngine engine, CXHtml* html, QString seed);
    // False when a pause cut it short: the keyword is to be done again.
    QCoro::Task<bool> AddIndex(QString kw, RowId row);
    // Takes back a keyword whose counts a pause cut short.
    void dropKeyword(const QString& keyword, RowId row);
    bool accepts(const QString& candidate, const QString& seed) const;
    RowId appendKeyword(const QString& keyword);
    void GetStbar(const QString& keyword);
    void ended(bool workDone);

    Services m_services;
    RowModel m_rows;
    VisibleRows m_visible;
    QSet<QString> m_keywords; // every keyword of the full list, for the duplicate check
    RelatedInputs m_inputs;
    JobControl m_control;
    std::unique_ptr<WebClient> m_web; // its own: a pause drops only its requests
    Qt::SortOrder m_order = Qt::AscendingOrder;
    QString m_lastSeed;
    std::array<bool, 3> m_done{}; // passes of lastSeed completed: Yahoo, Google, Bing
};

} // namespace marbleway
