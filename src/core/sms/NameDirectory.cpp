#include "sms/NameDirectory.h"

#include <algorithm>

namespace vondrix::sms {
namespace {

bool contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

std::string dropFront(std::string_view number, std::size_t count) {
    return count >= number.size() ? std::string() : std::string(number.substr(count));
}

}  // namespace

std::string lookupKey(std::string_view number, int type, KeyRule rule) {
    if (type == 0x81 || type == 0x89) {
        if (contains(number, "12320310"))
            return dropFront(number, 8);
        if (contains(number, "1232041"))
            return dropFront(number, 7);
        return dropFront(number, number.starts_with('0') ? 1 : 0);
    }
    if (type == 0x83 && rule == KeyRule::MessageList)
        return dropFront(number, 4);
    return dropFront(number, 3);
}

std::string shownNumber(std::string_view number) {
    if (contains(number, "1232031") || contains(number, "1232041"))
        return dropFront(number, 7);
    return std::string(number);
}

std::span<const NameRecord> NameDirectory::searchable() const {
    std::size_t end = 0;
    while (end < records_.size() && records_[end].index != 0)
        ++end;
    return std::span<const NameRecord>(records_.data(), end);
}

std::string NameDirectory::nameFor(std::string_view number, int type, KeyRule rule) const {
    const std::string key = lookupKey(number, type, rule);
    if (key.empty())
        return {};
    for (const NameRecord& r : searchable())
        if (contains(r.number, key))
            return r.name;
    return {};
}

const NameRecord* NameDirectory::findByName(std::string_view text) const {
    for (const NameRecord& r : searchable())
        if (r.name == text)
            return &r;
    for (const NameRecord& r : searchable())
        if (contains(r.name, text))
            return &r;
    return nullptr;
}

std::vector<NameRecord> NameDirectory::recordsNamed(std::string_view text) const {
    std::vector<NameRecord> found;
    for (const bool exact : {true, false}) {
        for (const NameRecord& r : searchable()) {
            const bool match = exact ? r.name == text : contains(r.name, text);
            const bool known = std::any_of(found.begin(), found.end(), [&](const NameRecord& f) {
                return f.number == r.number;
            });
            if (match && !known)
                found.push_back(r);
        }
        if (!found.empty())
            break;
    }
    return found;
}

std::string resolveRecipient(std::string_view typed, const NameDirectory& names) {
    if (typed.empty())
        return {};
    const char first = typed.front();
    if ((first >= '0' && first <= '9') || first == '+')
        return std::string(typed);
    const NameRecord* record = names.findByName(typed);
    return record ? record->number : std::string(typed);
}

}  // namespace vondrix::sms
