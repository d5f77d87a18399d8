#pragma once

#include <QList>
#include <QString>
#include <QStringView>

class QAbstractItemModel;

namespace marbleway {

// The text between the first `firststr` and the next `endstr` after it
// (case-sensitive), or empty when either marker is missing. Every value the
// program reads out of a page is cut with this.
QString GetMemo(QStringView temp, QStringView firststr, QStringView endstr);

// Pieces of `text` around every occurrence of `marker`: piece 0 stands before
// the first marker, piece k after the k-th. Empty text gives no pieces. The
// views point into `text`.
QList<QStringView> splitBlocks(QStringView text, QStringView marker);

// Percent-encoding in the GBK code page with space as "+" (Baidu's query strings).
QString URLEncodeAnsi(QStringView text);

// Percent-encoding of every non-ASCII UTF-16 unit as UTF-8; ASCII, spaces
// included, is left as it is (Google, Yahoo and Bing query strings).
QString GBtoUTF8(QStringView szInput);

// Whether column 0 of `list` already holds `text` (trimmed of spaces), compared exactly.
bool ListHasText(const QString& text, const QAbstractItemModel& list);

// Text cut from a page, fit for a cell, a file line or a setting: control
// characters (line breaks included) removed, at most `maxLength` characters.
QString cleanField(QStringView text, qsizetype maxLength = 1024);

// Removes leading and trailing space characters only (not tabs or line ends).
QStringView trimSpaces(QStringView text);

} // namespace marbleway
