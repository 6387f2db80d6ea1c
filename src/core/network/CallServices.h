#pragma once

// Call forwarding ("AT+CCFC") and call barring ("AT+CLCK"): the query of
// one reason or facility, and requests per bearer class.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Reporter.h"
#include "foundation/Settings.h"
#include "link/AtEngine.h"
#include "network/Network.h"

namespace vondrix::network {

// --- Forwarding -------------------------------------------------------------------

// The number type of a forwarding number: 145 with a leading "+", else 129.
int forwardNumberType(std::string_view number);
// The request line for one class: the time rounded down to a multiple of 5
// and sent (after two empty fields) only when it is not 0; the number
// without quotes. Nothing when the number holds a character a number cannot
// have or is longer than kMaxForwardNumber, or the time is outside 0..30.
std::optional<std::string> forwardingCommand(ForwardReason reason, ForwardMode mode,
                                             std::string_view number, int time, int classValue);

struct ForwardingModel {
    ForwardReason reason = ForwardReason::Always;
    ForwardingStatus status;  // empty and unticked after a failed query
};

class ForwardingService {
  public:
    ForwardingService(AtEngine& engine, Reporter& reporter, const Settings& settings,
                      ForwardingModel& model)
        : engine_(engine), reporter_(reporter), settings_(settings), model_(model) {}

    ForwardingModel& model() { return model_; }

    // "AT+CCFC=<r>,2": makes `reason` current and shows its state.
    bool query(ForwardReason reason);
    // One request per ticked class (class 7 alone when "all" is ticked),
    // each with its own number and time. An empty number shows message 29
    // and sends nothing; a refusal shows message 52 (deactivate) or 51
    // (the other modes); one class failing does not stop the next.
    std::vector<ClassOutcome> request(ForwardReason reason, ForwardMode mode,
                                      const ForwardingRequest& form);

  private:
    AtEngine& engine_;
    Reporter& reporter_;
    [[maybe_unused]] const Settings& settings_;
    ForwardingModel& model_;
};

// --- Barring ------------------------------------------------------------------------

struct BarringModel {
    std::size_t facility = 0;  // index into kFacilityCodes
    BarringStatus status;      // unticked after a failed query
};

class BarringService {
  public:
    BarringService(AtEngine& engine, Reporter& reporter, const Settings& settings,
                   BarringModel& model)
        : engine_(engine), reporter_(reporter), settings_(settings), model_(model) {}

    BarringModel& model() { return model_; }

    // "AT+CLCK=<fac>,2": makes `facility` current and shows its state (the
    // lock box for the locks, the class boxes for the barring services).
    bool query(std::size_t facility);

    // Locks (0..3): "AT+CLCK=<fac>,<m>" without a password; success sets the
    // lock box. Barring services (4..8): one "AT+CLCK=<fac>,<m>,<password>,<class>"
    // per requested class; nothing when no class is ticked. Refusals show
    // message 53 (activate) or 54 (deactivate). A password of anything but
    // digits or longer than 9 shows message 106 and sends nothing. The
    // password goes into the command lines and nowhere else.
    std::vector<ClassOutcome> request(std::size_t facility, bool activate, const ClassTicks& ticks,
                                      std::string_view password);

  private:
    bool run(const std::string& command, bool activate, int classValue,
             std::vector<ClassOutcome>& outcomes);

    AtEngine& engine_;
    Reporter& reporter_;
    [[maybe_unused]] const Settings& settings_;
    BarringModel& model_;
};

}  // namespace vondrix::network
