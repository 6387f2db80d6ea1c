#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vondrix {

namespace detail {
constexpr std::array<signed char, 256> makeHexDigitTable() {
    std::array<signed char, 256> t{};
    for (auto& v : t)
        v = -1;
    for (int c = '0'; c <= '9'; ++c)
        t[c] = static_cast<signed char>(c - '0');
    for (int c = 'A'; c <= 'F'; ++c)
        t[c] = static_cast<signed char>(c - 'A' + 10);
    for (int c = 'a'; c <= 'f'; ++c)
        t[c] = static_cast<signed char>(c - 'a' + 10);
    return t;
}
inline constexpr std::array<signed char, 256> kHexDigit = makeHexDigitTable();
}  // namespace detail

// The value of a hexadecimal digit in either case, -1 for any other byte.
// A table, since the PDU and object codecs call it for every character.
constexpr int hexDigit(char c) {
    return detail::kHexDigit[static_cast<unsigned char>(c)];
}

// Whether every character of `text` is a hexadecimal digit (true for "").
bool allHexDigits(std::string_view text);

// The low eight bits of `byte` as two upper-case hexadecimal digits, the
// form of PDUs, object store segments and the backup's hex fields.
void appendHexByte(std::string& out, unsigned byte);

// Every byte as two upper-case hexadecimal digits.
std::string hexText(std::string_view bytes);
std::string hexText(std::span<const std::uint8_t> bytes);

}  // namespace vondrix
