#pragma once

#include <string>
#include <string_view>

namespace vondrix {

// Phone traffic and the program's files use the PC character set
// (ISO 8859-1); the terminal and the GUI use UTF-8. The control code 0x80
// shows as the euro sign, which message texts carry there (gsm::kEuroSign).
std::string latin1ToUtf8(std::string_view latin1);

// Characters outside ISO 8859-1 become '?'. Malformed UTF-8 bytes are taken
// as Latin-1 characters, so already-Latin-1 text passes through unchanged.
std::string utf8ToLatin1(std::string_view utf8);

}  // namespace vondrix
