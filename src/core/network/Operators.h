#pragma once

// Preferred networks and operator selection: the operator names the phone
// knows ("AT^SPLM"), the SIM's preferred list ("AT^SPLR", written with
// "AT^SPLW") and the networks a search finds ("AT+COPS=?").

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "foundation/Reporter.h"
#include "foundation/Settings.h"
#include "link/AtEngine.h"
#include "network/Network.h"
#include "network/NetworkInfo.h"

namespace vondrix::network {

// Preferred positions read at most; a SIM with more shows the first ones.
inline constexpr std::size_t kMaxPreferred = 50;

struct OperatorsModel {
    std::vector<OperatorName> known;        // in the order last sorted
    std::vector<PreferredEntry> preferred;  // in position order
    std::vector<FoundNetwork> found;        // in the order of the search reply

    // The name of `code` in the known table; empty when it is not there.
    std::string nameOf(int code) const;
    // The preferred rows shown: the entries up to the first one without a
    // name (an operator the phone has no name for ends the display).
    std::size_t preferredShown() const;
    // The row of a preferred position, or nothing.
    std::optional<std::size_t> rowOfPosition(int position) const;
    // The first free preferred entry, or nothing when every position is used.
    std::optional<std::size_t> firstFree() const;
};

// Sorts the known operators by column 0 (the code, as numbers) or column 1
// (the name, byte by byte as unsigned characters); equal keys keep their order.
void sortKnown(std::vector<OperatorName>& known, int column);

enum class Selection {
    Selected,       // "AT+COPS=1,2,<code>" succeeded; operator and registration refreshed
    Unknown,        // status 0, or a code the search did not find: message 62
    InUse,          // status 2: message 63
    NotSelectable,  // status 3: message 64
    Failed,         // the phone refused the selection: message 65
    Ignored,        // another status, or no such row: nothing happens
    LinkFailed,
};

class OperatorsService {
  public:
    OperatorsService(AtEngine& engine, Reporter& reporter, const Settings& settings,
                     OperatorsModel& model)
        : engine_(engine), reporter_(reporter), settings_(settings), model_(model) {}

    OperatorsModel& model() { return model_; }

    // The window's opening: the known names, the preferred list, the
    // search; the known names sorted by name. Takes as long as the search.
    // Shows the reading progress; a Cancel stops after the running
    // transaction and leaves all three lists empty (message 125).
    void open();
    // "AT^SPLM" (list transaction). A refusal empties the known table.
    bool readKnown();
    // "AT^SPLR=?", then "AT^SPLR=<p>" for each position of the range; names
    // from the known table. A refused position fills no entry.
    bool readPreferred();
    // "AT+COPS=?" (list transaction, waits with the search limit).
    bool search();

    // Writes `code` into the first free preferred position: message 32 when
    // there is none, 49 when the phone refuses, 106 for a code that is no
    // operator code (nothing sent then).
    Outcome addPreferred(int code);
    // Frees the preferred entry of `row` with "AT^SPLW=<position>"; message 50
    // when the phone refuses.
    Outcome removePreferred(std::size_t row);

    // Selects the network of search row `row` by its status; on success
    // refreshes `status` (the main window's operator and registration).
    Selection select(std::size_t row, NetworkStatus& status);
    // The same for the search row with `code`; message 62 when there is none.
    Selection selectCode(int code, NetworkStatus& status);

  private:
    bool linkFailed() const { return engine_.failure() != AtEngine::Failure::None; }
    // Whether the user cancelled the opening (asked after each transaction).
    bool stopAsked();

    AtEngine& engine_;
    Reporter& reporter_;
    [[maybe_unused]] const Settings& settings_;
    OperatorsModel& model_;
    bool reading_ = false;    // open() runs: its Cancel is asked for
    bool cancelled_ = false;  // open() was cancelled
};

}  // namespace vondrix::network
