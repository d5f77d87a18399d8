#pragma once

#include <QSettings>

#include <memory>

namespace marbleway {

// The user's settings: the registry key HKCU\Software\Marbleway on Windows, the
// file "Marbleway/Marbleway.conf" under the XDG config folder elsewhere.
std::unique_ptr<QSettings> openUserSettings();

} // namespace marbleway
