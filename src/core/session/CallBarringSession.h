#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "foundation/Reporter.h"
#include "network/CallServices.h"
#include "session/Session.h"

namespace vondrix {

// The call barring window's life, the same for the desktop program and the
// command line: the facility shown with its lock box or class boxes, the
// boxes' rule, and the two buttons. The password is only passed through to
// the request lines; nothing keeps it. Nothing is saved on closing.
class CallBarringSession {
  public:
    CallBarringSession(Session& session, Reporter& reporter);

    // Opening: the keyboard lock (facility 0) shown.
    void open() { show(0); }
    std::size_t facility() const { return model_.facility; }
    // Makes `facility` current with every box unticked, then ticks them by
    // the phone's answer; a refused query leaves them unticked (false).
    bool show(std::size_t facility);
    // The facility list: another facility is shown anew; the same one
    // changes nothing.
    void changeFacility(std::size_t facility);
    // Makes `facility` current with every box unticked, without asking
    // (the command line ticks the classes itself).
    void choose(std::size_t facility);
    // The class boxes work only for the barring services.
    bool classesEnabled() const { return network::isBarringService(model_.facility); }

    // The lock box and the class boxes (kVoice..kAll).
    const network::BarringStatus& status() const { return model_.status; }
    // Ticking voice, data or fax unticks "all"; ticking "all" the others.
    void tick(std::size_t index, bool on);

    // Activate (true) or deactivate: a lock on its own, a barring service
    // once per ticked class with `password` (messages 53, 54, 106).
    std::vector<network::ClassOutcome> request(bool activate, std::string_view password);

  private:
    network::BarringModel model_;
    network::BarringService service_;
};

}  // namespace vondrix
