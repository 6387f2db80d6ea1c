// vondrix-cli clock, off, audio and info --csv against the simulated phone,
// run as a process; the phone's state file shows what the commands did.

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "foundation/CalendarTime.h"
#include "foundation/Catalogue.h"
#include "foundation/Reporter.h"
#include "phonesim/PhoneState.h"
#include "support/RunProcess.h"
#include "support/SimulatedCliTest.h"

namespace vondrix {
namespace {

using phonesim::PhoneState;

// A message line as the command line shows it (English, from the test environment).
std::string shown(int id, Caption caption = Caption::Info) {
    return std::string(captionText(caption)) + ": " +
           std::string(catalogueText(id, Language::English)) + "\n";
}

using DeviceCliTest = test::SimulatedCliTest;
using test::demoWith;
using test::refusing;

std::string today() {
    const std::tm local = localCalendar(std::time(nullptr));
    char text[16];
    std::strftime(text, sizeof text, "%y/%m/%d", &local);
    return text;
}

TEST_F(DeviceCliTest, ClockSetsThePhoneToThisComputersTime) {
    const std::string before = today();
    const auto r = run(PhoneState::demo(), {"clock"});
    const std::string after = today();
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, shown(69));
    const std::string clock = phoneAfter().clock;
    ASSERT_EQ(clock.size(), 17u) << clock;
    EXPECT_TRUE(clock.substr(0, 8) == before || clock.substr(0, 8) == after) << clock;
}

TEST_F(DeviceCliTest, SuccessfulCommandsChangeThePhone) {
    struct Case {
        std::vector<std::string> args;
        std::string err;
        std::function<void(const PhoneState&)> check;
    };
    const std::vector<Case> cases = {
        {{"off"}, shown(70), [](const PhoneState& s) { EXPECT_TRUE(s.poweredOff); }},
        {{"audio", "--ringtone", "7", "--volume", "1", "--seconds", "0"},
         "",
         [](const PhoneState& s) {
             EXPECT_EQ(s.ringTone, 7);
             EXPECT_EQ(s.ringVolume, 1);
             EXPECT_FALSE(s.ringing);  // started and stopped again
         }},
        // Only the volume given: the test uses the ring tone read at opening.
        {{"audio", "--volume=4", "--seconds=0"},
         "",
         [](const PhoneState& s) {
             EXPECT_EQ(s.ringTone, 3);
             EXPECT_EQ(s.ringVolume, 4);
         }},
        {{"audio", "--ring", "off"},
         shown(83),
         [](const PhoneState& s) { EXPECT_EQ(s.ringTone, 0); }},
        {{"audio", "--handsfree", "on"},
         shown(85),
         [](const PhoneState& s) {
             EXPECT_EQ(s.handsFree, 1);
             EXPECT_EQ(s.speakerVolume, 4);  // restored after the switch
         }},
        // Options run as test, ring, hands-free, whatever their order here;
        // "ring on" restores the ring tone just tested.
        {{"audio", "--handsfree", "off", "--ring", "on", "--ringtone", "9", "--seconds", "0"},
         shown(81) + shown(87),
         [](const PhoneState& s) {
             EXPECT_EQ(s.ringTone, 9);
             EXPECT_EQ(s.handsFree, 0);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.back());
        const auto r = run(PhoneState::demo(), c.args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, c.err);
        c.check(phoneAfter());
    }
}

// Each box's message is the core's (tests/e2e/DeviceCommandsTest).
TEST_F(DeviceCliTest, RefusedCommandsExitWithOne) {
    struct Case {
        std::string refused;
        std::vector<std::string> args;
        std::string err;
    };
    const std::vector<Case> cases = {
        {"AT+CCLK", {"clock"}, shown(17, Caption::Error)},
        {"AT^SMSO", {"off"}, ""},  // the desktop program says nothing either
        {"AT^SRTC=5",
         {"audio", "--ringtone", "5", "--seconds", "0"},
         "vondrix-cli audio: the phone refused ring tone 5 at volume 2 (AT^SRTC=5,2)\n"},
        {"AT^SRTC=3", {"audio", "--ring", "on"}, shown(82, Caption::Error)},
        // A failure does not stop the later options, but sets the status.
        {"AT^SRTC=3",
         {"audio", "--ring", "on", "--handsfree", "on"},
         shown(82, Caption::Error) + shown(85)},
        {"AT^SRTC=5",
         {"audio", "--ringtone", "5", "--seconds", "0", "--handsfree", "on"},
         "vondrix-cli audio: the phone refused ring tone 5 at volume 2 (AT^SRTC=5,2)\n" +
             shown(85)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.refused + " " + c.args.back());
        const auto r = run(refusing(c.refused), c.args);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, c.err);
    }
    EXPECT_EQ(phoneAfter().handsFree, 1);  // the last case's hands-free still ran
}

TEST_F(DeviceCliTest, AudioWithoutOptionsPrintsStateAndRanges) {
    PhoneState s = PhoneState::demo();
    s.ringToneMin = 1;
    s.ringToneMax = 16;
    s.ringVolumeMax = 5;
    s.ringTone = 0;
    s.ringVolume = 5;
    s.handsFree = 1;
    const auto r = run(s, {"audio"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "Ring tone: 0\n"
              "Volume: 5\n"
              "Ring tone off: yes\n"
              "Hands-free: yes\n"
              "Ring tone range: 1-16\n"
              "Volume range: 0-5\n");
    EXPECT_EQ(r.err, "");

    // Without the ranges the ring tone is never read: those fields stay empty.
    const auto unknown = run(refusing("AT^SRTC=?"), {"audio"});
    ASSERT_EQ(unknown.exitCode, 0) << unknown.err;
    EXPECT_EQ(unknown.out,
              "Ring tone: \nVolume: \nRing tone off: no\nHands-free: no\n"
              "Ring tone range: \nVolume range: \n");
    const auto test = run(refusing("AT^SRTC=?"), {"audio", "--ringtone", "1"});
    EXPECT_EQ(test.exitCode, 1);
    EXPECT_NE(test.err.find("ranges"), std::string::npos) << test.err;
}

TEST_F(DeviceCliTest, HelpAndUsageErrors) {
    for (const char* command : {"clock", "off", "audio", "info"}) {
        const auto r = run(PhoneState::demo(), {command, "--help"});
        EXPECT_EQ(r.exitCode, 0) << command;
        EXPECT_EQ(r.out.rfind(std::string("Usage: vondrix-cli [LINK OPTIONS] ") + command, 0), 0u)
            << r.out;
        EXPECT_EQ(r.err, "");
    }
    const std::vector<std::vector<std::string>> usageErrors = {
        {"clock", "--bogus"},
        {"clock", "now"},
        {"off", "--force"},
        {"info", "--csv"},
        {"info", "extra"},
        {"audio", "--ringtone", "x"},
        {"audio", "--ringtone", "-1"},
        {"audio", "--ringtone", "42"},  // the phone's range is 0-41
        {"audio", "--volume", "5"},     // and 0-4
        {"audio", "--seconds", "5"},    // nothing to play
        {"audio", "--ringtone", "1", "--seconds", "3601"},
        {"audio", "--ring", "maybe"},
        {"audio", "--handsfree"},
        {"audio", "--", "--ring", "off"},
    };
    for (const auto& args : usageErrors) {
        SCOPED_TRACE(args.back());
        const auto r = run(PhoneState::demo(), args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("vondrix-cli " + args.front() + ": "), std::string::npos) << r.err;
        const PhoneState after = phoneAfter();
        EXPECT_EQ(after.ringTone, 3);
        EXPECT_EQ(after.ringVolume, 2);
        EXPECT_FALSE(after.ringing);
    }
}

TEST_F(DeviceCliTest, SmsStatRoutingIsResetAsTheCloseBoxDoes) {
    writeIni("SMSstat=1\r\n");
    struct Case {
        PhoneState phone;
        std::vector<std::string> args;
        std::string cnmi;  // <mode>,<mt>,<bm>,<ds> afterwards
    };
    const std::vector<Case> cases = {
        {PhoneState::demo(), {"clock"}, "1,0,0,0"},
        {PhoneState::demo(), {"audio"}, "1,0,0,0"},
        {PhoneState::demo(), {"info"}, "1,0,0,0"},
        // Not switched off, the phone still gets the closing traffic. (After a
        // successful switch-off nothing is sent; a switched-off simulated
        // phone ignores commands, so that cannot be seen from here.)
        {refusing("AT^SMSO"), {"off"}, "1,0,0,0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.front());
        run(c.phone, c.args);
        // The phone may add the optional <bfr> when it reports the setting.
        const std::string cnmi = phoneAfter().cnmi;
        EXPECT_EQ(cnmi.substr(0, c.cnmi.size()), c.cnmi) << cnmi;
    }
}

TEST_F(DeviceCliTest, NoModemRefusesClockAndRingToneTest) {
    writeIni("NoModem=1\r\n");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"clock"}, {"audio", "--ringtone", "5", "--seconds", "0"}}) {
        const auto r = run(PhoneState::demo(), args);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find("NoModem"), std::string::npos) << r.err;
    }
    EXPECT_EQ(phoneAfter().ringTone, 3);
    // The check boxes stay available.
    const auto r = run(PhoneState::demo(), {"audio", "--ring", "off"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(phoneAfter().ringTone, 0);
}

TEST_F(DeviceCliTest, InfoCsvAppendsTheDeviceInformation) {
    for (int i = 0; i < 2; ++i) {
        const auto r = run(PhoneState::demo(), {"info", "--csv", "VondrixINF.csv"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_NE(r.out.find("Hands-free: no\n"), std::string::npos);
    }
    std::ifstream in(dir + "/VondrixINF.csv", std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    EXPECT_EQ(bytes.str(),
              "SERIAL,VERSION,SIMSERIAL\r\n'449107284530215,'21,'89490200001234567890\r\n"
              "SERIAL,VERSION,SIMSERIAL\r\n'449107284530215,'21,'89490200001234567890\r\n");

    // The fields are printed before the file is tried.
    const auto r = run(PhoneState::demo(), {"info", "--csv=" + dir + "/missing/x.csv"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("Manufacturer: SIEMENS\n"), std::string::npos);
    EXPECT_EQ(r.err, shown(25, Caption::Error));
}

}  // namespace
}  // namespace vondrix
