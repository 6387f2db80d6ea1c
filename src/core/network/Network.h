#pragma once

// The plain values of the network and call services: what the monitor
// reads, the operator lists, and the forwarding and barring states. The
// services fill them; windows and the command line show them.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vondrix::network {

// --- Monitor ----------------------------------------------------------------

// One "+CLCC" line: a call the phone holds.
struct CurrentCall {
    int index = 0;
    int direction = 0;   // 0 outgoing ("<"), else incoming (">")
    int state = 0;       // 0 active ... 5 waiting
    int mode = 0;        // 0 voice ... 9 unknown
    std::string number;  // without quotes; empty when the line has none

    bool operator==(const CurrentCall&) const = default;
};

// What "AT+CREG?" tells: the state after the first comma, and the location
// area code and cell id when the reply carries them.
struct Registration {
    std::optional<int> state;
    std::optional<unsigned> lac;
    std::optional<unsigned> cellId;

    bool operator==(const Registration&) const = default;
};

// --- Operators --------------------------------------------------------------

// Codes are MCC and MNC as one decimal number (26201).
struct OperatorName {
    int code = 0;
    std::string name;

    bool operator==(const OperatorName&) const = default;
};

// One position of the SIM's preferred list. A free position has code 0 and
// the name "EMPTY"; an operator the phone has no name for has an empty name.
struct PreferredEntry {
    int position = 0;
    int code = 0;
    std::string name;

    bool free() const { return code == 0; }
    bool operator==(const PreferredEntry&) const = default;
};

inline constexpr std::string_view kFreeName = "EMPTY";

// +COPS status of a network found by the search.
enum class SearchStatus { Unknown = 0, Available = 1, Current = 2, Forbidden = 3 };

struct FoundNetwork {
    int status = 0;  // as the phone reports it (see SearchStatus)
    int code = 0;
    std::string longName;

    bool operator==(const FoundNetwork&) const = default;
};

// A preferred position as "AT^SPLR=<p>" answers it.
struct PreferredRead {
    bool free = false;
    std::optional<int> code;  // nothing when the reply names none
};

// --- Bearer classes (forwarding and barring) ---------------------------------

// The four class boxes of the forwarding and barring windows, in this order,
// with their AT class values.
inline constexpr std::size_t kVoice = 0, kData = 1, kFax = 2, kAll = 3;
inline constexpr std::array<int, 4> kClassValues = {1, 2, 4, 7};
// The box of an AT class value, or nothing for other classes (8 SMS, 16...).
std::optional<std::size_t> classIndexOf(long long classValue);

// The boxes' rule: ticking voice, data or fax unticks "all"; ticking "all"
// unticks the other three.
using ClassTicks = std::array<bool, 4>;
void tickClass(ClassTicks& ticks, std::size_t index, bool on);
// The class values a request goes out for: 7 alone when "all" is ticked,
// else voice, data and fax as ticked, in that order.
std::vector<int> requestedClasses(const ClassTicks& ticks);

// --- Forwarding ---------------------------------------------------------------

enum class ForwardReason { Always = 0, Busy = 1, NoAnswer = 2, NotAvailable = 3 };
// AT modes of the four buttons.
enum class ForwardMode { Deactivate = 0, Activate = 1, Register = 3, Erase = 4 };

struct ForwardClassStatus {
    bool active = false;
    std::string number;
    int time = 0;  // no-answer time in seconds; 0 when not given

    bool operator==(const ForwardClassStatus&) const = default;
};
// Indexed kVoice..kAll.
using ForwardingStatus = std::array<ForwardClassStatus, 4>;

// What the user asks for one class: ticked, with its number and time.
struct ForwardClassRequest {
    bool ticked = false;
    std::string number;
    int time = 0;
};
using ForwardingRequest = std::array<ForwardClassRequest, 4>;

// Longest forwarding number taken from the window.
inline constexpr std::size_t kMaxForwardNumber = 49;
// The no-answer time the window offers.
inline constexpr int kMaxForwardTime = 30;

// --- Barring ------------------------------------------------------------------

// The facilities of the barring window in list order: four phone and SIM
// locks, then five call barring services.
inline constexpr std::array<std::string_view, 9> kFacilityCodes = {"CS", "PS", "SC", "FD", "AO",
                                                                   "OI", "OX", "AI", "IR"};
inline constexpr std::size_t kFirstBarring = 4;
inline bool isBarringService(std::size_t facility) {
    return facility >= kFirstBarring;
}
// The index of a facility code (any case), or nothing.
std::optional<std::size_t> facilityIndexOf(std::string_view code);

// A facility's state as its query shows it: the lock box for the locks,
// the class boxes for the barring services.
struct BarringStatus {
    bool lockActive = false;
    ClassTicks classes{};

    bool operator==(const BarringStatus&) const = default;
};

// Longest barring password taken from the window.
inline constexpr std::size_t kMaxBarringPassword = 9;

// --- Outcome of one request (forwarding, barring, preferred list) -------------

enum class Outcome {
    Done,
    Failed,      // the phone refused it; its message was shown
    NoNumber,    // forwarding without a number: message 29, nothing sent
    Refused,     // a value a command line cannot carry: message 106, nothing sent
    LinkFailed,  // the link failed; the operation's link message follows
};

struct ClassOutcome {
    int classValue = 0;  // 1, 2, 4 or 7; 0 for a lock, which has no class
    Outcome outcome = Outcome::Done;

    bool operator==(const ClassOutcome&) const = default;
};

}  // namespace vondrix::network
