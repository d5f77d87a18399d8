#pragma once

#include <QString>
#include <QStringView>

namespace marbleway {

// The program's version: what "ver.txt" and the updater compare, and what the
// window shows.
// From the build's project version (CMake).
inline constexpr QStringView ProgramVersion = u"" MARBLEWAY_VERSION;
// The build's whole version ("1.0.0"), which --version prints.
inline constexpr QStringView BuildVersion = u"" MARBLEWAY_BUILD_VERSION;

// "Marbleway V1.0".
inline QString programName()
{
    return QStringLiteral("Marbleway V") + ProgramVersion;
}

// What the program is for, in a line: the tray's tip, the about window.
inline QString programDescription()
{
    return QStringLiteral(QT_TRANSLATE_NOOP("Program", "Marbleway 网站关键词排名与研究工具"));
}

} // namespace marbleway
