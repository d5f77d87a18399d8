// Page bytes decoded by a label the page (or the input) names.
#include "core/ansi.h"
#include "fuzzinput.h"
#include "web/charset.h"

using namespace marbleway;
using fuzz::require;

namespace {

// Well-formed UTF-8 by the table of valid byte sequences, written apart from
// the program's own check so that the two can disagree.
bool strictUtf8(const QByteArray& bytes)
{
    struct Range {
        unsigned char low, high;
    };
    qsizetype i = 0;
    const auto byte = [&bytes](qsizetype at) { return static_cast<unsigned char>(bytes.at(at)); };
    while (i < bytes.size()) {
        const unsigned char b = byte(i);
        Range second{0x80, 0xBF};
        int length = 0;
        if (b <= 0x7F)
            length = 1;
        else if (b >= 0xC2 && b <= 0xDF)
            length = 2;
        else if (b == 0xE0)
            length = 3, second = {0xA0, 0xBF};
        else if (b == 0xED)
            length = 3, second = {0x80, 0x9F};
        else if (b >= 0xE1 && b <= 0xEF)
            length = 3;
        else if (b == 0xF0)
            length = 4, second = {0x90, 0xBF};
        else if (b == 0xF4)
            length = 4, second = {0x80, 0x8F};
        else if (b >= 0xF1 && b <= 0xF3)
            length = 4;
        else
            return false;
        if (i + length > bytes.size())
            return false;
        for (int k = 1; k < length; ++k) {
            const Range range = k == 1 ? second : Range{0x80, 0xBF};
            if (byte(i + k) < range.low || byte(i + k) > range.high)
                return false;
        }
        i += length;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const fuzz::Input input = fuzz::splitInput(data, size, 1);
    const QString label = QString::fromUtf8(input.lines.at(0));
    const QByteArray& body = input.rest;

    const bool valid = isValidUtf8(body);
    require(valid == strictUtf8(body), "isValidUtf8 agrees with a strict decoder");
    // The program's own files are GB18030 whatever their bytes; text of
    // unknown origin is guessed.
    const QString ansi = fromAnsi(body);
    const QString guessed = decodeGuessed(body);
    if (valid) {
        // A byte-order mark of another program's file is no part of the text.
        const auto withoutMark = [](const QString& text) {
            return text.startsWith(u'\uFEFF') ? text.sliced(1) : text;
        };
        require(withoutMark(guessed) == withoutMark(QString::fromUtf8(body)),
                "valid UTF-8 is guessed as UTF-8");
    }

    // Every byte of the program's own code pages reads as something, even a
    // last character cut short.
    require(body.isEmpty() == ansi.isEmpty(), "a text file decodes to text");
    const bool nothing = body.isEmpty() || body == "\xEF\xBB\xBF";
    require(nothing == BytesToBstr(body, u"utf-8").isEmpty(), "a UTF-8 page decodes to text");
    require(body.isEmpty() == BytesToBstr(body, u"gbk").isEmpty(), "a GBK page decodes to text");

    const QString decoded = BytesToBstr(body, label);
    if (!isKnownCharset(label))
        require(decoded == guessed, "an unknown label reads as a guess");

    const QString page = QString::fromUtf8(body);
    const QString declared = detectCharsetLabel(page);
    require(!declared.isEmpty() && !declared.contains(u'"') && !declared.contains(u'>'),
            "a declared label is cut at the quote and the tag's end");
    BytesToBstr(body, declared);
    return 0;
}
