#pragma once

// A fixture for running vondrix-cli as a process on a simulated phone whose
// contents the test chooses and reads back afterwards (the program saves
// the simulated phone's contents to its state file when it ends).

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "phonesim/PhoneState.h"
#include "support/RunProcess.h"

namespace vondrix::test {

class SimulatedCliTest : public ::testing::Test {
  protected:
    SimulatedCliTest() : dir(makeTempDir("cli")), stateFile(dir + "/phone.txt") {}
    ~SimulatedCliTest() override { std::filesystem::remove_all(dir); }

    // Runs the program with `phone` as the simulated phone's contents.
    ProcessResult run(const phonesim::PhoneState& phone, std::vector<std::string> args) {
        EXPECT_TRUE(phone.save(stateFile));
        args.insert(args.begin(), "--simulate=" + stateFile);
        return runProcess(VONDRIX_CLI_PATH, args, dir, {"VONDRIX_LANG=en"});
    }
    // The phone's contents after the last run.
    phonesim::PhoneState phoneAfter() {
        phonesim::PhoneState s;
        std::string error;
        EXPECT_TRUE(phonesim::PhoneState::load(stateFile, s, &error)) << error;
        return s;
    }
    void writeIni(const std::string& body) {
        std::ofstream(dir + "/Vondrix.ini") << "[Vondrix]\r\n" << body;
    }
    std::string fileText(const std::string& name) {
        std::ifstream in(dir + "/" + name, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }
    void writeFile(const std::string& name, const std::string& content) {
        std::ofstream(dir + "/" + name, std::ios::binary) << content;
    }
    bool exists(const std::string& name) { return std::filesystem::exists(dir + "/" + name); }

    std::string dir;
    std::string stateFile;
};

// The demo phone, changed by `change`.
inline phonesim::PhoneState demoWith(const std::function<void(phonesim::PhoneState&)>& change) {
    phonesim::PhoneState s = phonesim::PhoneState::demo();
    change(s);
    return s;
}

// The demo phone refusing the commands that start with `prefix`.
inline phonesim::PhoneState refusing(const std::string& prefix) {
    return demoWith([&](phonesim::PhoneState& s) { s.failing.insert(prefix); });
}

}  // namespace vondrix::test
