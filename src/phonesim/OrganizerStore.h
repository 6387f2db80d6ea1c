#pragma once

// The phone's organizer: 30 slots of the object store, each empty or
// holding one vCalendar object ("vcs"), read with AT^SBNR and written in
// hexadecimal packets with AT^SBNW, as part of PhoneState.

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace phonesim {

struct StateSection;

struct OrganizerStore {
    static constexpr int kSlots = 30;
    // Bytes one AT^SBNW packet may carry (508 hexadecimal digits).
    static constexpr std::size_t kMaxPacketBytes = 254;
    // Packets one object may be sent in.
    static constexpr int kMaxPackets = 16;

    // Occupied slots only: the object's bytes as they were uploaded.
    std::map<int, std::string> objects;

    // An upload under way: packets 1..received of `packets` for `slot`. Not
    // part of the state file; the phone forgets it when it is aborted.
    struct Upload {
        int slot = 0;
        int packets = 0;
        int received = 0;
        std::string data;
    };
    std::optional<Upload> upload;
};

// Six objects of every category and recurrence, with and without alarm,
// as the phone itself stores them.
void addDemoOrganizer(OrganizerStore& store);

// The state file's [organizer] section.
StateSection organizerSection();

}  // namespace phonesim
