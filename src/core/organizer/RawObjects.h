#pragma once

// The organizer slots as the phone holds them, for the backup and the
// restore: the vCalendar objects read and written unchanged.

#include <optional>
#include <string>
#include <vector>

#include "foundation/Reporter.h"
#include "link/AtEngine.h"

namespace vondrix::organizer {

struct RawSlot {
    int slot = 0;
    std::string object;
    bool operator==(const RawSlot&) const = default;
};

// The largest object written back (the phone's own are far smaller).
constexpr std::size_t kMaxRawObject = 4096;

// "AT^SBNR=vcs,n" for slots 1 to 30 with the reading progress; the held
// slots in order. A slot the phone refuses counts as empty. Nothing when
// the link fails.
std::optional<std::vector<RawSlot>> readRawSlots(AtEngine& engine, Reporter& reporter);

// "AT^SBNW=vcs,0", then the object in segments after the prompts. False
// when the phone refuses a segment or the object is empty or too large.
bool writeRawSlot(AtEngine& engine, const RawSlot& slot);

// "AT^SBNW=vcs,<slot>,0"; true when the phone confirms.
bool deleteRawSlot(AtEngine& engine, int slot);

}  // namespace vondrix::organizer
