// The text helpers every page reader cuts with.
#include "fuzzinput.h"
#include "web/engines.h"
#include "web/textutil.h"

#include <QUrl>

using namespace marbleway;
using fuzz::require;

namespace {

bool isAsciiOnly(const QString& text)
{
    for (const QChar ch : text) {
        if (ch.unicode() >= 0x80)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const fuzz::Input input = fuzz::splitInput(data, size, 2);
    const QString first = QString::fromUtf8(input.lines.at(0));
    const QString end = QString::fromUtf8(input.lines.at(1));
    const QString text = QString::fromUtf8(input.rest);

    const QString memo = GetMemo(text, first, end);
    require(text.contains(memo), "GetMemo gives a part of the page");
    if (!memo.isEmpty())
        require(text.contains(first + memo + end), "GetMemo's text stands between its markers");

    const QList<QStringView> pieces = splitBlocks(text, first);
    if (!first.isEmpty() && !text.isEmpty()) {
        QString joined;
        for (qsizetype i = 0; i < pieces.size(); ++i)
            joined += (i > 0 ? first : QString()) + pieces.at(i);
        require(joined == text, "splitBlocks pieces joined with the marker give the text back");
    }

    const QStringView trimmed = trimSpaces(text);
    require(!trimmed.startsWith(u' ') && !trimmed.endsWith(u' '), "trimSpaces leaves no space");
    require(text.contains(trimmed), "trimSpaces gives a part of the text");

    const QString ansi = URLEncodeAnsi(text);
    require(isAsciiOnly(ansi) && !ansi.contains(u' '), "URLEncodeAnsi gives ASCII without spaces");
    // An engine receives exactly the keyword typed.
    const QString query = engineQueryText(text);
    require(isAsciiOnly(query), "an engine query is ASCII");
    if (QString::fromUtf8(text.toUtf8()) == text)
        require(QUrl::fromPercentEncoding(query.toLatin1()) == text,
                "an engine query decodes to the keyword");
    return 0;
}
