#include "core/ansi.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace marbleway {

using namespace Qt::StringLiterals;

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
    QStringDecoder decoder(isValidUtf8(bytes) ? "UTF-8" : "GB18030");
    return decoder.decode(bytes);
}

} // namespace marbleway
