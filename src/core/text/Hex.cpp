#include "text/Hex.h"

#include <algorithm>

namespace vondrix {

bool allHexDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return hexDigit(c) >= 0; });
}

void appendHexByte(std::string& out, unsigned byte) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out.push_back(kDigits[(byte >> 4) & 0x0F]);
    out.push_back(kDigits[byte & 0x0F]);
}

std::string hexText(std::span<const std::uint8_t> bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const std::uint8_t b : bytes)
        appendHexByte(out, b);
    return out;
}

std::string hexText(std::string_view bytes) {
    return hexText(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

}  // namespace vondrix
