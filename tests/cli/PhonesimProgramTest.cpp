// The stand-alone simulated phone, run as a process and reached over its
// pty and its TCP port by the real engine.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "link/AtEngine.h"
#include "phonesim/Simulator.h"
#include "support/RunProcess.h"

extern char** environ;

namespace vondrix {
namespace {

// Starts the program and reads the first line it prints.
struct Running {
    explicit Running(std::vector<std::string> args) {
        int fds[2];
        EXPECT_EQ(::pipe(fds), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        args.insert(args.begin(), VONDRIX_PHONESIM_PATH);
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        EXPECT_EQ(posix_spawn(&pid, VONDRIX_PHONESIM_PATH, &actions, nullptr, argv.data(), environ),
                  0);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        char c;
        while (::read(fds[0], &c, 1) == 1 && c != '\n')
            firstLine.push_back(c);
        ::close(fds[0]);
    }
    // A failed assertion must not leave the program running (it would
    // hold the test runner's output open).
    ~Running() { stop(); }
    int stop() {
        if (pid <= 0)
            return -1;
        ::kill(pid, SIGTERM);
        int status = 0;
        ::waitpid(pid, &status, 0);
        pid = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    pid_t pid = 0;
    std::string firstLine;
};

TEST(PhonesimProgram, ServesItsPtyAndStopsCleanly) {
    Running sim({"--pty"});
    ASSERT_EQ(sim.firstLine.rfind("/dev/pts/", 0), 0u) << sim.firstLine;
    PhoneLink link = PhoneLink::openSerial(sim.firstLine, 0);
    ASSERT_TRUE(link.isOpen());
    AtEngine engine(link);
    EXPECT_TRUE(engine.standard("ATE0"));
    const AtEngine::Result cgmi = engine.standard("AT+CGMI");
    EXPECT_TRUE(cgmi);
    EXPECT_EQ(cgmi.raw, "\r\nSIEMENS\r\n\r\nOK\r\n");
    EXPECT_EQ(sim.stop(), 0);
}

TEST(PhonesimProgram, ServesTcp) {
    Running sim({"--tcp", "127.0.0.1:0"});
    // The program prints the port it listens on.
    const int port = std::atoi(sim.firstLine.c_str());
    ASSERT_GT(port, 0) << sim.firstLine;
    PhoneLink link = PhoneLink::connectTcp("127.0.0.1", port);
    ASSERT_TRUE(link.isOpen());
    AtEngine engine(link);
    EXPECT_TRUE(engine.standard("ATE0"));
    const AtEngine::Result csq = engine.standard("AT+CSQ");
    EXPECT_TRUE(csq);
    EXPECT_NE(csq.raw.find("+CSQ: "), std::string::npos);
    EXPECT_EQ(sim.stop(), 0);
}

TEST(PhonesimProgram, UsageErrorsAndDemoDump) {
    const std::string dir = test::makeTempDir("phonesim");
    EXPECT_EQ(test::runProcess(VONDRIX_PHONESIM_PATH, {"--bogus"}, dir).exitCode, 2);
    EXPECT_EQ(test::runProcess(VONDRIX_PHONESIM_PATH, {"--state", "missing.txt"}, dir).exitCode, 2);
    EXPECT_EQ(test::runProcess(VONDRIX_PHONESIM_PATH, {"--idle", "soon"}, dir).exitCode, 2);
    // A port another phone serves cannot be served: a message, status 1.
    phonesim::Simulator other;
    const std::string busy = "127.0.0.1:" + std::to_string(other.listenTcp());
    const auto inUse = test::runProcess(VONDRIX_PHONESIM_PATH, {"--tcp", busy}, dir);
    EXPECT_EQ(inUse.exitCode, 1);
    EXPECT_EQ(inUse.err.rfind("vondrix-phonesim: listen on " + busy, 0), 0u) << inUse.err;
    const auto dump = test::runProcess(VONDRIX_PHONESIM_PATH, {"--dump-demo"}, dir);
    EXPECT_EQ(dump.exitCode, 0);
    EXPECT_NE(dump.out.find("SIEMENS"), std::string::npos);
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace vondrix
