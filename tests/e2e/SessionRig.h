#pragma once

// What the end-to-end tests share: a file's bytes, and a session on the
// simulated phone with its settings file in a folder of its own.

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "phonesim/Simulator.h"
#include "session/Session.h"
#include "support/RecordingReporter.h"
#include "support/RunProcess.h"
#include "support/SimulatorLink.h"

namespace vondrix::test {

// The whole file, or nothing when it cannot be read.
inline std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A copy of the simulated phone's contents now.
inline phonesim::PhoneState phoneOf(phonesim::Simulator& sim) {
    phonesim::PhoneState copy;
    sim.withState([&](phonesim::PhoneState& s) { copy = s; });
    return copy;
}

// Short time limits by default: a failing link costs little.
struct SessionRig {
    explicit SessionRig(const std::string& tag,
                        const std::function<void(phonesim::PhoneState&)>& prepare = {},
                        phonesim::PhoneState start = phonesim::PhoneState::demo())
        : dir(makeTempDir(tag)), sim(std::move(start)), session(dir + "/Vondrix.ini") {
        if (prepare)
            sim.withState(prepare);
        session.link = simulatorLink(sim);
        session.engine.setTimeouts(std::chrono::milliseconds(700), std::chrono::milliseconds(700));
        session.engine.setOverallExtra(std::chrono::milliseconds(1000));
    }
    ~SessionRig() { std::filesystem::remove_all(dir); }
    SessionRig(const SessionRig&) = delete;
    SessionRig& operator=(const SessionRig&) = delete;

    std::string read(const std::string& path) const { return readAll(path); }
    std::string localFile() const { return dir + "/Vondrix.phb"; }
    std::vector<std::string> lines() const { return sim.receivedLines(); }
    phonesim::PhoneState phone() { return phoneOf(sim); }
    void forget() {
        sim.clearReceived();
        reporter.shown.clear();
    }

    std::string dir;
    phonesim::Simulator sim;
    Session session;
    RecordingReporter reporter;
};

}  // namespace vondrix::test
