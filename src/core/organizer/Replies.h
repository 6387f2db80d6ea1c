#pragma once

// The organizer's reply parser: the object of one "AT^SBNR=vcs,n" reply.
// The rule works on the raw reply bytes, as the phone's old program did.

#include <optional>
#include <string>
#include <string_view>

namespace vondrix::organizer {

// The decoded object of a reply, or nothing when the reply holds no
// "^SBNR:" (the slot is empty). The payload is the line after the first
// "^SBNR:" header (the rest of the header line is not examined), up to its
// CR or LF, read as pairs of hexadecimal digits; a pair that does not start
// with one is 0, and a 0 byte ends the object. When that header announces
// packet 1 of n, the payloads of the headers of packets 2 to n that follow
// in order are appended, so an object the phone sends in several packets
// arrives whole.
std::optional<std::string> parseSbnrRead(std::string_view response);

// The decoded bytes of one payload line by the pair rule above.
std::string decodeHexPayload(std::string_view line);

}  // namespace vondrix::organizer
