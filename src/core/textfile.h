#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace marbleway {

// The program's text files are in the ANSI code page (GBK) with CR LF line ends.

// Each line followed by CR LF.
QString crlfLines(const QStringList& lines);

// Replaces the file whole with `text` in GBK. The old file stays intact until
// the new one is complete, so a failed write loses nothing.
bool writeAnsiFile(const QString& path, QStringView text);

// The file's text (GBK, or UTF-8 written by another program), or nullopt when
// it is missing or cannot be read.
std::optional<QString> readAnsiFile(const QString& path);

// The lines of a text, with CR LF or LF ends; no empty last line for a final break.
QStringList splitLines(QStringView text);

} // namespace marbleway
