#pragma once

#include <QList>
#include <QString>
#include <QStringView>

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

// Text cut from a page, fit for a cell, a file line or a setting: control
// characters (line breaks included) removed, at most `maxLength` characters.
QString cleanField(QStringView text, qsizetype maxLength = 1024);

// Removes leading and trailing space characters only (not tabs or line ends).
QStringView trimSpaces(QStringView text);

} // namespace marbleway
