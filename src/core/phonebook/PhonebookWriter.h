#pragma once

// Writing the current phonebook: the write command in its store and empty
// forms wrapped in the fixed-dialling PIN2 protocol, and the window's
// operations built on it (the entry dialog, deleting, clearing, the
// Redbook's marker, normalising).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "foundation/Reporter.h"
#include "foundation/Settings.h"
#include "link/AtEngine.h"
#include "phonebook/Phonebook.h"
#include "phonebook/PhonebookReader.h"

namespace vondrix::phonebook {

class PhonebookWriter {
  public:
    // Writes through the reader's engine, reporter, settings and model, and
    // reads the phonebook again with it after clearing.
    explicit PhonebookWriter(PhonebookReader& reader)
        : engine_(reader.engine()),
          reporter_(reader.reporter()),
          settings_(reader.settings()),
          model_(reader.model()),
          reader_(reader) {}

    PhonebookReader& reader() { return reader_; }

    enum class WriteResult {
        Ok,
        Failed,       // the phone refused the write
        Cancelled,    // PIN2 dialog cancelled: no message
        InvalidPin,   // PIN2 confirmed empty: message 47 shown
        PinRejected,  // the phone refused the PIN2: message 48 shown, PIN2 forgotten
        Refused,      // a value the command line cannot carry: message 106 shown, nothing sent
        LinkFailed,   // the link failed: the operation ends, the link message follows
    };
    // Step 1 of the fixed-dialling protocol: when no PIN2 is stored, the
    // PIN2 dialog (Reporter::askPin2; it empties the stored PIN2 first,
    // nullopt = Cancel). Message 47 (InvalidPin) when the answer is empty
    // or holds anything but digits. Ok for the other kinds.
    WriteResult ensurePin2();
    // Store and empty forms of "AT+CPBW=", wrapped in the fixed-dialling
    // protocol for kind "SIM fix". `name` is encoded here. Refused (message
    // 106, nothing sent) when the number holds anything but the number
    // alphabet or the name a quote or control character; Failed, with
    // nothing sent, when either is longer than the phone's field. A write
    // that ran out of time is checked by reading the location back: the
    // phone may have stored it late.
    WriteResult store(int location, const std::string& number, int type, const std::string& name);
    WriteResult empty(int location);

    // The new-entry command: selects the current kind (false, silently,
    // when that fails); false with message 22 when every location holds a
    // live entry or the entry table is full.
    bool canAddEntry();

    // What the entry dialog shows for an edit.
    struct EntryForm {
        int location = 0;
        std::string name;
        std::string number;
    };
    // The edit command for `row`: selects the current kind (nullopt,
    // silently, when that fails). A deleted row gives its location with
    // empty fields; saving it writes a new entry there.
    std::optional<EntryForm> beginEdit(std::size_t row);
    // The entry dialog's warnings while typing: message 26 or 28 when the
    // text is longer than the phone's text or number length. True when shown.
    bool warnNameLength(std::string_view name);
    bool warnNumberLength(std::string_view number);

    // Saves the entry dialog: `location` 0 writes a new entry into the
    // first free location, otherwise edits the entry at that location.
    // Messages 27, 29, 32, 22, 24, 49. True when written.
    bool saveEntry(int location, const std::string& name, const std::string& number);
    // Empties the location of the entry shown in `row`; message 50.
    bool deleteEntry(std::size_t row);
    // The delete command (`selectFirst`) and the Delete key: asks message
    // 14, then deletes. True when deleted.
    bool confirmDelete(std::size_t row, bool selectFirst);
    // Empties every location, then reads the phonebook again.
    void clearPhonebook();
    // The clear command: asks message 80, then clears. True when cleared.
    bool confirmClear();
    // Adds the entry of `row` to the Redbook (message 23 when it is one
    // already, 24 when the write fails or the Redbook table is full, 46 for
    // a deleted row).
    bool addToRedbook(std::size_t row);
    // Removes Redbook position `position` (0-based); messages 46, 24.
    bool removeFromRedbook(std::size_t position);
    // Prefixes numbers that begin with "0" with TPref; message 77 when
    // TPref is empty. A write the phone refuses (message 24) leaves the
    // entry's old number; a PIN2 that is refused, cancelled or empty ends
    // the run.
    void normalise();

  private:
    // The fixed-dialling protocol (steps 2 to 6) around one write command;
    // `expected` is what the location holds afterwards when the write worked.
    WriteResult write(const std::string& command, int location,
                      const std::optional<PhonebookEntry>& expected);
    // After a write that got no answer in time: whether the phone holds
    // `expected` at `location` all the same.
    bool storedLate(int location, const std::optional<PhonebookEntry>& expected);
    bool linkFailed() const { return engine_.failure() != AtEngine::Failure::None; }
    bool selectCurrent();

    AtEngine& engine_;
    Reporter& reporter_;
    const Settings& settings_;
    PhonebookModel& model_;
    PhonebookReader& reader_;
};

}  // namespace vondrix::phonebook
