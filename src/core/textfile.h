#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace marbleway {

// The program's text files are GB18030 (GBK for every character GBK has) with
// CR LF line ends.

// Each line followed by CR LF.
QString crlfLines(const QStringList& lines);

// Replaces the file whole with `text` in GB18030. The old file stays intact until
// the new one is complete, so a failed write loses nothing.
bool writeAnsiFile(const QString& path, QStringView text);

// The text of one of the program's own files (see fromAnsi()), or nullopt when
// it is missing or cannot be read.
std::optional<QString> readAnsiFile(const QString& path);

// The text of a file the user picked to import, in whatever encoding it came
// (see decodeGuessed()); nullopt when it cannot be read.
std::optional<QString> readImportedTextFile(const QString& path);

// The lines of a text, with CR LF or LF ends; no empty last line for a final break.
QStringList splitLines(QStringView text);

} // namespace marbleway
