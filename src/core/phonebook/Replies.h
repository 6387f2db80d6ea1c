#pragma once

// The phonebook's reply parsers: pure functions over one command's reply,
// each named after the command form it reads. The quoted-field rules here
// work on the raw reply bytes, as the phone's old program did.

#include <optional>
#include <string>
#include <string_view>

#include "phonebook/Phonebook.h"

namespace vondrix::phonebook {

// One "AT+CPBR=" (or "AT^SPBG=") reply: the number between the first two
// quotes, the type after the next ",", the name between the next two
// quotes, GSM-decoded, both fitted to kMaxField. `index` is `location`, not
// the location the reply names. nullopt when the reply holds no quote (the
// location is empty). A quoted field without its closing quote ends at the
// end of its line.
std::optional<PhonebookEntry> parseCpbrRead(std::string_view response, int location);

// The number of an "AT+CSCA?" reply: the text between the first two quotes
// after "+CSCA:"; empty when there is none.
std::string parseCscaQuery(std::string_view response);

// "AT+CPBR=?" (and "AT^SPBG=?"): the range and the field lengths by the
// range-and-lengths rule; values whose delimiter is missing stay as in `range`.
Range parseCpbrTest(std::string_view response, Range range);

// An own number ("AT+CPBR=" on "ON"): the text after the first quote up to
// the next quote or line end, at most kMaxOwnNumber characters; nullopt when
// the reply holds no quote.
std::optional<std::string> parseOwnNumber(std::string_view response);

}  // namespace vondrix::phonebook
