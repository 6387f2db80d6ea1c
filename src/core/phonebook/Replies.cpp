#include "phonebook/Replies.h"

#include <algorithm>

#include "link/Parsers.h"
#include "link/Reply.h"
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

std::optional<std::vector<RangeRecord>> splitRangeReply(std::string_view response,
                                                        std::string_view prefix, int first,
                                                        int last, std::string_view command) {
    std::vector<RangeRecord> records;
    bool echoPossible = !command.empty();
    std::size_t pos = 0;
    while (pos < response.size()) {
        // A line ends at a line feed outside quotes: a name may hold one.
        bool inQuotes = false;
        std::size_t end = pos;
        for (; end < response.size() && (inQuotes || response[end] != '\n'); ++end)
            if (response[end] == '"')
                inQuotes = !inQuotes;
        if (inQuotes)
            return std::nullopt;  // cut short inside a quoted field
        std::string_view line = response.substr(pos, end - pos);
        pos = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.remove_suffix(1);
        while (!line.empty() && (line.front() == '\r' || line.front() == ' '))
            line.remove_prefix(1);
        if (line.empty())
            continue;
        if (echoPossible) {
            echoPossible = false;
            if (line == command)
                continue;
        }
        if (const auto final = at::finalResultOf(line)) {
            if (final->kind != at::Final::Ok)
                return std::nullopt;
            break;
        }
        auto fields = at::FieldReader::after(line, prefix);
        if (!fields)
            return std::nullopt;
        const auto location = fields->number();
        if (!location || *location < first || *location > last ||
            (!records.empty() && *location <= records.back().location))
            return std::nullopt;
        // The number's quote opens the field after the location, so the
        // single-location rules find the same fields in the record.
        const std::string_view rest = fields->rest();
        const std::size_t open = rest.find_first_not_of(' ');
        const auto quotes = std::count(line.begin(), line.end(), '"');
        if (open == std::string_view::npos || rest[open] != '"' || (quotes != 2 && quotes != 4))
            return std::nullopt;
        records.push_back({static_cast<int>(*location), line});
    }
    return records;
}

std::optional<std::vector<PhonebookEntry>> parseCpbrRange(std::string_view response, int first,
                                                          int last, std::string_view command) {
    const auto records = splitRangeReply(response, "+CPBR:", first, last, command);
    if (!records)
        return std::nullopt;
    std::vector<PhonebookEntry> entries;
    for (const RangeRecord& r : *records)
        if (auto e = parseCpbrRead(r.text, r.location))
            entries.push_back(std::move(*e));
    return entries;
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
    parseRangeAndLengths(response, range.first, range.highest, range.numberLength,
                         range.textLength);
    return range;
}

std::optional<std::string> parseOwnNumber(std::string_view response) {
    const std::size_t open = response.find('"');
    if (open == std::string_view::npos)
        return std::nullopt;
    const std::string_view rest = response.substr(open + 1);
    return std::string(rest.substr(0, std::min(rest.find_first_of("\"\r\n"), kMaxOwnNumber)));
}

}  // namespace vondrix::phonebook
