#pragma once

// The organizer service on a simulated phone over a real pty.

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "foundation/Settings.h"
#include "link/AtEngine.h"
#include "organizer/OrganizerService.h"
#include "phonesim/Simulator.h"
#include "support/RecordingReporter.h"
#include "support/SimulatorLink.h"

namespace vondrix::organizer::test {

using Lines = std::vector<std::string>;
using Objects = std::map<int, std::string>;

struct OrganizerRig {
    explicit OrganizerRig(const std::function<void(phonesim::PhoneState&)>& prepare = {}) {
        if (prepare)
            sim.withState(prepare);
        link = vondrix::test::simulatorLink(sim);
        engine.setTimeouts(std::chrono::seconds(3), std::chrono::seconds(3));
    }
    // Reads all slots and forgets the traffic so far.
    void read() {
        ASSERT_TRUE(service.readAll());
        forget();
    }
    void forget() {
        sim.clearReceived();
        reporter.shown.clear();
        reporter.progress.clear();
    }
    Lines lines() const { return sim.receivedLines(); }
    // The phone's organizer slots.
    Objects objects() {
        Objects copy;
        sim.withState([&](phonesim::PhoneState& s) { copy = s.organizer.objects; });
        return copy;
    }

    phonesim::Simulator sim;
    PhoneLink link;
    AtEngine engine{link};
    Settings settings;
    vondrix::test::RecordingReporter reporter;
    OrganizerList list;
    OrganizerService service{engine, reporter, settings, list};
};

// The phone's own object layout, written out line by line.
inline std::string vcs(const std::vector<std::string>& eventLines) {
    std::string out = "BEGIN:VCALENDAR\r\nVERSION:1.0\r\nBEGIN:VEVENT\r\n";
    for (const std::string& line : eventLines)
        out += line + "\r\n";
    return out + "END:VEVENT\r\nEND:VCALENDAR\r\n";
}

}  // namespace vondrix::organizer::test
