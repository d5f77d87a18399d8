#pragma once

#include <QSettings>

#include <memory>

namespace marbleway {

// The user's settings: the registry key HKCU\Software\Marbleway\V1.0.0 on
// Windows, the file "Marbleway/Marbleway.conf" under the XDG config folder
// elsewhere. The group "Hosts" of it holds the service hosts.
std::unique_ptr<QSettings> openUserSettings();

// The group that holds the program's options inside those settings, so that
// their path reads "Software\Marbleway\V1.0.0\Config" on every platform.
QString optionsGroup();

} // namespace marbleway
