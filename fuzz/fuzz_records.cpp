// The program's text files and the records kept in them and in settings.
#include "core/textfile.h"
#include "fuzzinput.h"
#include "ranking/ranktext.h"
#include "research/relatedoptions.h"

using namespace marbleway;
using fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));

    const QStringList lines = splitLines(text);
    for (const QString& line : lines)
        require(!line.contains(u'\n'), "a line holds no line break");
    require(splitLines(crlfLines(lines)) == lines, "lines written and read back are the same");

    for (const QString& line : lines) {
        const QueryRecord record = QueryRecord::parse(line);
        require(record.toString().size() <= line.size() + 5 * 3, "a record is cut from its line");

        if (const auto combination = Combination::fromDescriptor(line)) {
            const auto again = Combination::fromDescriptor(combination->descriptor());
            require(again && again->descriptor() == combination->descriptor(),
                    "a favourite's descriptor reads back as itself");
            combination->engineList();
        }
    }

    const QStringList parts = resultParts(text);
    const QList<QStringList> rows = resultRows(text);
    require(rows.size() == parts.size(), "one row per result part");
    for (const QStringList& row : rows)
        require(row.size() >= 3, "a result row has engine, position and link");

    RankChoices choices;
    choices.apply(text);
    RankChoices reread;
    reread.apply(choices.toSetting());
    require(reread.toSetting() == choices.toSetting(), "rank choices read back as stored");

    RelatedOptions options;
    options.apply(text);
    RelatedOptions flipped;
    for (bool& on : flipped.checked)
        on = !on;
    flipped.apply(options.toSetting());
    require(flipped.checked == options.checked, "related options read back as stored");
    return 0;
}
