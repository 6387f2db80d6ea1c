#pragma once

// What the phonebook's services share: the name as the write command wants
// it, and the selection command of a kind, which every command on a
// location of the current phonebook follows.

#include <string>
#include <string_view>

#include "foundation/Reporter.h"
#include "link/AtEngine.h"
#include "phonebook/Phonebook.h"

namespace vondrix::phonebook {

// Replaces every occurrence of `search` by `replacement`, scanning forward
// (a replacement is never searched again). An empty `search` changes nothing.
std::string replaceAll(std::string text, std::string_view search, std::string_view replacement);
// The name as the phone's write command wants it: the 20 characters of the
// name encoding table become a backslash and two hex digits.
std::string encodeName(std::string_view latin1Name);

// Sends the selection command of `kind` ("AT^SPBS=SM", ...); true when the
// phone took it.
bool selectKind(AtEngine& engine, Reporter& reporter, Kind kind);

}  // namespace vondrix::phonebook
