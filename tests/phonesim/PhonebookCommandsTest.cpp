// The phonebook commands of the simulated phone, byte for byte: selection,
// reading with GSM-coded names, writing with escapes and length limits, the
// fixed dialling PIN2, the Redbook and the service centre. GSM codes that a
// letter follows are written in octal: \176 is 0x7E (ü), \134 0x5C (Ö).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PhonebookTestSupport.h"

namespace phonesim {
namespace {

using namespace std::string_literals;
using namespace phonesim::testing;

TEST(PhonebookSelect, SelectsEveryStorageAndReportsItsUsageAndLimits) {
    PbPhone phone;
    expectExchanges(
        phone,
        {
            {"AT+CPBS?", info("+CPBS: \"SM\",7,250")},
            {"AT+CPBR=?", info("+CPBR: (1-250),20,14")},
            {"AT+CPBW=?", info("+CPBW: (1-250),20,(129,145),14")},
            {"AT^SPBS=ME", kOk},
            {"AT+CPBS?", info("+CPBS: \"ME\",3,100")},
            {"AT+CPBR=?", info("+CPBR: (1-100),20,18")},
            {"AT+CPBW=?", info("+CPBW: (1-100),20,(129,145),18")},
            {"AT+CPBS=\"FD\"", kOk},
            {"AT^SPBS?", info("^SPBS: \"FD\",2,10")},
            {"AT+CPBR=?", info("+CPBR: (1-10),20,14")},
            {"AT+CPBS=on", kOk},
            {"AT+CPBS?", info("+CPBS: \"ON\",2,6")},
            {"AT+CPBR=?", info("+CPBR: (1-6),20,14")},
            {"AT+CPBS=LD", kOk},
            {"AT+CPBS?", info("+CPBS: \"LD\",10,10")},
            {"AT+CPBR=?", info("+CPBR: (1-10),20,18")},
            {"AT+CPBS=MC", kOk},
            {"AT+CPBR=?", info("+CPBR: (1-10),20,18")},
            {"AT+CPBS=RC", kOk},
            {"AT+CPBR=?", info("+CPBR: (1-10),20,18")},
            {"AT^SPBS=RD", kOk},
            {"AT+CPBS?", info("+CPBS: \"RD\",1,350")},
            {"AT+CPBS=?", info("+CPBS: (\"SM\",\"ME\",\"FD\",\"RD\",\"ON\",\"LD\",\"MC\",\"RC\")")},
            // An unknown storage is refused and the selection stays.
            {"AT+CPBS=XX", "\r\nERROR\r\n"},
            {"AT+CPBS=SM,ME", "\r\nERROR\r\n"},
            {"AT+CPBS=", "\r\nERROR\r\n"},
            {"AT+CPBS?", info("+CPBS: \"RD\",1,350")},
        });
}

TEST(PhonebookRead, NamesGoOutAsRawGsmCodes) {
    PbPhone phone;
    phone("AT+CMEE=1");
    expectExchanges(
        phone, {
                   {"AT+CPBR=1", info("+CPBR: 1,\"+4930123456\",145,\"M\176ller\"")},
                   {"AT+CPBR=2", info("+CPBR: 2,\"01712345678\",129,\"J\176rgen \134zt\176rk\"")},
                   {"AT+CPBR=3", info("+CPBR: 3,\"+4740123456\",145,\"\016se Berg\"")},
                   {"AT+CPBR=4", info("+CPBR: 4,\"+33478123456\",145,\"Caf\x05 Lyon\"")},
                   // An empty location answers OK alone.
                   {"AT+CPBR=5", kOk},
                   // "@" is GSM code 0, sent as a NUL byte.
                   {"AT+CPBR=6", info("+CPBR: 6,\"0891234567\",129,\"Info\0Home\""s)},
                   {"AT+CPBR=8", info("+CPBR: 8,\"0302223344\",129,\"Taxi Stra\036e\"")},
                   {"AT+CPBR=250", kOk},
                   {"AT+CPBR=0", cmeError(1, 21)},
                   {"AT+CPBR=251", cmeError(1, 21)},
                   {"AT+CPBR=x", cmeError(1, 4)},
                   {"AT+CPBR=\"1\"", cmeError(1, 4)},
                   {"AT+CPBR", cmeError(1, 4)},
               });
}

TEST(PhonebookRead, RangeListsOccupiedLocationsOnly) {
    PbPhone phone;
    phone("AT+CMEE=1");
    const std::string reply = phone("AT+CPBR=4,7");
    EXPECT_EQ(reply,
              "\r\n+CPBR: 4,\"+33478123456\",145,\"Caf\x05 Lyon\"\r\n"
              "+CPBR: 6,\"0891234567\",129,\"Info\0Home\"\r\n"s
              "+CPBR: 7,\"+491701234567\",145,\"Mama!\"\r\n" +
                  kOk);
    expectExchanges(phone, {
                               {"AT+CPBR=5,5", kOk},
                               {"AT+CPBR=9,250", kOk},
                               {"AT+CPBR=3,2", cmeError(1, 21)},
                               {"AT+CPBR=1,251", cmeError(1, 21)},
                               {"AT+CPBR=1,2,3", cmeError(1, 4)},
                           });
}

// The fault switch of a phone that reads one location at a time: every
// range is refused, single locations are read as before.
TEST(PhonebookRead, PhoneThatRefusesRanges) {
    PhoneState s = PhoneState::demo();
    s.refuseRanges = true;
    PbPhone phone(s);
    phone("AT+CMEE=1");
    expectExchanges(phone, {
                               {"AT+CPBR=4,7", cmeError(1, 4)},
                               {"AT+CPBR=5,5", cmeError(1, 4)},
                               {"AT+CPBR=5", kOk},
                               {"AT+CPBR=7", info("+CPBR: 7,\"+491701234567\",145,\"Mama!\"")},
                               {"AT+CPBS=LD", kOk},
                               {"AT+CPBR=1,10", cmeError(1, 4)},
                               {"AT^SPBS=RD", kOk},
                               {"AT^SPBG=1,1", cmeError(1, 4)},
                               {"AT^SPBG=1", info("^SPBG: 1,\"+491701234567\",145,\"Mama!\"")},
                           });
}

TEST(PhonebookRead, FullSimWithChosenGaps) {
    PhoneState s = PhoneState::demo();
    s.sim.entries.clear();
    for (int i = 1; i <= 250; ++i) {
        if (i != 3 && i != 7 && i != 9) {
            s.sim.entries[i] = StoredEntry{"0301" + std::to_string(i), 129, ""};
        }
    }
    PbPhone phone(s);
    EXPECT_EQ(phone("AT+CPBS?"), info("+CPBS: \"SM\",247,250"));
    EXPECT_EQ(phone("AT+CPBR=2"), info("+CPBR: 2,\"03012\",129,\"\""));
    EXPECT_EQ(phone("AT+CPBR=3"), kOk);
    EXPECT_EQ(phone("AT+CPBR=9"), kOk);
    EXPECT_EQ(phone("AT+CPBR=250"), info("+CPBR: 250,\"0301250\",129,\"\""));
}

// Writes that succeed: what is stored and what is read back.
TEST(PhonebookWrite, StoresWithEscapesAndDefaults) {
    struct Case {
        std::string command;
        int location;
        StoredEntry stored;
        std::string readBack;  // the quoted name as +CPBR sends it
    };
    const std::vector<Case> cases = {
        {"AT+CPBW=5,0301234,129,\"M\\7Eller\"", 5, {"0301234", 129, "M\xFCller"}, "M\176ller"},
        {"AT+CPBW=5,\"+4930\",145,\"\\00x\"", 5, {"+4930", 145, "@x"}, "\0x"s},
        {"AT+CPBW=5,0301,129,\"\\7e\\5b\\1E\\05\\0e\"",
         5,
         {"0301", 129, "\xFC\xC4\xDF\xE9\xC5"},
         "\x7E\x5B\x1E\x05\x0E"},
        // Raw bytes are GSM codes too: "[" is Ä, "~" is ü, "@" is ¡.
        {"AT+CPBW=5,0301,129,\"[~@\"", 5, {"0301", 129, "\xC4\xFC\xA1"}, "[~@"},
        // A comma inside the quotes belongs to the name.
        {"AT+CPBW=5,0301,129,\"Doe, John\"", 5, {"0301", 129, "Doe, John"}, "Doe, John"},
        // Type from the number when left out; no name.
        {"AT+CPBW=5,+4930", 5, {"+4930", 145, ""}, ""},
        {"AT+CPBW=5,0301,,\"A\"", 5, {"0301", 129, "A"}, "A"},
        // No location: the first free one (5 in the demo).
        {"AT+CPBW=,0301,129,\"New\"", 5, {"0301", 129, "New"}, "New"},
        // Overwriting an occupied location.
        {"AT+CPBW=1,0302,129,\"Neu\"", 1, {"0302", 129, "Neu"}, "Neu"},
        // 20 digits after "+": the "+" does not count.
        {"AT+CPBW=5,+12345678901234567890,145,\"L\"", 5, {"+12345678901234567890", 145, "L"}, "L"},
        // 14 characters, each escape counting as one.
        {"AT+CPBW=5,1,129,\"\\7E\\7E\\7E\\7E\\7E\\7E\\7E\\7E\\7E\\7E\\7E\\7E\\7E\\7E\"",
         5,
         {"1", 129, std::string(14, '\xFC')},
         std::string(14, '\x7E')},
    };
    for (const Case& c : cases) {
        PbPhone phone;
        ASSERT_EQ(phone(c.command), kOk) << c.command;
        const StoredEntry* e = phone.state.sim.at(c.location);
        ASSERT_NE(e, nullptr) << c.command;
        EXPECT_EQ(*e, c.stored) << c.command;
        EXPECT_EQ(phone("AT+CPBR=" + std::to_string(c.location)),
                  info("+CPBR: " + std::to_string(c.location) + ",\"" + c.stored.number + "\"," +
                       std::to_string(c.stored.type) + ",\"" + c.readBack + "\""))
            << c.command;
    }
}

TEST(PhonebookWrite, EmptyFormsClearTheLocation) {
    for (const std::string command : {"AT+CPBW=1", "AT+CPBW=1,", "AT+CPBW=1,,,"}) {
        PbPhone phone;
        ASSERT_EQ(phone(command), kOk) << command;
        EXPECT_EQ(phone.state.sim.at(1), nullptr) << command;
        EXPECT_EQ(phone("AT+CPBR=1"), kOk) << command;
        EXPECT_EQ(phone.state.sim.entries.size(), 6u) << command;
    }
}

TEST(PhonebookWrite, RefusalsFollowTheErrorModeAndChangeNothing) {
    struct Case {
        std::string storage;
        std::string command;
        int code;
    };
    const std::vector<Case> cases = {
        {"SM", "AT+CPBW=5,123456789012345678901,129,\"A\"", 26},
        {"SM", "AT+CPBW=5,+123456789012345678901,145,\"A\"", 26},
        {"SM", "AT+CPBW=5,0301,129,\"ABCDEFGHIJKLMNO\"", 24},
        {"SM",
         "AT+CPBW=5,0301,129,\"\\7E\\7E\\7E\\7E\\7E\\7E\\7E\\7E\\7E\\7E\\7E\\7E\\7E\\7E\\7E\"", 24},
        {"ME", "AT+CPBW=5,0301,129,\"ABCDEFGHIJKLMNOPQRS\"", 24},
        {"SM", "AT+CPBW=5,030-123,129,\"A\"", 27},
        {"SM", "AT+CPBW=5,03+0,129,\"A\"", 27},
        {"SM", "AT+CPBW=5,0301,129,\"M\xFCller\"", 25},  // unencoded ü
        {"SM", "AT+CPBW=5,0301,129,\"a\\7\"", 25},
        {"SM", "AT+CPBW=5,0301,129,\"a\\G1\"", 25},
        {"SM", "AT+CPBW=5,0301,129,\"a\\FC\"", 25},
        {"SM", "AT+CPBW=0,0301,129,\"A\"", 21},
        {"SM", "AT+CPBW=251,0301,129,\"A\"", 21},
        {"SM", "AT+CPBW=251", 21},
        {"SM", "AT+CPBW=5,0301,129,Bare", 4},
        {"SM", "AT+CPBW=5,0301,12,\"A\"", 4},
        {"SM", "AT+CPBW=5,,129,\"A\"", 4},
        {"SM", "AT+CPBW=x,0301", 4},
        {"SM", "AT+CPBW", 4},
        {"LD", "AT+CPBW=1,0301,129,\"A\"", 3},
        {"MC", "AT+CPBW=1", 3},
        {"RC", "AT+CPBW=1", 3},
        {"RD", "AT+CPBW=1,0301,129,\"A!\"", 3},
    };
    for (int cmee = 0; cmee <= 2; ++cmee) {
        for (const Case& c : cases) {
            PbPhone phone;
            phone("AT+CMEE=" + std::to_string(cmee));
            phone("AT+CPBS=" + c.storage);
            const std::string before = phone.state.toText();
            EXPECT_EQ(phone(c.command), cmeError(cmee, c.code)) << c.command << " cmee " << cmee;
            EXPECT_EQ(phone.state.toText(), before) << c.command;
        }
    }
}

TEST(PhonebookWrite, FullMemoryRefusesAWriteWithoutLocation) {
    PhoneState s = PhoneState::demo();
    s.memory.size = 2;
    s.memory.entries.erase(4);
    PbPhone phone(s);
    phone("AT+CMEE=1");
    phone("AT+CPBS=ME");
    EXPECT_EQ(phone("AT+CPBW=,0301,129,\"X\""), cmeError(1, 20));
    EXPECT_EQ(phone("AT+CPBW=2"), kOk);
    EXPECT_EQ(phone("AT+CPBW=,0301,129,\"X\""), kOk);
    EXPECT_EQ(phone.state.memory.at(2)->name, "X");
}

TEST(PhonebookPin2, FixedDiallingWritesWaitForPin2) {
    PbPhone phone;
    const std::string write = "AT+CPBW=3,110,129,\"Polizei\"";
    expectExchanges(phone, {
                               {"AT+CMEE=2", kOk},
                               // Other storages need no PIN2.
                               {"AT+CPBS=SM", kOk},
                               {"AT+CPBW=3,0301,129,\"X\"", kOk},
                               {"AT+CPBS=ME", kOk},
                               {"AT+CPBW=3,0301,129,\"X\"", kOk},
                               {"AT+CPBS=ON", kOk},
                               {"AT+CPBW=3,0301,129,\"X\"", kOk},
                               {"AT+CPBS=FD", kOk},
                               {"AT+CPIN?", info("+CPIN: READY")},
                               // Nothing asked for yet: a PIN is refused.
                               {"AT+CPIN=1234", "\r\n+CME ERROR: operation not allowed\r\n"},
                               {write, "\r\n+CME ERROR: SIM PIN2 required\r\n"},
                               {"AT+CPIN?", info("+CPIN: SIM PIN2")},
                               {"AT+CPIN=9999", "\r\n+CME ERROR: incorrect password\r\n"},
                               {"AT+CPIN?", info("+CPIN: SIM PIN2")},
                               {write, "\r\n+CME ERROR: SIM PIN2 required\r\n"},
                               {"AT+CPIN=", "\r\n+CME ERROR: operation not supported\r\n"},
                               {"AT+CPIN=1234", kOk},
                               {"AT+CPIN?", info("+CPIN: READY")},
                               {write, kOk},
                               {write, kOk},
                               {"AT+CPBR=3", info("+CPBR: 3,\"110\",129,\"Polizei\"")},
                               {"AT+CPBW=3", kOk},
                               {"AT+CPBR=3", kOk},
                               // ATZ resets the error mode and forgets the PIN2.
                               {"ATZ", kOk},
                               {"ATE0", "ATE0\r" + kOk},
                               {write, "\r\nERROR\r\n"},
                               {"AT+CMEE=1", kOk},
                               {write, "\r\n+CME ERROR: 17\r\n"},
                               {"AT+CPIN=\"1234\"", kOk},
                               {write, kOk},
                           });
    EXPECT_EQ(phone.state.fixedDialling.at(3)->name, "Polizei");
}

PhoneState redbookState() {
    PhoneState s = PhoneState::demo();
    s.sim.entries.clear();
    s.memory.entries.clear();
    s.sim.entries = {
        {1, {"1", 129, "Zora!"}}, {2, {"2", 129, "\xC5se!"}},   {3, {"3", 129, "bob!"}},
        {4, {"4", 129, "Anna"}},  {5, {"5", 129, "\xC4rger!"}}, {6, {"6", 129, "Twin!"}},
    };
    s.memory.entries = {
        {1, {"7", 129, "\xC9va!"}},
        {2, {"8", 145, "Adam!"}},
        {3, {"9", 129, "Twin!"}},
    };
    return s;
}

TEST(PhonebookRedbook, MembersInThePhonesAlphabeticalOrder) {
    PbPhone phone(redbookState());
    phone("AT+CMEE=1");
    phone("AT^SPBS=RD");
    // Case and accents do not count (Ä and Å sort as A, É as E); equal names
    // keep the SIM entry first.
    expectExchanges(
        phone, {
                   {"AT^SPBG=?", info("^SPBG: (1-8),20,18")},
                   {"AT^SPBG=1", info("^SPBG: 1,\"8\",145,\"Adam!\"")},
                   {"AT^SPBG=2", info("^SPBG: 2,\"5\",129,\"\x5Brger!\"")},
                   {"AT^SPBG=3", info("^SPBG: 3,\"2\",129,\"\016se!\"")},
                   {"AT^SPBG=4", info("^SPBG: 4,\"3\",129,\"bob!\"")},
                   {"AT^SPBG=5", info("^SPBG: 5,\"7\",129,\"\037va!\"")},
                   {"AT^SPBG=6", info("^SPBG: 6,\"6\",129,\"Twin!\"")},
                   {"AT^SPBG=7", info("^SPBG: 7,\"9\",129,\"Twin!\"")},
                   {"AT^SPBG=8", info("^SPBG: 8,\"1\",129,\"Zora!\"")},
                   {"AT^SPBG=9", cmeError(1, 21)},
                   {"AT^SPBG=0", cmeError(1, 21)},
                   {"AT^SPBG=6,7",
                    "\r\n^SPBG: 6,\"6\",129,\"Twin!\"\r\n^SPBG: 7,\"9\",129,\"Twin!\"\r\n" + kOk},
                   {"AT+CPBS?", info("+CPBS: \"RD\",8,350")},
                   // The same order in another storage.
                   {"AT^SPBS=ME", kOk},
                   {"AT^SPBG=?", info("^SPBG: (1-3),20,18")},
                   {"AT^SPBG=1,3",
                    "\r\n^SPBG: 1,\"8\",145,\"Adam!\"\r\n^SPBG: 2,\"7\",129,\"\037va!\"\r\n"
                    "^SPBG: 3,\"9\",129,\"Twin!\"\r\n" +
                        kOk},
               });
}

TEST(PhonebookRedbook, FollowsWritesToSimAndMemory) {
    PbPhone phone;
    phone("AT+CMEE=1");
    expectExchanges(phone, {
                               {"AT^SPBS=RD", kOk},
                               // The Redbook has no locations of its own.
                               {"AT+CPBR=?", cmeError(1, 3)},
                               {"AT+CPBR=1", cmeError(1, 3)},
                               {"AT^SPBG=?", info("^SPBG: (1-1),20,18")},
                               {"AT^SPBG=1", info("^SPBG: 1,\"+491701234567\",145,\"Mama!\"")},
                               // The marker makes Müller a member; ü sorts as u, so after Mama!.
                               {"AT^SPBS=SM", kOk},
                               {"AT+CPBW=1,+4930123456,145,\"M\\7Eller!\"", kOk},
                               {"AT^SPBS=RD", kOk},
                               {"AT^SPBG=?", info("^SPBG: (1-2),20,18")},
                               {"AT^SPBG=2", info("^SPBG: 2,\"+4930123456\",145,\"M\176ller!\"")},
                               // Taking the marker off Mama! leaves Müller alone.
                               {"AT^SPBS=SM", kOk},
                               {"AT+CPBW=7,+491701234567,145,\"Mama\"", kOk},
                               {"AT^SPBS=RD", kOk},
                               {"AT^SPBG=?", info("^SPBG: (1-1),20,18")},
                               {"AT^SPBG=1", info("^SPBG: 1,\"+4930123456\",145,\"M\176ller!\"")},
                               {"AT^SPBS=SM", kOk},
                               {"AT+CPBW=1", kOk},
                               {"AT^SPBS=RD", kOk},
                               // No members: an empty range, and no position to read.
                               {"AT^SPBG=?", info("^SPBG: (1-0),20,18")},
                               {"AT^SPBG=1", cmeError(1, 21)},
                           });
}

TEST(PhonebookServiceCentre, ReadsAndSets) {
    PbPhone phone;
    expectExchanges(phone, {
                               {"AT+CSCA?", info("+CSCA: \"+491710760000\",145")},
                               {"AT+CSCA=+491720000000,145", kOk},
                               {"AT+CSCA?", info("+CSCA: \"+491720000000\",145")},
                               {"AT+CSCA=\"01720000000\"", kOk},
                               {"AT+CSCA?", info("+CSCA: \"01720000000\",129")},
                               {"AT+CSCA=\"+4917\",129", kOk},
                               {"AT+CSCA?", info("+CSCA: \"+4917\",129")},
                               {"AT+CSCA=?", kOk},
                               {"AT+CMEE=1", kOk},
                               {"AT+CSCA=", "\r\n+CMS ERROR: 303\r\n"},
                               {"AT+CSCA=01-72", "\r\n+CMS ERROR: 303\r\n"},
                               {"AT+CSCA=0172,99", "\r\n+CMS ERROR: 303\r\n"},
                               {"AT+CSCA?", info("+CSCA: \"+4917\",129")},
                           });
}

}  // namespace
}  // namespace phonesim
