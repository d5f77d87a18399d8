#include "core/settingsfile.h"

namespace marbleway {

std::unique_ptr<QSettings> openUserSettings()
{
    using namespace Qt::StringLiterals;
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       u"Marbleway"_s, u"Marbleway"_s);
}

} // namespace marbleway
