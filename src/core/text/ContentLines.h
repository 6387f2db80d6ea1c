#pragma once

// The line format vCard (2.1, 3.0) and iCalendar files share:
// "[group.]NAME[;PARAM[=VALUE[,VALUE]]]...:value", long lines folded by a
// line end followed by a blank or tab.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vondrix {

struct ContentLine {
    std::string name;  // upper case, group dropped
    // Parameters in order, names upper case; a bare parameter of vCard 2.1
    // ("TEL;CELL:") has the name "TYPE" and itself as value. A list
    // ("TYPE=cell,voice") gives one pair per value.
    std::vector<std::pair<std::string, std::string>> params;
    std::string value;  // raw: no escape, encoding or charset undone

    // The first value of parameter `name` (upper case), or "".
    std::string param(std::string_view name) const;
    // Whether parameter `name` has `value` (compared without case).
    bool hasParam(std::string_view name, std::string_view expected) const;
};

// The logical lines of `text`: unfolded, CR LF, LF or CR ends accepted.
// A quoted-printable value ending in "=" continues on the next line (vCard
// 2.1's soft line break). Lines without a ":" are dropped.
std::vector<ContentLine> parseContentLines(std::string_view text);

// Quoted-printable ("=C3=A9") decoded; a "=" not followed by two hex digits stays.
std::string decodeQuotedPrintable(std::string_view text);

// 3.0 and iCalendar text: "\\n" and "\\N" a line feed, "\\," "\\;" "\\\\"
// the character itself.
std::string unescapeText(std::string_view text);

// Whether `bytes` is valid UTF-8.
bool isUtf8(std::string_view bytes);

// The value as UTF-8 text: quoted-printable undone when the ENCODING
// parameter says so, then CHARSET (ISO-8859-1/Latin-1/Windows-1252 taken as
// Latin-1); without a charset, bytes that are not UTF-8 are taken as Latin-1.
std::string textValue(const ContentLine& line);

// `text` upper-cased (ASCII letters only).
std::string upperAscii(std::string_view text);

}  // namespace vondrix
