#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "phonesim/PhoneState.h"
#include "support/RunProcess.h"

namespace vondrix {
namespace {

using test::runProcess;

class CliTest : public ::testing::Test {
  protected:
    CliTest() : dir(test::makeTempDir("cli")) {}
    ~CliTest() override { std::filesystem::remove_all(dir); }
    test::ProcessResult run(const std::vector<std::string>& args,
                            const std::vector<std::string>& env = {}) {
        return runProcess(VONDRIX_CLI_PATH, args, dir, env);
    }
    std::string dir;
};

TEST_F(CliTest, InfoPrintsEveryFieldFromTheSimulatedPhone) {
    const auto r = run({"--simulate", "info"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "Manufacturer: SIEMENS\n"
              "Model: S35i\n"
              "Revision: 21\n"
              "IMEI: 449107284530215\n"
              "IMSI: 26201-1234567890\n"
              "SIM serial: 89490200001234567890\n"
              "Battery: 80%\n"
              "Registration: 0,1,\"5E25\",\"605F\"\n"
              "Signal: -79 dBm / 0.013 nW\n"
              "Operator: 0,0,\"D1-TELEKOM\"\n"
              "Ring tone: 3\n"
              "Volume: 2\n"
              "Ring tone off: no\n"
              "Hands-free: no\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(CliTest, SimulatedPhoneStateFileAndUnknownSignal) {
    phonesim::PhoneState state = phonesim::PhoneState::demo();
    state.rssi = 99;
    state.operatorName = "E-Plus";
    const std::string file = dir + "/phone.txt";
    ASSERT_TRUE(state.save(file));
    const auto r = run({"info", "--simulate=" + file});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Signal: unknown\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Operator: 0,0,\"E-Plus\"\n"), std::string::npos) << r.out;
}

TEST_F(CliTest, StateFileTheSimulatedPhoneCannotLoadIsAUsageError) {
    std::ofstream(dir + "/bad.txt") << "[identity]\nmodel = S35i\n[nonsense]\n";
    std::filesystem::create_directory(dir + "/folder");
    struct Case {
        const char* situation;
        std::string file;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {"no such file", "missing.txt", "missing.txt: cannot open"},
        {"a folder", "folder", "folder: a directory, not a file"},
        {"not a phone's contents", "bad.txt", "bad.txt: line 3: unknown section [nonsense]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.situation);
        const auto r = run({"--simulate=" + c.file, "info"});
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err,
                  "vondrix-cli: cannot load simulated phone " + c.file + ": " + c.reason + "\n");
    }
}

TEST_F(CliTest, FailedResetEndsWithNoDeviceInTheRunsLanguage) {
    phonesim::PhoneState state = phonesim::PhoneState::demo();
    state.failing.insert("ATZ");
    const std::string file = dir + "/phone.txt";
    ASSERT_TRUE(state.save(file));
    const auto de = run({"--lang", "de", "--simulate=" + file, "info"});
    EXPECT_EQ(de.exitCode, 3);
    EXPECT_EQ(de.out, "");
    EXPECT_EQ(de.err, "Vondrix Error: Kein Gerät gefunden\n");
    const auto en = run({"--simulate=" + file, "info"}, {"VONDRIX_LANG=en"});
    EXPECT_EQ(en.exitCode, 3);
    EXPECT_NE(en.err.find("Vondrix Error: "), std::string::npos);
    EXPECT_EQ(en.err.find("Kein"), std::string::npos);
}

TEST_F(CliTest, ExitStatusesForUsageAndMissingLink) {
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* err = nullptr;  // all of stderr, where it matters
    };
    const std::vector<Case> cases = {
        {{"--help"}, 0},
        {{"info", "--help"}, 0},
        {{}, 2},
        // One line and the way to the help, not the whole help.
        {{"frobnicate"}, 2, "vondrix-cli: unknown command frobnicate\nTry 'vondrix-cli --help'.\n"},
        {{"--bogus", "info"},
         2,
         "vondrix-cli: unknown option --bogus\nTry 'vondrix-cli --help'.\n"},
        // A missing argument is named.
        {{"phonebook", "write", "0301"},
         2,
         "vondrix-cli phonebook write: missing NAME\nTry 'vondrix-cli phonebook write --help'.\n"},
        {{"sms", "predefined", "set"},
         2,
         "vondrix-cli sms predefined set: missing K and TEXT\n"
         "Try 'vondrix-cli sms predefined set --help'.\n"},
        {{"--tcp", "nohostport", "info"}, 2},
        {{"--simulate", "--device", "/dev/null", "info"}, 2},
        {{"--lang", "xx", "info"}, 2},
        {{"--ini", "", "info"}, 2},
        {{"--yes", "--no", "info"}, 2},
        {{"info"}, 3},  // no Vondrix.ini: no port chosen
        {{"--device", "/nonexistent/tty", "info"}, 3},
        {{"--tcp", "127.0.0.1:1", "info"}, 3},
    };
    for (const auto& c : cases) {
        const auto r = run(c.args);
        std::string joined;
        for (const auto& a : c.args)
            joined += a + " ";
        EXPECT_EQ(r.exitCode, c.status) << joined << "\n" << r.err;
        if (c.err) {
            EXPECT_EQ(r.err, c.err) << joined;
        }
    }
}

TEST_F(CliTest, PortFromIniFileIsUsedLikeTheDesktopProgram) {
    std::ofstream(dir + "/Vondrix.ini") << "[Vondrix]\r\nDevice=/nonexistent/tty\r\n";
    const auto r = run({"--lang", "en", "info"});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_NE(r.err.find("Vondrix Error: The COM port could not be opened: The device "
                         "/nonexistent/tty does not exist"),
              std::string::npos)
        << r.err;
}

}  // namespace
}  // namespace vondrix
