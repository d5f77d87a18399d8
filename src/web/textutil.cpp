#include "web/textutil.h"

#include "web/charset.h"

namespace marbleway {

using namespace Qt::StringLiterals;

namespace {

constexpr char16_t hexDigits[] = u"0123456789ABCDEF";

void appendPercent(QString& out, unsigned byte)
{
    out += QChar(u'%');
    out += QChar(hexDigits[(byte >> 4) & 0xF]);
    out += QChar(hexDigits[byte & 0xF]);
}

bool isAsciiAlnum(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

} // namespace

QString GetMemo(QStringView temp, QStringView firststr, QStringView endstr)
{
    const qsizetype start = temp.indexOf(firststr);
    if (start < 0)
        return {};
    const qsizetype from = start + firststr.size();
    if (endstr.isEmpty())
        return {};
    const qsizetype end = temp.indexOf(endstr, from);
    if (end < 0)
        return {};
    return temp.sliced(from, end - from).toString();
}

QList<QStringView> splitBlocks(QStringView text, QStringView marker)
{
    QList<QStringView> pieces;
    if (text.isEmpty())
        return pieces;
    if (marker.isEmpty()) {
        pieces.append(text);
        return pieces;
    }
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(marker); at >= 0; at = text.indexOf(marker, from)) {
        pieces.append(text.sliced(from, at - from));
        from = at + marker.size();
    }
    pieces.append(text.sliced(from));
    return pieces;
}

QString URLEncodeAnsi(QStringView text)
{
    QString out;
    out.reserve(text.size() * 3);
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (isAsciiAlnum(c) || c == u'*' || c == u'-' || c == u'.' || c == u'@' || c == u'_') {
            out += ch;
        } else if (c == u' ') {
            out += QChar(u'+');
        } else {
            for (const char byte : toAnsi(QStringView(&ch, 1)))
                appendPercent(out, static_cast<unsigned char>(byte));
        }
    }
    return out;
}

QString cleanField(QStringView text, qsizetype maxLength)
{
    QString clean;
    clean.reserve(std::min(text.size(), maxLength));
    for (const QChar ch : text) {
        if (clean.size() >= maxLength)
            break;
        if (ch.unicode() >= 0x20 && ch.unicode() != 0x7F && ch.category() != QChar::Other_Control)
            clean += ch;
    }
    return clean;
}

QStringView trimSpaces(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.sliced(begin, end - begin);
}

} // namespace marbleway
