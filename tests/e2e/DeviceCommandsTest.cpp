// The main window's device commands against the simulated phone: clock,
// switch-off, ring tone test, the two check boxes and the device info file.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "SessionRig.h"
#include "device/DeviceCommands.h"
#include "foundation/Settings.h"
#include "link/AtEngine.h"
#include "phonesim/Simulator.h"
#include "session/MainWindowSession.h"
#include "support/FileTraps.h"
#include "support/RecordingReporter.h"
#include "support/RunProcess.h"
#include "support/SimulatorLink.h"

namespace vondrix {
namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;
using test::RecordingReporter;

// The main window opened on a simulated phone prepared by `prepare`; the
// opening traffic is forgotten so that tests see only their own commands.
struct Window {
    explicit Window(const std::function<void(phonesim::PhoneState&)>& prepare = {}) {
        if (prepare)
            sim.withState(prepare);
        link = test::simulatorLink(sim);
        engine.setTimeouts(3s, 3s);
        state = runOpeningSequence(engine, Settings{});
        sim.clearReceived();
    }
    phonesim::PhoneState phone() { return vondrix::test::phoneOf(sim); }

    phonesim::Simulator sim;
    PhoneLink link;
    AtEngine engine{link};
    MainWindowState state;
    RecordingReporter reporter;
};

std::tm localTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

TEST(DeviceCommands, ClockSendsTheLocalTimeAndReports) {
    struct Case {
        std::tm time;
        bool phoneRefuses;
        std::string command;
        int message;
        Caption caption;
    };
    const Case cases[] = {
        {localTime(2001, 1, 1, 0, 0, 5), false, "AT+CCLK=01/01/01,00:00:05", 69, Caption::Info},
        {localTime(2000, 6, 12, 8, 17, 29), false, "AT+CCLK=00/06/12,08:17:29", 69, Caption::Info},
        {localTime(1999, 12, 31, 23, 59, 59), false, "AT+CCLK=99/12/31,23:59:59", 69,
         Caption::Info},
        {localTime(2000, 6, 12, 8, 17, 29), true, "AT+CCLK=00/06/12,08:17:29", 17, Caption::Error},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        EXPECT_EQ(clockCommand(c.time), c.command);
        Window w([&](phonesim::PhoneState& s) {
            if (c.phoneRefuses)
                s.failing.insert("AT+CCLK");
        });
        EXPECT_EQ(setPhoneClock(w.engine, w.reporter, c.time), !c.phoneRefuses);
        EXPECT_EQ(w.sim.receivedLines(), Lines{c.command});
        ASSERT_EQ(w.reporter.ids(), std::vector<int>{c.message});
        EXPECT_EQ(w.reporter.shown[0].caption, c.caption);
        const std::string phoneClock = w.phone().clock;
        if (c.phoneRefuses) {
            EXPECT_EQ(phoneClock, "01/01/01,00:00:00");
        } else {
            EXPECT_EQ(phoneClock, c.command.substr(8));
        }
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
    AudioControls audio(w.engine, w.reporter, w.state.audio);
    EXPECT_TRUE(audio.toggleTest(7, 1));  // the button now reads "Stop"
    EXPECT_TRUE(audio.testRunning());
    EXPECT_EQ(w.sim.receivedLines(), (Lines{"AT^SRTC=7,1", "AT^SRTC"}));
    EXPECT_TRUE(w.phone().ringing);

    EXPECT_FALSE(audio.toggleTest(7, 1));  // back to "Test"
    EXPECT_FALSE(audio.testRunning());
    EXPECT_EQ(w.sim.receivedLines(), (Lines{"AT^SRTC=7,1", "AT^SRTC", "AT^SRTC"}));
    EXPECT_FALSE(w.phone().ringing);
    EXPECT_TRUE(w.reporter.shown.empty());

    // Switching the ring tone on again restores the one last tested.
    w.sim.clearReceived();
    EXPECT_FALSE(audio.setRingToneOff(false));
    EXPECT_EQ(w.sim.receivedLines(), Lines{"AT^SRTC=7"});
    EXPECT_EQ(w.reporter.ids(), std::vector<int>{81});
}

TEST(DeviceCommands, RefusedRingToneTestPlaysNothingAndSaysNothing) {
    Window w([](phonesim::PhoneState& s) { s.failing.insert("AT^SRTC=9"); });
    AudioControls audio(w.engine, w.reporter, w.state.audio);
    EXPECT_FALSE(audio.toggleTest(9, 1));
    EXPECT_FALSE(audio.testRunning());
    EXPECT_EQ(w.sim.receivedLines(), Lines{"AT^SRTC=9,1"});
    EXPECT_FALSE(w.phone().ringing);
    EXPECT_TRUE(w.reporter.shown.empty());

    // The refused tone is not the one "ring tone on" restores.
    w.sim.clearReceived();
    audio.setRingToneOff(false);
    EXPECT_EQ(w.sim.receivedLines(), Lines{"AT^SRTC=3"});
}

TEST(DeviceCommands, CheckBoxesSendTheirCommandsAndShowTheRightState) {
    enum class Box { RingToneOff, HandsFree };
    struct Case {
        const char* name;
        int openingTone;
        int openingHandsFree;
        const char* refused;  // command prefix the phone refuses, or ""
        Box box;
        bool checked;  // the box's state after the click
        bool shows;    // the state the box must show afterwards
        Lines lines;
        int message;
        Caption caption;
    };
    const Case cases[] = {
        {"ring off", 3, 0, "", Box::RingToneOff, true, true, {"AT^SRTC=0"}, 83, Caption::Info},
        {"ring off refused unticks",
         3,
         0,
         "AT^SRTC=0",
         Box::RingToneOff,
         true,
         false,
         {"AT^SRTC=0"},
         84,
         Caption::Error},
        // With 0 read at opening and no test, "on" sends 0 again.
        {"ring on after 0 at opening",
         0,
         0,
         "",
         Box::RingToneOff,
         false,
         false,
         {"AT^SRTC=0"},
         81,
         Caption::Info},
        {"ring on refused",
         3,
         0,
         "AT^SRTC=3",
         Box::RingToneOff,
         false,
         false,
         {"AT^SRTC=3"},
         82,
         Caption::Error},
        {"hands-free on",
         3,
         0,
         "",
         Box::HandsFree,
         true,
         true,
         {"AT^SNFV=0", "AT^SNFS=1", "AT^SNFV=2"},
         85,
         Caption::Info},
        {"hands-free on refused unticks",
         3,
         0,
         "AT^SNFS=1",
         Box::HandsFree,
         true,
         false,
         {"AT^SNFV=0", "AT^SNFS=1", "AT^SNFV=2"},
         86,
         Caption::Error},
        {"hands-free off",
         3,
         1,
         "",
         Box::HandsFree,
         false,
         false,
         {"AT^SNFV=0", "AT^SNFS=0", "AT^SNFV=2"},
         87,
         Caption::Info},
        {"hands-free off refused",
         3,
         1,
         "AT^SNFS=0",
         Box::HandsFree,
         false,
         false,
         {"AT^SNFV=0", "AT^SNFS=0", "AT^SNFV=2"},
         88,
         Caption::Error},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Window w([&](phonesim::PhoneState& s) {
            s.ringTone = c.openingTone;
            s.handsFree = c.openingHandsFree;
            s.speakerVolume = 2;  // not the demo's, so a fixed restore value shows
            if (*c.refused)
                s.failing.insert(c.refused);
        });
        AudioControls audio(w.engine, w.reporter, w.state.audio);
        const bool shows = c.box == Box::RingToneOff ? audio.setRingToneOff(c.checked)
                                                     : audio.setHandsFree(c.checked);
        EXPECT_EQ(shows, c.shows);
        EXPECT_EQ(w.sim.receivedLines(), c.lines);
        ASSERT_EQ(w.reporter.ids(), std::vector<int>{c.message});
        EXPECT_EQ(w.reporter.shown[0].caption, c.caption);
        const phonesim::PhoneState after = w.phone();
        if (c.box == Box::HandsFree) {
            EXPECT_EQ(after.speakerVolume, 2);
            EXPECT_EQ(after.handsFree, *c.refused ? c.openingHandsFree : (c.checked ? 1 : 0));
            EXPECT_EQ(w.state.audio.handsFree, c.shows);
        }
    }
}

using vondrix::test::readAll;

TEST(DeviceInfoFile, TwoSavesGiveHeaderDataHeaderData) {
    const std::string dir = test::makeTempDir("devinfo");
    const std::string path = dir + "/" + kDeviceInfoFile;
    RecordingReporter reporter;
    Window w;
    ASSERT_TRUE(appendDeviceInfo(path, w.state.device, reporter));
    // Over-long fields are cut to what the window's fields hold.
    DeviceInfo longer;
    longer.imei = std::string(35, '1');
    longer.revision = std::string(25, 'r');
    longer.simSerial = std::string(30, '9');
    ASSERT_TRUE(appendDeviceInfo(path, longer, reporter));
    EXPECT_EQ(readAll(path),
              "SERIAL,VERSION,SIMSERIAL\r\n"
              "'449107284530215,'21,'89490200001234567890\r\n"
              "SERIAL,VERSION,SIMSERIAL\r\n'" +
                  std::string(29, '1') + ",'" + std::string(19, 'r') + ",'" + std::string(29, '9') +
                  "\r\n");
    EXPECT_TRUE(reporter.shown.empty());
    std::filesystem::remove_all(dir);
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
