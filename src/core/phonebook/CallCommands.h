#pragma once

// The call commands of the phonebook window and its call lists, spelled
// once: the service sends them, and the command line's help and messages
// name them from here (a front end never spells a command).

#include <string>
#include <string_view>

namespace vondrix::phonebook {

constexpr const char* kHangUpCommand = "AT+CHUP";
constexpr const char* kRedialCommand = "ATDL";
constexpr const char* kClearDialledCommand = "AT^SDLD";

// "ATD>n;": a voice call to location `location` of the selected phonebook.
inline std::string dialLocationCommand(std::string_view location) {
    return "ATD>" + std::string(location) + ";";
}

// "ATDn;": a voice call to `number`, exactly as given.
inline std::string dialNumberCommand(std::string_view number) {
    return "ATD" + std::string(number) + ";";
}

}  // namespace vondrix::phonebook
