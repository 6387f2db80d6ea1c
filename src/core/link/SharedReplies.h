#pragma once

// Reply parsers that two subsystems share, kept here so that both read the
// reply by the same rule: the object store's read ("AT^SBNR=", organizer
// entries and the logo and ringtone) and the service centre ("AT+CSCA?",
// the phonebook window and the messages).

#include <string>
#include <string_view>
#include <vector>

namespace vondrix::at {

// One "AT^SBNR=<type>,<index>" reply, checked packet by packet. The phone
// sends packets 1 to n, each a header "^SBNR: <type>,<index>,<k>,<n>" and a
// line of hexadecimal digit pairs. Blank lines carry nothing: a blank line
// between a header and its data is passed over, so the data line still
// belongs to its header (a header followed by no data line is broken).
struct ObjectRead {
    enum class State {
        Absent,  // no information line at all: nothing is stored there
        Whole,   // packets 1 to n of one object, in order, each with its data
        Broken,  // anything else: a packet missing, swapped or repeated, a
                 // header without data or with another type, index or count,
                 // data that is not hexadecimal, a line of no packet
    };
    State state = State::Absent;
    int count = 0;                                    // packets announced (Whole)
    std::vector<std::vector<unsigned char>> packets;  // their bytes in order (Whole)

    bool whole() const { return state == State::Whole; }
    // The object: every packet's bytes in order.
    std::vector<unsigned char> bytes() const;
};
ObjectRead parseSbnrRead(std::string_view response, std::string_view type, long long index);

// Longest service-centre number kept.
inline constexpr std::size_t kMaxServiceCentre = 29;

// "AT+CSCA?": the quoted number of the "+CSCA:" line, at most
// kMaxServiceCentre characters (a quote left open ends at the line end);
// empty without one.
std::string parseCscaQuery(std::string_view response);

}  // namespace vondrix::at
