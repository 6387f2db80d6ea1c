#pragma once

// Phonebook names between the phone's three forms: the ISO 8859-1 text it
// keeps (see StoredEntry), the GSM 03.38 default alphabet codes it sends and
// takes over the link, and the UTF-8 of the state file.

#include <optional>
#include <string>
#include <string_view>

namespace phonesim {

// The GSM code of one character of a stored name; nothing when the alphabet
// lacks it (for example "{" or "ê").
std::optional<char> gsmCode(char c);

// The code of `c` in the extension table behind the escape code 0x1B (GSM
// 03.38 6.2.1.1: form feed, ^ { } \ [ ~ ] |; the euro sign has no ISO
// 8859-1 character), or nothing.
std::optional<char> gsmExtensionCode(char c);

// 7-bit codes of a message's user data as UTF-8: the default alphabet, and
// after the escape code the extension table, where a code it lacks reads
// as the default alphabet's character.
std::string septetsToUtf8(std::string_view codes);

// UTF-8 of one Unicode code point of the Basic Multilingual Plane.
void appendUtf8(std::string& out, char32_t cp);

// True when every character of `name` has a GSM code.
bool isGsmText(std::string_view name);

// A stored name as the phone sends it: one raw 7-bit code per character, so
// "@" goes out as a 0x00 byte and "ü" as 0x7E. Characters without a code
// (kept out of the phone by the checks above) go out as "?".
std::string toGsmCodes(std::string_view name);

// The text of a write command's name (AT+CPBW) as a stored name. Bytes below
// 0x80 are GSM codes; a backslash and two hexadecimal digits give the code
// they spell (V.25ter string constants), so "M\7Eller" is "Müller" and "\00"
// is "@". Nothing for a byte above 0x7F, a code above 0x7F or a backslash
// without two hexadecimal digits.
std::optional<std::string> fromGsmCodes(std::string_view text);

// A stored name in UTF-8 for the state file, between double quotes, with \"
// \\ \n \r and \xHH (other control characters) escaped; the Greek capitals
// are written as themselves.
std::string quoteForFile(std::string_view name);

// The reverse of quoteForFile for the text between the quotes; nothing for a
// bad escape, bad UTF-8, or a character that is not in the GSM alphabet.
std::optional<std::string> unquoteFromFile(std::string_view text);

// The key the phone sorts names by: upper case, accents taken off, "ß" as
// "SS", "Æ" as "AE".
std::string sortKey(std::string_view name);

// The value of a hexadecimal digit, or -1.
int hexDigit(char c);
// The byte written as two hex digits at text[at], or nothing.
std::optional<int> hexByte(std::string_view text, std::size_t at);

}  // namespace phonesim
