// Every match of a site on an engine's result page.
#include "fuzzinput.h"
#include "web/engines.h"

using namespace marbleway;
using fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const fuzz::Input input = fuzz::splitInput(data, size, 3);
    const SearchEngine engine = fuzz::engineNamed(input.lines.at(0));
    const QString site = QString::fromUtf8(input.lines.at(1));
    const int page = input.lines.at(2).toInt() % 4000;
    const QString text = QString::fromUtf8(input.rest);

    int last = page * 10;
    for (const BlockMatch& match : readRankPage(engine, text, site, page)) {
        require(match.position > last, "positions rise, starting on their page");
        last = match.position;
        // A link becomes a day-file field and a command-line column.
        for (const QChar ch : match.link)
            require(ch.unicode() >= 0x20 && ch != u'\x7F', "no control characters in a link");
        require(match.link.size() <= 1024, "a link of a sane length");
    }
    return 0;
}
