#include "phonesim/PhoneState.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "PhonebookTestSupport.h"
#include "phonesim/StateFormat.h"
#include "support/FileTraps.h"
#include "support/RunProcess.h"

namespace phonesim {
namespace {

namespace fs = std::filesystem;

// A scratch directory removed at the end of the test.
struct TempDir {
    fs::path path = vondrix::test::makeTempDir("phonesim-state");
    ~TempDir() { fs::remove_all(path); }
};

PhoneState changedState() {
    PhoneState s;
    s.manufacturer = " SIEMENS AG ";        // blanks at both ends need quotes
    s.model = "\"S35i\" \\ special\n\x01";  // quote, backslash, control characters
    s.operatorName = "";                    // not registered
    s.simSerial = "T-Mobile D # \xc3\xa4";  // '#' inside a value, UTF-8
    s.rssi = 31;
    s.ringToneMin = -2;
    s.ringing = true;
    s.poweredOff = true;
    s.clock = "24/02/29,23:59:58";
    s.cnmi = "1,0,0,2,0";
    s.failing = {"AT+CGMI", "AT^SRTC="};
    return s;
}

TEST(PhoneStateText, RoundTripsEveryKindOfValue) {
    const PhoneState original = changedState();
    const PhoneState loaded = testing::readBack(original);
    EXPECT_EQ(loaded.manufacturer, original.manufacturer);
    EXPECT_EQ(loaded.model, original.model);
    EXPECT_EQ(loaded.operatorName, "");
    EXPECT_EQ(loaded.simSerial, original.simSerial);
    EXPECT_EQ(loaded.rssi, 31);
    EXPECT_EQ(loaded.ringToneMin, -2);
    EXPECT_TRUE(loaded.ringing);
    EXPECT_TRUE(loaded.poweredOff);
    EXPECT_EQ(loaded.clock, original.clock);
    EXPECT_EQ(loaded.failing, original.failing);
    EXPECT_EQ(loaded.toText(), original.toText());
}

// As written by hand; phonebook entries may come before their size line.
TEST(PhoneStateText, AcceptsCommentsBlankLinesCrLfMissingKeysAndAnyOrder) {
    const std::string text =
        "# a phone\r\n"
        "\r\n"
        "  [ network ]  \r\n"
        "   # indented comment\r\n"
        "rssi=5\r\n"
        "operatorName =   E-Plus  \r\n"
        "[failing]\n"
        "prefix = AT+CSQ\n"
        "[phonebook ME]\n"
        "entry = 2,\"0301\",129,\"\xC3\x84rger\"\n"
        "size = 5\n"
        "[phonebook SM]\n";
    PhoneState s;
    std::string error;
    ASSERT_TRUE(PhoneState::fromText(text, s, &error)) << error;
    EXPECT_EQ(s.rssi, 5);
    EXPECT_EQ(s.operatorName, "E-Plus");
    EXPECT_EQ(s.failing, (std::set<std::string>{"AT+CSQ"}));
    EXPECT_EQ(s.model, PhoneState{}.model);  // absent keys keep their defaults
    EXPECT_EQ(s.memory.size, 5);
    EXPECT_EQ(s.memory.at(2)->name, "\xC4rger");
    EXPECT_TRUE(s.sim.entries.empty());
}

TEST(PhoneStateText, BadLinesAreReportedWithTheirNumber) {
    struct Case {
        std::string text;
        std::string error;
    };
    const std::vector<Case> cases = {
        {"[identity]\nmodel = S35\ncolour = red\n", "line 3: unknown key 'colour' in [identity]"},
        {"[identity]\n[gadgets]\n", "line 2: unknown section [gadgets]"},
        {"model = S35\n", "line 1: 'model' outside any [section]"},
        {"[network]\nrssi 17\n", "line 2: expected \"key = value\""},
        {"[network]\n\nrssi = seventeen\n", "line 3: bad value for 'rssi' in [network]"},
        {"[network]\nrssi = 17x\n", "line 2: bad value for 'rssi' in [network]"},
        {"[network]\nrssi = 99999999999\n", "line 2: bad value for 'rssi' in [network]"},
        {"[power]\npoweredOff = maybe\n", "line 2: bad value for 'poweredOff' in [power]"},
        {"[clock]\nclock = 01/13/01,00:00:00\n", "line 2: bad value for 'clock' in [clock]"},
        {"[sms]\ncnmi = 1,0\n", "line 2: bad value for 'cnmi' in [sms]"},
        {"[identity]\nmodel = \"S35\n", "line 2: bad quoted value for 'model'"},
        {"[identity]\nmodel = \"a\\qb\"\n", "line 2: bad quoted value for 'model'"},
        {"[identity]\nmodel = \"a\\x4\"\n", "line 2: bad quoted value for 'model'"},
        {"[identity\n", "line 1: bad section header"},
        {"[failing]\nprefix =\n", "line 2: empty prefix in [failing]"},
        // The phonebook sections.
        {"[phonebook SM]\nsize = 2\nentry = 3,\"1\",129,\"a\"\n",
         "line 3: location 3 outside 1..2 in [phonebook SM]"},
        {"[phonebook SM]\nentry = 1,\"1\",129,\"a\"\nentry = 1,\"2\",129,\"b\"\n",
         "line 3: location 1 twice in [phonebook SM]"},
        {"[phonebook SM]\nentry = 9,\"1\",129,\"a\"\nsize = 5\n",
         "line 3: bad value for 'size' in [phonebook SM]"},
        {"[phonebook SM]\nentry = 1,1,129,\"a\"\n",
         "line 2: bad entry '1,1,129,\"a\"' in [phonebook SM]"},
        {"[phonebook SM]\nentry = 1,\"1\",129,\"a\n",
         "line 2: bad entry '1,\"1\",129,\"a' in [phonebook SM]"},
        {"[phonebook SM]\nentry = 1,\"1\",999,\"a\"\n",
         "line 2: bad entry '1,\"1\",999,\"a\"' in [phonebook SM]"},
        {"[phonebook SM]\nentry = 1,\"1\",129,\"a\"x\n",
         "line 2: bad entry '1,\"1\",129,\"a\"x' in [phonebook SM]"},
        // ê is not in the GSM alphabet; \xC3 alone is no UTF-8; \q is no escape.
        {"[phonebook SM]\nentry = 1,\"1\",129,\"\xC3\xAA\"\n",
         "line 2: bad entry '1,\"1\",129,\"\xC3\xAA\"' in [phonebook SM]"},
        {"[phonebook SM]\nentry = 1,\"1\",129,\"\xC3\"\n",
         "line 2: bad entry '1,\"1\",129,\"\xC3\"' in [phonebook SM]"},
        {"[phonebook SM]\nentry = 1,\"1\",129,\"\\q\"\n",
         "line 2: bad entry '1,\"1\",129,\"\\q\"' in [phonebook SM]"},
        {"[phonebook SM]\ncolour = red\n", "line 2: unknown key 'colour' in [phonebook SM]"},
        {"[phonebook XX]\n", "line 1: unknown section [phonebook XX]"},
        {"[phonebook RD]\n", "line 1: unknown section [phonebook RD]"},
        {"[phonebook]\nselected = XX\n", "line 2: bad value for 'selected' in [phonebook]"},
        {"[pin]\npin2 = 12a4\n", "line 2: bad value for 'pin2' in [pin]"},
        {"[dial]\nresult = 0301,RINGING\n", "line 2: bad result '0301,RINGING' in [dial]"},
        {"[dial]\nresult = ,BUSY\n", "line 2: bad result ',BUSY' in [dial]"},
    };
    for (const Case& c : cases) {
        PhoneState s = changedState();
        std::string error;
        EXPECT_FALSE(PhoneState::fromText(c.text, s, &error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
        // A failed parse leaves the target as it was.
        EXPECT_EQ(s.toText(), changedState().toText()) << c.text;
    }
}

TEST(PhoneStateText, QuotedValuesDecode) {
    EXPECT_EQ(decodeValue(R"("a\"b\\c\n\x41")"), std::optional<std::string>("a\"b\\c\nA"));
    EXPECT_EQ(decodeValue("plain text"), std::optional<std::string>("plain text"));
    EXPECT_EQ(encodeValue("plain text"), "plain text");
    EXPECT_EQ(encodeValue(""), "\"\"");
    EXPECT_EQ(encodeValue("\x7f"), "\"\\x7F\"");
}

TEST(PhoneStateFile, DemoFileMatchesDemoState) {
    const fs::path file = fs::path(VONDRIX_SOURCE_DIR) / "src/phonesim/demo-state.txt";
    ASSERT_TRUE(fs::exists(file)) << file;
    EXPECT_EQ(vondrix::test::fileText(file.string()), PhoneState::demo().toText());
}

TEST(PhoneStateFile, SaveAndLoadAndNoFileFromAFailedSave) {
    TempDir dir;
    const std::string path = (dir.path / "phone.txt").string();
    ASSERT_TRUE(changedState().save(path));
    EXPECT_FALSE(fs::exists(path + ".tmp"));
    PhoneState loaded;
    std::string error;
    ASSERT_TRUE(PhoneState::load(path, loaded, &error)) << error;
    EXPECT_EQ(loaded.toText(), changedState().toText());

    const fs::path nowhere = dir.path / "no-such-dir" / "phone.txt";
    EXPECT_FALSE(PhoneState::demo().save(nowhere.string()));
    EXPECT_FALSE(fs::exists(nowhere));
}

TEST(PhoneStateFile, LoadErrorsNameTheFile) {
    TempDir dir;
    const std::string missing = (dir.path / "missing.txt").string();
    PhoneState s;
    std::string error;
    EXPECT_FALSE(PhoneState::load(missing, s, &error));
    EXPECT_EQ(error, missing + ": cannot open");

    const std::string bad = (dir.path / "bad.txt").string();
    ASSERT_TRUE(vondrix::test::writeText(bad, "[audio]\nringTone = loud\n"));
    EXPECT_FALSE(PhoneState::load(bad, s, &error));
    EXPECT_EQ(error, bad + ": line 2: bad value for 'ringTone' in [audio]");
}

}  // namespace
}  // namespace phonesim
