#pragma once

// The phonebook operations: reading, writing with the fixed-dialling PIN2
// protocol, the Redbook, normalising, the window's opening sequence and
// kind switching, the service centre, the call lists and dialling. Each
// runs its phone traffic through the engine and tells the user through the
// reporter; the window and the command line call the same operations.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "foundation/Reporter.h"
#include "foundation/Settings.h"
#include "link/AtEngine.h"
#include "link/LinkOperation.h"
#include "phonebook/LocationReader.h"
#include "phonebook/Phonebook.h"

namespace vondrix::phonebook {

// Replaces every occurrence of `search` by `replacement`, scanning forward
// (a replacement is never searched again). An empty `search` changes nothing.
std::string replaceAll(std::string text, std::string_view search, std::string_view replacement);
// The name as the phone's write command wants it: the 20 characters of the
// name encoding table become a backslash and two hex digits.
std::string encodeName(std::string_view latin1Name);

class PhonebookService {
  public:
    PhonebookService(AtEngine& engine, Reporter& reporter, const Settings& settings,
                     PhonebookModel& model)
        : engine_(engine), reporter_(reporter), settings_(settings), model_(model) {}

    PhonebookModel& model() { return model_; }
    AtEngine& engine() { return engine_; }
    Reporter& reporter() { return reporter_; }
    const Settings& settings() const { return settings_; }

    // With the setting FastRead the readers ask for ranges of this many
    // locations (kDefaultRangeSize); tests and the benchmark change it.
    void setRangeSize(int locations) { rangeSize_ = locations; }

    // --- Reading -------------------------------------------------------
    // Reads the current kind into the entry table and the rows, sorted by
    // name. False (tables unchanged) when "AT+CPBR=?" fails; false with
    // empty tables (CurrentPhonebook::complete false) when the link fails
    // during the read: the remaining locations are not asked for. The readers
    // close their progress display when done, except the reading dialog
    // while open() runs (open() closes it). `progressTarget`: the reading
    // window while the phonebook window opens, its own bar afterwards.
    bool readCurrent(Reporter::Display progressTarget = Reporter::Display::PhonebookBar);
    // "AT+CPBS=ON": the numbers of locations 1 to 6 into ownNumbers. False
    // when the store could not be read whole (refused, size unreadable, link).
    bool readOwnNumbers();
    // "AT^SPBS=RD", "AT^SPBG": the Redbook, with the reading dialog.
    void readRedbook();
    void readCallLists();  // dialled, missed, received, with the reading dialog
    // One call list: "LD", "MC" or "RC" into `list`.
    void readCallList(const char* code, CallList& list);
    // "AT+CSCA?" into the service-centre record; false when it fails.
    bool readServiceCentre();

    // The window's opening sequence: kind SIM, own numbers, SIM, Redbook,
    // call lists, service centre, reading dialog around it all.
    void open();
    // Selects another kind: `saveCurrent` (the local file) runs first, then
    // the selection command and the read. Nothing happens for the current kind.
    void switchKind(Kind kind, const std::function<void()>& saveCurrent);
    // Sends the selection command of the current kind.
    bool selectCurrent();
    // "AT+CSCA=<number>,<type>"; messages 58 and 59.
    bool setServiceCentre(const std::string& number);

    // --- Writing -------------------------------------------------------
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

    // --- Calls ---------------------------------------------------------
    // What the dial operations return when nothing was dialled, and when
    // the phone dialled.
    static constexpr int kNotDialled = -1;
    static constexpr int kDialled = AtEngine::kDialOk;
    // The answer to a call command the window reports nothing about.
    struct CallAnswer {
        std::string command;  // as sent, for a message of the caller's
        bool ok = false;
        std::string lastLine;  // the reply's last line, e.g. "ERROR"; empty without an answer
    };
    // Selects the current kind (kNotDialled, silently, when that fails) and
    // dials "ATD>n;"; the dial result, with its message (18 to 21).
    int dialLocation(int location);
    // Dials the number of a call-list line ("name, number", taken after
    // its last comma); kNotDialled for an empty line or one without a comma.
    int callBack(const std::string& line);
    CallAnswer hangUp();
    CallAnswer redial();
    bool clearDialledCalls();
    // The number to prefill a new entry with for a call-list line without a
    // name; message 73 for a line with a name; nothing for an empty line.
    std::optional<std::string> copyToPhonebook(const std::string& line);

  private:
    // The fixed-dialling protocol (steps 2 to 6) around one write command;
    // `expected` is what the location holds afterwards when the write worked.
    WriteResult write(const std::string& command, int location,
                      const std::optional<PhonebookEntry>& expected);
    // After a write that got no answer in time: whether the phone holds
    // `expected` at `location` all the same.
    bool storedLate(int location, const std::optional<PhonebookEntry>& expected);
    bool linkFailed() const { return engine_.failure() != AtEngine::Failure::None; }
    // Whether the user cancelled the running read (asked after each
    // transaction); the first time says so (message 125).
    bool stopAsked();
    void beginProgress(Reporter::Display target, Reporter::Task task);
    void endProgress(Reporter::Display target);
    int reportDial(int result);  // shows the message of a dial result
    // Locations per read command: 0 (one each) unless FastRead is on.
    int rangeSize() const { return settings_.fastRead ? rangeSize_ : 0; }

    AtEngine& engine_;
    Reporter& reporter_;
    const Settings& settings_;
    PhonebookModel& model_;
    bool opening_ = false;    // open() holds the reading dialog
    bool cancelled_ = false;  // the running read was cancelled
    int rangeSize_ = kDefaultRangeSize;
};

}  // namespace vondrix::phonebook
