#pragma once

// Reading the phonebooks: the current kind, the own numbers, the Redbook
// and the call lists, each into the phonebook model. Every read runs its
// phone traffic through the engine and shows its progress through the
// reporter; the window's opening (session/PhonebookWindowSession) composes
// them under one reading dialog.

#include <optional>
#include <string>

#include "foundation/Reporter.h"
#include "foundation/Settings.h"
#include "link/AtEngine.h"
#include "phonebook/LocationReader.h"
#include "phonebook/Phonebook.h"

namespace vondrix::phonebook {

class PhonebookReader {
  public:
    PhonebookReader(AtEngine& engine, Reporter& reporter, const Settings& settings,
                    PhonebookModel& model)
        : engine_(engine), reporter_(reporter), settings_(settings), model_(model) {}

    PhonebookModel& model() { return model_; }
    AtEngine& engine() { return engine_; }
    Reporter& reporter() { return reporter_; }
    const Settings& settings() const { return settings_; }

    // With the setting FastRead the readers ask for ranges of this many
    // locations (kDefaultRangeSize); tests and the benchmark change it.
    void setRangeSize(int locations) { rangeSize_ = locations; }

    // Reads the current kind into the entry table and the rows, sorted by
    // name. False (tables unchanged) when "AT+CPBR=?" fails; false with
    // empty tables (CurrentPhonebook::complete false) when the link fails
    // during the read: the remaining locations are not asked for. The readers
    // close their progress display when done, except the reading dialog
    // while it is held (holdReadingDialog; its holder closes it).
    // `progressTarget`: the reading window while the phonebook window opens,
    // its own bar afterwards.
    bool readCurrent(Reporter::Display progressTarget = Reporter::Display::PhonebookBar);
    // "AT+CPBS=ON": the numbers of locations 1 to 6 into ownNumbers. False
    // when the store could not be read whole (refused, size unreadable, link).
    bool readOwnNumbers();
    // "AT^SPBS=RD", "AT^SPBG": the Redbook, with the reading dialog.
    void readRedbook();
    void readCallLists();  // dialled, missed, received, with the reading dialog
    // One call list: "LD", "MC" or "RC" into `list`.
    void readCallList(const char* code, CallList& list);
    // Sends the selection command of the current kind.
    bool selectCurrent();

    // The window's opening holds the reading dialog around several reads:
    // while held, the reads leave it open, and one Cancel ends them all
    // (holding it starts with no Cancel seen).
    void holdReadingDialog(bool held);
    // Whether the user cancelled the running read (asked after each
    // transaction); the first time says so (message 125).
    bool stopAsked();

  private:
    bool linkFailed() const { return engine_.failure() != AtEngine::Failure::None; }
    // Selects a store and asks its size: the range, or nothing when either
    // command fails or the size reply holds no range.
    std::optional<Range> selectAndSize(const std::string& select, const char* sizeQuery);
    void beginProgress(Reporter::Display target, Reporter::Task task);
    void endProgress(Reporter::Display target);
    // Locations per read command: 0 (one each) unless FastRead is on.
    int rangeSize() const { return settings_.fastRead ? rangeSize_ : 0; }

    AtEngine& engine_;
    Reporter& reporter_;
    const Settings& settings_;
    PhonebookModel& model_;
    bool opening_ = false;    // the window's opening holds the reading dialog
    bool cancelled_ = false;  // the running read was cancelled
    int rangeSize_ = kDefaultRangeSize;
};

}  // namespace vondrix::phonebook
