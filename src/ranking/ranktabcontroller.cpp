#include "ranking/ranktabcontroller.h"

#include <QScopedValueRollback>

namespace marbleway {

RankTabController::RankTabController(Services services, QObject* parent)
    : QObject(parent)
    , m_services(std::move(services))
    , m_store(m_services.dataFolder)
    , m_lists(m_model, m_services.settings, m_services.dataFolder, m_services.prompts)
    , m_job(m_model, m_store, m_services.web, m_services.endpoints, m_services.clock,
            m_services.prompts)
    , m_favourites(m_model, m_store, m_services.clock, m_services.prompts)
{
    connect(m_model.engines(), &QStandardItemModel::itemChanged, this,
            &RankTabController::choicesEdited);
}

void RankTabController::tabShown()
{
    m_lists.loadSites();
    restoreChoices();
    saveChoices();
    m_lists.loadKeywords();
    m_favourites.load();
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

void RankTabController::choicesEdited()
{
    if (!m_restoring)
        saveChoices();
}

void RankTabController::saveChoices()
{
    if (m_services.loaded && m_services.loaded())
        m_services.settings.RegSave(RankChoices::SettingName, m_model.choices().toSetting());
}

} // namespace marbleway
