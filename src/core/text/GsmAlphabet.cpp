#include "text/GsmAlphabet.h"

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

void gsmDecodeTextInPlace(std::string& codes) {
    mapInPlace(codes, kDecodeText);
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
