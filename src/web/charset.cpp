#include "web/charset.h"

#include "web/textutil.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>

namespace marbleway {

using namespace Qt::StringLiterals;

namespace {

constexpr std::array gbFamily = {
    u"gb2312",  u"gbk",   u"x-gbk", u"gb_2312",     u"gb_2312-80", u"csgb2312", u"iso-ir-58",
    u"chinese", u"cp936", u"ms936", u"windows-936", u"euc-cn",     u"x-euc-cn", u"gb18030",
};

QByteArray decoderName(QStringView charset)
{
    const QString label = charset.trimmed().toString().toLower();
    for (const char16_t* member : gbFamily) {
        if (label == QStringView(member))
            return "GB18030"_ba;
    }
    return label.toLatin1();
}

QString decodeWith(const QByteArray& name, const QByteArray& body)
{
    QStringDecoder decoder(name.constData());
    return decoder.decode(body);
}

} // namespace

bool isKnownCharset(QStringView charset)
{
    const QByteArray name = decoderName(charset);
    return !name.isEmpty() && QStringDecoder(name.constData()).isValid();
}

QString BytesToBstr(const QByteArray& body, QStringView charset)
{
    if (body.isEmpty())
        return {};
    const QByteArray name = decoderName(charset);
    if (!name.isEmpty()) {
        QStringDecoder decoder(name.constData());
        if (decoder.isValid())
            return decoder.decode(body);
    }
    return decodeWith(isValidUtf8(body) ? "UTF-8"_ba : "GB18030"_ba, body);
}

QString detectCharsetLabel(QStringView page)
{
    const QString memo = GetMemo(page.toString().toLower(), u"charset=", u">");
    QStringView value = trimSpaces(memo);
    if (const qsizetype quote = value.indexOf(u'"'); quote >= 0)
        value = value.first(quote);
    value = trimSpaces(value);
    return value.isEmpty() ? DefaultCharset.toString() : value.toString();
}

bool isValidUtf8(const QByteArray& bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto* const end = p + bytes.size();
    while (p < end) {
        const unsigned lead = *p++;
        if (lead < 0x80)
            continue;
        int more = 0;
        unsigned lowest = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            more = 1;
            lowest = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            more = 2;
            lowest = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            more = 3;
            lowest = 0x10000;
        } else {
            return false;
        }
        if (end - p < more)
            return false;
        unsigned code = lead & (0x3F >> more);
        for (int i = 0; i < more; ++i, ++p) {
            if ((*p & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (*p & 0x3F);
        }
        if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
    }
    return true;
}

QByteArray toAnsi(QStringView text)
{
    QString safe = text.toString();
    for (QChar& ch : safe) {
        if (ch.isSurrogate())
            ch = u'?';
    }
    QStringEncoder encoder("GBK");
    return encoder.encode(safe);
}

QString fromAnsi(const QByteArray& bytes)
{
    return decodeWith(isValidUtf8(bytes) ? "UTF-8"_ba : "GB18030"_ba, bytes);
}

} // namespace marbleway
