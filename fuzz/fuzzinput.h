#pragma once

#include "web/engines.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace marbleway::fuzz {

// A fuzz input read as `lines` short lines (markers, labels, an engine name)
// and then the page. Seed files stay readable that way, and a mutation of
// the page leaves the markers alone.
struct Input {
    QList<QByteArray> lines;
    QByteArray rest;
};

inline Input splitInput(const uint8_t* data, size_t size, int lines)
{
    Input input;
    QByteArray all(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (int i = 0; i < lines; ++i) {
        const qsizetype end = all.indexOf('\n');
        input.lines << (end < 0 ? all : all.first(end));
        all = end < 0 ? QByteArray() : all.sliced(end + 1);
    }
    input.rest = all;
    return input;
}

// The engine a line names ("google", ...), or one picked by the line's length.
inline SearchEngine engineNamed(const QByteArray& line)
{
    const QString key = QString::fromUtf8(line).trimmed();
    return engineFromKey(key).value_or(
        AllSearchEngines[size_t(key.size()) % AllSearchEngines.size()]);
}

// An invariant that does not hold is a finding: abort so that libFuzzer keeps the input.
inline void require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

} // namespace marbleway::fuzz
