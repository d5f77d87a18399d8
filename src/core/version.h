#pragma once

#include <QString>
#include <QStringView>

namespace marbleway {

// The program's version: what "ver.txt" and the updater compare, and what the
// window shows.
// From the build's project version (CMake).
inline constexpr QStringView ProgramVersion = u"" MARBLEWAY_VERSION;

// "Marbleway V1.0".
inline QString programName()
{
    return QStringLiteral("Marbleway V") + ProgramVersion;
}

} // namespace marbleway
