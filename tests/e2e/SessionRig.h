#pragma once

// What the end-to-end tests share: a file's bytes, the engine on the
// simulated phone for the services, and a session on it, each with a
// folder of its own.

#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/Settings.h"
#include "link/AtEngine.h"
#include "phonesim/Simulator.h"
#include "phonesim/SmsPdu.h"
#include "session/Session.h"
#include "support/FileTraps.h"
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

// Runs a python3 script in `dir` with `args`; its standard output.
inline std::string python(const std::string& script, const std::string& dir,
                          const std::vector<std::string>& args = {}) {
    std::vector<std::string> all = {"-c", script};
    all.insert(all.end(), args.begin(), args.end());
    const auto r = runProcess("/usr/bin/python3", all, dir, {"PYTHONIOENCODING=utf-8"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return r.out;
}
// Whether python3 can import `modules` here.
inline bool pythonHas(const std::string& modules) {
    return runProcess("/usr/bin/python3", {"-c", "import " + modules}, "/", {}).exitCode == 0;
}

// A date and time of the calendar, as the C library holds it.
inline std::tm calendarTime(int year, int month, int day, int hour = 0, int minute = 0,
                            int second = 0) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

// Messages as the phone's memory holds them, by way of the demo's service
// centre: one received at `stamp` (YYMMDDhhmmss), perhaps a part of a
// longer one; one stored to be sent; a status report.
constexpr const char* kCentre = "+491710760000";
inline std::string received(const std::string& from, const std::string& stamp,
                            const std::string& text,
                            std::optional<phonesim::PartOf> part = std::nullopt) {
    return phonesim::deliverPdu(kCentre, phonesim::addressField(from), 0x00,
                                phonesim::timestampField(stamp), phonesim::gsmUserData(text, part));
}
inline std::string storedTo(const std::string& to, const std::string& text) {
    return phonesim::submitPdu(kCentre, 0, to, 0x00, phonesim::gsmUserData(text));
}
inline std::string statusReport(const std::string& to, const std::string& stamp,
                                const std::string& discharge) {
    return phonesim::statusReportPdu(kCentre, 5, to, phonesim::timestampField(stamp),
                                     phonesim::timestampField(discharge), 0);
}

// The engine on the simulated phone prepared by `prepare`, with the settings
// and the reporter a service takes, and a folder for the files it writes.
template <class R = RecordingReporter>
struct EngineRig {
    explicit EngineRig(const std::function<void(phonesim::PhoneState&)>& prepare = {},
                       phonesim::WireOptions wire = {})
        : dir(makeTempDir("engine")), sim(phonesim::PhoneState::demo(), wire) {
        if (prepare)
            sim.withState(prepare);
        link = simulatorLink(sim);
        engine.setTimeouts(std::chrono::seconds(3), std::chrono::seconds(3));
    }
    ~EngineRig() { std::filesystem::remove_all(dir); }

    // A file of the folder holding `content`; its path.
    std::string file(const std::string& name, const std::string& content) const {
        const std::string path = dir + "/" + name;
        EXPECT_TRUE(writeText(path, content)) << path;
        return path;
    }
    std::vector<std::string> lines() const { return sim.receivedLines(); }
    phonesim::PhoneState phone() { return phoneOf(sim); }
    // Forgets the traffic, the messages and the progress so far.
    void forget() {
        sim.clearReceived();
        reporter.shown.clear();
        reporter.progress.clear();
    }

    std::string dir;
    phonesim::Simulator sim;
    PhoneLink link;
    AtEngine engine{link};
    Settings settings;
    R reporter;
};

// Short time limits by default: a failing link costs little.
struct SessionRig {
    explicit SessionRig(const std::string& tag = "session",
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
