#pragma once

// Unsolicited result codes: lines the phone sends of its own accord (a call
// rings, a message arrived, the registration changed), which may fall
// anywhere inside the reply to a command. They answer no command, so the
// reply layer sets them aside before any rule reads the reply. A line is
// taken for one only when the command does not answer with that prefix
// itself, as each command's own prefix list decides in other AT stacks.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "link/Reply.h"

namespace vondrix::at {

// The prefix of the information lines `command` answers with: "+CPBR" of
// "AT+CPBR=2", "^SBNR" of "AT^SBNR=vcs,1", "+CREG" of "AT+CREG?"; empty for
// basic commands ("ATZ", "ATD...") and data lines.
std::string_view answerPrefix(std::string_view command);

// The prefix of an information line: "+CPBR" of "+CPBR: 1,...", "^SMGO" of
// "^SMGO: 0"; empty when the line has none.
std::string_view linePrefix(std::string_view line);

// How many lines the unsolicited code that starts at `line` (one line
// without its line end) takes inside the reply to `command`: 0 when it is
// none, 1 for most, 2 for a message or report routed in PDU mode (its
// header and the PDU line after it).
int unsolicitedLines(std::string_view line, std::string_view command, Ends ends);

// A reply's bytes with the unsolicited codes taken out, every other byte as
// received, and the codes' lines in arrival order. A code goes with its line
// end and with a blank line just before it, so a reply that carried one
// reads byte for byte as it would without it.
struct Sorted {
    std::string reply;
    std::vector<std::string> unsolicited;
};
Sorted setAsideUnsolicited(std::string_view raw, std::string_view command, Ends ends);

}  // namespace vondrix::at
