#include "ranking/ranktabcontroller.h"

#include <QScopedValueRollback>

namespace marbleway {

RankTabController::RankTabController(Services services, QObject* parent)
    : QObject(parent)
    , m_services(std::move(services))
    , m_store(m_services.dataFolder)
    , m_lists(m_model, m_services.settings, m_services.dataFolder, m_services.prompts)
    , m_job(m_model, m_store, m_services.database, m_services.web, m_services.endpoints,
            m_services.clock, m_services.prompts)
    , m_favourites(m_model, m_store, m_services.database, m_services.clock, m_services.prompts)
{
    // Every change of the choices is saved, the user's or a program step's
    // (a recent query or a favourite shown brings its own choices).
    connect(&m_model, &RankTabModel::choicesChanged, this, [this] {
        if (!m_restoring)
            saveChoices();
    });
    connect(&m_lists, &SiteKeywordLists::saveFailed, this, &RankTabController::warning);
    connect(&m_job, &Job::warning, this, &RankTabController::warning);
}

void RankTabController::tabShown()
{
    m_lists.loadSites();
    // The keywords before the choices: one-to-many mode, restored for the first
    // time, gives the shared keywords to its first site.
    m_lists.loadKeywords();
    restoreChoices();
    saveChoices();
    m_favourites.load();
}

void RankTabController::restoreRecent(int row)
{
    // While a run writes the result list, it keeps it: no mix of two result sets.
    if (m_job.isRunning())
        return;
    m_job.restoreRecent(row);
    m_lists.showingCombination();
}

void RankTabController::browseFavourite(int row)
{
    if (m_job.isRunning())
        return;
    m_favourites.browse(row);
    m_lists.showingCombination();
}

void RankTabController::restoreChoices()
{
    const QScopedValueRollback guard(m_restoring, true);
    RankChoices choices = m_model.choices();
    choices.apply(m_services.settings.readOrCreate(RankChoices::SettingName, RankChoices::Default));
    m_model.checkEngines(choices.checkedEngines);
    m_model.setDepthIndex(choices.depthIndex);
    m_model.setAllPositions(choices.allPositions == 1);
    if (choices.modeIndex != m_model.modeIndex() &&
        (choices.modeIndex == 0 || choices.modeIndex == 1))
        m_lists.setMode(choices.modeIndex);
}

void RankTabController::saveChoices()
{
    if (m_services.loaded && m_services.loaded())
        m_services.settings.RegSave(RankChoices::SettingName, m_model.choices().toSetting());
}

QList<HistoryPoint> RankTabController::history(const QString& descriptor) const
{
    return readHistory(m_store, m_services.database, descriptor);
}

} // namespace marbleway
