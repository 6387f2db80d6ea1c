#include "foundation/IniFile.h"

#include <cctype>
#include <optional>
#include <vector>

#include "text/Decimal.h"

namespace vondrix {
namespace {

struct Line {
    std::string text;  // without its line end
    std::string end;   // "\r\n", "\n" or "" (last line without one)
};

std::string_view trim(std::string_view s) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && isSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (std::tolower(x) != std::tolower(y))
            return false;
    }
    return true;
}

std::string lowered(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
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
        if (textEnd > pos && all[textEnd - 1] == '\r')
            --textEnd;
        lines.push_back({std::string(all.substr(pos, textEnd - pos)),
                         std::string(all.substr(textEnd, nl + 1 - textEnd))});
        pos = nl + 1;
    }
    return lines;
}

// The section name of a "[name]" line, or nullopt for other lines.
std::optional<std::string_view> sectionOf(std::string_view line) {
    line = trim(line);
    if (line.size() < 2 || line.front() != '[')
        return std::nullopt;
    const auto close = line.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return trim(line.substr(1, close - 1));
}

// The key of a "key=value" line, or nullopt.
std::optional<std::string_view> keyOf(std::string_view line, std::string_view* value = nullptr) {
    const auto eq = line.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    const auto key = trim(line.substr(0, eq));
    if (key.empty() || key.front() == ';')
        return std::nullopt;
    if (value)
        *value = trim(line.substr(eq + 1));
    return key;
}

// Index range [begin, end) of the lines of a section's body, or nullopt.
struct SectionRange {
    std::size_t header, begin, end;
};
std::optional<SectionRange> findSection(const std::vector<Line>& lines, std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto name = sectionOf(lines[i].text);
        if (!name || !equalsNoCase(*name, section))
            continue;
        std::size_t j = i + 1;
        while (j < lines.size() && !sectionOf(lines[j].text))
            ++j;
        return SectionRange{i, i + 1, j};
    }
    return std::nullopt;
}

}  // namespace

IniIndex::IniIndex(std::string_view content) {
    // Only the first section of a name counts, and in it the first line of a
    // key: later duplicates are skipped, as a lookup from the top would.
    Keys* current = nullptr;
    while (!content.empty()) {
        // A CR before the LF stays on the line: every use trims it away.
        const std::size_t lf = content.find('\n');
        const std::string_view text = content.substr(0, lf);
        content.remove_prefix(lf == std::string_view::npos ? content.size() : lf + 1);
        if (const auto name = sectionOf(text)) {
            const auto [at, added] = sections_.try_emplace(lowered(*name));
            current = added ? &at->second : nullptr;
            continue;
        }
        if (!current)
            continue;
        std::string_view v;
        const auto k = keyOf(text, &v);
        if (!k)
            continue;
        // A value in matching quotes is read without them.
        if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
            v = v.substr(1, v.size() - 2);
        current->try_emplace(lowered(*k), v.substr(0, IniFile::kMaxValue));
    }
}

std::string IniIndex::lookup(std::string_view section, std::string_view key,
                             std::string_view def) const {
    if (const auto s = sections_.find(lowered(section)); s != sections_.end())
        if (const auto k = s->second.find(lowered(key)); k != s->second.end())
            return k->second;
    return std::string(def.substr(0, IniFile::kMaxValue));
}

std::string iniLookup(std::string_view content, std::string_view section, std::string_view key,
                      std::string_view def) {
    return IniIndex(content).lookup(section, key, def);
}

const IniIndex& IniFile::index() const {
    if (!index_) {
        if (!known_) {
            files::ReadResult file = files::readRegularFile(path_);
            readError_ = file.error;
            known_ = std::move(file.content);
        }
        index_.emplace(*known_);
        known_.reset();
    }
    return *index_;
}

files::FileError IniFile::readError() const {
    index();
    return readError_;
}

std::string IniFile::getString(std::string_view section, std::string_view key,
                               std::string_view def) const {
    return index().lookup(section, key, def);
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
            while (at > range->begin && trim(lines[at - 1].text).empty())
                --at;
            if (at > 0 && lines[at - 1].end.empty())
                lines[at - 1].end = eol;
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), entry);
        }
    } else {
        if (!lines.empty() && lines.back().end.empty())
            lines.back().end = eol;
        if (!lines.empty() && !trim(lines.back().text).empty())
            lines.push_back({"", eol});
        lines.push_back({"[" + std::string(section) + "]", eol});
        lines.push_back(entry);
    }

    std::string content;
    for (const auto& l : lines)
        content += l.text + l.end;
    return content;
}

bool IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
    return writeStrings(section, {{std::string(key), std::string(value)}});
}

bool IniFile::writeStrings(std::string_view section, const KeyValues& values) {
    // The file as it is now, so that lines other programs changed since the
    // start are kept. A file that is there but unreadable is not replaced:
    // that would lose every other line.
    files::ReadResult current = files::readRegularFile(path_);
    if (!current.ok() && current.error != files::FileError::NotFound)
        return false;
    std::string content = current.content;
    for (const auto& [key, value] : values)
        content = iniUpdate(content, section, key, value);
    // Never lose the old file: a temporary file beside it, then a rename.
    const bool written = files::replaceFileAtomically(path_, content) == files::FileError::None;
    // Indexed when next looked up: a run of writes costs no parsing.
    known_ = written ? std::move(content) : std::move(current.content);
    index_.reset();
    readError_ = current.error;
    return written;
}

}  // namespace vondrix
