#include "core/settingsfile.h"

namespace marbleway {

using namespace Qt::StringLiterals;

std::unique_ptr<QSettings> openUserSettings()
{
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>(u"HKEY_CURRENT_USER\\Software\\Marbleway\\V1.0.0"_s,
                                       QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       u"Marbleway"_s, u"Marbleway"_s);
#endif
}

QString optionsGroup()
{
#ifdef Q_OS_WIN
    return u"Config"_s;
#else
    return u"Software/Marbleway/V1.0.0/Config"_s;
#endif
}

} // namespace marbleway
