// The main window's device commands against the simulated phone: clock,
// switch-off, ring tone test, the two check boxes and the device info file.

#include <gtest/gtest.h>

#include "SessionRig.h"
#include "device/DeviceCommands.h"
#include "session/MainWindowSession.h"
#include "support/FileTraps.h"

namespace vondrix {
namespace {

using Lines = std::vector<std::string>;
using test::RecordingReporter;

// The main window opened on a simulated phone prepared by `prepare`; the
// opening traffic is forgotten so that tests see only their own commands.
struct Window : test::EngineRig<> {
    explicit Window(const std::function<void(phonesim::PhoneState&)>& prepare = {})
        : EngineRig(prepare) {
        state = runOpeningSequence(engine, Settings{});
        sim.clearReceived();
    }
    MainWindowState state;
    AudioControls audio{engine, reporter, state.audio};
};

TEST(DeviceCommands, ClockSendsTheLocalTimeAndReports) {
    using test::calendarTime;
    struct Case {
        std::tm time;
        bool phoneRefuses;  // then message 17 as an error, else 69 as an information
        std::string command;
    };
    const Case cases[] = {
        {calendarTime(2001, 1, 1, 0, 0, 5), false, "AT+CCLK=01/01/01,00:00:05"},
        {calendarTime(2000, 6, 12, 8, 17, 29), false, "AT+CCLK=00/06/12,08:17:29"},
        {calendarTime(1999, 12, 31, 23, 59, 59), false, "AT+CCLK=99/12/31,23:59:59"},
        {calendarTime(2000, 6, 12, 8, 17, 29), true, "AT+CCLK=00/06/12,08:17:29"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        EXPECT_EQ(clockCommand(c.time), c.command);
        Window w([&](phonesim::PhoneState& s) {
            if (c.phoneRefuses)
                s.failing.insert("AT+CCLK");
        });
        EXPECT_EQ(setPhoneClock(w.engine, w.reporter, c.time), !c.phoneRefuses);
        EXPECT_EQ(w.lines(), Lines{c.command});
        ASSERT_EQ(w.reporter.ids(), std::vector<int>{c.phoneRefuses ? 17 : 69});
        EXPECT_EQ(w.reporter.shown[0].caption, c.phoneRefuses ? Caption::Error : Caption::Info);
        EXPECT_EQ(w.phone().clock, c.phoneRefuses ? "01/01/01,00:00:00" : c.command.substr(8));
    }
}

TEST(DeviceCommands, SwitchOffSaysGoodbyeOnlyWhenThePhoneAgrees) {
    for (const bool refuses : {false, true}) {
        SCOPED_TRACE(refuses);
        Window w([&](phonesim::PhoneState& s) {
            if (refuses)
                s.failing.insert("AT^SMSO");
        });
        EXPECT_EQ(switchPhoneOff(w.engine, w.reporter), !refuses);
        EXPECT_EQ(w.sim.receivedLines(), Lines{"AT^SMSO"});
        EXPECT_EQ(w.reporter.ids(), refuses ? std::vector<int>{} : std::vector<int>{70});
        EXPECT_EQ(w.phone().poweredOff, !refuses);
    }
}

TEST(DeviceCommands, RingToneTestStartsAndStopsAndIsRemembered) {
    Window w;
    EXPECT_TRUE(w.audio.toggleTest(7, 1));  // the button now reads "Stop"
    EXPECT_TRUE(w.audio.testRunning());
    EXPECT_EQ(w.sim.receivedLines(), (Lines{"AT^SRTC=7,1", "AT^SRTC"}));
    EXPECT_TRUE(w.phone().ringing);

    EXPECT_FALSE(w.audio.toggleTest(7, 1));  // back to "Test"
    EXPECT_FALSE(w.audio.testRunning());
    EXPECT_EQ(w.sim.receivedLines(), (Lines{"AT^SRTC=7,1", "AT^SRTC", "AT^SRTC"}));
    EXPECT_FALSE(w.phone().ringing);
    EXPECT_TRUE(w.reporter.shown.empty());

    // Switching the ring tone on again restores the one last tested.
    w.sim.clearReceived();
    EXPECT_FALSE(w.audio.setRingToneOff(false));
    EXPECT_EQ(w.sim.receivedLines(), Lines{"AT^SRTC=7"});
    EXPECT_EQ(w.reporter.ids(), std::vector<int>{81});
}

TEST(DeviceCommands, RefusedRingToneTestPlaysNothingAndSaysNothing) {
    Window w([](phonesim::PhoneState& s) { s.failing.insert("AT^SRTC=9"); });
    EXPECT_FALSE(w.audio.toggleTest(9, 1));
    EXPECT_FALSE(w.audio.testRunning());
    EXPECT_EQ(w.sim.receivedLines(), Lines{"AT^SRTC=9,1"});
    EXPECT_FALSE(w.phone().ringing);
    EXPECT_TRUE(w.reporter.shown.empty());

    // The refused tone is not the one "ring tone on" restores.
    w.sim.clearReceived();
    w.audio.setRingToneOff(false);
    EXPECT_EQ(w.sim.receivedLines(), Lines{"AT^SRTC=3"});
}

TEST(DeviceCommands, CheckBoxesSendTheirCommandsAndShowTheRightState) {
    enum Box { RingToneOff, HandsFree };
    struct Case {
        const char* name;
        int openingTone, openingHandsFree;
        Box box;
        bool checked;         // the box's state after the click
        const char* command;  // what the click sends
        bool refused;         // by the phone
        bool shows;           // the state the box must show afterwards
        int message;
    };
    const Case cases[] = {
        {"ring off", 3, 0, RingToneOff, true, "AT^SRTC=0", false, true, 83},
        {"ring off refused unticks", 3, 0, RingToneOff, true, "AT^SRTC=0", true, false, 84},
        // With 0 read at opening and no test, "on" sends 0 again.
        {"ring on after 0 at opening", 0, 0, RingToneOff, false, "AT^SRTC=0", false, false, 81},
        {"ring on refused", 3, 0, RingToneOff, false, "AT^SRTC=3", true, false, 82},
        {"hands-free on", 3, 0, HandsFree, true, "AT^SNFS=1", false, true, 85},
        {"hands-free on refused unticks", 3, 0, HandsFree, true, "AT^SNFS=1", true, false, 86},
        {"hands-free off", 3, 1, HandsFree, false, "AT^SNFS=0", false, false, 87},
        {"hands-free off refused", 3, 1, HandsFree, false, "AT^SNFS=0", true, false, 88},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Window w([&](phonesim::PhoneState& s) {
            s.ringTone = c.openingTone;
            s.handsFree = c.openingHandsFree;
            s.speakerVolume = 2;  // not the demo's, so a fixed restore value shows
            if (c.refused)
                s.failing.insert(c.command);
        });
        const bool shows = c.box == RingToneOff ? w.audio.setRingToneOff(c.checked)
                                                : w.audio.setHandsFree(c.checked);
        EXPECT_EQ(shows, c.shows);
        // Hands-free mutes the speaker around its command and restores it.
        const Lines sent =
            c.box == RingToneOff ? Lines{c.command} : Lines{"AT^SNFV=0", c.command, "AT^SNFV=2"};
        EXPECT_EQ(w.lines(), sent);
        ASSERT_EQ(w.reporter.ids(), std::vector<int>{c.message});
        EXPECT_EQ(w.reporter.shown[0].caption, c.refused ? Caption::Error : Caption::Info);
        const phonesim::PhoneState after = w.phone();
        if (c.box == HandsFree) {
            EXPECT_EQ(after.speakerVolume, 2);
            EXPECT_EQ(after.handsFree, c.refused ? c.openingHandsFree : (c.checked ? 1 : 0));
            EXPECT_EQ(w.state.audio.handsFree, c.shows);
        }
    }
}

using vondrix::test::readAll;

TEST(DeviceInfoFile, TwoSavesGiveHeaderDataHeaderData) {
    Window w;
    const std::string path = w.dir + "/" + kDeviceInfoFile;
    ASSERT_TRUE(appendDeviceInfo(path, w.state.device, w.reporter));
    // Over-long fields are cut to what the window's fields hold.
    DeviceInfo longer;
    longer.imei = std::string(35, '1');
    longer.revision = std::string(25, 'r');
    longer.simSerial = std::string(30, '9');
    ASSERT_TRUE(appendDeviceInfo(path, longer, w.reporter));
    EXPECT_EQ(readAll(path),
              "SERIAL,VERSION,SIMSERIAL\r\n"
              "'449107284530215,'21,'89490200001234567890\r\n"
              "SERIAL,VERSION,SIMSERIAL\r\n'" +
                  std::string(29, '1') + ",'" + std::string(19, 'r') + ",'" + std::string(29, '9') +
                  "\r\n");
    EXPECT_TRUE(w.reporter.shown.empty());
}

TEST(DeviceInfoFile, UnopenableOrIrregularFileShowsAMessage) {
    VONDRIX_NEEDS_FILE_TRAPS();
    const std::string dir = test::makeTempDir("devinfo");
    ASSERT_TRUE(test::makeFifo(dir + "/fifo.csv"));
    const test::Watchdog watchdog("appending to a FIFO", 10);
    const std::vector<std::pair<std::string, int>> cases = {
        {dir + "/missing/VondrixINF.csv", msg::ExportFileNotOpened},
        {dir, msg::NotARegularFile},
        {dir + "/fifo.csv", msg::NotARegularFile},
    };
    for (const auto& [path, message] : cases) {
        SCOPED_TRACE(path);
        RecordingReporter reporter;
        EXPECT_FALSE(appendDeviceInfo(path, DeviceInfo{}, reporter));
        ASSERT_EQ(reporter.ids(), std::vector<int>{message});
        EXPECT_EQ(reporter.shown[0].caption, Caption::Error);
    }
    EXPECT_FALSE(std::filesystem::exists(dir + "/missing"));
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace vondrix
