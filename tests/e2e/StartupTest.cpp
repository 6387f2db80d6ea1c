// Start-up against the simulated phone over a real pty and real TCP.

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "phonesim/Simulator.h"
#include "session/MainWindowSession.h"
#include "session/Startup.h"
#include "support/FileTraps.h"
#include "support/RecordingReporter.h"
#include "support/RunProcess.h"

namespace vondrix {
namespace {

namespace fs = std::filesystem;
using test::RecordingReporter;

class StartupTest : public ::testing::Test {
  protected:
    StartupTest() : dir(test::makeTempDir("start")) {
        ini = (dir / "Vondrix.ini").string();
        options.portSettleMs = 0;
        options.resetDelayMs = 0;
    }
    ~StartupTest() override { fs::remove_all(dir); }

    void writeIni(const std::string& body) { std::ofstream(ini) << "[Vondrix]\n" << body; }

    fs::path dir;
    std::string ini;
    StartupOptions options;
    RecordingReporter reporter;
};

TEST_F(StartupTest, SerialDeviceFromSettingsResetsThePhone) {
    phonesim::Simulator sim;
    writeIni("Device=" + sim.openPty() + "\nTPref=0049\nPtxt0=Hello\nTCol1=80\n");
    Session s(ini);
    ASSERT_EQ(startUp(s, reporter, options), StartupResult::Ready);
    EXPECT_EQ(s.link.mode(), PhoneLink::Mode::Serial);
    EXPECT_EQ(sim.receivedLines(), (std::vector<std::string>{"ATZ", "ATE0"}));
    EXPECT_TRUE(reporter.shown.empty());
    EXPECT_EQ(s.settings.tPref, "0049");
    EXPECT_EQ(s.settings.ptxt[0], "Hello");
    EXPECT_EQ(s.settings.tCol[1], 80);
    shutDown(s);
    EXPECT_FALSE(s.link.isOpen());
}

TEST_F(StartupTest, NoModemSkipsResetAndEchoedCommandsStillParse) {
    phonesim::Simulator sim;
    writeIni("Device=" + sim.openPty() + "\nNoModem=1\n");
    Session s(ini);
    ASSERT_EQ(startUp(s, reporter, options), StartupResult::Ready);
    EXPECT_TRUE(sim.receivedLines().empty());
    // The phone still echoes: the echo lands in the reply but the answer
    // word is found all the same.
    const AtEngine::Result cgmi = s.engine.standard("AT+CGMI");
    ASSERT_TRUE(cgmi);
    EXPECT_EQ(cgmi.raw.rfind("AT+CGMI\r", 0), 0u);
    const auto state = runOpeningSequence(s.engine, s.settings);
    EXPECT_EQ(state.device.manufacturer, "SIEMENS");
}

TEST_F(StartupTest, AtzFailingShowsNoDeviceAndEnds) {
    phonesim::Simulator sim;
    sim.withState([](phonesim::PhoneState& st) { st.failing.insert("ATZ"); });
    writeIni("Device=" + sim.openPty() + "\n");
    Session s(ini);
    EXPECT_EQ(startUp(s, reporter, options), StartupResult::ResetFailed);
    EXPECT_EQ(reporter.ids(), std::vector<int>{57});
    EXPECT_EQ(reporter.shown[0].caption, Caption::Error);
    EXPECT_FALSE(s.link.isOpen());
    EXPECT_EQ(sim.receivedLines(), std::vector<std::string>{"ATZ"});  // no ATE0
}

TEST_F(StartupTest, DeviceThatCannotBeOpenedIsNamedWithTheReasonAndTheRunGoesOn) {
    phonesim::Simulator sim;
    const std::string pty = sim.openPty();
    const PhoneLink holder = PhoneLink::openSerial(pty, 0);  // another program has it
    ASSERT_TRUE(holder.isOpen());
    const std::string missing = (dir / "no-such-tty").string();
    const std::string base = "The COM port could not be opened: ";
    struct Case {
        const char* situation;
        std::string device;
        std::string shown;
    };
    const Case cases[] = {
        {"missing", missing,
         base + "The device " + missing + " does not exist or is not connected"},
        {"held by another program", pty,
         base + "The device " + pty + " is in use by another program"},
        {"not a terminal", "/dev/null", base + "/dev/null is not a serial device"},
    };
    for (const Case& c : cases) {
        writeIni("Device=" + c.device + "\n");
        Session s(ini);
        reporter.shown.clear();
        EXPECT_EQ(startUp(s, reporter, options), StartupResult::NoLink) << c.situation;
        ASSERT_EQ(reporter.shown.size(), 1u) << c.situation;
        EXPECT_EQ(reporter.shown[0].text, c.shown);
        EXPECT_EQ(reporter.shown[0].caption, Caption::Error);
        EXPECT_EQ(runOpeningSequence(s.engine, s.settings).device.manufacturer, "");
    }
}

// Root opens every device, so the user who may not is played by "nobody"
// in a child process, on a file owned by root and the group "dialout".
TEST_F(StartupTest, DeviceWithoutPermissionNamesTheGroupThatOwnsIt) {
    const group* dialout = ::getgrnam("dialout");
    if (::geteuid() != 0 || !dialout)
        GTEST_SKIP() << "needs root and the group dialout";
    const std::string device = (dir / "ttyUSB9").string();
    std::ofstream(device).put('\0');
    ASSERT_EQ(::chown(device.c_str(), 0, dialout->gr_gid), 0);
    ASSERT_EQ(::chmod(device.c_str(), 0660), 0);
    ::chmod(dir.c_str(), 0755);
    const pid_t child = ::fork();
    if (child == 0) {
        SerialOpenError why;
        const bool dropped =
            ::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0;
        const PhoneLink link = PhoneLink::openSerial(device, 0, &why);
        ::_exit(dropped && !link.isOpen() && why.reason == SerialOpenError::Reason::Permission &&
                        why.group == "dialout"
                    ? 0
                    : 1);
    }
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    struct Case {
        std::string group;
        Language language;
        std::string shown;
    };
    const Case cases[] = {
        {"dialout", Language::English,
         "The COM port could not be opened: No permission to open /dev/ttyUSB0: your user must be "
         "in the group \"dialout\" (sudo adduser $USER dialout, then log in again)"},
        {"", Language::English,
         "The COM port could not be opened: No permission to open /dev/ttyUSB0"},
        {"dialout", Language::German,
         "COM Port konnte nicht ge\xC3\xB6"
         "ffnet werden: Keine Berechtigung f\xC3\xBC"
         "r /dev/ttyUSB0: Ihr "
         "Benutzer muss Mitglied der Gruppe \"dialout\" sein (sudo adduser $USER dialout, danach "
         "neu anmelden)"},
    };
    for (const Case& c : cases) {
        SerialOpenError why;
        why.reason = SerialOpenError::Reason::Permission;
        why.group = c.group;
        EXPECT_EQ(serialOpenFailureText("/dev/ttyUSB0", why, c.language), c.shown);
    }
}

TEST_F(StartupTest, NoPortChosenShowsTheDialogAndCancelStops) {
    {
        Session s(ini);  // no dialog at all
        EXPECT_EQ(startUp(s, reporter, options), StartupResult::NoPortChosen);
    }
    phonesim::Simulator sim;
    const std::string pty = sim.openPty();
    for (const bool confirm : {false, true}) {
        int shown = 0;
        options.settingsDialog = [&](Session& s) {
            ++shown;
            s.settings.device = pty;
            return confirm;
        };
        Session s(ini);
        EXPECT_EQ(startUp(s, reporter, options),
                  confirm ? StartupResult::Ready : StartupResult::NoPortChosen);
        EXPECT_EQ(shown, 1);
    }
    EXPECT_EQ(sim.receivedLines().front(), "ATZ");
}

TEST_F(StartupTest, FifoAsSettingsFileIsRefusedWithDefaults) {
    VONDRIX_NEEDS_FILE_TRAPS();
    ASSERT_TRUE(test::makeFifo(ini));
    const test::Watchdog watchdog("a FIFO as Vondrix.ini", 10);
    Session s(ini);
    EXPECT_EQ(startUp(s, reporter, options), StartupResult::NoPortChosen);
    EXPECT_EQ(reporter.ids(), std::vector<int>{msg::NotARegularFile});
    EXPECT_EQ(s.settings.waitSec, 5);
}

TEST_F(StartupTest, SocketStackPicksTheFirstSiemensDevice) {
    phonesim::Simulator other, phone;
    const int otherPort = other.listenTcp();
    const int phonePort = phone.listenTcp();
    // NoModem does not apply to the socket: the reset is always sent.
    writeIni("NoModem=1\nIrDevices=Nokia 6210=127.0.0.1:" + std::to_string(otherPort) +
             ", SIEMENS S35=127.0.0.1:" + std::to_string(phonePort) + "\n");
    Session s(ini);
    ASSERT_EQ(startUp(s, reporter, options), StartupResult::Ready);
    EXPECT_TRUE(s.socketStack);
    EXPECT_EQ(s.link.mode(), PhoneLink::Mode::Socket);
    EXPECT_EQ(phone.receivedLines(), (std::vector<std::string>{"ATZ", "ATE0"}));
    EXPECT_TRUE(other.receivedLines().empty());
    const auto state = runOpeningSequence(s.engine, s.settings);
    EXPECT_EQ(state.device.model, "S35i");
}

TEST_F(StartupTest, SocketStackBranchesFallBackToSerial) {
    struct Case {
        const char* name;
        std::string irDevices;
        bool w2kCable;
        std::vector<int> messages;
    };
    const std::vector<Case> cases = {
        {"no Siemens in range", "Nokia=127.0.0.1:1", false, {}},
        {"name case matters", "siemens s35=127.0.0.1:1", false, {}},
        {"nothing in range", " , ", false, {57}},
        {"unreadable device list", "SIEMENS S35", false, {92}},
        {"connect fails", "SIEMENS S35=127.0.0.1:1", false, {94}},
        {"cable chosen", "SIEMENS S35=127.0.0.1:1", true, {}},
    };
    for (const auto& c : cases) {
        phonesim::Simulator sim;
        writeIni("Device=" + sim.openPty() + "\nIrDevices=" + c.irDevices +
                 "\nW2KCable=" + (c.w2kCable ? "1" : "0") + "\n");
        RecordingReporter r;
        Session s(ini);
        EXPECT_EQ(startUp(s, r, options), StartupResult::Ready) << c.name;
        EXPECT_EQ(r.ids(), c.messages) << c.name;
        EXPECT_EQ(s.link.mode(), PhoneLink::Mode::Serial) << c.name;
        EXPECT_EQ(sim.receivedLines().front(), "ATZ") << c.name;
    }
}

// NoModem does not apply to a TCP link unless it stands in for the serial
// port.
TEST_F(StartupTest, TcpOverrideResetsUnlessStandingInForTheSerialPort) {
    for (const bool standIn : {false, true}) {
        SCOPED_TRACE(standIn ? "standing in" : "TCP");
        phonesim::Simulator sim;
        if (standIn) {
            useSimulatedPhone(options, "", "127.0.0.1", sim.listenTcp());  // as on Windows
        } else {
            options.link.kind = LinkOverride::Kind::Tcp;
            options.link.host = "127.0.0.1";
            options.link.port = sim.listenTcp();
        }
        writeIni("NoModem=1\n");
        Session s(ini);
        ASSERT_EQ(startUp(s, reporter, options), StartupResult::Ready);
        EXPECT_TRUE(s.link.isSocket());
        const std::vector<std::string> reset = {"ATZ", "ATE0"};
        EXPECT_EQ(sim.receivedLines(), standIn ? std::vector<std::string>{} : reset);
    }
}

TEST_F(StartupTest, LanguageAndHelpFileFollowTheOverride) {
    phonesim::Simulator sim;
    writeIni("Device=" + sim.openPty() + "\n");
    options.languageOverride = "de";
    Session s(ini);
    ASSERT_EQ(startUp(s, reporter, options), StartupResult::Ready);
    EXPECT_EQ(s.language, Language::German);
    EXPECT_EQ(s.helpFile, "palladode.hlp");
}

}  // namespace
}  // namespace vondrix
