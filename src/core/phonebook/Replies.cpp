#include "phonebook/Replies.h"

#include <algorithm>

#include "link/Parsers.h"
#include "text/Decimal.h"
#include "text/GsmAlphabet.h"

namespace vondrix::phonebook {

namespace {

// The quoted field that opens at `open` (a quote): its text and the
// position of its closing quote. A missing closing quote ends the field
// at the end of its line, so a cut-off reply cannot swallow the result code.
struct Quoted {
    std::string_view text;
    std::size_t close;  // npos when the field had no closing quote
};

Quoted quotedAt(std::string_view s, std::size_t open) {
    const std::size_t begin = open + 1;
    const std::size_t close = s.find('"', begin);
    if (close != std::string_view::npos)
        return {s.substr(begin, close - begin), close};
    const std::size_t lineEnd = s.find_first_of("\r\n", begin);
    return {s.substr(begin, lineEnd == std::string_view::npos ? lineEnd : lineEnd - begin),
            std::string_view::npos};
}

}  // namespace

std::optional<PhonebookEntry> parseCpbrRead(std::string_view response, int location) {
    const std::size_t open = response.find('"');
    if (open == std::string_view::npos)
        return std::nullopt;
    PhonebookEntry e;
    e.index = location;
    const Quoted number = quotedAt(response, open);
    e.number = fitField(number.text);
    e.type = numberType(e.number);
    if (number.close == std::string_view::npos)
        return e;
    const std::size_t comma = response.find(',', number.close + 1);
    if (comma != std::string_view::npos)
        e.type = decimalValue(response.substr(comma + 1));
    const std::size_t nameOpen = response.find('"', number.close + 1);
    if (nameOpen != std::string_view::npos) {
        // Cut after decoding: decoding keeps the length, one byte per character.
        std::string name(quotedAt(response, nameOpen).text);
        gsm::gsmDecodeNameInPlace(name);
        e.name = fitField(name);
    }
    return e;
}

std::string parseCscaQuery(std::string_view response) {
    const std::size_t tag = response.find("+CSCA:");
    if (tag == std::string_view::npos)
        return {};
    const std::size_t open = response.find('"', tag);
    if (open == std::string_view::npos)
        return {};
    return std::string(quotedAt(response, open).text);
}

Range parseCpbrTest(std::string_view response, Range range) {
    parseRangeAndLengths(response, range.first, range.highest, range.numberLength, range.textLength);
    return range;
}

std::optional<std::string> parseOwnNumber(std::string_view response) {
    const std::size_t open = response.find('"');
    if (open == std::string_view::npos) return std::nullopt;
    const std::string_view rest = response.substr(open + 1);
    return std::string(rest.substr(0, std::min(rest.find_first_of("\"\r\n"), kMaxOwnNumber)));
}

}  // namespace vondrix::phonebook
