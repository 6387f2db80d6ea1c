#include "phonesim/GsmText.h"

#include <array>
#include <cstdint>

namespace phonesim {

namespace {

constexpr char32_t kNone = 0xFFFF;

// GSM 03.38 default alphabet: code → Unicode. The escape code 0x1B has no
// character of its own.
constexpr std::array<char32_t, 128> kGsm = {
    0x0040, 0x00A3, 0x0024, 0x00A5, 0x00E8, 0x00E9, 0x00F9, 0x00EC,  // @ £ $ ¥ è é ù ì
    0x00F2, 0x00C7, 0x000A, 0x00D8, 0x00F8, 0x000D, 0x00C5, 0x00E5,  // ò Ç LF Ø ø CR Å å
    0x0394, 0x005F, 0x03A6, 0x0393, 0x039B, 0x03A9, 0x03A0, 0x03A8,  // Δ _ Φ Γ Λ Ω Π Ψ
    0x03A3, 0x0398, 0x039E, kNone,  0x00C6, 0x00E6, 0x00DF, 0x00C9,  // Σ Θ Ξ ESC Æ æ ß É
    0x0020, 0x0021, 0x0022, 0x0023, 0x00A4, 0x0025, 0x0026, 0x0027,  // SP ! " # ¤ % & '
    0x0028, 0x0029, 0x002A, 0x002B, 0x002C, 0x002D, 0x002E, 0x002F,  // ( ) * + , - . /
    0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037,  // 0..7
    0x0038, 0x0039, 0x003A, 0x003B, 0x003C, 0x003D, 0x003E, 0x003F,  // 8 9 : ; < = > ?
    0x00A1, 0x0041, 0x0042, 0x0043, 0x0044, 0x0045, 0x0046, 0x0047,  // ¡ A..G
    0x0048, 0x0049, 0x004A, 0x004B, 0x004C, 0x004D, 0x004E, 0x004F,  // H..O
    0x0050, 0x0051, 0x0052, 0x0053, 0x0054, 0x0055, 0x0056, 0x0057,  // P..W
    0x0058, 0x0059, 0x005A, 0x00C4, 0x00D6, 0x00D1, 0x00DC, 0x00A7,  // X Y Z Ä Ö Ñ Ü §
    0x00BF, 0x0061, 0x0062, 0x0063, 0x0064, 0x0065, 0x0066, 0x0067,  // ¿ a..g
    0x0068, 0x0069, 0x006A, 0x006B, 0x006C, 0x006D, 0x006E, 0x006F,  // h..o
    0x0070, 0x0071, 0x0072, 0x0073, 0x0074, 0x0075, 0x0076, 0x0077,  // p..w
    0x0078, 0x0079, 0x007A, 0x00E4, 0x00F6, 0x00F1, 0x00FC, 0x00E0,  // x y z ä ö ñ ü à
};

// The byte a GSM code is stored as: its ISO 8859-1 character, or the code
// itself for the letters ISO 8859-1 lacks.
constexpr unsigned char storedByte(std::size_t code) {
    return kGsm[code] <= 0xFF ? static_cast<unsigned char>(kGsm[code])
                              : static_cast<unsigned char>(code);
}

// Stored byte → GSM code, -1 for none.
constexpr std::array<std::int8_t, 256> makeReverse() {
    std::array<std::int8_t, 256> reverse{};
    for (auto& r : reverse) {
        r = -1;
    }
    for (std::size_t code = 0; code < kGsm.size(); ++code) {
        reverse[storedByte(code)] = static_cast<std::int8_t>(code);
    }
    return reverse;
}

constexpr std::array<std::int8_t, 256> kReverse = makeReverse();

// The extension table: code and character.
struct Extension {
    char code;
    char32_t character;
};
constexpr std::array<Extension, 10> kExtension = {{
    {0x0A, 0x000C},  // form feed
    {0x14, 0x005E},  // ^
    {0x28, 0x007B},  // {
    {0x29, 0x007D},  // }
    {0x2F, 0x005C},  // backslash
    {0x3C, 0x005B},  // [
    {0x3D, 0x007E},  // ~
    {0x3E, 0x005D},  // ]
    {0x40, 0x007C},  // |
    {0x65, 0x20AC},  // euro sign
}};

}  // namespace

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

namespace {

// Decodes one UTF-8 character of at most three bytes at `i`, moving `i` past it.
std::optional<char32_t> readUtf8(std::string_view text, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t extra = 0;
    char32_t cp = 0;
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        cp = lead & 0x0F;
    } else {
        return std::nullopt;
    }
    if (i + extra >= text.size()) {
        return std::nullopt;
    }
    for (std::size_t k = 1; k <= extra; ++k) {
        const auto b = static_cast<unsigned char>(text[i + k]);
        if ((b & 0xC0) != 0x80) {
            return std::nullopt;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    // Overlong forms are refused, so every character has one spelling.
    if ((extra == 1 && cp < 0x80) || (extra == 2 && cp < 0x800)) {
        return std::nullopt;
    }
    i += extra + 1;
    return cp;
}

}  // namespace

std::optional<char> gsmCode(char c) {
    const int code = kReverse[static_cast<unsigned char>(c)];
    if (code < 0) {
        return std::nullopt;
    }
    return static_cast<char>(code);
}

std::optional<char> gsmExtensionCode(char c) {
    for (const Extension& e : kExtension) {
        if (e.character == static_cast<unsigned char>(c)) {
            return e.code;
        }
    }
    return std::nullopt;
}

std::string septetsToUtf8(std::string_view codes) {
    std::string out;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        const auto code = static_cast<std::size_t>(codes[i] & 0x7F);
        if (code == 0x1B && i + 1 < codes.size()) {
            const char next = static_cast<char>(codes[++i] & 0x7F);
            char32_t cp = kGsm[static_cast<std::size_t>(next)];
            for (const Extension& e : kExtension) {
                if (e.code == next) {
                    cp = e.character;
                }
            }
            appendUtf8(out, cp == kNone ? U' ' : cp);
            continue;
        }
        appendUtf8(out, kGsm[code] == kNone ? U' ' : kGsm[code]);
    }
    return out;
}

bool isGsmText(std::string_view name) {
    for (const char c : name) {
        if (!gsmCode(c)) {
            return false;
        }
    }
    return true;
}

std::string toGsmCodes(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (const char c : name) {
        out += gsmCode(c).value_or('?');
    }
    return out;
}

std::optional<std::string> fromGsmCodes(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        int code = static_cast<unsigned char>(text[i]);
        if (text[i] == '\\') {
            const std::optional<int> byte = hexByte(text, i + 1);
            if (!byte) {
                return std::nullopt;
            }
            code = *byte;
            i += 2;
        }
        if (code >= 0x80) {
            return std::nullopt;
        }
        out += static_cast<char>(storedByte(static_cast<std::size_t>(code)));
    }
    return out;
}

std::string quoteForFile(std::string_view name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        const int code = kReverse[u];
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (code >= 0 && kGsm[static_cast<std::size_t>(code)] > 0xFF &&
                   kGsm[static_cast<std::size_t>(code)] != kNone) {
            appendUtf8(out, kGsm[static_cast<std::size_t>(code)]);  // a Greek capital
        } else if (u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0)) {
            out += "\\x";
            out += kHex[u >> 4];
            out += kHex[u & 0x0F];
        } else {
            appendUtf8(out, u);
        }
    }
    out += '"';
    return out;
}

std::optional<std::string> unquoteFromFile(std::string_view text) {
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '"') {
            return std::nullopt;  // an inner quote must be escaped
        }
        if (c == '\\') {
            if (i + 1 >= text.size()) {
                return std::nullopt;
            }
            const char e = text[i + 1];
            if (e == '"' || e == '\\') {
                out += e;
            } else if (e == 'n') {
                out += '\n';
            } else if (e == 'r') {
                out += '\r';
            } else if (e == 'x' && i + 3 < text.size()) {
                const std::optional<int> byte = hexByte(text, i + 2);
                if (!byte) {
                    return std::nullopt;
                }
                out += static_cast<char>(*byte);
                i += 2;
            } else {
                return std::nullopt;
            }
            i += 2;
            continue;
        }
        const auto cp = readUtf8(text, i);
        if (!cp) {
            return std::nullopt;
        }
        if (*cp <= 0xFF) {
            out += static_cast<char>(*cp);
            continue;
        }
        bool found = false;
        for (std::size_t code = 0; code < kGsm.size() && !found; ++code) {
            if (kGsm[code] == *cp) {
                out += static_cast<char>(storedByte(code));
                found = true;
            }
        }
        if (!found) {
            return std::nullopt;
        }
    }
    if (!isGsmText(out)) {
        return std::nullopt;
    }
    return out;
}

std::string sortKey(std::string_view name) {
    // ISO 8859-1 letters with accents, upper and lower case, and what they sort as.
    struct Fold {
        unsigned char first, last;
        std::string_view key;
    };
    static constexpr Fold kFolds[] = {
        {0xC0, 0xC5, "A"}, {0xC6, 0xC6, "AE"}, {0xC7, 0xC7, "C"},  {0xC8, 0xCB, "E"},
        {0xCC, 0xCF, "I"}, {0xD1, 0xD1, "N"},  {0xD2, 0xD6, "O"},  {0xD8, 0xD8, "O"},
        {0xD9, 0xDC, "U"}, {0xDD, 0xDD, "Y"},  {0xDF, 0xDF, "SS"},
    };
    std::string key;
    for (const char c : name) {
        auto u = static_cast<unsigned char>(c);
        if (u >= 'a' && u <= 'z') {
            u = static_cast<unsigned char>(u - 'a' + 'A');
        } else if (u >= 0xE0 && u != 0xF7 && u != 0xFF) {
            u = static_cast<unsigned char>(u - 0x20);  // ISO 8859-1 lower case to upper
        }
        std::string_view folded;
        for (const Fold& f : kFolds) {
            if (u >= f.first && u <= f.last) {
                folded = f.key;
            }
        }
        if (folded.empty()) {
            key += static_cast<char>(u);
        } else {
            key += folded;
        }
    }
    return key;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::optional<int> hexByte(std::string_view text, std::size_t at) {
    if (at + 1 >= text.size()) {
        return std::nullopt;
    }
    const int hi = hexDigit(text[at]);
    const int lo = hexDigit(text[at + 1]);
    if (hi < 0 || lo < 0) {
        return std::nullopt;
    }
    return hi * 16 + lo;
}

}  // namespace phonesim
