#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace marbleway {

// Text in the ANSI code page (GBK): the program's text files and Baidu's query
// strings. Characters GBK lacks, and every unit of a surrogate pair, become "?".
QByteArray toAnsi(QStringView text);

// Reads text written by toAnsi(), or UTF-8 written by another program.
QString fromAnsi(const QByteArray& bytes);

// All of `bytes` through a fresh decoder named `codec`: a character cut short
// at the end reads as U+FFFD, where a decoder on its own keeps those bytes
// back waiting for more. An empty string when no such decoder exists.
QString decodeWhole(const char* codec, const QByteArray& bytes);

// Whether the bytes are well-formed UTF-8.
bool isValidUtf8(const QByteArray& bytes);

} // namespace marbleway
