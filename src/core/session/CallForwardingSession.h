#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "foundation/Reporter.h"
#include "network/CallServices.h"
#include "session/Session.h"

namespace vondrix {

// The call forwarding window's life, the same for the desktop program and
// the command line: the reason shown, the form of the four classes (box,
// number, no-answer time) with the boxes' rules, and the four buttons.
// Nothing is saved on closing.
class CallForwardingSession {
  public:
    CallForwardingSession(Session& session, Reporter& reporter);

    // Opening: the reason "Always" shown.
    void open() { show(network::ForwardReason::Always); }
    network::ForwardReason reason() const { return model_.reason; }
    // Makes `reason` current with an empty form, then fills the form from
    // the network's answer; a refused query leaves it empty (false).
    bool show(network::ForwardReason reason);
    // The reason list: another reason is shown anew; the same one changes
    // nothing.
    void changeReason(network::ForwardReason reason);
    // Makes `reason` current with an empty form, without asking the
    // network (the command line fills the form itself).
    void choose(network::ForwardReason reason);
    // The time controls work only for "If no answer".
    bool timeEnabled() const { return model_.reason == network::ForwardReason::NoAnswer; }

    // What the window shows for voice, data, fax and all (kVoice..kAll).
    const network::ForwardingRequest& form() const { return form_; }
    // The boxes' rule: ticking voice, data or fax unticks "all"; ticking
    // "all" unticks the other three and empties their numbers and times.
    void tick(std::size_t index, bool on);
    // A number as typed, cut to the edit's 49 characters.
    void setNumber(std::size_t index, const std::string& number);
    // A time within the up-down control's 0..30 seconds.
    void setTime(std::size_t index, int seconds);

    // One of the four buttons: `mode` for the ticked classes under the
    // current reason, each class on its own (messages 29, 51, 52).
    std::vector<network::ClassOutcome> request(network::ForwardMode mode);

  private:
    network::ForwardingModel model_;
    network::ForwardingService service_;
    network::ForwardingRequest form_{};
};

}  // namespace vondrix
