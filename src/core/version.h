#pragma once

#include <QString>
#include <QStringView>

namespace marbleway {

// The program's version: what "ver.txt" and the updater compare, and what the
// window shows.
inline constexpr QStringView ProgramVersion = u"1.0";

// "Marbleway V1.0".
inline QString programName()
{
    return QStringLiteral("Marbleway V") + ProgramVersion;
}

} // namespace marbleway
