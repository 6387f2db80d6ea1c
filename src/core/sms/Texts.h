#pragma once

// The message subsystem's in-code multilingual texts, chosen by the
// language index (UTF-8, like the catalogue).

#include <array>
#include <string>

#include "foundation/Language.h"

namespace vondrix::sms {

// Field 1204: the message memory's state m of "^SMGO:" (0 space available,
// 1 buffer full, 2 buffer full with a message waiting). A state outside
// 0 … 2 shows as its number.
std::string memoryStateText(Language lang, int state);

// The command mode's field 1248.
enum class CommandModeState { Idle, Waiting, Checking, Processing };
// Empty for Idle (stopped). German for the language indexes 0x07 and 0x10.
std::string commandModeStateText(Language lang, CommandModeState state);

// The six column headers of the message list.
std::array<std::string, 6> listColumnHeaders(Language lang);

}  // namespace vondrix::sms
