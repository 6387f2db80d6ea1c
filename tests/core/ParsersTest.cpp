#include <gtest/gtest.h>

#include <functional>

#include "device/Replies.h"
#include "link/Parsers.h"
#include "link/SharedReplies.h"
#include "network/Replies.h"
#include "organizer/Replies.h"
#include "phonebook/Replies.h"
#include "sms/Replies.h"
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

// Each command family on the forms GSM 07.07 allows and phones send, made
// from the tidy reply: the same value every time.
TEST(ReplyForms, EveryFamilyGivesTheTidyValue) {
    using Value = std::function<std::string(const std::string&)>;
    const auto text = [](const auto& v) { return v ? std::string(*v) : std::string("none"); };
    const auto num = [](const auto& v) { return v ? std::to_string(*v) : std::string("none"); };
    struct Case {
        const char* family;
        std::string lines;  // the information lines, tidy, CR LF between them
        Value value;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"signal", "+CSQ: 17,99", [&](auto& r) { return num(network::parseCsq(r)); }, "17"},
        {"battery", "+CBC: 0,80",
         [](auto& r) { return network::parseCbc(r).value_or(network::BatteryReading{}).text; },
         "80"},
        {"registration", "+CREG: 0,1,\"5E25\",\"605F\"",
         [&](auto& r) {
             const auto g = network::parseCregQuery(r);
             return text(network::parseCregWord(r)) + "|" + (g ? num(g->state) : "") + "|" +
                    (g ? num(g->lac) : "");
         },
         "0,1,\"5E25\",\"605F\"|1|24101"},
        {"operator", "+COPS: 0,0,\"D1-TELEKOM\"",
         [&](auto& r) { return text(network::parseCopsText(r)) + text(network::parseCopsName(r)); },
         "0,0,\"D1-TELEKOM\"D1-TELEKOM"},
        {"identity word", "SIEMENS", [&](auto& r) { return text(lastAnswerWord(r)); }, "SIEMENS"},
        {"preferred range", "^SPLR: (1-32)",
         [](auto& r) {
             const auto p = network::parseSplrTest(r);
             return p ? std::to_string(p->first) + "-" + std::to_string(p->last) : "none";
         },
         "1-32"},
        {"phonebook size", "+CPBR: (1-250),20,14",
         [](auto& r) {
             const auto g = phonebook::parseCpbrTest(r, {});
             return g ? std::to_string(g->first) + "-" + std::to_string(g->highest) + "," +
                            std::to_string(g->numberLength) + "," + std::to_string(g->textLength)
                      : "none";
         },
         "1-250,20,14"},
        {"phonebook entry", "+CPBR: 1,\"0301\",129,\"Anna Lo\"",
         [](auto& r) {
             const auto e = phonebook::parseCpbrRead(r, 1);
             return e ? e->number + "|" + std::to_string(e->type) + "|" + e->name : "none";
         },
         "0301|129|Anna Lo"},
        {"own number", "+CPBR: 1,\"+4930\",145,\"\"",
         [&](auto& r) { return text(phonebook::parseOwnNumber(r)); }, "+4930"},
        {"service centre", "+CSCA: \"+491710760000\",145",
         [](auto& r) { return at::parseCscaQuery(r); }, "+491710760000"},
        {"ring tone", "^SRTC: 3,2,0",
         [](auto& r) {
             AudioState a;
             parseSrtcQuery(a, r);
             return std::to_string(a.ringTone) + "," + std::to_string(a.volume);
         },
         "3,2"},
        {"hands-free", "^SNFS: 1", [&](auto& r) { return num(parseSnfsQuery(r)); }, "1"},
        {"memory state", "^SMGO: 0,1", [&](auto& r) { return num(sms::parseSmgoQuery(r)); }, "1"},
        {"memory counts", "+CPMS: \"SM\",18,20,\"SM\",18,20",
         [](auto& r) {
             const auto c = sms::parseCpmsQuery(r);
             return c ? std::to_string(c->used) + "/" + std::to_string(c->capacity) : "none";
         },
         "18/20"},
        {"stored index", "+CMGW: 19", [&](auto& r) { return num(sms::parseCmgwReply(r)); }, "19"},
        {"listing", "+CMGL: 1,0,,23\r\n0791AB\r\n+CMGL: 12,3,,18\r\n0011CD",
         [](auto& r) {
             std::string out;
             for (const auto& e : sms::parseCmglList(r))
                 out += e.index + "," + e.status + "," + e.pdu + ";";
             return out;
         },
         "1,0,0791AB;12,3,0011CD;"},
        {"organizer slot", "^SBNR: \"vcs\",3,1,2\r\n4142\r\n^SBNR: \"vcs\",3,2,2\r\n6364",
         [](auto& r) { return organizer::parseSbnrSlot(r, 3).object; }, "ABcd"},
    };
    const auto replaced = [](std::string s, std::string_view from, std::string_view to) {
        for (auto at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
            s.replace(at, from.size(), to);
        return s;
    };
    // Blanks after the commas outside quotes.
    const auto spaced = [](const std::string& s, const char* blanks) {
        std::string out;
        bool quoted = false;
        for (const char c : s) {
            quoted = c == '"' ? !quoted : quoted;
            out += c;
            if (c == ',' && !quoted)
                out += blanks;
        }
        return out;
    };
    for (const Case& c : cases) {
        const std::string tidy = "\r\n" + c.lines + "\r\n\r\nOK\r\n";
        const std::pair<const char*, std::string> forms[] = {
            {"tidy", tidy},
            {"no blank after the colon", replaced(tidy, ": ", ":")},
            {"blanks after commas", spaced(tidy, " ")},
            {"blanks around commas", replaced(spaced(tidy, " "), ",", " ,")},
            {"LF alone", replaced(tidy, "\r\n", "\n")},
            {"CR LF LF", replaced(tidy, "\r\n", "\r\n\n")},
            {"trailing blanks", replaced(tidy, "\r\n", " \r\n")},
        };
        for (const auto& [form, reply] : forms)
            EXPECT_EQ(c.value(reply), c.expected) << c.family << ", " << form;
    }
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

TEST(HexText, UpperCasePairsOfEveryByte) {
    struct Case {
        const char* situation;
        std::string bytes;
        std::string hex;
    };
    const Case cases[] = {
        {"nothing", "", ""},
        {"a leading zero is kept", std::string("\x00\x0F", 2), "000F"},
        {"upper case, high bytes unsigned", "\x1A\xFF\x4d", "1AFF4D"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(hexText(c.bytes), c.hex) << c.situation;
        const std::vector<std::uint8_t> octets(c.bytes.begin(), c.bytes.end());
        EXPECT_EQ(hexText(octets), c.hex) << c.situation;
        EXPECT_TRUE(allHexDigits(c.hex)) << c.situation;
    }
    std::string out = "x";
    appendHexByte(out, 0x1A5);  // only the low eight bits
    EXPECT_EQ(out, "xA5");
    for (const char* text : {"0G", "12 ", "+1", "\xFF"})
        EXPECT_FALSE(allHexDigits(text)) << text;
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
        {"the CDATA end at the start", "]]>", "]]&gt;"},
        {"one bracket is not enough", "x]>y", "x]>y"},
        {"Latin-1 bytes pass", "M\xFCller", "M\xFCller"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(xmlEscaped(c.text), c.expected) << c.situation;
}

}  // namespace
}  // namespace vondrix
