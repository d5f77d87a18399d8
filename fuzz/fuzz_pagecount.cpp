// The page count read from an engine's result page.
#include "fuzzinput.h"
#include "web/engines.h"

using namespace marbleway;
using fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const fuzz::Input input = fuzz::splitInput(data, size, 1);
    const SearchEngine engine = fuzz::engineNamed(input.lines.at(0));
    const QString page = QString::fromUtf8(input.rest);

    const QString count = pageCountFrom(engine, page);
    require(!count.isEmpty() && !count.contains(u','), "a count without separators");
    require(count == noCount(engine) || count.size() < page.size(), "a count cut from the page");
    return 0;
}
