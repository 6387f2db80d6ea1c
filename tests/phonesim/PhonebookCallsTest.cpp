// Dialling on the simulated phone: ATD with a number, with ">" and a location,
// ATDL, their final result codes from the dial table, the dialled-calls list
// they feed, AT^SDLD and AT+CHUP.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PhonebookTestSupport.h"

namespace phonesim {
namespace {

using namespace phonesim::testing;

// The newest dialled call.
StoredEntry lastCall(const PhoneState& s) {
    return s.dialledCalls.entries.empty() ? StoredEntry{} : s.dialledCalls.entries.begin()->second;
}

TEST(PhonebookDial, FinalResultComesFromTheDialTableOrTheErrorMode) {
    struct Case {
        std::string command;
        std::string reply;
        bool addsCall;
    };
    // In every error mode the dial outcomes are V.25ter result codes, not
    // errors (the demo's dial table holds each); bad dial strings are errors.
    for (int cmee = 0; cmee <= 2; ++cmee) {
        const std::vector<Case> cases = {
            {"ATD0301;", "\r\nOK\r\n", true},
            {"ATD0305550001;", "\r\nBUSY\r\n", false},
            {"ATD 0305550002;", "\r\nNO CARRIER\r\n", false},
            {"ATD0305550003;", "\r\nNO DIALTONE\r\n", false},
            {"ATD0305550004;", "\r\nERROR\r\n", false},
            {"ATD0301", cmeError(cmee, 4), false},  // a data call
            {"ATD;", cmeError(cmee, 4), false},
            {"ATD", cmeError(cmee, 4), false},
            {"ATD03-01;", cmeError(cmee, 27), false},
            {"ATD03+01;", cmeError(cmee, 27), false},
        };
        for (const Case& c : cases) {
            PbPhone phone;
            phone("AT+CMEE=" + std::to_string(cmee));
            const StoredEntry before = lastCall(phone.state);
            EXPECT_EQ(phone(c.command), c.reply) << c.command << " cmee " << cmee;
            if (c.addsCall) {
                EXPECT_EQ(lastCall(phone.state).number, "0301") << c.command;
            } else {
                EXPECT_EQ(lastCall(phone.state), before) << c.command;
            }
        }
    }
}

TEST(PhonebookDial, NumbersGoToTheDialledCallsWithTheirNames) {
    PbPhone phone;
    // A blank after D (as a call-list line gives it) is no part of the number.
    ASSERT_EQ(phone("ATD 0301;"), kOk);
    EXPECT_EQ(lastCall(phone.state), (StoredEntry{"0301", 129, ""}));
    ASSERT_EQ(phone("ATD+4930123456;"), kOk);
    EXPECT_EQ(lastCall(phone.state), (StoredEntry{"+4930123456", 145, "M\xFCller"}));
    ASSERT_EQ(phone("ATD0304445566;"), kOk);  // only in the phone memory
    EXPECT_EQ(lastCall(phone.state).name, "Pizza Napoli");

    // The list keeps ten calls, newest first; a number dialled again moves up.
    const auto& ld = phone.state.dialledCalls.entries;
    EXPECT_EQ(ld.size(), 10u);
    EXPECT_EQ(ld.at(2).number, "+4930123456");
    EXPECT_EQ(ld.at(3).number, "0301");
    EXPECT_EQ(ld.at(10).number, "0891234567");

    phone("AT+CPBS=LD");
    EXPECT_EQ(phone("AT+CPBR=1"), info("+CPBR: 1,\"0304445566\",129,\"Pizza Napoli\""));
    EXPECT_EQ(phone("AT+CPBR=3"), info("+CPBR: 3,\"0301\",129,\"\""));
}

TEST(PhonebookDial, LocationOfTheSelectedPhonebook) {
    struct Case {
        std::string storage;
        std::string command;
        std::string reply;  // error mode 1
        std::string dialled;
    };
    const std::vector<Case> cases = {
        {"SM", "ATD>1;", kOk, "+4930123456"},         {"SM", "ATD> 4 ;", kOk, "+33478123456"},
        {"SM", "ATD>6i;", kOk, "0891234567"},         {"ME", "ATD>2;", kOk, "+4989555123"},
        {"SM", "ATD>ME4;", kOk, "0304445566"},        {"FD", "ATD>1;", kOk, "112"},
        {"RD", "ATD>1;", kOk, "+491701234567"},       {"MC", "ATD>1;", kOk, "0301"},
        {"SM", "ATD>5;", cmeError(1, 22), ""},    // empty location
        {"SM", "ATD>251;", cmeError(1, 21), ""},  // past the end
        {"SM", "ATD>0;", cmeError(1, 21), ""},        {"RD", "ATD>2;", cmeError(1, 21), ""},
        {"SM", "ATD>1", cmeError(1, 4), ""},  // no ";": a data call
        {"SM", "ATD>\"Mama!\";", cmeError(1, 4), ""}, {"SM", "ATD>XY1;", cmeError(1, 4), ""},
    };
    for (const Case& c : cases) {
        PbPhone phone;
        phone("AT+CMEE=1");
        phone("AT+CPBS=" + c.storage);
        const StoredEntry before = lastCall(phone.state);
        EXPECT_EQ(phone(c.command), c.reply) << c.storage << " " << c.command;
        if (c.dialled.empty()) {
            EXPECT_EQ(lastCall(phone.state), before) << c.command;
        } else {
            EXPECT_EQ(lastCall(phone.state).number, c.dialled) << c.command;
        }
    }
}

TEST(PhonebookDial, LocationTakesItsResultFromTheNumber) {
    PhoneState s = PhoneState::demo();
    s.dialResults["+4930123456"] = DialResult::Busy;
    PbPhone phone(s);
    EXPECT_EQ(phone("ATD>1;"), "\r\nBUSY\r\n");
    EXPECT_EQ(phone("ATD>2;"), kOk);
    EXPECT_EQ(lastCall(phone.state).name, "J\xFCrgen \xD6zt\xFCrk");
}

TEST(PhonebookDial, RedialUsesTheNewestDialledCall) {
    PhoneState s = PhoneState::demo();
    s.dialResults["0301"] = DialResult::NoCarrier;
    PbPhone phone(s);
    EXPECT_EQ(phone("ATDL"), kOk);
    EXPECT_EQ(lastCall(phone.state).number, "+4930123456");
    EXPECT_EQ(phone.state.dialledCalls.entries.size(), 10u);  // moved up, not doubled
    ASSERT_EQ(phone("ATD0301;"), "\r\nNO CARRIER\r\n");
    EXPECT_EQ(phone("ATDL;"), kOk);  // 0301 failed, so it is not the last dialled call

    phone.state.dialResults["+4930123456"] = DialResult::Busy;
    EXPECT_EQ(phone("ATDL"), "\r\nBUSY\r\n");
}

TEST(PhonebookDial, ClearingDialledCalls) {
    PbPhone phone;
    phone("AT+CMEE=1");
    EXPECT_EQ(phone("AT^SDLD"), kOk);
    EXPECT_TRUE(phone.state.dialledCalls.entries.empty());
    EXPECT_EQ(phone.state.missedCalls.entries.size(), 10u);
    phone("AT+CPBS=LD");
    EXPECT_EQ(phone("AT+CPBR=1"), kOk);
    EXPECT_EQ(phone("AT+CPBS?"), info("+CPBS: \"LD\",0,10"));
    // Nothing left to redial.
    EXPECT_EQ(phone("ATDL"), cmeError(1, 22));
    EXPECT_EQ(phone("AT^SDLD=?"), kOk);
    EXPECT_EQ(phone("AT^SDLD=1"), cmeError(1, 4));
}

TEST(PhonebookDial, HangUpAlwaysSucceeds) {
    PbPhone phone;
    EXPECT_EQ(phone("AT+CHUP"), kOk);
    EXPECT_EQ(phone("ATD>1;"), kOk);
    EXPECT_EQ(phone("AT+CHUP"), kOk);
    EXPECT_EQ(phone("AT+CHUP=?"), kOk);
}

TEST(PhonebookDial, VoiceCallLetsTheLineGoOn) {
    PbPhone phone;
    // After "D...;" the next command of the same line still runs; after a failed
    // dial it does not.
    EXPECT_EQ(phone("ATD0301;+CPBS?"), info("+CPBS: \"SM\",7,250"));
    phone.state.dialResults["0301"] = DialResult::Busy;
    EXPECT_EQ(phone("ATD0301;+CPBS?"), "\r\nBUSY\r\n");
}

}  // namespace
}  // namespace phonesim
