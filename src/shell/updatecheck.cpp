#include "shell/updatecheck.h"

#include "core/version.h"
#include "web/cxhtml.h"
#include "web/textutil.h"

namespace marbleway {

using namespace Qt::StringLiterals;

const QString UpdateCheck::VersionPagePath = u"/marbleway/freever.htm"_s;

UpdateCheck::UpdateCheck(SettingsStore& settings, const WebClient& client,
                         const Endpoints& endpoints, const Clock& clock)
    : m_settings(&settings)
    , m_client(&client)
    , m_endpoints(&endpoints)
    , m_clock(&clock)
{}

QString UpdateCheck::versionFrom(const QString& page)
{
    const QString version = cleanField(GetMemo(page, u"ver\" value=\"", u"\""), 32);
    return version.isEmpty() ? ProgramVersion.toString() : version;
}

QCoro::Task<UpdateOutcome> UpdateCheck::run()
{
    UpdateOutcome outcome;
    const QDate today = m_clock->today();
    const QString stored = m_settings->RegRead(u"updatedt"_s);
    if (stored.isEmpty()) {
        outcome.firstRun = true;
        m_settings->RegCreate();
        m_settings->RegSave(u"updatedt"_s, isoDate(today));
    } else if (wholeDaysBetween(parseIsoDate(stored), today) == 0) {
        co_return outcome;
    }

    // Without a site of the maker's there is nothing to ask: the page counts as
    // unreachable at once, instead of after a lookup that cannot succeed.
    QString page;
    if (m_endpoints->isReachable(Service::Maker)) {
        CXHtml html(*m_client);
        html.setUrl(m_endpoints->url(Service::Maker, VersionPagePath));
        html.setChar(u"gb2312"_s);
        html.setTryTime(outcome.firstRun ? 5 : 6);
        page = co_await html.GetSrc();
        if (m_guarded && !m_owner)
            co_return outcome;
    }

    outcome.checked = true;
    outcome.version = versionFrom(page);
    m_settings->RegSave(u"updatedt"_s, isoDate(m_clock->today()));
    m_settings->RegSave(u"ver"_s, outcome.version);
    outcome.updateAvailable = outcome.version.trimmed() != ProgramVersion;
    co_return outcome;
}

} // namespace marbleway
