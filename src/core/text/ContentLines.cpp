#include "text/ContentLines.h"

#include "text/Hex.h"
#include "text/Latin1.h"

namespace vondrix {
namespace {

bool equalNoCase(std::string_view a, std::string_view b) {
    return upperAscii(a) == upperAscii(b);
}

// Splits a parameter's values at commas outside quotes; quotes dropped.
std::vector<std::string> paramValues(std::string_view text) {
    std::vector<std::string> values(1);
    bool quoted = false;
    for (const char c : text) {
        if (c == '"')
            quoted = !quoted;
        else if (c == ',' && !quoted)
            values.emplace_back();
        else
            values.back().push_back(c);
    }
    return values;
}

ContentLine parseOne(std::string_view line) {
    ContentLine out;
    // The name and parameters end at the first ":" outside quotes.
    std::size_t colon = std::string_view::npos;
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted) {
            colon = i;
            break;
        }
    }
    const std::string_view head = line.substr(0, colon);
    out.value = std::string(line.substr(colon + 1));
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    quoted = false;
    for (std::size_t i = 0; i <= head.size(); ++i) {
        if (i < head.size() && head[i] == '"')
            quoted = !quoted;
        if (i == head.size() || (head[i] == ';' && !quoted)) {
            parts.push_back(head.substr(start, i - start));
            start = i + 1;
        }
    }
    std::string_view name = parts.front();
    if (const auto dot = name.find('.'); dot != std::string_view::npos)
        name.remove_prefix(dot + 1);
    out.name = upperAscii(name);
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const std::string_view p = parts[i];
        const auto eq = p.find('=');
        if (eq == std::string_view::npos) {
            out.params.emplace_back("TYPE", std::string(p));
            continue;
        }
        const std::string pname = upperAscii(p.substr(0, eq));
        for (std::string& v : paramValues(p.substr(eq + 1)))
            out.params.emplace_back(pname, std::move(v));
    }
    return out;
}

}  // namespace

std::string upperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

std::string ContentLine::param(std::string_view wanted) const {
    for (const auto& [n, v] : params) {
        if (n == wanted)
            return v;
    }
    return {};
}

bool ContentLine::hasParam(std::string_view wanted, std::string_view expected) const {
    for (const auto& [n, v] : params) {
        if (n == wanted && equalNoCase(v, expected))
            return true;
    }
    return false;
}

std::vector<ContentLine> parseContentLines(std::string_view text) {
    // Physical lines first.
    std::vector<std::string_view> physical;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string_view::npos)
            end = text.size();
        physical.push_back(text.substr(at, end - at));
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() &&
            text[end + 1] == '\n')
            ++end;
        at = end + 1;
    }
    std::vector<ContentLine> lines;
    std::string logical;
    bool have = false;
    const auto flush = [&] {
        if (have && logical.find(':') != std::string::npos)
            lines.push_back(parseOne(logical));
        logical.clear();
        have = false;
    };
    for (const std::string_view line : physical) {
        if (have && !line.empty() && (line[0] == ' ' || line[0] == '\t')) {
            logical.append(line.substr(1));
            continue;
        }
        // A quoted-printable value with a soft line break goes on.
        if (have && !logical.empty() && logical.back() == '=' &&
            upperAscii(logical.substr(0, logical.find(':'))).find("QUOTED-PRINTABLE") !=
                std::string::npos) {
            logical.pop_back();
            logical.append(line);
            continue;
        }
        flush();
        if (line.empty())
            continue;
        logical.assign(line);
        have = true;
    }
    flush();
    return lines;
}

std::string decodeQuotedPrintable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '=' && i + 2 < text.size() && hexDigit(text[i + 1]) >= 0 &&
            hexDigit(text[i + 2]) >= 0) {
            out.push_back(static_cast<char>(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2])));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::string unescapeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out.push_back(text[i]);
            continue;
        }
        const char next = text[++i];
        out.push_back(next == 'n' || next == 'N' ? '\n' : next);
    }
    return out;
}

bool isUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        std::size_t more = 0;
        if (c < 0x80)
            more = 0;
        else if (c >= 0xC2 && c <= 0xDF)
            more = 1;
        else if (c >= 0xE0 && c <= 0xEF)
            more = 2;
        else if (c >= 0xF0 && c <= 0xF4)
            more = 3;
        else
            return false;
        if (i + more >= bytes.size())
            return false;
        for (std::size_t k = 1; k <= more; ++k) {
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += more + 1;
    }
    return true;
}

std::string textValue(const ContentLine& line) {
    std::string value = line.value;
    if (line.hasParam("ENCODING", "QUOTED-PRINTABLE") || line.hasParam("TYPE", "QUOTED-PRINTABLE"))
        value = decodeQuotedPrintable(value);
    const std::string charset = upperAscii(line.param("CHARSET"));
    if (charset == "ISO-8859-1" || charset == "LATIN1" || charset == "WINDOWS-1252" ||
        (charset.empty() && !isUtf8(value)))
        return latin1ToUtf8(value);
    return value;
}

}  // namespace vondrix
