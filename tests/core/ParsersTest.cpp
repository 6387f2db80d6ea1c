#include <gtest/gtest.h>

#include "link/Parsers.h"
#include "text/Decimal.h"
#include "text/Hex.h"
#include "text/Xml.h"

namespace vondrix {
namespace {

TEST(LastAnswerWord, Table) {
    struct Case {
        std::string reply;
        std::optional<std::string> word;
    };
    const std::vector<Case> cases = {
        {"\r\n+CSQ: 17,99\r\n\r\nOK\r\n", "17,99"},
        {"\r\n+CREG: 0,1\r\n\r\nOK\r\n", "0,1"},
        {"\r\nSIEMENS\r\n\r\nOK\r\n", "SIEMENS"},
        {"\r\n+CBC: 0,80\r\n\r\nOK\r\n", "0,80"},
        {"\r\n^SCID: 89490200001234567890\r\n\r\nOK\r\n", "89490200001234567890"},
        {"\r\nOK\r\n", ""},  // only separators before OK
        {"OK\r\n", ""},      // scan stops at the buffer start
        {"\r\n+CSQ: 17,99\r\n", std::nullopt},
        {"\r\nERROR\r\n", std::nullopt},
        {"\r\nOK", std::nullopt},  // "OK" without its line end
        // Bytes from 0x80 separate words like blanks do.
        {"\r\nM\xFC"
         "ller\r\n\r\nOK\r\n",
         "ller"},
        // An echoed command before the answer does not matter.
        {"AT+CGMI\r\r\nSIEMENS\r\n\r\nOK\r\n", "SIEMENS"},
        // The first "OK\r\n" counts, even inside an answer.
        {"\r\nBOOK\r\n\r\nOK\r\n", "BO"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(lastAnswerWord(c.reply), c.word) << c.reply;
}

TEST(RangeParsers, Table) {
    struct Case {
        std::string text;
        int low, high, len1, len2;
    };
    // -1 marks an output that must stay as it was.
    const std::vector<Case> cases = {
        {"+CPBR: (1-250),20,14", 1, 250, 20, 14},
        {"(1-100)", 1, 100, -1, -1},
        {"+CPBR: (1-250),20", 1, 250, 20, -1},
        {"no brackets", -1, -1, -1, -1},
        {"(5", 5, -1, -1, -1},
        {"^SPLR: (1-32)", 1, 32, -1, -1},
        {"x,3,4", -1, -1, 3, 4},
        {"( 7- 9),a,b", 7, 9, 0, 0},  // non-numeric text converts to 0
    };
    for (const auto& c : cases) {
        int lo = -1, hi = -1, l1 = -1, l2 = -1;
        parseRangeAndLengths(c.text, lo, hi, l1, l2);
        EXPECT_EQ(lo, c.low) << c.text;
        EXPECT_EQ(hi, c.high) << c.text;
        EXPECT_EQ(l1, c.len1) << c.text;
        EXPECT_EQ(l2, c.len2) << c.text;
        int rlo = -1, rhi = -1;
        parseRange(c.text, rlo, rhi);
        EXPECT_EQ(rlo, c.low) << c.text;
        EXPECT_EQ(rhi, c.high) << c.text;
    }
}

TEST(NumberAfter, FindsTagOrNothing) {
    EXPECT_EQ(numberAfter("\r\n^SNFS: 1\r\n", "^SNFS:"), 1);
    EXPECT_EQ(numberAfter("\r\n^SNFV: 4\r\n", "^SNFV:"), 4);
    EXPECT_EQ(numberAfter("\r\nOK\r\n", "^SNFS:"), std::nullopt);
}

TEST(DecimalValue, BehavesLikeAtoiWithoutOverflow) {
    const std::vector<std::pair<std::string, int>> cases = {
        {"42", 42},
        {"  -7x", -7},
        {"+3", 3},
        {"abc", 0},
        {"", 0},
        {"\t12 34", 12},
        {"99999999999", INT_MAX},
        {"-99999999999", INT_MIN},
        {"- 5", 0},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(decimalValue(text), value) << text;
}

TEST(HexDigit, EitherCaseAndNothingElse) {
    const std::string digits = "0123456789abcdefABCDEF";
    for (int c = 0; c < 256; ++c) {
        const char ch = static_cast<char>(c);
        const auto at = digits.find(ch);
        const int expected = at == std::string::npos ? -1 : static_cast<int>(at < 16 ? at : at - 6);
        EXPECT_EQ(hexDigit(ch), expected) << c;
    }
}

TEST(XmlEscaped, Table) {
    struct Case {
        const char* situation;
        std::string_view text;
        std::string_view expected;
    };
    const Case cases[] = {
        {"plain text passes", "Tom 42", "Tom 42"},
        {"ampersand and less-than", "a&b<c", "a&amp;b&lt;c"},
        {"a lone greater-than stays", "a>b", "a>b"},
        {"the CDATA end is broken", "x]]>y", "x]]&gt;y"},
        {"one bracket is not enough", "x]>y", "x]>y"},
        {"Latin-1 bytes pass", "M\xFCller", "M\xFCller"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(xmlEscaped(c.text), c.expected) << c.situation;
}

}  // namespace
}  // namespace vondrix
