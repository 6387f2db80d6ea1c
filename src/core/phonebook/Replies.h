#pragma once

// The phonebook's reply parsers: pure functions over one command's reply,
// each named after the command form it reads. The quoted-field rules here
// work on the raw reply bytes, as the phone's old program did.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "phonebook/Phonebook.h"

namespace vondrix::phonebook {

// One "AT+CPBR=" (or "AT^SPBG=") reply, read field by field from the first
// quote on: the quoted number, the type in the next field, the name in the
// next quoted field, its escapes ("\7E", "\22", "\00": GSM codes as
// encodeName writes them) and GSM codes decoded; both fitted to kMaxField.
// A quote closes its field only before a comma or the line end, so a raw
// quote inside a name stays in it. `index` is `location`, not the location
// the reply names. nullopt when the reply holds no quote (the location is
// empty). A quoted field without its closing quote ends at the end of its
// line.
std::optional<PhonebookEntry> parseCpbrRead(std::string_view response, int location);

// One record of a range read: the location it names and its text, from its
// prefix to the end of its line (a line break inside quotes belongs to the
// text). The single-location parsers read the text as a reply of its own, so
// a range and single reads give the same entries.
struct RangeRecord {
    int location = 0;
    std::string_view text;  // a part of the reply
};

// The reply to a range read ("AT+CPBR=first,last"; "AT^SPBG=first,last" with
// `prefix` "^SPBG:"): one record per occupied location, in ascending order,
// each the prefix, the location and the quoted fields; empty locations are
// left out. Blank lines, the echo of `command` and the closing "OK" are
// skipped. nullopt when the reply cannot be trusted: a line that is no
// record, a location outside first..last or not above the one before it, a
// record whose quotes are not the number's two or the number's and the
// name's four, or a quote left open (a reply cut short).
std::optional<std::vector<RangeRecord>> splitRangeReply(std::string_view response,
                                                        std::string_view prefix, int first,
                                                        int last, std::string_view command = {});

// "AT+CPBR=first,last": the entries of the occupied locations in ascending
// order, each exactly as parseCpbrRead reads a reply of that location alone;
// nullopt when splitRangeReply does not trust the reply.
std::optional<std::vector<PhonebookEntry>> parseCpbrRange(std::string_view response, int first,
                                                          int last, std::string_view command = {});

// "AT+CPBR=?" (and "AT^SPBG=?"): the range and the field lengths by the
// range-and-lengths rule; lengths whose delimiter is missing stay as in
// `range`. Nothing when the first information line's first field is no
// range "(a-b)" ("+CPBR: 1-100,20,14"): the size is unknown, not 0.
std::optional<Range> parseCpbrTest(std::string_view response, Range range);

// An own number ("AT+CPBR=" on "ON"): the text after the first quote up to
// the next quote or line end, at most kMaxOwnNumber characters; nullopt when
// the reply holds no quote.
std::optional<std::string> parseOwnNumber(std::string_view response);

}  // namespace vondrix::phonebook
