#pragma once

#include "core/clock.h"
#include "core/settingsstore.h"
#include "web/endpoints.h"
#include "web/webclient.h"

#include <QPointer>
#include <QString>
#include <qcoro/qcorotask.h>

namespace marbleway {

struct UpdateOutcome {
    bool checked = false;  // the version page was asked
    bool firstRun = false; // no check had been recorded before
    QString version;       // announced by the page ("1.0" when none); empty when not checked
    bool updateAvailable = false;
};

// The daily version check of start-up: at most once a day (the day of the last
// check is kept in "updatedt"), the maker's version page is asked for the
// current version, which is kept in "ver" for the updater.
class UpdateCheck {
public:
    UpdateCheck(SettingsStore& settings, const WebClient& client, const Endpoints& endpoints,
                const Clock& clock);

    // The store, client, endpoints and clock must outlive the call, or belong
    // to `owner`: when it is gone by the time the page arrives, nothing is saved.
    QCoro::Task<UpdateOutcome> run();
    void setOwner(QObject* owner)
    {
        m_owner = owner;
        m_guarded = true;
    }

    // The version a page announces, or "1.0" when it announces none.
    static QString versionFrom(const QString& page);

    static const QString VersionPagePath;

private:
    SettingsStore* m_settings;
    const WebClient* m_client;
    const Endpoints* m_endpoints;
    const Clock* m_clock;
    QPointer<QObject> m_owner;
    bool m_guarded = false;
};

} // namespace marbleway
