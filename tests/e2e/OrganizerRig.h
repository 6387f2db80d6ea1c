#pragma once

// The organizer service on a simulated phone over a real pty.

#include <map>
#include <string>
#include <vector>

#include "SessionRig.h"
#include "organizer/OrganizerService.h"

namespace vondrix::organizer::test {

using Lines = std::vector<std::string>;
using Objects = std::map<int, std::string>;

struct OrganizerRig : vondrix::test::EngineRig<> {
    using EngineRig::EngineRig;
    // Reads all slots and forgets the traffic so far.
    void read() {
        ASSERT_TRUE(service.readAll());
        forget();
    }
    // The phone's organizer slots.
    Objects objects() { return phone().organizer.objects; }

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
