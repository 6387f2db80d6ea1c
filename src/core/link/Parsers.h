#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vondrix {

// The reply as a tidy phone writes it, so that the fixed rules below give
// the same result for the forms GSM 07.07 allows and phones use: every line
// ended by CR LF (LF alone, CR alone and CR LF LF are line ends too), no
// blanks at either end of a line, and in an information line ("+CSQ:",
// "^SBNR:") one blank after the prefix's colon and none around the commas
// outside quotes. A tidy reply comes back unchanged, but for line ends.
std::string canonicalReply(std::string_view raw);

// The reply's last word before the first "OK\r\n": e.g. "17,99" of
// "+CSQ: 17,99\r\n\r\nOK\r\n". Bytes up to 0x20 and from 0x80 separate
// words. nullopt without "OK\r\n"; empty when only separators precede it.
std::optional<std::string> lastAnswerWord(std::string_view response);

// "(lo-hi": the number after the first '(' and the number after the first
// '-' that follows it. Missing delimiters leave the outputs unchanged.
// These rules and numberAfter read the canonical form of `text`.
void parseRange(std::string_view text, int& low, int& high);

// parseRange, plus the numbers after the first ',' of the whole text and the
// next ',' after that: "+CPBR: (1-250),20,14" gives 1, 250, 20, 14.
void parseRangeAndLengths(std::string_view text, int& low, int& high, int& length1, int& length2);

// The number right after `tag` (e.g. "^SNFS:"), or nullopt without the tag.
std::optional<int> numberAfter(std::string_view text, std::string_view tag);

}  // namespace vondrix
