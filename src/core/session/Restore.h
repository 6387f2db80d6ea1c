#pragma once

// Putting a backup back on the phone: what would change (planRestore,
// shown before anything is written) and the writes themselves.

#include <string>
#include <vector>

#include "foundation/Reporter.h"
#include "session/Backup.h"
#include "session/Session.h"

namespace vondrix {

struct RestoreChange {
    enum class Action {
        Add,         // the location, slot or object is empty on the phone
        Change,      // the phone holds something else there
        Remove,      // the phone holds what the backup does not
        DoesNotFit,  // the backup's value cannot go to this phone: listed, never cut
    };
    Store store = Store::Phonebook;
    Action action = Action::Add;
    std::string where;   // "SM 12", "slot 5", "message 3", "logo"
    std::string detail;  // UTF-8, for the list the user confirms

    // What is written.
    std::string phonebook;  // "SM", "ME", "FD" (Store::Phonebook)
    phonebook::PhonebookEntry entry;
    sms::RawMessage message;
    organizer::RawSlot slot;
    std::string bytes;  // logo or ringtone
};

// "add", "change", "remove", "does not fit".
const char* actionName(RestoreChange::Action action);

struct RestorePlan {
    std::vector<RestoreChange> changes;
    // Whether anything is to be written.
    bool writes() const;
    int count(RestoreChange::Action action) const;
    // One UTF-8 line per change: "<store> <where>: <action> <detail>".
    std::vector<std::string> lines() const;
};

// Compares the backup with what the phone holds now (`phone`, read with
// readPhone for the same stores), store by store:
// - phonebooks by location: entries added, changed, removed; a location
//   beyond the phone's phonebook, a name or number longer than its fields,
//   or a phonebook the phone lacks does not fit;
// - own numbers by location;
// - messages by PDU: those the phone lacks are stored again with their
//   status (a status report does not fit: only the network makes one),
//   those the backup lacks are deleted, a changed status is both;
// - organizer slots by their objects; the logo and the ringtone by bytes.
// The call lists and the Redbook follow from the phone's own record and the
// names ("!"); they are not written.
RestorePlan planRestore(const BackupData& backup, const BackupData& phone,
                        const std::vector<Store>& stores);

struct RestoreReport {
    int written = 0;
    int refused = 0;  // the phone refused; listed in `failures`
    bool linkFailed = false;
    std::vector<std::string> failures;  // UTF-8 lines as in RestorePlan::lines
};

// Writes every change of `plan` but those that do not fit: removals first
// (they make room), then additions and changes. A fixed-dialling write asks
// for the PIN2 as the phonebook window does. Message 155 when something was
// refused or did not fit, 159 when everything went.
RestoreReport applyRestore(Session& session, Reporter& reporter, const RestorePlan& plan);

}  // namespace vondrix
