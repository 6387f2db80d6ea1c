#pragma once

#include <array>

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

}  // namespace vondrix
