#pragma once

// The organizer operations: reading the 30 slots, writing an entry in
// segments, deleting one slot or all, and the questions and warnings the
// organizer window asks around them. Each runs its phone traffic through the
// engine and tells the user through the reporter; the window and the
// command line call the same operations and only show the list.

#include <string_view>

#include "foundation/Reporter.h"
#include "foundation/Settings.h"
#include "link/AtEngine.h"
#include "organizer/Organizer.h"

namespace vondrix::organizer {

class OrganizerService {
  public:
    OrganizerService(AtEngine& engine, Reporter& reporter, const Settings& settings,
                     OrganizerList& list)
        : engine_(engine), reporter_(reporter), settings_(settings), list_(list) {}

    OrganizerList& list() { return list_; }
    Reporter& reporter() { return reporter_; }
    const Settings& settings() const { return settings_; }

    // --- Reading -------------------------------------------------------
    // Reads slots 1 to 30 ("AT^SBNR=vcs,n") into the list, in slot order,
    // with the reading dialog moving to 100 * n / 30 after slot n. A slot
    // the phone refuses gets no row, but for "+CME ERROR: 100" (how later
    // phones answer an empty slot), which gives a free row like an "OK"
    // alone; a reply that cannot be read gives an unreadable row.
    // When the link fails the remaining slots are not asked for and the list
    // is left empty and incomplete (false).
    bool readAll();

    // --- Writing -------------------------------------------------------
    enum class WriteResult {
        Written,           // every segment accepted; the row shows the entry
        NeedsPhoneNumber,  // message 31: a phone call without a number; nothing sent
        NoFreeSlot,        // message 32: no free row; nothing sent
        Rejected,          // message 33: the phone refused a segment; the row shows
                           // what the phone holds (read again)
        Refused,           // message 106: a field out of range; nothing sent
        LinkFailed,        // the link failed: the row is as before, the link message follows
    };
    struct WriteOutcome {
        WriteResult result = WriteResult::Refused;
        int slot = 0;  // the slot written (or tried); 0 when none was chosen
    };
    // A new entry into the first free row of the list's current order.
    WriteOutcome writeNew(const EntryFields& fields);
    // An entry into `slot` (1..30), whatever it holds.
    WriteOutcome writeSlot(int slot, const EntryFields& fields);

    // --- Deleting ------------------------------------------------------
    // "AT^SBNW=vcs,slot,0". The row is emptied when the phone confirms;
    // when it refuses, the row shows what the phone holds (read again).
    // False when the slot is still held or the link failed.
    bool deleteSlot(int slot);
    // Deletes slots 1 to 30 in order, held or not.
    void clearAll();

    // --- Questions and warnings of the window ---------------------------
    // The Delete key: asks message 14; on Yes deletes `slot` (nothing when
    // no row is selected). True when deleted.
    bool confirmDelete(int slot);
    // The clear command: asks message 89; on Yes clears. True when cleared.
    bool confirmClear();
    // While a description is typed: message 30 when it is longer than the
    // phone keeps. True when shown.
    bool warnDescriptionLength(std::string_view description);

  private:
    WriteOutcome write(int slot, const EntryFields& fields, bool chooseFree);
    // Sends `object` to `slot` segment by segment; false at the first
    // segment the phone refuses (command or data).
    bool sendObject(int slot, const std::string& object);
    // Reads `slot` again and shows what the phone holds; a slot the phone
    // does not answer for keeps its row.
    void showWhatThePhoneHolds(int slot);
    bool linkFailed() const { return engine_.failure() != AtEngine::Failure::None; }

    AtEngine& engine_;
    Reporter& reporter_;
    const Settings& settings_;
    OrganizerList& list_;
};

}  // namespace vondrix::organizer
