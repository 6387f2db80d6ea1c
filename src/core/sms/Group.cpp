#include "sms/Group.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "sms/TextFiles.h"

namespace vondrix::sms {
namespace {

bool lessBytes(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    });
}

// A name that the plain "name,number" line would cut (a comma in it) or
// that starts like a quoted one is written in double quotes, a quote in it
// doubled. Every other name is written as it is.
std::string nameField(std::string_view name) {
    if (name.find(',') == std::string_view::npos && !name.starts_with('"'))
        return std::string(name);
    std::string out = "\"";
    for (const char c : name) {
        out += c;
        if (c == '"')
            out += '"';
    }
    return out + '"';
}

// The name of a line that starts with a quoted one: its text and the
// position of the comma after its closing quote. Nothing when the line has
// no such field: it is then read by the plain rule.
std::optional<std::pair<std::string, std::size_t>> quotedName(std::string_view line) {
    if (!line.starts_with('"'))
        return std::nullopt;
    std::string name;
    for (std::size_t i = 1; i < line.size(); ++i) {
        if (line[i] != '"') {
            name += line[i];
        } else if (i + 1 < line.size() && line[i + 1] == '"') {
            name += '"';
            ++i;
        } else if (i + 1 < line.size() && line[i + 1] == ',' && name.size() <= kGroupNameMax) {
            return std::pair(std::move(name), i + 1);
        } else {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

}  // namespace

std::string groupFileText(const std::vector<GroupMember>& members) {
    std::string out;
    for (const GroupMember& m : members) {
        out += nameField(std::string_view(m.name).substr(0, kGroupNameMax));
        out += ',';
        out += std::string_view(m.number).substr(0, kGroupNumberMax);
        out += kLineEnd;
    }
    return out;
}

std::vector<GroupMember> parseGroupFile(std::string_view content) {
    std::vector<GroupMember> members;
    while (!content.empty()) {
        const std::size_t lf = content.find('\n');
        std::string_view line = content.substr(0, lf);
        content.remove_prefix(lf == std::string_view::npos ? content.size() : lf + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (auto quoted = quotedName(line)) {
            members.push_back({std::move(quoted->first),
                               std::string(line.substr(quoted->second + 1, kGroupNameMax))});
            continue;
        }
        const std::size_t comma = line.find(',');
        if (comma == std::string_view::npos)
            continue;
        members.push_back({std::string(line.substr(0, std::min(comma, kGroupNameMax))),
                           std::string(line.substr(comma + 1, kGroupNameMax))});
    }
    return members;
}

std::vector<NameRecord> groupSource(const NameDirectory& names, int column) {
    const auto records = names.searchable();
    std::vector<NameRecord> source(records.begin(), records.end());
    std::stable_sort(
        source.begin(), source.end(), [column](const NameRecord& a, const NameRecord& b) {
            return column == 1 ? lessBytes(a.number, b.number) : lessBytes(a.name, b.name);
        });
    return source;
}

std::size_t Group::add(const std::vector<NameRecord>& records) {
    std::size_t added = 0;
    for (const NameRecord& r : records) {
        const bool present = std::any_of(members_.begin(), members_.end(),
                                         [&](const GroupMember& m) { return m.name == r.name; });
        if (present)
            continue;
        members_.push_back({r.name, r.number});
        ++added;
    }
    return added;
}

void Group::removeAt(std::size_t position) {
    if (position < members_.size())
        members_.erase(members_.begin() + static_cast<std::ptrdiff_t>(position));
}

bool Group::save(const std::string& path) {
    if (members_.empty())
        return false;
    saved_ = writeTextFile(path, groupFileText(members_), WriteMode::Replace);
    return saved_;
}

bool Group::mayDiscard(Reporter& reporter) const {
    if (members_.empty() || saved_)
        return true;
    return reporter.message(msg::OverwriteEntries, Caption::Info, Buttons::YesNo) == Answer::Yes;
}

bool Group::load(const std::string& path, Reporter& reporter) {
    if (!mayDiscard(reporter))
        return false;
    members_.clear();
    std::string content;
    if (readTextFile(path, content))
        members_ = parseGroupFile(content);
    saved_ = false;
    return true;
}

bool Group::clear(Reporter& reporter) {
    if (!members_.empty() && !mayDiscard(reporter))
        return false;
    members_.clear();
    saved_ = false;
    return true;
}

}  // namespace vondrix::sms
