#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The GSM 03.38 default alphabet as this program maps it to the PC character
// set (ISO 8859-1), and the packing of 7-bit codes into octets.
namespace vondrix::gsm {

// Index: 7-bit code; value: PC character. The standard table except that
// line feed and carriage return trade places, the Greek capitals and the
// escape code show as the middle dot (0xB7), and the currency sign at 0x24
// shows as "$". Messages reach the extension table behind the escape code
// (gsmEncodeSeptets, gsmDecodeText); phonebook names do not.
const std::array<char, 128>& gsmAlphabet();

// The escape code to the extension table (GSM 03.38).
constexpr char kEscape = '\x1B';
// ISO 8859-1 has no euro sign; texts carry it as 0x80, where Windows code
// page 1252 has it, so that a message can send and show it.
constexpr char kEuroSign = '\x80';

// PC text to GSM codes: each character becomes the lowest code whose table
// entry equals it ("$" 0x02, "@" 0x00, CR 0x0A, LF 0x0D); a character without
// an entry is kept as it is (only its low 7 bits survive septet packing).
// The result has the same length as the input and may contain 0x00 bytes.
std::string gsmEncode(std::string_view pcText);

// The septets of a 7-bit message: gsmEncode, except that form feed,
// "^ { } \\ [ ~ ] |" and the euro sign become the escape code followed by
// their code in the extension table. Text without them encodes as gsmEncode.
std::string gsmEncodeSeptets(std::string_view pcText);

// Septets a character of message text takes: 2 for the extension table, else 1.
std::size_t septetsOf(char pc);
// Septets of a whole text.
std::size_t septetCount(std::string_view pcText);

// A character of the user's text that a message cannot carry, and what
// the recipient reads in its place when it is sent all the same.
struct UnsupportedCharacter {
    std::string character;  // UTF-8, as typed
    std::string arrivesAs;  // UTF-8
};

// The characters of `utf8Text` a message cannot carry, each once, in the
// order they first appear: for 7-bit messages those in neither the default
// alphabet nor its extension table, for 8-bit ones those outside ISO 8859-1
// (the euro sign included). Empty when the text goes out as typed.
std::vector<UnsupportedCharacter> unsupportedCharacters(std::string_view utf8Text,
                                                        bool eightBit = false);

// Message text from UTF-8: utf8ToLatin1, and the euro sign as kEuroSign
// (as "?" for 8-bit messages, whose bytes are ISO 8859-1).
std::string utf8ToMessageText(std::string_view utf8, bool eightBit = false);

// Received message text, GSM codes to PC characters through the table, so
// 0x40 is the inverted exclamation mark. The escape code followed by a code
// of the extension table is that character (the euro sign as kEuroSign);
// followed by any other code, that code's character (GSM 03.38); a lone
// escape at the end shows as the middle dot. Bytes 0x80..0xFF pass unchanged.
std::string gsmDecodeText(std::string_view codes);

// Phonebook names and 8-bit message data: like gsmDecodeText, except that
// 0x40 reads as "@" like code 0x00 (a name written with "@" may come back
// either way, and 8-bit text typed on a PC carries "@" as 0x40).
std::string gsmDecodeName(std::string_view codes);

// In-place forms of the two decoders, for callers that own the buffer.
void gsmDecodeTextInPlace(std::string& codes);
void gsmDecodeNameInPlace(std::string& codes);

// Packs 7-bit codes into ceil(7n/8) octets, least significant bits first;
// code 0x00 is a septet like any other and unused high bits are zero. Only
// the low 7 bits of each input byte are used.
std::vector<std::uint8_t> packSeptets(std::string_view codes);

// Unpacks up to `count` 7-bit codes from packed octets. Stops early
// (returning fewer codes) when the octets run out.
std::string unpackSeptets(const std::uint8_t* octets, std::size_t octetCount, std::size_t count);
inline std::string unpackSeptets(const std::vector<std::uint8_t>& octets, std::size_t count) {
    return unpackSeptets(octets.data(), octets.size(), count);
}

}  // namespace vondrix::gsm
