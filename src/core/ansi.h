#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace marbleway {

// Text in the ANSI code page (GBK), as Baidu's query strings want it. Each
// character GBK lacks becomes "?".
QByteArray toAnsi(QStringView text);

// The program's text files: GB18030, which spells every GBK character with the
// same bytes and has a spelling for every other one, so nothing is lost.
QByteArray toGb18030(QStringView text);

// Reads what toGb18030() and toAnsi() write, and GBK as Windows writes it (the
// single byte 0x80 is "€"). Never guesses: bytes that happen to be valid UTF-8
// are still GB18030.
QString fromAnsi(const QByteArray& bytes);

// Text of unknown origin (a list the user imports, a page naming no known
// character set): a byte order mark (UTF-8, UTF-16) decides; else well-formed
// UTF-8 holding non-ASCII is UTF-8; else fromAnsi().
QString decodeGuessed(const QByteArray& bytes);

// All of `bytes` through a fresh decoder named `codec`: a character cut short
// at the end reads as U+FFFD, where a decoder on its own keeps those bytes
// back waiting for more. An empty string when no such decoder exists.
QString decodeWhole(const char* codec, const QByteArray& bytes);

// Whether the bytes are well-formed UTF-8.
bool isValidUtf8(const QByteArray& bytes);

} // namespace marbleway
