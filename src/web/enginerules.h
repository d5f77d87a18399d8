#pragma once

#include "web/engines.h"

#include <QString>
#include <QStringList>

#include <array>

namespace marbleway {

// The engines' page rules from the built-in engines.json, with `overrides`
// (the text of a user's engines.json, may be empty) over them, into `rules`.
// Every problem of the overrides is told, naming engine and key; such an entry
// keeps its built-in value.
QStringList readEngineRules(const QString& overrides,
                            std::array<EngineRules, AllSearchEngines.size()>& rules);

} // namespace marbleway
