#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "sms/Pdu.h"
#include "text/GsmAlphabet.h"
#include "text/Hex.h"

namespace vondrix::gsm {
namespace {

std::string latin1(unsigned char c) {
    return std::string(1, static_cast<char>(c));
}

// Every place where the table differs from the standard alphabet, and the
// code each PC character encodes to (first match wins).
struct Deviation {
    unsigned char code;
    unsigned char pc;       // table entry
    unsigned char encodes;  // code that gsmEncode gives for `pc`
};

class AlphabetDeviation : public ::testing::TestWithParam<Deviation> {};

TEST_P(AlphabetDeviation, DecodesAndEncodesAsTheTableSays) {
    const Deviation d = GetParam();
    EXPECT_EQ(static_cast<unsigned char>(gsmAlphabet()[d.code]), d.pc);
    EXPECT_EQ(gsmDecodeText(latin1(d.code)), latin1(d.pc));
    EXPECT_EQ(gsmEncode(latin1(d.pc)), latin1(d.encodes));
}

INSTANTIATE_TEST_SUITE_P(Table, AlphabetDeviation,
                         ::testing::Values(Deviation{0x0A, '\r', 0x0A}, Deviation{0x0D, '\n', 0x0D},
                                           Deviation{0x10, 0xB7, 0x10}, Deviation{0x12, 0xB7, 0x10},
                                           Deviation{0x15, 0xB7, 0x10}, Deviation{0x1A, 0xB7, 0x10},
                                           Deviation{0x1B, 0xB7, 0x10}, Deviation{0x24, '$', 0x02},
                                           // Standard entries next to the deviations.
                                           Deviation{0x02, '$', 0x02}, Deviation{0x11, '_', 0x11},
                                           Deviation{0x00, '@', 0x00}, Deviation{0x40, 0xA1, 0x40},
                                           Deviation{0x09, 0xC7, 0x09}, Deviation{0x5B, 0xC4, 0x5B},
                                           Deviation{0x60, 0xBF, 0x60}, Deviation{0x7F, 0xE0, 0x7F},
                                           Deviation{0x1C, 0xC6, 0x1C},
                                           Deviation{0x5F, 0xA7, 0x5F}));

TEST(GsmAlphabet, EveryTableEntryRoundTripsExceptTheDuplicates) {
    for (unsigned code = 0; code < 128; ++code) {
        const unsigned char pc = static_cast<unsigned char>(gsmAlphabet()[code]);
        const unsigned char back = static_cast<unsigned char>(gsmEncode(latin1(pc))[0]);
        // Only "$" (0x02/0x24) and the middle dot (0x10, 0x12..0x1B) repeat.
        const bool duplicate = code == 0x24 || (code >= 0x12 && code <= 0x1B);
        EXPECT_EQ(back, duplicate ? (pc == '$' ? 0x02 : 0x10) : code) << "code " << code;
    }
}

TEST(GsmAlphabet, UnmappedCharactersStayAndTheDecodersDifferOnlyInCode40) {
    // "[" is not in the default alphabet; the currency sign lost its place.
    EXPECT_EQ(gsmEncode("[\xA4\xFF"), "[\xA4\xFF");
    EXPECT_EQ(gsmEncode("a@b"), std::string("a\0b", 3));
    EXPECT_EQ(gsmDecodeText(std::string("\x40\x00", 2)), "\xA1@");
    EXPECT_EQ(gsmDecodeName(std::string("\x40\x00\x41", 3)), "@@A");
    EXPECT_EQ(gsmDecodeName("\x1B\x24"), "\xB7$");
    EXPECT_EQ(gsmDecodeText("\x80\xE9\xFF"), "\x80\xE9\xFF");
    EXPECT_EQ(gsmDecodeName("\x80\xE9\xFF"), "\x80\xE9\xFF");
}

TEST(GsmAlphabet, ExtensionCharactersTakeTwoSeptetsAndComeBack) {
    const std::string text = "\f^{}\\[~]|\x80";
    const std::string codes = gsmEncodeSeptets(text);
    EXPECT_EQ(codes,
              "\x1B\x0A\x1B\x14\x1B\x28\x1B\x29\x1B\x2F\x1B\x3C\x1B\x3D\x1B\x3E\x1B\x40"
              "\x1B\x65");
    EXPECT_EQ(septetCount(text), 20u);
    EXPECT_EQ(gsmDecodeText(codes), text);
    EXPECT_EQ(gsmEncodeSeptets("a@$\r\xB7"), gsmEncode("a@$\r\xB7"));
    // An escape before a code outside the extension table: that code's
    // character; a lone escape at the end: the middle dot.
    EXPECT_EQ(gsmDecodeText("\x1B\x41\x1B"), "A\xB7");
}

TEST(GsmAlphabet, UnsupportedCharactersNamedOnceWithWhatArrives) {
    using Found = std::vector<std::pair<std::string, std::string>>;
    struct Row {
        const char* situation;
        std::string utf8;
        bool eightBit;
        Found expected;
    };
    const std::vector<Row> rows = {
        {"all carried", "Hallo {\u20AC} [x] ~|^\\ \u00E4\u00DF @$?", false, {}},
        {"accent outside the alphabet, twice", "\u00E1 \u00E1", false, {{"\u00E1", "a"}}},
        {"tab and backquote", "a\tb`", false, {{"\t", "\u00C7"}, {"`", "\u00BF"}}},
        {"outside ISO 8859-1", "\u0151\U0001F600", false, {{"\u0151", "?"}, {"\U0001F600", "?"}}},
        {"8-bit: ISO 8859-1 but no euro sign", "\u00E1{\u20AC", true, {{"\u20AC", "?"}}},
    };
    for (const Row& r : rows) {
        Found found;
        for (const auto& u : unsupportedCharacters(r.utf8, r.eightBit))
            found.emplace_back(u.character, u.arrivesAs);
        EXPECT_EQ(found, r.expected) << r.situation;
    }
    EXPECT_EQ(utf8ToMessageText("5 \u20AC"), "5 \x80");
    EXPECT_EQ(utf8ToMessageText("5 \u20AC", true), "5 ?");
}

TEST(Septets, PacksTheStandardExample) {
    EXPECT_EQ(hexText(packSeptets("hellohello")), "E8329BFD4697D9EC37");
    EXPECT_EQ(hexText(packSeptets("")), "");
    EXPECT_EQ(hexText(packSeptets("1")), "31");
    // Eight codes fill exactly seven octets.
    EXPECT_EQ(hexText(packSeptets("12345678")), "31D98C56B3DD70");
    // Only the low seven bits are packed.
    EXPECT_EQ(packSeptets("\xE1"), packSeptets("a"));
}

TEST(Septets, CodeZeroIsASeptetInTheMiddleAndAtTheEnd) {
    // "@" on the ninth position (a new group of eight) and as last character.
    const std::string codes = gsmEncode("12345678@abc@");
    ASSERT_EQ(codes[8], '\0');
    const auto octets = packSeptets(codes);
    EXPECT_EQ(octets.size(), (13u * 7 + 7) / 8);
    EXPECT_EQ(octets[7] & 0x7F, 0);  // septet 8 opens octet 7
    EXPECT_EQ(gsmDecodeText(unpackSeptets(octets, 13)), "12345678@abc@");
}

TEST(Septets, RoundTripOfOneTo161Characters) {
    const std::string alphabet = "Hallo @ Welt $ 0123456789 \xE9\xE8\xC7\xDF\xA1\xBF";
    for (std::size_t n = 1; n <= 161; ++n) {
        std::string text;
        for (std::size_t i = 0; i < n; ++i)
            text.push_back(alphabet[(i * 7) % alphabet.size()]);
        text.back() = '@';  // code 0 as last character
        const auto octets = packSeptets(gsmEncode(text));
        ASSERT_EQ(octets.size(), (7 * n + 7) / 8) << n;
        // The unused high bits of the last octet are zero.
        if (n % 8 != 0) {
            const unsigned usedBits = (7 * n) % 8;
            EXPECT_EQ(octets.back() >> usedBits, 0) << n;
        }
        const std::string codes = unpackSeptets(octets, n);
        ASSERT_EQ(codes.size(), n);
        EXPECT_EQ(gsmDecodeText(codes), text) << n;
    }
}

TEST(Septets, UnpackStopsWhereTheOctetsEnd) {
    const auto octets = packSeptets("abcdefgh");
    EXPECT_EQ(unpackSeptets(octets.data(), 3, 100), "abc");
    EXPECT_EQ(unpackSeptets(octets.data(), 0, 5), "");
    EXPECT_EQ(unpackSeptets(octets, 8), "abcdefgh");
}

}  // namespace
}  // namespace vondrix::gsm
