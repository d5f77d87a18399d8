#include "core/ansi.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

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
    // GBK has no character outside the BMP: each is one "?".
    QString safe;
    safe.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (!ch.isSurrogate()) {
            safe += ch;
            continue;
        }
        safe += u'?';
        if (ch.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
    }
    QStringEncoder encoder("GBK");
    return encoder.encode(safe);
}

QByteArray toGb18030(QStringView text)
{
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

QString decodeWhole(const char* codec, const QByteArray& bytes)
{
    QStringDecoder probe(codec);
    if (!probe.isValid())
        return {};
    // A decoder keeps the bytes of a character cut short back for more input.
    // In a code page built on ASCII a line end cannot continue a character: it
    // pushes them out as U+FFFD, and is dropped again.
    if (QString(probe.decode(QByteArrayView("\n"))) == u"\n") {
        QString text = QStringDecoder(codec).decode(bytes + '\n');
        text.chop(1);
        return text;
    }
    return QStringDecoder(codec).decode(bytes);
}

QString fromAnsi(const QByteArray& bytes)
{
    if (!bytes.contains('\x80'))
        return decodeWhole("GB18030", bytes);
    // Windows' GBK writes "€" as the lone byte 0x80, which GB18030 leaves
    // undefined; it spells "€" A2 E3. A 0x80 inside a two-byte character stays.
    QByteArray gb;
    gb.reserve(bytes.size() + 16);
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size;) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead == 0x80) {
            gb += "\xA2\xE3";
            ++i;
            continue;
        }
        qsizetype length = 1;
        if (lead > 0x80 && lead < 0xFF && i + 1 < size) {
            const auto next = static_cast<unsigned char>(bytes[i + 1]);
            length = next >= 0x30 && next <= 0x39 ? 4 : 2;
        }
        length = std::min(length, size - i);
        gb.append(bytes.constData() + i, length);
        i += length;
    }
    return decodeWhole("GB18030", gb);
}

QString decodeGuessed(const QByteArray& bytes)
{
    for (const auto& [mark, encoding] : {std::pair("\xEF\xBB\xBF", QStringConverter::Utf8),
                                         std::pair("\xFF\xFE", QStringConverter::Utf16LE),
                                         std::pair("\xFE\xFF", QStringConverter::Utf16BE)}) {
        if (bytes.startsWith(mark))
            // Only the one mark: a second one is text.
            return QStringDecoder(encoding, QStringConverter::Flag::ConvertInitialBom)
                .decode(bytes.sliced(qstrlen(mark)));
    }
    const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char byte) {
        return static_cast<unsigned char>(byte) < 0x80;
    });
    if (!ascii && isValidUtf8(bytes))
        return decodeWhole("UTF-8", bytes);
    return fromAnsi(bytes);
}

} // namespace marbleway
