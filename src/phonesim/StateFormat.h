#pragma once

// The building blocks of the phone's state file: "[section]" headers followed
// by "key = value" lines. Each feature describes its part of PhoneState as a
// StateSection and adds it to the list in PhoneState.cpp.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "phonesim/PhoneState.h"

namespace phonesim {

using KeyValues = std::vector<std::pair<std::string, std::string>>;

struct StateSection {
    std::string name;     // without brackets
    std::string comment;  // written above the header, one "# " line per text line
    // Appends the section's lines in file order; a key may repeat (list entries).
    std::function<void(const PhoneState&, KeyValues&)> write;
    // Applies one line; false with a message (no line number) for an unknown
    // key or a bad value.
    std::function<bool(PhoneState&, const std::string& key, const std::string& value,
                       std::string& error)>
        read;
};

// A scalar member kept as one "key = value" line.
struct StateField {
    std::string key;
    std::function<std::string(const PhoneState&)> get;
    std::function<bool(PhoneState&, const std::string&)> set;  // false: bad value
};

StateField field(std::string key, std::string PhoneState::*member,
                 bool (*valid)(std::string_view) = nullptr);
StateField field(std::string key, int PhoneState::*member);
StateField field(std::string key, bool PhoneState::*member);  // written 0 / 1

StateSection fieldSection(std::string name, std::string comment, std::vector<StateField> fields);

// Values are written bare unless they need quotes (empty, blanks at either
// end, a leading quote, control characters); quoted values use C escapes.
std::string encodeValue(std::string_view value);
std::optional<std::string> decodeValue(std::string_view text);

// Every section of the state file, in file order (PhoneState.cpp).
const std::vector<StateSection>& stateSections();

// The sections of the phonebooks, the PIN2 and the dial outcomes (PhonebookStore.cpp).
std::vector<StateSection> phonebookSections();

// The section of the short message memory (SmsStore.cpp).
std::vector<StateSection> smsSections();

}  // namespace phonesim
