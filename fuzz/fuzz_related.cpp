// Related searches read from an engine's page.
#include "fuzzinput.h"
#include "web/engines.h"

using namespace marbleway;
using fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const fuzz::Input input = fuzz::splitInput(data, size, 1);
    const SearchEngine engine = fuzz::engineNamed(input.lines.at(0));
    const QString page = QString::fromUtf8(input.rest).toLower();

    const QStringList pieces = relatedPieces(engine, page);
    qsizetype total = 0;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        total += pieces.at(i).size();
        const QString candidate = relatedCandidate(engine, pieces.at(i), i);
        require(candidate.size() < pieces.at(i).size() || candidate.isEmpty(),
                "a candidate is cut from its piece");
    }
    require(total <= page.size(), "the pieces are parts of the page");
    return 0;
}
