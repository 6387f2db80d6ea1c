#pragma once

// The organizer's reply parser: what one "AT^SBNR=vcs,n" reply says of
// slot n, read by the object store's checked packet rule
// (at::parseSbnrRead, shared with the logo and ringtone).

#include <string>
#include <string_view>

namespace vondrix::organizer {

struct SlotRead {
    enum class State {
        Free,        // the reply holds no information line
        Held,        // a whole object of this slot
        Unreadable,  // something the phone holds there that cannot be read:
                     // a broken transfer, or an object with no text
    };
    State state = State::Free;
    // The object text: the packets' bytes up to the first 0 byte (the
    // object is a zero-terminated text).
    std::string object;
};
SlotRead parseSbnrSlot(std::string_view response, int slot);

}  // namespace vondrix::organizer
