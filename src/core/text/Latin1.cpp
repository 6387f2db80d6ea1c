#include "text/Latin1.h"

namespace vondrix {

std::string latin1ToUtf8(std::string_view latin1) {
    std::string out;
    out.reserve(latin1.size() + latin1.size() / 4);
    for (unsigned char c : latin1) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c == 0x80) {
            out += "\xE2\x82\xAC";  // the euro sign of message texts
        } else {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::string utf8ToLatin1(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        auto cont = [&](size_t k) {
            return i + k < utf8.size() && (static_cast<unsigned char>(utf8[i + k]) & 0xC0) == 0x80;
        };
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            i += 1;
        } else if ((c & 0xE0) == 0xC0 && c >= 0xC2 && cont(1)) {
            const unsigned cp =
                ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);
            out.push_back(cp <= 0xFF ? static_cast<char>(cp) : '?');
            i += 2;
        } else if ((c & 0xF0) == 0xE0 && cont(1) && cont(2)) {
            out.push_back('?');
            i += 3;
        } else if ((c & 0xF8) == 0xF0 && cont(1) && cont(2) && cont(3)) {
            out.push_back('?');
            i += 4;
        } else {
            out.push_back(static_cast<char>(c));  // not UTF-8: keep the byte as Latin-1
            i += 1;
        }
    }
    return out;
}

}  // namespace vondrix
