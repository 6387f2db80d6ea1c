#include "phonesim/PhonebookStore.h"

#include <algorithm>
#include <utility>

#include "phonesim/Commands.h"
#include "phonesim/GsmText.h"
#include "phonesim/PhoneState.h"
#include "phonesim/StateFormat.h"

namespace phonesim {

const StoredEntry* PhonebookStore::at(int location) const {
    const auto it = entries.find(location);
    return it == entries.end() ? nullptr : &it->second;
}

std::optional<int> PhonebookStore::firstFree() const {
    int expected = 1;
    for (const auto& [location, entry] : entries) {
        if (location > expected) {
            break;
        }
        expected = location + 1;
    }
    if (expected > size) {
        return std::nullopt;
    }
    return expected;
}

void PhonebookStore::pushFront(const StoredEntry& entry) {
    std::vector<StoredEntry> list{entry};
    for (const auto& [location, old] : entries) {
        if (old.number != entry.number) {
            list.push_back(old);
        }
    }
    entries.clear();
    for (std::size_t i = 0; i < list.size() && static_cast<int>(i) < size; ++i) {
        entries[static_cast<int>(i) + 1] = list[i];
    }
}

bool phoneNameLess(std::string_view a, std::string_view b) {
    const std::string ka = sortKey(a);
    const std::string kb = sortKey(b);
    if (ka != kb) {
        return ka < kb;
    }
    return a < b;
}

namespace {

bool nameOrder(const StoredEntry& a, const StoredEntry& b) {
    return phoneNameLess(a.name, b.name);
}

}  // namespace

std::vector<StoredEntry> sortedEntries(const PhonebookStore& store) {
    std::vector<StoredEntry> list;
    for (const auto& [location, entry] : store.entries) {
        list.push_back(entry);
    }
    // Stable: equal names stay in location order.
    std::stable_sort(list.begin(), list.end(), nameOrder);
    return list;
}

std::vector<StoredEntry> redbookMembers(const PhoneState& state) {
    std::vector<StoredEntry> list;
    for (const PhonebookStore* store : {&state.sim, &state.memory}) {
        for (const auto& [location, entry] : store->entries) {
            if (!entry.name.empty() && entry.name.back() == '!') {
                list.push_back(entry);
            }
        }
    }
    // Stable: equal names keep SIM before phone memory, then location order.
    std::stable_sort(list.begin(), list.end(), nameOrder);
    return list;
}

namespace {

struct DialName {
    DialResult result;
    std::string_view text;
};

constexpr DialName kDialNames[] = {
    {DialResult::Ok, "OK"},
    {DialResult::Busy, "BUSY"},
    {DialResult::NoCarrier, "NO CARRIER"},
    {DialResult::NoDialtone, "NO DIALTONE"},
    {DialResult::Error, "ERROR"},
};

}  // namespace

std::string_view dialResultText(DialResult result) {
    for (const DialName& d : kDialNames) {
        if (d.result == result) {
            return d.text;
        }
    }
    return "ERROR";
}

std::optional<DialResult> dialResultFromText(std::string_view text) {
    for (const DialName& d : kDialNames) {
        if (d.text == text) {
            return d.result;
        }
    }
    return std::nullopt;
}

PhonebookStore* PhoneState::phonebook(std::string_view code) {
    return const_cast<PhonebookStore*>(std::as_const(*this).phonebook(code));
}

const PhonebookStore* PhoneState::phonebook(std::string_view code) const {
    const std::pair<std::string_view, const PhonebookStore*> stores[] = {
        {"SM", &sim},          {"ME", &memory},      {"FD", &fixedDialling}, {"ON", &ownNumbers},
        {"LD", &dialledCalls}, {"MC", &missedCalls}, {"RC", &receivedCalls},
    };
    for (const auto& [name, store] : stores) {
        if (name == code) {
            return store;
        }
    }
    return nullptr;
}

void addDemoPhonebooks(PhoneState& s) {
    // ISO 8859-1 names; the octal escapes keep the letter after them apart.
    const std::string mueller = "M\374ller";
    const std::string juergen = "J\374rgen \326zt\374rk";
    const std::string aase = "\305se Berg";
    const std::string cafe = "Caf\351 Lyon";
    const std::string taxi = "Taxi Stra\337e";
    const std::string dentist = "Zahnarzt Dr. K\374hn";
    const std::string office = "B\374ro";
    const auto fill = [](PhonebookStore& store,
                         std::initializer_list<std::pair<int, StoredEntry>> list) {
        for (const auto& [location, entry] : list) {
            store.entries[location] = entry;
        }
    };
    // Location 5 stays empty between occupied ones; 9 to 250 are empty.
    fill(s.sim, {
                    {1, {"+4930123456", 145, mueller}},
                    {2, {"01712345678", 129, juergen}},
                    {3, {"+4740123456", 145, aase}},
                    {4, {"+33478123456", 145, cafe}},
                    {6, {"0891234567", 129, "Info@Home"}},
                    {7, {"+491701234567", 145, "Mama!"}},
                    {8, {"0302223344", 129, taxi}},
                });
    fill(s.memory, {
                       {1, {"0897654321", 129, dentist}},
                       {2, {"+4989555123", 145, office}},
                       {4, {"0304445566", 129, "Pizza Napoli"}},
                   });
    fill(s.fixedDialling, {
                              {1, {"112", 129, "Notruf"}},
                              {2, {"+4930987654", 145, "Zuhause"}},
                          });
    fill(s.ownNumbers, {
                           {1, {"+491711234567", 145, "Sprache"}},
                           {2, {"+491711234568", 145, "Daten"}},
                       });
    // Full call lists, newest first; calls from numbers not in a phonebook have no name.
    fill(s.dialledCalls, {
                             {1, {"+4930123456", 145, mueller}},
                             {2, {"0302223344", 129, taxi}},
                             {3, {"0307654321", 129, ""}},
                             {4, {"+491701234567", 145, "Mama!"}},
                             {5, {"0800330000", 129, ""}},
                             {6, {"01712345678", 129, juergen}},
                             {7, {"+33478123456", 145, cafe}},
                             {8, {"0891234567", 129, "Info@Home"}},
                             {9, {"0304445566", 129, "Pizza Napoli"}},
                             {10, {"0221987654", 129, ""}},
                         });
    fill(s.missedCalls, {
                            {1, {"0301", 129, ""}},
                            {2, {"+491701234567", 145, "Mama!"}},
                            {3, {"01609876543", 129, ""}},
                            {4, {"+4930123456", 145, mueller}},
                            {5, {"0897654321", 129, dentist}},
                            {6, {"0401112233", 129, ""}},
                            {7, {"+4740123456", 145, aase}},
                            {8, {"0302223344", 129, taxi}},
                            {9, {"+4989555123", 145, office}},
                            {10, {"0611234567", 129, ""}},
                        });
    fill(s.receivedCalls, {
                              {1, {"01712345678", 129, juergen}},
                              {2, {"0309998877", 129, ""}},
                              {3, {"+4930123456", 145, mueller}},
                              {4, {"+33478123456", 145, cafe}},
                              {5, {"0891234567", 129, "Info@Home"}},
                              {6, {"+4989555123", 145, office}},
                              {7, {"0511445566", 129, ""}},
                              {8, {"+491701234567", 145, "Mama!"}},
                              {9, {"0304445566", 129, "Pizza Napoli"}},
                              {10, {"0897654321", 129, dentist}},
                          });
    // Numbers found in no phonebook, one for each failing outcome.
    s.dialResults = {
        {"0305550001", DialResult::Busy},
        {"0305550002", DialResult::NoCarrier},
        {"0305550003", DialResult::NoDialtone},
        {"0305550004", DialResult::Error},
    };
}

// ---- State file sections -------------------------------------------------

namespace {

// The quoted field starting at `pos` (which must hold a quote), its text
// between the quotes with escapes left in; `pos` moves past the closing quote.
std::optional<std::string_view> quotedField(std::string_view text, std::size_t& pos) {
    if (pos >= text.size() || text[pos] != '"') {
        return std::nullopt;
    }
    for (std::size_t i = pos + 1; i < text.size(); ++i) {
        if (text[i] == '\\') {
            ++i;
        } else if (text[i] == '"') {
            const std::string_view field = text.substr(pos + 1, i - pos - 1);
            pos = i + 1;
            return field;
        }
    }
    return std::nullopt;
}

// A decimal number up to the next "," (or the end), `pos` moved past the ",".
std::optional<int> numberField(std::string_view text, std::size_t& pos) {
    const std::size_t comma = text.find(',', pos);
    const auto n = parseNumber(
        text.substr(pos, comma == std::string_view::npos ? std::string_view::npos : comma - pos));
    pos = comma == std::string_view::npos ? text.size() : comma + 1;
    return n;
}

// `<location>,"<number>",<type>,"<name>"`.
std::optional<std::pair<int, StoredEntry>> parseEntry(std::string_view text) {
    std::size_t pos = 0;
    const auto location = numberField(text, pos);
    const auto number = quotedField(text, pos);
    if (!location || !number || pos >= text.size() || text[pos] != ',') {
        return std::nullopt;
    }
    ++pos;
    const auto type = numberField(text, pos);
    const auto name = quotedField(text, pos);
    if (!type || *type > 255 || !name || pos != text.size()) {
        return std::nullopt;
    }
    auto numberText = unquoteFromFile(*number);
    auto nameText = unquoteFromFile(*name);
    if (!numberText || !nameText) {
        return std::nullopt;
    }
    return std::make_pair(*location,
                          StoredEntry{std::move(*numberText), *type, std::move(*nameText)});
}

std::string formatEntry(int location, const StoredEntry& e) {
    return std::to_string(location) + "," + quoteForFile(e.number) + "," + std::to_string(e.type) +
           "," + quoteForFile(e.name);
}

StateSection phonebookSection(std::string code, std::string comment,
                              PhonebookStore PhoneState::*member) {
    StateSection section;
    section.name = "phonebook " + code;
    section.comment = std::move(comment);
    section.write = [member](const PhoneState& s, KeyValues& out) {
        const PhonebookStore& store = s.*member;
        out.emplace_back("size", std::to_string(store.size));
        out.emplace_back("numberLength", std::to_string(store.numberLength));
        out.emplace_back("textLength", std::to_string(store.textLength));
        for (const auto& [location, entry] : store.entries) {
            out.emplace_back("entry", formatEntry(location, entry));
        }
    };
    section.read = [member](PhoneState& s, const std::string& key, const std::string& value,
                            std::string& error) {
        PhonebookStore& store = s.*member;
        if (key == "entry") {
            auto parsed = parseEntry(value);
            if (!parsed) {
                error = "bad entry '" + value + "'";
                return false;
            }
            if (parsed->first < 1 || parsed->first > store.size) {
                error = "location " + std::to_string(parsed->first) + " outside 1.." +
                        std::to_string(store.size);
                return false;
            }
            if (!store.entries.emplace(parsed->first, std::move(parsed->second)).second) {
                error = "location " + std::to_string(parsed->first) + " twice";
                return false;
            }
            return true;
        }
        int PhonebookStore::*field = nullptr;
        if (key == "size") {
            field = &PhonebookStore::size;
        } else if (key == "numberLength") {
            field = &PhonebookStore::numberLength;
        } else if (key == "textLength") {
            field = &PhonebookStore::textLength;
        } else {
            error = "unknown key '" + key + "'";
            return false;
        }
        const auto n = parseNumber(value);
        // A size below an entry already read would strand that entry.
        if (!n || (field == &PhonebookStore::size && !store.entries.empty() &&
                   store.entries.rbegin()->first > *n)) {
            error = "bad value for '" + key + "'";
            return false;
        }
        store.*field = *n;
        return true;
    };
    return section;
}

bool isPhonebookCode(std::string_view code) {
    return std::find(std::begin(kPhonebookCodes), std::end(kPhonebookCodes), code) !=
           std::end(kPhonebookCodes);
}

bool isPin(std::string_view text) {
    return !text.empty() && text.size() <= 19 &&
           text.find_first_not_of("0123456789") == std::string_view::npos;
}

StateSection dialSection() {
    StateSection section;
    section.name = "dial";
    section.comment =
        "ATD outcomes: \"result = <number>,<OK|BUSY|NO CARRIER|NO DIALTONE|ERROR>\";\n"
        "numbers not listed are answered with OK. A call answered OK goes to the top of LD.";
    section.write = [](const PhoneState& s, KeyValues& out) {
        for (const auto& [number, result] : s.dialResults) {
            out.emplace_back("result", number + "," + std::string(dialResultText(result)));
        }
    };
    section.read = [](PhoneState& s, const std::string& key, const std::string& value,
                      std::string& error) {
        if (key != "result") {
            error = "unknown key '" + key + "'";
            return false;
        }
        const std::size_t comma = value.rfind(',');
        const auto result = comma == std::string::npos
                                ? std::nullopt
                                : dialResultFromText(std::string_view(value).substr(comma + 1));
        if (!result || comma == 0) {
            error = "bad result '" + value + "'";
            return false;
        }
        s.dialResults[value.substr(0, comma)] = *result;
        return true;
    };
    return section;
}

}  // namespace

std::vector<StateSection> phonebookSections() {
    std::vector<StateSection> sections;
    sections.push_back(fieldSection(
        "phonebook",
        "The phonebook AT+CPBR, AT+CPBW and ATD> work on (SM, ME, FD, RD, ON, LD, MC, RC),\n"
        "as chosen by AT+CPBS= or AT^SPBS=. RD (the Redbook) is the SM and ME entries\n"
        "whose name ends with \"!\", read with AT^SPBG in alphabetical order.\n"
        "refuseRanges = 1: AT+CPBR and AT^SPBG refuse a range of locations.",
        {field("selected", &PhoneState::selectedPhonebook,
               [](std::string_view v) { return isPhonebookCode(v); }),
         field("refuseRanges", &PhoneState::refuseRanges)}));
    sections.push_back(phonebookSection(
        "SM",
        "SIM phonebook. Each [phonebook XX] has its size (locations 1..size), the field\n"
        "lengths AT+CPBR=? reports (numberLength: digits without a leading \"+\";\n"
        "textLength: characters), and one line per occupied location:\n"
        "  entry = <location>,\"<number>\",<type>,\"<name>\"\n"
        "with names in UTF-8 and \\\" \\\\ \\n \\r \\xHH escapes inside the quotes.",
        &PhoneState::sim));
    sections.push_back(phonebookSection("ME", "Phone memory phonebook.", &PhoneState::memory));
    sections.push_back(phonebookSection("FD",
                                        "Fixed dialling numbers: writes need the PIN2 of [pin].",
                                        &PhoneState::fixedDialling));
    sections.push_back(phonebookSection("ON", "Own numbers.", &PhoneState::ownNumbers));
    sections.push_back(phonebookSection(
        "LD", "Dialled calls, newest at location 1 (read only; AT^SDLD empties it).",
        &PhoneState::dialledCalls));
    sections.push_back(
        phonebookSection("MC", "Missed calls (read only).", &PhoneState::missedCalls));
    sections.push_back(
        phonebookSection("RC", "Received calls (read only).", &PhoneState::receivedCalls));
    sections.push_back(fieldSection(
        "pin", "PIN2 that AT+CPIN= must give before fixed dialling numbers can be written",
        {field("pin2", &PhoneState::pin2, [](std::string_view v) { return isPin(v); })}));
    sections.push_back(dialSection());
    return sections;
}

}  // namespace phonesim
