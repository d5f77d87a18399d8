#pragma once

#include "core/ansi.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace marbleway {

// The character set assumed when a page names none (and the program's ANSI code page).
inline constexpr QStringView DefaultCharset = u"gb2312";

// Decodes `body` as the character set named by `charset` (any common label, any
// case). The GB family ("gb2312", "gbk", ...) is read as GB18030, their common
// superset, the way browsers do. An unknown or empty label reads bytes that are
// valid UTF-8 as UTF-8 and anything else as GB18030. Never fails.
QString BytesToBstr(const QByteArray& body, QStringView charset);

// Whether a decoder for this label exists (after the GB family mapping).
bool isKnownCharset(QStringView charset);

// The character-set label a page declares: the text after the first "charset="
// of the lower-cased page up to ">", trimmed, cut at a double quote.
// "gb2312" when that leaves nothing (which is the case for the quoted HTML5 form).
QString detectCharsetLabel(QStringView page);

} // namespace marbleway
