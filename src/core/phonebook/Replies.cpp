#include "phonebook/Replies.h"

#include <algorithm>

#include "link/Parsers.h"
#include "link/Reply.h"
#include "text/Decimal.h"
#include "text/GsmAlphabet.h"
#include "text/Hex.h"

namespace vondrix::phonebook {

namespace {

// The record that holds the quote at `open`: from that quote to the end of
// its line, where a line break inside a quoted field belongs to the field.
// A field whose quote never closes ends at the line end after its opening
// quote, so a cut-off reply cannot swallow the result code.
std::string_view recordAt(std::string_view s, std::size_t open) {
    bool inQuotes = false;
    std::size_t fieldOpen = open;
    std::size_t i = open;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"') {
            if (!inQuotes) {
                inQuotes = true;
                fieldOpen = i;
            } else if (at::closesQuote(s, i)) {
                inQuotes = false;
            }
        } else if (!inQuotes && (c == '\r' || c == '\n')) {
            break;
        }
    }
    if (inQuotes) {
        const std::size_t lineEnd = s.find_first_of("\r\n", fieldOpen);
        i = lineEnd == std::string_view::npos ? s.size() : lineEnd;
    }
    return s.substr(open, i - open);
}

// The phone's escapes of GSM codes in a name ("\\7E", "\\22", "\\00") back
// to the codes: the codes encodeName writes so, and the quote, which a name
// cannot carry otherwise. A phone that sends raw codes sends "Ö" as a
// backslash; only these escapes are taken, so that "Öl" or "Ö12" stay.
void decodeEscapes(std::string& name) {
    static constexpr unsigned char kEscaped[] = {0x7C, 0x7B, 0x7E, 0x5E, 0x5C, 0x5B, 0x1E,
                                                 0x04, 0x05, 0x06, 0x07, 0x08, 0x0B, 0x0C,
                                                 0x0E, 0x0F, 0x7F, 0x00, 0x1C, 0x1D, 0x22};
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        const int high = i + 2 < name.size() && name[i] == '\\' ? hexDigit(name[i + 1]) : -1;
        const int low = high >= 0 ? hexDigit(name[i + 2]) : -1;
        const auto code = static_cast<unsigned char>(high * 16 + low);
        if (low >= 0 &&
            std::find(std::begin(kEscaped), std::end(kEscaped), code) != std::end(kEscaped)) {
            out += static_cast<char>(code);
            i += 2;
        } else {
            out += name[i];
        }
    }
    name = std::move(out);
}

}  // namespace

std::optional<PhonebookEntry> parseCpbrRead(std::string_view response, int location) {
    const std::size_t open = response.find('"');
    if (open == std::string_view::npos)
        return std::nullopt;
    at::FieldReader fields(recordAt(response, open));
    PhonebookEntry e;
    e.index = location;
    e.number = fitField(fields.quoted(at::FieldReader::Unclosed::ToEnd).value_or(std::string()));
    e.type = numberType(e.number);
    if (fields.atEnd())
        return e;
    std::optional<std::string> name = fields.quoted(at::FieldReader::Unclosed::ToEnd);
    if (!name) {
        e.type = decimalValue(fields.field());
        while (!fields.atEnd() && !name)
            if (!(name = fields.quoted(at::FieldReader::Unclosed::ToEnd)))
                (void)fields.field();
    }
    if (name) {
        decodeEscapes(*name);
        // Cut after decoding: decoding keeps the length, one byte per character.
        gsm::gsmDecodeNameInPlace(*name);
        e.name = fitField(*name);
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

std::optional<Range> parseCpbrTest(std::string_view response, Range range) {
    // The range must stand as "(first-highest)" in the first field of the
    // information line: without it the size is unknown, not 0.
    const at::Reply reply = at::parseReply(response);
    for (const std::string& line : reply.lines) {
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        at::FieldReader fields(std::string_view(line).substr(colon + 1));
        at::FieldReader peek = fields;
        const auto inner = peek.list();
        if (!inner || inner->find('-', 1) == std::string_view::npos || !fields.range())
            return std::nullopt;
        parseRangeAndLengths(response, range.first, range.highest, range.numberLength,
                             range.textLength);
        return range;
    }
    return std::nullopt;
}

std::optional<std::string> parseOwnNumber(std::string_view response) {
    const std::size_t open = response.find('"');
    if (open == std::string_view::npos)
        return std::nullopt;
    at::FieldReader fields(recordAt(response, open));
    const std::string number = fields.quoted(at::FieldReader::Unclosed::ToEnd).value_or("");
    return number.substr(0, std::min(number.find_first_of("\r\n"), kMaxOwnNumber));
}

}  // namespace vondrix::phonebook
