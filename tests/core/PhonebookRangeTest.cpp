// The range read's reply parser: which replies it trusts, and that each
// location comes out exactly as a reply of that location alone gives it.

#include <gtest/gtest.h>

#include "phonebook/Replies.h"

namespace vondrix::phonebook {
namespace {

const std::string kOk = "\r\nOK\r\n";

// The reply of a location alone whose information line is `line`.
std::string alone(const std::string& line) {
    return "\r\n" + line + "\r\n" + kOk;
}

TEST(ParseCpbrRange, EachLocationAsItsOwnReplyGivesIt) {
    const std::vector<std::string> lines = {
        "+CPBR: 1,\"0301234\",129,\"Anna\"",
        "+CPBR: 2,\"+4930\",145,\"M~ller \x1E\"",  // GSM codes
        "+CPBR: 4,\"1\",129,\"a@b\"",              // '@' for a received NUL
        "+CPBR: 5,\"030\",129,\"\"",               // empty name
        "+CPBR: 6,\"030\",129,\"Two\nLines\"",     // a line break inside the quotes
        "+CPBR: 7,\"0301\",129,\"Doe, Jo\"",       // a comma in the name
        "+CPBR: 8,\"+49\",129",                    // no name: from the single rules too
        "+CPBR: 9,\"" + std::string(40, '1') + "\",129,\"" + std::string(35, 'x') + "\"",
        "+CPBR: 10,\"0301\",129,\"Ann\",0",  // a further unquoted field
    };
    std::string reply = "\r\n";
    for (const auto& l : lines)
        reply += l + "\r\n";
    reply += kOk;
    const auto entries = parseCpbrRange(reply, 1, 10);
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(lines[i]);
        const PhonebookEntry& got = (*entries)[i];
        const auto expected = parseCpbrRead(alone(lines[i]), got.index);
        ASSERT_TRUE(expected);
        EXPECT_EQ(got.number, expected->number);
        EXPECT_EQ(got.type, expected->type);
        EXPECT_EQ(got.name, expected->name);
    }
    EXPECT_EQ((*entries)[1].name, "M\xFCller \xDF");
    EXPECT_EQ((*entries)[4].name.size(), 9u);  // the line break kept inside the name
    std::vector<int> locations;
    for (const auto& e : *entries)
        locations.push_back(e.index);
    EXPECT_EQ(locations, (std::vector<int>{1, 2, 4, 5, 6, 7, 8, 9, 10}));
}

TEST(ParseCpbrRange, TrustedAndUntrustedReplies) {
    const std::string ann = "+CPBR: 3,\"0303\",129,\"Ann\"";
    const std::string bob = "+CPBR: 5,\"0305\",129,\"Bob\"";
    struct Case {
        const char* what;
        std::string reply;
        std::optional<std::vector<int>> locations;  // nullopt: not trusted
    };
    const std::vector<Case> cases = {
        {"two records", "\r\n" + ann + "\r\n" + bob + "\r\n" + kOk, std::vector<int>{3, 5}},
        {"every location empty", kOk, std::vector<int>{}},
        {"the range's own bounds",
         "\r\n+CPBR: 2,\"1\",129,\"A\"\r\n+CPBR: 6,\"1\",129,\"B\"\r\n" + kOk,
         std::vector<int>{2, 6}},
        {"echo and blanks", "AT+CPBR=2,6\r\r\n" + ann + "  \r\n\r\n" + bob + "\r\n" + kOk,
         std::vector<int>{3, 5}},
        {"a record without a line end before OK", "\r\n" + ann + "\r\nOK", std::vector<int>{3}},
        {"below the range", "\r\n+CPBR: 1,\"1\",129,\"A\"\r\n" + kOk, std::nullopt},
        {"above the range", "\r\n" + ann + "\r\n+CPBR: 7,\"1\",129,\"A\"\r\n" + kOk, std::nullopt},
        {"a location twice", "\r\n" + ann + "\r\n" + ann + "\r\n" + kOk, std::nullopt},
        {"descending", "\r\n" + bob + "\r\n" + ann + "\r\n" + kOk, std::nullopt},
        {"a quote left open", "\r\n" + ann + "\r\n+CPBR: 5,\"0305\",129,\"Bo" + kOk, std::nullopt},
        {"a number left open", "\r\n+CPBR: 5,\"0305" + kOk, std::nullopt},
        {"a quote in a name", "\r\n+CPBR: 3,\"0303\",129,\"Say \"hi\"\"\r\n" + kOk, std::nullopt},
        {"a further quoted field", "\r\n+CPBR: 3,\"0303\",129,\"A\",\"x@y\"\r\n" + kOk,
         std::nullopt},
        {"a location without fields", "\r\n+CPBR: 3\r\n" + kOk, std::nullopt},
        {"no number first", "\r\n+CPBR: 3,129,\"0303\",\"A\"\r\n" + kOk, std::nullopt},
        {"no location", "\r\n+CPBR: \"0303\",129,\"A\"\r\n" + kOk, std::nullopt},
        {"an unsolicited line", "\r\n+CMTI: \"SM\",1\r\n" + ann + "\r\n" + kOk, std::nullopt},
        {"another command's record", "\r\n^SPBG: 3,\"0303\",129,\"A\"\r\n" + kOk, std::nullopt},
        {"an error", "\r\n+CME ERROR: 21\r\n", std::nullopt},
        {"an echo not first", "\r\n" + ann + "\r\nAT+CPBR=2,6\r\n" + kOk, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto records = splitRangeReply(c.reply, "+CPBR:", 2, 6, "AT+CPBR=2,6");
        ASSERT_EQ(records.has_value(), c.locations.has_value());
        if (!records)
            continue;
        std::vector<int> locations;
        for (const RangeRecord& r : *records)
            locations.push_back(r.location);
        EXPECT_EQ(locations, *c.locations);
        EXPECT_TRUE(parseCpbrRange(c.reply, 2, 6, "AT+CPBR=2,6"));
    }
}

TEST(ParseCpbrRange, RedbookRecordsAndOwnNumbers) {
    const std::string reply =
        "\r\n^SPBG: 1,\"+4930\",145,\"Mama!\"\r\n^SPBG: 2,\"0301\",129,\"B\xFCro!\"\r\n" + kOk;
    const auto records = splitRangeReply(reply, "^SPBG:", 1, 3);
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), 2u);
    const auto mama = parseCpbrRead((*records)[0].text, 1);
    ASSERT_TRUE(mama);
    EXPECT_EQ(mama->name, "Mama!");
    EXPECT_EQ(mama->type, 145);
    EXPECT_EQ(parseOwnNumber((*records)[1].text), std::optional<std::string>("0301"));
    EXPECT_FALSE(splitRangeReply(reply, "+CPBR:", 1, 3));
}

}  // namespace
}  // namespace vondrix::phonebook
