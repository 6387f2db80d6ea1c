#include "link/Parsers.h"

#include "text/Decimal.h"

namespace vondrix {
namespace {

// Signed-char comparison: control bytes, blank and everything from 0x80.
bool isSeparator(char c) {
    return static_cast<signed char>(c) <= 0x20;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// The length of an information line's prefix up to and with its colon
// ("+CSQ:", "^SBNR:"), 0 when the line has none.
std::size_t prefixLength(std::string_view line) {
    if (line.size() < 3 || (line[0] != '+' && line[0] != '^'))
        return 0;
    std::size_t i = 1;
    while (i < line.size() &&
           ((line[i] >= 'A' && line[i] <= 'Z') || (line[i] >= 'a' && line[i] <= 'z') ||
            (line[i] >= '0' && line[i] <= '9')))
        ++i;
    return i > 1 && i < line.size() && line[i] == ':' ? i + 1 : 0;
}

// One line in its canonical form (see canonicalReply).
void appendCanonicalLine(std::string_view line, std::string& out) {
    line = trimmed(line);
    const std::size_t prefix = prefixLength(line);
    if (prefix == 0) {
        out += line;
        return;
    }
    out += line.substr(0, prefix);
    const std::string_view fields = trimmed(line.substr(prefix));
    if (fields.empty())
        return;
    out += ' ';
    const std::size_t fieldsStart = out.size();
    bool inQuotes = false;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const char c = fields[i];
        if (c == '"')
            inQuotes = !inQuotes;
        if (!inQuotes && c == ',') {
            while (out.size() > fieldsStart && isBlank(out.back()))
                out.pop_back();
            out += ',';
            while (i + 1 < fields.size() && isBlank(fields[i + 1]))
                ++i;
            continue;
        }
        out += c;
    }
}

}  // namespace

std::string canonicalReply(std::string_view raw) {
    std::string out;
    out.reserve(raw.size() + 8);
    std::size_t pos = 0;
    while (pos < raw.size()) {
        const std::size_t end = raw.find_first_of("\r\n", pos);
        appendCanonicalLine(raw.substr(pos, end == std::string_view::npos ? end : end - pos), out);
        if (end == std::string_view::npos)
            break;
        out += "\r\n";
        // CR LF is one line end; a CR or LF alone is one too.
        pos = end + (raw[end] == '\r' && end + 1 < raw.size() && raw[end + 1] == '\n' ? 2 : 1);
    }
    return out;
}

std::optional<std::string> lastAnswerWord(std::string_view raw) {
    const std::string canonical = canonicalReply(raw);
    const std::string_view response = canonical;
    const auto ok = response.find("OK\r\n");
    if (ok == std::string_view::npos)
        return std::nullopt;
    std::size_t end = ok;
    while (end > 0 && isSeparator(response[end - 1]))
        --end;
    std::size_t begin = end;
    while (begin > 0 && !isSeparator(response[begin - 1]))
        --begin;
    return std::string(response.substr(begin, end - begin));
}

void parseRange(std::string_view raw, int& low, int& high) {
    const std::string canonical = canonicalReply(raw);
    const std::string_view text = canonical;
    const auto open = text.find('(');
    if (open == std::string_view::npos)
        return;
    low = decimalValue(text.substr(open + 1));
    const auto dash = text.find('-', open + 1);
    if (dash == std::string_view::npos)
        return;
    high = decimalValue(text.substr(dash + 1));
}

void parseRangeAndLengths(std::string_view raw, int& low, int& high, int& length1, int& length2) {
    const std::string canonical = canonicalReply(raw);
    const std::string_view text = canonical;
    parseRange(text, low, high);
    const auto first = text.find(',');
    if (first == std::string_view::npos)
        return;
    length1 = decimalValue(text.substr(first + 1));
    const auto second = text.find(',', first + 1);
    if (second == std::string_view::npos)
        return;
    length2 = decimalValue(text.substr(second + 1));
}

std::optional<int> numberAfter(std::string_view raw, std::string_view tag) {
    const std::string canonical = canonicalReply(raw);
    const std::string_view text = canonical;
    const auto at = text.find(tag);
    if (at == std::string_view::npos)
        return std::nullopt;
    return decimalValue(text.substr(at + tag.size()));
}

}  // namespace vondrix
