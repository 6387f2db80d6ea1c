#include "text/GsmAlphabet.h"

#include <algorithm>
#include <optional>

#include "text/Latin1.h"

namespace vondrix::gsm {

namespace {

constexpr unsigned char kDot = 0xB7;  // stands in for what Latin-1 cannot show

// GSM 03.38 default alphabet in ISO 8859-1, with the program's deviations at
// 0x0A/0x0D (swapped), 0x10 and 0x12..0x1B (middle dot) and 0x24 ("$").
// clang-format off
constexpr std::array<unsigned char, 128> kTable = {
    '@',  0xA3, '$',  0xA5, 0xE8, 0xE9, 0xF9, 0xEC,  // 0x00
    0xF2, 0xC7, '\r', 0xD8, 0xF8, '\n', 0xC5, 0xE5,  // 0x08
    kDot, '_',  kDot, kDot, kDot, kDot, kDot, kDot,  // 0x10
    kDot, kDot, kDot, kDot, 0xC6, 0xE6, 0xDF, 0xC9,  // 0x18
    ' ',  '!',  '"',  '#',  '$',  '%',  '&',  '\'',  // 0x20
    '(',  ')',  '*',  '+',  ',',  '-',  '.',  '/',   // 0x28
    '0',  '1',  '2',  '3',  '4',  '5',  '6',  '7',   // 0x30
    '8',  '9',  ':',  ';',  '<',  '=',  '>',  '?',   // 0x38
    0xA1, 'A',  'B',  'C',  'D',  'E',  'F',  'G',   // 0x40
    'H',  'I',  'J',  'K',  'L',  'M',  'N',  'O',   // 0x48
    'P',  'Q',  'R',  'S',  'T',  'U',  'V',  'W',   // 0x50
    'X',  'Y',  'Z',  0xC4, 0xD6, 0xD1, 0xDC, 0xA7,  // 0x58
    0xBF, 'a',  'b',  'c',  'd',  'e',  'f',  'g',   // 0x60
    'h',  'i',  'j',  'k',  'l',  'm',  'n',  'o',   // 0x68
    'p',  'q',  'r',  's',  't',  'u',  'v',  'w',   // 0x70
    'x',  'y',  'z',  0xE4, 0xF6, 0xF1, 0xFC, 0xE0,  // 0x78
};
// clang-format on

// Decoding over all 256 byte values: codes through the table, 0x80..0xFF kept.
constexpr std::array<char, 256> makeDecodeTable(bool atFor40) {
    std::array<char, 256> t{};
    for (unsigned c = 0; c < 256; ++c) {
        t[c] = static_cast<char>(c < 128 ? kTable[c] : c);
    }
    if (atFor40)
        t[0x40] = '@';
    return t;
}

// First match wins, so the code found first for a character is kept.
constexpr std::array<char, 256> makeEncodeTable() {
    std::array<char, 256> t{};
    std::array<bool, 256> found{};
    for (unsigned c = 0; c < 256; ++c)
        t[c] = static_cast<char>(c);
    for (unsigned code = 0; code < 128; ++code) {
        const unsigned char pc = kTable[code];
        if (!found[pc]) {
            found[pc] = true;
            t[pc] = static_cast<char>(code);
        }
    }
    return t;
}

// The extension table: PC character and its code behind the escape.
struct Extension {
    char pc;
    char code;
};
constexpr std::array<Extension, 10> kExtensions = {{
    {'\f', 0x0A},
    {'^', 0x14},
    {'{', 0x28},
    {'}', 0x29},
    {'\\', 0x2F},
    {'[', 0x3C},
    {'~', 0x3D},
    {']', 0x3E},
    {'|', 0x40},
    {kEuroSign, 0x65},
}};

std::optional<char> extensionCode(char pc) {
    for (const Extension& e : kExtensions)
        if (e.pc == pc)
            return e.code;
    return std::nullopt;
}

std::optional<char> extensionCharacter(char code) {
    for (const Extension& e : kExtensions)
        if (e.code == code)
            return e.pc;
    return std::nullopt;
}

constexpr std::array<bool, 256> makeInTable() {
    std::array<bool, 256> t{};
    for (unsigned code = 0; code < 128; ++code)
        t[kTable[code]] = true;
    return t;
}
constexpr std::array<bool, 256> kInTable = makeInTable();

constexpr std::array<char, 256> kDecodeText = makeDecodeTable(false);
constexpr std::array<char, 256> kDecodeName = makeDecodeTable(true);
constexpr std::array<char, 256> kEncode = makeEncodeTable();

constexpr std::array<char, 128> makePublicTable() {
    std::array<char, 128> t{};
    for (unsigned c = 0; c < 128; ++c)
        t[c] = static_cast<char>(kTable[c]);
    return t;
}
constexpr std::array<char, 128> kPublicTable = makePublicTable();

void mapInPlace(std::string& s, const std::array<char, 256>& table) {
    for (char& c : s)
        c = table[static_cast<unsigned char>(c)];
}

}  // namespace

const std::array<char, 128>& gsmAlphabet() {
    return kPublicTable;
}

std::string gsmEncode(std::string_view pcText) {
    std::string out(pcText);
    mapInPlace(out, kEncode);
    return out;
}

std::string gsmEncodeSeptets(std::string_view pcText) {
    std::string out;
    out.reserve(pcText.size());
    for (const char c : pcText) {
        if (const auto code = extensionCode(c)) {
            out.push_back(kEscape);
            out.push_back(*code);
        } else {
            out.push_back(kEncode[static_cast<unsigned char>(c)]);
        }
    }
    return out;
}

std::size_t septetsOf(char pc) {
    return extensionCode(pc) ? 2 : 1;
}

std::size_t septetCount(std::string_view pcText) {
    std::size_t n = 0;
    for (const char c : pcText)
        n += septetsOf(c);
    return n;
}

std::string utf8ToMessageText(std::string_view utf8, bool eightBit) {
    constexpr std::string_view kEuroUtf8 = "\xE2\x82\xAC";
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t at = 0;;) {
        const std::size_t euro = utf8.find(kEuroUtf8, at);
        out += utf8ToLatin1(utf8.substr(at, euro - at));
        if (euro == std::string_view::npos)
            return out;
        out.push_back(eightBit ? '?' : kEuroSign);
        at = euro + kEuroUtf8.size();
    }
}

std::vector<UnsupportedCharacter> unsupportedCharacters(std::string_view utf8Text, bool eightBit) {
    std::vector<UnsupportedCharacter> found;
    for (std::size_t at = 0; at < utf8Text.size();) {
        // One character: a lead byte and its continuation bytes.
        std::size_t end = at + 1;
        while (end < utf8Text.size() && (static_cast<unsigned char>(utf8Text[end]) & 0xC0) == 0x80)
            ++end;
        const std::string_view typed = utf8Text.substr(at, end - at);
        at = end;
        const std::string pc = utf8ToMessageText(typed, eightBit);
        const bool carried =
            pc.size() == 1 && (pc != "?" || typed == "?") &&
            (eightBit || extensionCode(pc[0]) || kInTable[static_cast<unsigned char>(pc[0])]);
        if (carried || std::any_of(found.begin(), found.end(),
                                   [&](const auto& u) { return u.character == typed; }))
            continue;
        // Sent all the same, only the low 7 bits of the byte reach the recipient.
        std::string arrives = pc;
        if (!eightBit)
            for (char& c : arrives)
                c = kTable[static_cast<unsigned char>(c) & 0x7F];
        found.push_back({std::string(typed), latin1ToUtf8(arrives)});
    }
    return found;
}

void gsmDecodeTextInPlace(std::string& codes) {
    std::size_t out = 0;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        char c = codes[i];
        if (c == kEscape && i + 1 < codes.size()) {
            c = codes[++i];
            codes[out++] =
                extensionCharacter(c).value_or(kDecodeText[static_cast<unsigned char>(c)]);
            continue;
        }
        codes[out++] = kDecodeText[static_cast<unsigned char>(c)];
    }
    codes.resize(out);
}
void gsmDecodeNameInPlace(std::string& codes) {
    mapInPlace(codes, kDecodeName);
}

std::string gsmDecodeText(std::string_view codes) {
    std::string out(codes);
    gsmDecodeTextInPlace(out);
    return out;
}

std::string gsmDecodeName(std::string_view codes) {
    std::string out(codes);
    gsmDecodeNameInPlace(out);
    return out;
}

std::vector<std::uint8_t> packSeptets(std::string_view codes) {
    std::vector<std::uint8_t> out;
    out.reserve((codes.size() * 7 + 7) / 8);
    unsigned acc = 0;  // pending bits, least significant first
    unsigned bits = 0;
    for (char ch : codes) {
        acc |= (static_cast<unsigned char>(ch) & 0x7Fu) << bits;
        bits += 7;
        while (bits >= 8) {
            out.push_back(static_cast<std::uint8_t>(acc & 0xFF));
            acc >>= 8;
            bits -= 8;
        }
    }
    if (bits > 0)
        out.push_back(static_cast<std::uint8_t>(acc & 0xFF));
    return out;
}

std::string unpackSeptets(const std::uint8_t* octets, std::size_t octetCount, std::size_t count) {
    std::string out;
    out.reserve(count < octetCount * 8 / 7 ? count : octetCount * 8 / 7);
    unsigned acc = 0;
    unsigned bits = 0;
    std::size_t next = 0;
    while (out.size() < count) {
        if (bits < 7) {
            if (next == octetCount)
                break;
            acc |= static_cast<unsigned>(octets[next++]) << bits;
            bits += 8;
        }
        out.push_back(static_cast<char>(acc & 0x7F));
        acc >>= 7;
        bits -= 7;
    }
    return out;
}

}  // namespace vondrix::gsm
