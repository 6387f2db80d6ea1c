#pragma once

#include <cstddef>
#include <optional>

#include "foundation/Reporter.h"
#include "network/Operators.h"
#include "session/MainWindowSession.h"

namespace vondrix {

// The network selection window's life, the same for the desktop program and
// the command line: the three lists (the operators the phone knows, the
// SIM's preferred list, the networks a search finds), adding and removing
// preferred operators, and selecting a network, which refreshes the main
// window's operator and registration fields. Nothing is saved on closing.
class NetworkSelectionSession {
  public:
    NetworkSelectionSession(MainWindowSession& main, Reporter& reporter);

    // The window's opening: the known names, the preferred list, the search
    // (as long as the phone scans); the known names sorted by name.
    void open();
    // The known names and the preferred list without the search, for work
    // on the preferred list alone.
    void openPreferred();

    const network::OperatorsModel& model() const { return model_; }

    // The known operators sorted by column 0 (code) or 1 (name).
    void sortKnown(int column) { network::sortKnown(model_.known, column); }
    // The known operator with `code`, or nothing.
    const network::OperatorName* known(int code) const;

    // Writes `code` into the first free preferred position (messages 32, 49).
    network::Outcome addPreferred(int code) { return service_.addPreferred(code); }
    // Frees the preferred entry of `row` (message 50).
    network::Outcome removePreferred(std::size_t row) { return service_.removePreferred(row); }
    // The row of preferred position `position`, or nothing.
    std::optional<std::size_t> preferredRow(int position) const {
        return model_.rowOfPosition(position);
    }

    // Selects the network of search row `row`, or the found network with
    // `code`, by its status (messages 62 to 65); on success the main
    // window's operator and registration are read again.
    network::Selection select(std::size_t row);
    network::Selection selectCode(int code);

  private:
    MainWindowSession& main_;
    Reporter& reporter_;
    network::OperatorsModel model_;
    network::OperatorsService service_;
};

}  // namespace vondrix
