#pragma once

#include "core/clock.h"
#include "core/prompts.h"
#include "keyworddb/keywordstore.h"
#include "lists/resultfilter.h"
#include "lists/rowmodel.h"

#include <QObject>
#include <qcoro/qcorotask.h>

namespace marbleway {

// The keyword database tab's list: every stored keyword in the full copy, the
// visible list over it. Deleting rows and refreshing counts change the full copy
// too, so that a filter never brings back a deleted keyword or an old count.
class KeywordDatabaseList : public QObject {
    Q_OBJECT
public:
    KeywordDatabaseList(KeywordStore& store, const Clock& clock, Prompts& prompts,
                        QObject* parent = nullptr);

    RowModel* rows() { return &m_rows; }
    VisibleRows* list() { return &m_visible; }
    KeywordStore& store() { return *m_store; }
    bool isLoaded() const { return m_loaded; }
    bool isLoading() const { return m_loading; }

    // Empties the list and reads every row of the store, newest first
    // ("刷新数据库"). A large table is read in steps between which the window
    // repaints; a small one is complete when the call returns. A reload asked
    // for during a load starts the load over. The list must outlive the call.
    QCoro::Task<> load();

    // "开始过滤" and "还原": both clear the refresh position.
    void filter(const ResultFilter& filter);
    void restore();

    // "删除关键词": the checked rows leave the table and the list.
    QCoro::Task<> deleteChecked();
    // "加入关键词数据库" of the AdWords tab: stores the keywords not yet stored,
    // without counts, under `parent`, and says how many it stored. The list is
    // not reloaded. Returns that number.
    QCoro::Task<int> addUncounted(QStringList keywords, QString parent);

    // Columns of the counts (Google, Yahoo, Bing) and of the date.
    static constexpr std::array<int, 3> CountColumns = {2, 3, 4};
    static constexpr int DateColumn = 5;
    static const QStringList Columns;

Q_SIGNALS:
    void loadingChanged(bool loading);

private:
    KeywordStore* m_store;
    const Clock* m_clock;
    Prompts* m_prompts;
    RowModel m_rows;
    VisibleRows m_visible;
    bool m_loaded = false;
    bool m_loading = false;
    bool m_reload = false;
};

// Shows how many rows an add button stored: "成功提交了n条数据至数据库！".
QCoro::Task<> reportStored(Prompts& prompts, int stored);

} // namespace marbleway
