#include "web/charset.h"

#include "core/ansi.h"
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
    if (!name.isEmpty() && QStringDecoder(name.constData()).isValid())
        return decodeWhole(name.constData(), body);
    // Nothing usable named: bytes that read as UTF-8 are UTF-8, the rest the default.
    return decodeGuessed(body);
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

} // namespace marbleway
