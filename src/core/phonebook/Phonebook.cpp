#include "phonebook/Phonebook.h"

#include <algorithm>

#include "text/GsmAlphabet.h"
#include "text/Decimal.h"

namespace vondrix::phonebook {

int numberType(std::string_view number) {
    return !number.empty() && number.front() == '+' ? 145 : 129;
}

std::string fitField(std::string_view text) {
    return std::string(text.substr(0, kMaxField));
}

const KindInfo& kindInfo(Kind kind) {
    static const KindInfo kKinds[] = {
        {"SIM", "SM", "AT^SPBS=SM", "[SIM]", ""},
        {"Internal", "ME", "AT^SPBS=ME", "[INT]", "+"},
        {"SIM fix", "FD", "AT^SPBS=FD", "[FDN]", "*"},
    };
    const auto i = static_cast<std::size_t>(kind);
    return kKinds[i < 3 ? i : 0];
}

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

std::optional<PhonebookEntry> parseReadResponse(std::string_view response, int location) {
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

std::string parseServiceCentre(std::string_view response) {
    const std::size_t tag = response.find("+CSCA:");
    if (tag == std::string_view::npos)
        return {};
    const std::size_t open = response.find('"', tag);
    if (open == std::string_view::npos)
        return {};
    return std::string(quotedAt(response, open).text);
}

bool CurrentPhonebook::isDeleted(std::size_t position) const {
    return std::find(deleted.begin(), deleted.end(), position) != deleted.end();
}

std::size_t CurrentPhonebook::findLocation(int location) const {
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].index == location && !isDeleted(i))
            return i;
    return npos;
}

int CurrentPhonebook::firstFreeLocation() const {
    const auto it =
        std::find_if(freeLocations.begin(), freeLocations.end(), [](int l) { return l != 0; });
    return it == freeLocations.end() ? 0 : *it;
}

void CurrentPhonebook::takeFreeLocation(int location) {
    const auto it = std::find(freeLocations.begin(), freeLocations.end(), location);
    if (it != freeLocations.end())
        freeLocations.erase(it);
}

void CurrentPhonebook::releaseLocation(int location) {
    // Listed twice, one location would be handed to two new entries and the
    // second write would overwrite the first.
    if (location == 0 ||
        std::find(freeLocations.begin(), freeLocations.end(), location) != freeLocations.end())
        return;
    freeLocations.push_back(location);
}

std::size_t CurrentPhonebook::addEntry(PhonebookEntry entry) {
    if (entries.size() >= kMaxEntries)
        return npos;
    entry.name = fitField(entry.name);
    entry.number = fitField(entry.number);
    const std::size_t position = entries.size();
    entries.push_back(entry);
    takeFreeLocation(entry.index);
    const auto emptyRow = std::find_if(rows.begin(), rows.end(), [&](const Row& r) {
        return r.location == entry.index && isDeleted(r.entry);
    });
    if (emptyRow != rows.end()) {
        emptyRow->entry = position;
        emptyRow->name = entry.name;
        emptyRow->number = entry.number;
    } else {
        rows.push_back(Row{entry.index, entry.name, entry.number, position});
    }
    return position;
}

void CurrentPhonebook::markDeleted(std::size_t position) {
    if (position >= entries.size())
        return;
    if (!isDeleted(position))
        deleted.push_back(position);
    for (Row& r : rows) {
        if (r.entry != position)
            continue;
        r.name.clear();
        r.number.clear();
    }
}

void CurrentPhonebook::refreshRows(std::size_t position) {
    if (position >= entries.size())
        return;
    for (Row& r : rows) {
        if (r.entry != position)
            continue;
        r.name = entries[position].name;
        r.number = entries[position].number;
    }
}

void sortRows(std::vector<Row>& rows, int column) {
    // std::string compares as unsigned bytes, a prefix first.
    auto less = [column](const Row& a, const Row& b) {
        switch (column) {
            case 0:
                return a.location < b.location;
            case 1:
                return a.name < b.name;
            case 2:
                return a.number < b.number;
            default:
                return false;
        }
    };
    std::stable_sort(rows.begin(), rows.end(), less);
}

}  // namespace vondrix::phonebook
