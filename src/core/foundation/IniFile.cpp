#include "foundation/IniFile.h"

#include <unistd.h>

#include <cctype>
#include <fstream>
#include <optional>
#include <sstream>

#include "files/AtomicFile.h"
#include "text/Decimal.h"

namespace vondrix {
namespace {

struct Line {
    std::string text;  // without its line end
    std::string end;   // "\r\n", "\n" or "" (last line without one)
};

std::string_view trim(std::string_view s) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && isSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back())) s.remove_suffix(1);
    return s;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (std::tolower(x) != std::tolower(y)) return false;
    }
    return true;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::vector<Line> splitLines(std::string_view all) {
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < all.size()) {
        const std::size_t nl = all.find('\n', pos);
        if (nl == std::string_view::npos) {
            lines.push_back({std::string(all.substr(pos)), ""});
            break;
        }
        std::size_t textEnd = nl;
        if (textEnd > pos && all[textEnd - 1] == '\r') --textEnd;
        lines.push_back({std::string(all.substr(pos, textEnd - pos)),
                         std::string(all.substr(textEnd, nl + 1 - textEnd))});
        pos = nl + 1;
    }
    return lines;
}

// The section name of a "[name]" line, or nullopt for other lines.
std::optional<std::string_view> sectionOf(std::string_view line) {
    line = trim(line);
    if (line.size() < 2 || line.front() != '[') return std::nullopt;
    const auto close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return trim(line.substr(1, close - 1));
}

// The key of a "key=value" line, or nullopt.
std::optional<std::string_view> keyOf(std::string_view line, std::string_view* value = nullptr) {
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    const auto key = trim(line.substr(0, eq));
    if (key.empty() || key.front() == ';') return std::nullopt;
    if (value) *value = trim(line.substr(eq + 1));
    return key;
}

// Index range [begin, end) of the lines of a section's body, or nullopt.
struct SectionRange {
    std::size_t header, begin, end;
};
std::optional<SectionRange> findSection(const std::vector<Line>& lines, std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto name = sectionOf(lines[i].text);
        if (!name || !equalsNoCase(*name, section)) continue;
        std::size_t j = i + 1;
        while (j < lines.size() && !sectionOf(lines[j].text)) ++j;
        return SectionRange{i, i + 1, j};
    }
    return std::nullopt;
}

}  // namespace

std::string iniLookup(std::string_view content, std::string_view section, std::string_view key,
                      std::string_view def) {
    const auto lines = splitLines(content);
    std::string value(def);
    if (const auto range = findSection(lines, section)) {
        for (std::size_t i = range->begin; i < range->end; ++i) {
            std::string_view v;
            const auto k = keyOf(lines[i].text, &v);
            if (k && equalsNoCase(*k, key)) {
                // A value in matching quotes is read without them.
                if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
                    v = v.substr(1, v.size() - 2);
                value = std::string(v);
                break;
            }
        }
    }
    if (value.size() > IniFile::kMaxValue) value.resize(IniFile::kMaxValue);
    return value;
}

std::string IniFile::getString(std::string_view section, std::string_view key,
                               std::string_view def) const {
    return iniLookup(readFile(path_), section, key, def);
}

int IniFile::getInt(std::string_view section, std::string_view key, int def) const {
    return decimalValue(getString(section, key, std::to_string(def)));
}

std::string iniUpdate(std::string_view original, std::string_view section, std::string_view key,
                      std::string_view value) {
    auto lines = splitLines(original);
    // New lines take the file's own line end; a new file gets CR LF.
    std::string eol = "\r\n";
    for (const auto& l : lines)
        if (!l.end.empty()) {
            eol = l.end;
            break;
        }
    const Line entry{std::string(key) + "=" + std::string(value), eol};

    if (auto range = findSection(lines, section)) {
        bool replaced = false;
        for (std::size_t i = range->begin; i < range->end && !replaced; ++i) {
            const auto k = keyOf(lines[i].text);
            if (k && equalsNoCase(*k, key)) {
                lines[i].text = entry.text;
                replaced = true;
            }
        }
        if (!replaced) {
            // After the section's last non-blank line.
            std::size_t at = range->end;
            while (at > range->begin && trim(lines[at - 1].text).empty()) --at;
            if (at > 0 && lines[at - 1].end.empty()) lines[at - 1].end = eol;
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), entry);
        }
    } else {
        if (!lines.empty() && lines.back().end.empty()) lines.back().end = eol;
        if (!lines.empty() && !trim(lines.back().text).empty()) lines.push_back({"", eol});
        lines.push_back({"[" + std::string(section) + "]", eol});
        lines.push_back(entry);
    }

    std::string content;
    for (const auto& l : lines) content += l.text + l.end;
    return content;
}

bool IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
    const std::string content = iniUpdate(readFile(path_), section, key, value);
    // Never lose the old file: write a temporary file beside it, then rename.
    return replaceFileAtomically(path_, content, path_ + ".tmp" + std::to_string(::getpid()));
}

}  // namespace vondrix
