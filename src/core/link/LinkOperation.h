#pragma once

#include "foundation/Reporter.h"
#include "link/AtEngine.h"

namespace vondrix {

// One user operation's run of transactions (reading a phonebook, sending a
// message, the main window's opening). While the outermost operation runs,
// a link failure of the engine is kept, so the operation's remaining
// commands fail at once and its code can see that it did not complete
// (failed()). When the outermost operation ends, the failure is shown once
// (the phone does not answer, the link was lost, the answer was unreadable)
// and forgotten, so the next operation tries the phone again. Operations
// nest: an inner one neither clears nor reports.
class LinkOperation {
  public:
    LinkOperation(AtEngine& engine, Reporter& reporter);
    ~LinkOperation();
    LinkOperation(const LinkOperation&) = delete;
    LinkOperation& operator=(const LinkOperation&) = delete;

    bool failed() const { return engine_.failure() != AtEngine::Failure::None; }

  private:
    AtEngine& engine_;
    Reporter& reporter_;
};

// The message that tells the user about a link failure.
msg::Id linkFailureMessage(AtEngine::Failure failure);

}  // namespace vondrix
