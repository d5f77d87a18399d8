#pragma once

#include "core/clock.h"
#include "core/prompts.h"
#include "keyworddb/keywordstore.h"
#include "ranking/favouritestore.h"
#include "ranking/ranktabmodel.h"

#include <QObject>
#include <qcoro/qcorotask.h>

namespace marbleway {

// The favourites list of the rank tab: made from recent queries, deleted, and
// browsed day by day.
class Favourites : public QObject {
    Q_OBJECT
public:
    // A new favourite's day goes to the database too, when one is given.
    Favourites(RankTabModel& model, const FavouriteStore& store, KeywordStore* database,
               const Clock& clock, Prompts& prompts, QObject* parent = nullptr);

    // Rebuilds the list from the folders (the tab is being shown).
    void load();
    // "加入我的收藏": the checked recent queries become favourites.
    QCoro::Task<> add();
    // "删除选中收藏".
    QCoro::Task<> remove();
    // A click on a favourite: its stored days in the result list.
    void browse(int row);

private:
    RankTabModel* m_model;
    const FavouriteStore* m_store;
    KeywordStore* m_database;
    const Clock* m_clock;
    Prompts* m_prompts;
};

} // namespace marbleway
