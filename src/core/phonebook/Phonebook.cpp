#include "phonebook/Phonebook.h"

#include <algorithm>

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
