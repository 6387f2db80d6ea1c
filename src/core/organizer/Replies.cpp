#include "organizer/Replies.h"

#include <algorithm>

#include "link/SharedReplies.h"

namespace vondrix::organizer {

SlotRead parseSbnrSlot(std::string_view response, int slot) {
    const at::ObjectRead read = at::parseSbnrRead(response, "vcs", slot);
    SlotRead result;
    if (read.state == at::ObjectRead::State::Absent)
        return result;
    const std::vector<unsigned char> bytes = read.bytes();
    const auto end = std::find(bytes.begin(), bytes.end(), 0);
    result.object.assign(bytes.begin(), end);
    result.state = read.whole() && !result.object.empty() ? SlotRead::State::Held
                                                          : SlotRead::State::Unreadable;
    if (result.state == SlotRead::State::Unreadable)
        result.object.clear();
    return result;
}

}  // namespace vondrix::organizer
