// The phonebook parts of the state file and the GSM alphabet conversions
// behind them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PhonebookTestSupport.h"
#include "phonesim/GsmText.h"
#include "phonesim/PhoneState.h"

namespace phonesim {
namespace {

using namespace std::string_literals;

PhoneState changedPhonebooks() {
    PhoneState s = PhoneState::demo();
    s.sim.size = 3;
    s.sim.numberLength = 12;
    s.sim.textLength = 10;
    s.sim.entries = {
        {1, {"+4930", 145, "Doe, \"Jo\" x"}},  // comma and quotes
        {3, {"*#06#", 129, ""}},
    };
    s.memory.entries = {
        {7, {"0301", 129, "\x15mega\n\r\x1B"}},  // Ω (GSM code 0x15), line ends, escape
        {8, {"0302", 129, "@\xA1\xA3\xBF\xA7 \xE0"}},
    };
    s.fixedDialling.entries.clear();
    s.dialledCalls.size = 3;
    s.dialledCalls.entries = {{2, {"0301", 129, ""}}};
    s.selectedPhonebook = "FD";
    s.refuseRanges = true;
    s.pin2 = "0000";
    s.serviceCentre = "+4917";
    s.serviceCentreType = 129;
    s.dialResults = {{"0301", DialResult::NoDialtone}, {"*100#", DialResult::Ok}};
    return s;
}

// What is read back writes the same text; the demo file and
// NamesAreReadableUtf8 pin what that text holds.
TEST(PhonebookStateText, RoundTrips) {
    for (const PhoneState& original : {PhoneState::demo(), changedPhonebooks()}) {
        EXPECT_EQ(testing::readBack(original).toText(), original.toText());
    }
}

TEST(PhonebookStateText, NamesAreReadableUtf8) {
    const std::string text = changedPhonebooks().toText();
    for (const std::string line : {
             "[phonebook SM]\nsize = 3\nnumberLength = 12\ntextLength = 10\n"
             "entry = 1,\"+4930\",145,\"Doe, \\\"Jo\\\" x\"\n"
             "entry = 3,\"*#06#\",129,\"\"\n",
             "entry = 7,\"0301\",129,\"\xCE\xA9mega\\n\\r\\x1B\"\n",
             "entry = 8,\"0302\",129,\"@\xC2\xA1\xC2\xA3\xC2\xBF\xC2\xA7 \xC3\xA0\"\n",
             "[phonebook FD]\nsize = 10\nnumberLength = 20\ntextLength = 14\n\n",
             "[phonebook]\nselected = FD\nrefuseRanges = 1\n",
             "[pin]\npin2 = 0000\n",
             "serviceCentre = +4917\nserviceCentreType = 129\n",
             "[dial]\nresult = *100#,OK\nresult = 0301,NO DIALTONE\n",
         }) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
    EXPECT_NE(PhoneState::demo().toText().find("entry = 1,\"+4930123456\",145,\"M\xC3\xBCller\"\n"),
              std::string::npos);
}

TEST(PhonebookGsmText, EveryCodeSurvivesEscapeStoreAndSend) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (int code = 0; code < 0x80; ++code) {
        const std::string escape = {'\\', kHex[code >> 4], kHex[code & 15]};
        const auto stored = fromGsmCodes(escape);
        ASSERT_TRUE(stored.has_value()) << code;
        ASSERT_EQ(stored->size(), 1u) << code;
        EXPECT_EQ(toGsmCodes(*stored), std::string(1, static_cast<char>(code))) << code;
        // Raw codes mean the same as their escapes, but for the backslash (Ö),
        // which always begins an escape.
        if (code != 0x5C) {
            EXPECT_EQ(fromGsmCodes(std::string(1, static_cast<char>(code))), stored) << code;
        }
        // And the state file keeps them.
        const std::string quoted = quoteForFile(*stored);
        EXPECT_EQ(unquoteFromFile(quoted.substr(1, quoted.size() - 2)), stored) << code;
    }
}

TEST(PhonebookGsmText, StoredNamesAreIso8859) {
    struct Case {
        std::string wire;
        std::string stored;
    };
    const std::vector<Case> cases = {
        {"M\\7Eller", "M\xFCller"},
        {"\\00", "@"},
        {"\\7B\\7C\\5B\\5C\\5E\\1E\\05\\04\\06\\07\\08\\0B\\0C\\0E\\0F\\7F\\1C\\1D",
         "\xE4\xF6\xC4\xD6\xDC\xDF\xE9\xE8\xF9\xEC\xF2\xD8\xF8\xC5\xE5\xE0\xC6\xE6"},
        {"\\24\\40\\01\\03\\5D\\7D\\5F\\60\\1F\\09", "\xA4\xA1\xA3\xA5\xD1\xF1\xA7\xBF\xC9\xC7"},
        {"\x02\x11", "$_"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fromGsmCodes(c.wire), std::optional<std::string>(c.stored)) << c.wire;
    }
    for (const std::string bad : {"\\", "\\7", "\\7G", "\\80", "\x80", "\xFC"}) {
        EXPECT_EQ(fromGsmCodes(bad), std::nullopt) << bad;
    }
    // Characters without a GSM code cannot be sent as they are.
    EXPECT_FALSE(isGsmText("caf\xEA"));
    EXPECT_FALSE(isGsmText("{x}"));
    EXPECT_EQ(toGsmCodes("{@}"), "?\0?"s);
}

TEST(PhonebookGsmText, SortKeyFoldsCaseAndAccents) {
    EXPECT_EQ(sortKey("\xC4rger \xE9t\xE9"), "ARGER ETE");
    EXPECT_EQ(sortKey("Stra\337e"), "STRASSE");
    EXPECT_EQ(sortKey("\xE6gir \xF8y \xD1"), "AEGIR OY N");
    EXPECT_TRUE(phoneNameLess("\xC5se", "Bob"));
    EXPECT_TRUE(phoneNameLess("anna", "Bob"));
    EXPECT_TRUE(phoneNameLess("ANNA", "anna"));  // equal keys: byte order decides
    EXPECT_FALSE(phoneNameLess("anna", "anna"));
}

}  // namespace
}  // namespace phonesim
