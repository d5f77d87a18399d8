#pragma once

#include "core/clock.h"
#include "core/datafolder.h"
#include "core/prompts.h"
#include "core/settingsstore.h"
#include "ranking/favourites.h"
#include "ranking/favouritestore.h"
#include "ranking/rankhistory.h"
#include "ranking/rankjob.h"
#include "ranking/ranktabmodel.h"
#include "ranking/sitekeywordlists.h"
#include "web/endpoints.h"
#include "web/webclient.h"

#include <QObject>

#include <functional>

namespace marbleway {

// Everything behind the rank tab: its state, lists, job and favourites, and the
// tab's choices kept in "setting3".
class RankTabController : public QObject {
    Q_OBJECT
public:
    struct Services {
        SettingsStore& settings;
        DataFolder dataFolder;
        Prompts& prompts;
        const WebClient& web;
        const Endpoints& endpoints;
        const Clock& clock;
        // Whether start-up has restored the options: choices are saved only then.
        std::function<bool()> loaded;
        // Where favourites' lookups are kept beside their day files; may be null.
        KeywordStore* database = nullptr;
    };

    explicit RankTabController(Services services, QObject* parent = nullptr);

    RankTabModel& model() { return m_model; }
    SiteKeywordLists& lists() { return m_lists; }
    RankJob& job() { return m_job; }
    Favourites& favourites() { return m_favourites; }
    const FavouriteStore& store() const { return m_store; }
    // A favourite's rank history, from the database and its day files.
    QList<HistoryPoint> history(const QString& descriptor) const;
    const Services& services() const { return m_services; }

    // The tab is being shown: sites, keywords, choices (restored and written
    // back) and favourites are loaded.
    void tabShown();
    // A click on a recent query or a favourite: shown on the tab, unless a run
    // is filling the result list.
    void restoreRecent(int row);
    void browseFavourite(int row);

Q_SIGNALS:
    // Something the user should know of (a list or a choice not stored).
    void warning(const QString& text);

private:
    void restoreChoices();
    void saveChoices();

    Services m_services;
    RankTabModel m_model;
    FavouriteStore m_store;
    SiteKeywordLists m_lists;
    RankJob m_job;
    Favourites m_favourites;
    bool m_restoring = false;
};

} // namespace marbleway
