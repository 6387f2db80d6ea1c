// The simulated phone's network side: registration with location and
// handovers, search and selection, the operator table and the preferred
// list, calls, forwarding and barring, and their part of the state file.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "PhonebookTestSupport.h"
#include "phonesim/Commands.h"
#include "phonesim/OperatorTable.h"
#include "phonesim/PhoneState.h"

namespace phonesim {
namespace {

using namespace phonesim::testing;
using Phone = PbPhone;

// A phone with numeric error reports.
Phone cmeePhone(PhoneState s = PhoneState::demo()) {
    Phone p(std::move(s));
    p("AT+CMEE=1");
    return p;
}

TEST(NetworkRegistration, LocationInEveryReportModeAndHandovers) {
    PhoneState s = PhoneState::demo();
    s.net.handoverEvery = 2;
    Phone p(s);
    // Report mode 0 carries the location as Siemens phones answer it.
    EXPECT_EQ(p("AT+CREG?"), info("+CREG: 0,1,\"5E25\",\"605F\""));
    EXPECT_EQ(p("AT+CREG=2"), kOk);
    EXPECT_EQ(p("AT+CREG?"), info("+CREG: 2,1,\"5E25\",\"605F\""));
    // Two answers per cell, then on along the route and back to its start.
    EXPECT_EQ(p("AT+CREG?"), info("+CREG: 2,1,\"5E25\",\"6060\""));
    EXPECT_EQ(p("AT+CREG?"), info("+CREG: 2,1,\"5E25\",\"6060\""));
    EXPECT_EQ(p("AT+CREG?"), info("+CREG: 2,1,\"5E26\",\"1A2B\""));
    EXPECT_EQ(p("AT+CREG?"), info("+CREG: 2,1,\"5E26\",\"1A2B\""));
    EXPECT_EQ(p("AT+CREG?"), info("+CREG: 2,1,\"5E25\",\"605F\""));

    p.state.regStatus = 2;  // searching: no location
    EXPECT_EQ(p("AT+CREG?"), info("+CREG: 2,2"));
    p.state.regStatus = 5;
    p.state.net.handoverEvery = 0;
    EXPECT_EQ(p("AT+CREG?"), info("+CREG: 2,5,\"5E25\",\"605F\""));
    EXPECT_EQ(p("AT+CREG?"), info("+CREG: 2,5,\"5E25\",\"605F\""));
}

TEST(NetworkOperator, FormatsSearchAndItsTime) {
    PhoneState s = PhoneState::demo();
    s.net.searchMs = 1500;
    Phone p(s);
    EXPECT_EQ(p("AT+COPS?"), info("+COPS: 0,0,\"D1-TELEKOM\""));
    EXPECT_EQ(p("AT+COPS=3,2"), kOk);
    EXPECT_EQ(p("AT+COPS?"), info("+COPS: 0,2,\"26201\""));
    EXPECT_EQ(p("AT+COPS=3,0"), kOk);

    const auto events = p.in.feed("AT+COPS=?\r");
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].bytes,
              info("+COPS: (2,\"D1-TELEKOM\",,\"26201\"),(1,\"D2 PRIVAT\",,\"26202\"),"
                   "(3,\"E-Plus\",,\"26203\"),(3,\"Interkom\",,\"26207\"),,(0-4),(0-2)"));
    EXPECT_EQ(events[0].delay, std::chrono::milliseconds(1500));
    // Other commands answer at once.
    EXPECT_EQ(p.in.feed("AT+COPS?\r")[0].delay, std::chrono::milliseconds(0));
}

TEST(NetworkOperator, ManualSelectionAnswersAsTheNetworkDoes) {
    struct Case {
        const char* situation;
        std::string command;
        std::string reply;
        int servingCode;
        int regStatus;
    };
    const std::vector<Case> cases = {
        {"the current network", "AT+COPS=1,2,\"26201\"", kOk, 26201, 1},
        {"a forbidden network", "AT+COPS=1,2,26203", cmeError(1, 32), 26201, 1},
        {"a network nowhere near", "AT+COPS=1,2,20801", cmeError(1, 30), 26201, 1},
        {"an available foreign-coded network: roaming", "AT+COPS=1,2,26202", kOk, 26202, 5},
        {"by its long name", "AT+COPS=1,0,\"D2 PRIVAT\"", kOk, 26202, 5},
        {"forbidden with automatic fallback", "AT+COPS=4,2,26203", kOk, 26201, 1},
        {"no operator given", "AT+COPS=1,2", cmeError(1, 4), 26201, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.situation);
        Phone p = cmeePhone();
        EXPECT_EQ(p(c.command), c.reply);
        EXPECT_EQ(p.state.net.servingCode, c.servingCode);
        EXPECT_EQ(p.state.regStatus, c.regStatus);
    }

    // After a switch the old network is one of the available ones, the new
    // one is current, and the cells are those of the new network.
    Phone p = cmeePhone();
    ASSERT_EQ(p("AT+COPS=1,2,26202"), kOk);
    EXPECT_EQ(p("AT+COPS?"), info("+COPS: 1,2,\"26202\""));  // the selection set the format
    EXPECT_EQ(p.state.operatorName, "D2 PRIVAT");
    EXPECT_EQ(p.state.net.available, (std::vector<int>{26201}));
    EXPECT_NE(p.state.net.currentCell(), (Cell{0x5E25, 0x605F}));
}

TEST(NetworkOperatorTable, SeveralHundredUniqueNamedEntries) {
    const auto& table = operatorTable();
    EXPECT_GE(table.size(), 300u);
    EXPECT_LE(table.size(), 400u);
    std::set<int> codes;
    for (const OperatorInfo& o : table) {
        EXPECT_TRUE(codes.insert(o.code).second) << o.code;
        EXPECT_GE(o.code, 20000) << o.code;
        EXPECT_LE(o.code, 999999) << o.code;
        EXPECT_FALSE(o.name.empty()) << o.code;
        EXPECT_EQ(o.name.find('"'), std::string::npos) << o.code;
    }
    EXPECT_EQ(operatorName(26201), "D1-TELEKOM");
    EXPECT_EQ(operatorName(99999), "");

    Phone p;
    const std::string reply = p("AT^SPLM");
    EXPECT_EQ(reply.rfind("\r\n^SPLM: \"20201\",\"GR COSMOTE\"\r\n", 0), 0u);
    EXPECT_NE(reply.find("\r\n^SPLM: \"26201\",\"D1-TELEKOM\"\r\n"), std::string::npos);
}

TEST(NetworkPreferredList, ReadWriteDeleteAndLimits) {
    Phone p = cmeePhone();
    EXPECT_EQ(p("AT^SPLR=?"), info("^SPLR: (1-10)"));
    EXPECT_EQ(p("AT^SPLR=1"), info("^SPLR: 1,\"23201\""));
    EXPECT_EQ(p("AT^SPLR=6"), info("^SPLR: 6,\"EMPTY\""));
    EXPECT_EQ(p("AT^SPLR=5,6"), "\r\n^SPLR: 5,\"22210\"\r\n^SPLR: 6,\"EMPTY\"\r\n" + kOk);
    EXPECT_EQ(p("AT^SPLR=11"), cmeError(1, 21));
    EXPECT_EQ(p("AT^SPLW=6,26202"), kOk);
    EXPECT_EQ(p("AT^SPLW=7,\"310026\""), kOk);
    EXPECT_EQ(p("AT^SPLR=6"), info("^SPLR: 6,\"26202\""));
    EXPECT_EQ(p("AT^SPLW=1"), kOk);
    EXPECT_EQ(p("AT^SPLR=1"), info("^SPLR: 1,\"EMPTY\""));
    EXPECT_EQ(p("AT^SPLW=0,26202"), cmeError(1, 21));
    EXPECT_EQ(p("AT^SPLW=8,2620"), cmeError(1, 3));
    EXPECT_EQ(p("AT^SPLW=8,D2"), cmeError(1, 3));
    EXPECT_EQ(p.state.net.preferred,
              (std::map<int, int>{
                  {2, 22801}, {3, 20801}, {4, 23415}, {5, 22210}, {6, 26202}, {7, 310026}}));
}

TEST(NetworkCalls, ActivityFollowsTheCalls) {
    Phone p;
    EXPECT_EQ(p("AT+CPAS"), info("+CPAS: 0"));
    EXPECT_EQ(p("AT+CLCC"), kOk);
    p.state.net.calls = {Call{1, 1, 4, 0, false, "+4930123456", 145}};
    EXPECT_EQ(p("AT+CPAS"), info("+CPAS: 3"));
    p.state.net.calls.push_back(Call{2, 0, 0, 1, false, "", 129});
    EXPECT_EQ(p("AT+CPAS"), info("+CPAS: 4"));
    EXPECT_EQ(p("AT+CLCC"),
              "\r\n+CLCC: 1,1,4,0,0,\"+4930123456\",145\r\n+CLCC: 2,0,0,1,0\r\n" + kOk);
}

TEST(NetworkForwarding, RegisterQueryDeactivateErase) {
    Phone p = cmeePhone();
    // The demo forwards unanswered voice calls to the mailbox.
    EXPECT_EQ(p("AT+CCFC=2,2"), info("+CCFC: 1,1,\"+491713300\",145,,,20"));
    EXPECT_EQ(p("AT+CCFC=0,2"), info("+CCFC: 0,7"));
    EXPECT_EQ(p("AT+CCFC=0,3,0301234567,129,1"), kOk);
    EXPECT_EQ(p("AT+CCFC=0,3,\"+49301\",145,4"), kOk);
    EXPECT_EQ(p("AT+CCFC=0,2"),
              "\r\n+CCFC: 1,1,\"0301234567\",129\r\n+CCFC: 1,4,\"+49301\",145\r\n" + kOk);
    EXPECT_EQ(p("AT+CCFC=0,0,0301234567,129,1"), kOk);
    EXPECT_EQ(p("AT+CCFC=0,2,,,1"), info("+CCFC: 0,7"));
    EXPECT_EQ(p("AT+CCFC=0,1,,,1"), kOk);  // activates the registered number again
    EXPECT_EQ(p("AT+CCFC=0,4,,,7"), kOk);
    EXPECT_EQ(p("AT+CCFC=0,2"), info("+CCFC: 0,7"));
    EXPECT_EQ(p("AT+CCFC=0,1,,,1"), cmeError(1, 3));  // nothing registered to activate
    // All three classes alike are answered as class 7.
    EXPECT_EQ(p("AT+CCFC=1,3,+4917,145,7"), kOk);
    EXPECT_EQ(p("AT+CCFC=1,2"), info("+CCFC: 1,7,\"+4917\",145"));
    // Reason 4 (all) reaches every reason.
    EXPECT_EQ(p("AT+CCFC=4,4"), kOk);
    EXPECT_EQ(p("AT+CCFC=1,2"), info("+CCFC: 0,7"));
    EXPECT_EQ(p("AT+CCFC=2,2"), info("+CCFC: 0,7"));
    // Values a network refuses.
    EXPECT_EQ(p("AT+CCFC=0,3,03A1,129,1"), cmeError(1, 27));
    EXPECT_EQ(p("AT+CCFC=0,3,0301,129,16"), cmeError(1, 4));
    EXPECT_EQ(p("AT+CCFC=2,3,0301,129,1,,,45"), cmeError(1, 4));
    EXPECT_EQ(p("AT+CCFC=0,3"), cmeError(1, 3));
}

TEST(NetworkBarring, PasswordsFacilitiesAndClasses) {
    Phone p = cmeePhone();
    // The keyboard lock needs no password; the SIM lock needs the PIN.
    EXPECT_EQ(p("AT+CLCK=CS,1"), kOk);
    EXPECT_EQ(p("AT+CLCK=\"CS\",2"), info("+CLCK: 1"));
    EXPECT_EQ(p("AT+CLCK=SC,1"), cmeError(1, 16));
    EXPECT_EQ(p("AT+CLCK=SC,1,1234"), kOk);
    EXPECT_EQ(p("AT+CLCK=FD,1,9999"), cmeError(1, 16));
    // Barring services with the network password, per class.
    EXPECT_EQ(p("AT+CLCK=AO,1,1111,1"), cmeError(1, 16));
    EXPECT_EQ(p("AT+CLCK=AO,1,0000,1"), kOk);
    EXPECT_EQ(p("AT+CLCK=AO,1,0000,4"), kOk);
    EXPECT_EQ(p("AT+CLCK=AO,2"), "\r\n+CLCK: 1,1\r\n+CLCK: 1,4\r\n" + kOk);
    EXPECT_EQ(p("AT+CLCK=AO,1,0000,2"), kOk);
    EXPECT_EQ(p("AT+CLCK=AO,2"), info("+CLCK: 1,7"));
    // One outgoing program per class: OI replaces AO for voice.
    EXPECT_EQ(p("AT+CLCK=OI,1,0000,1"), kOk);
    EXPECT_EQ(p("AT+CLCK=AO,2"), "\r\n+CLCK: 1,2\r\n+CLCK: 1,4\r\n" + kOk);
    EXPECT_EQ(p("AT+CLCK=AI,1,0000"), kOk);
    EXPECT_EQ(p("AT+CLCK=AG,0,0000"), kOk);  // lifts the outgoing ones only
    EXPECT_EQ(p("AT+CLCK=AO,2"), info("+CLCK: 0,7"));
    EXPECT_EQ(p("AT+CLCK=AI,2"), info("+CLCK: 1,7"));
    EXPECT_EQ(p("AT+CLCK=AB,1,0000"), cmeError(1, 3));
    EXPECT_EQ(p("AT+CLCK=XX,2"), cmeError(1, 4));
}

TEST(NetworkState, SectionsRoundTrip) {
    PhoneState s = PhoneState::demo();
    s.net.servingCode = 310026;
    s.net.cells = {{0x0001, 0xFFFF}};
    s.net.cell = 0;
    s.net.handoverEvery = 0;
    s.net.searchMs = 10;
    s.net.available = {23415, 310026};
    s.net.forbidden = {};
    s.net.preferredSize = 3;
    s.net.preferred = {{3, 26203}};
    s.net.calls = {Call{1, 0, 0, 0, false, "+4930123456", 145}, Call{2, 1, 5, 2, true, "", 129}};
    s.net.forwarding[{3, 4}] = ForwardingRule{false, "0301", 129, 0};
    s.net.barringPassword = "4321";
    s.net.locks = {"CS", "FD"};
    s.net.barred = {{"IR", 2}};
    const PhoneState loaded = readBack(s);
    EXPECT_EQ(loaded.net.servingCode, 310026);
    EXPECT_EQ(loaded.net.cells, s.net.cells);
    EXPECT_EQ(loaded.net.available, s.net.available);
    EXPECT_TRUE(loaded.net.forbidden.empty());
    EXPECT_EQ(loaded.net.preferred, s.net.preferred);
    EXPECT_EQ(loaded.net.calls, s.net.calls);
    EXPECT_EQ(loaded.net.forwarding, s.net.forwarding);
    EXPECT_EQ(loaded.net.locks, s.net.locks);
    EXPECT_EQ(loaded.net.barred, s.net.barred);
    EXPECT_EQ(loaded.toText(), s.toText());

    expectRefused("[cells]", {"cell = 5E25", "cell = 5E25,GGGG"});
    expectRefused("[calls]", {"call = 1,0,0"});
    expectRefused("[forwarding]", {"rule = 0,3,1,\"0301\",129,0"});
    expectRefused("[barring]", {"bar = XY,1", "password = 12a4"});
    expectRefused("[preferred]", {"entry = 1"});
}

}  // namespace
}  // namespace phonesim
