#pragma once

// Dialling from the phonebook window and its call lists: a location of the
// current phonebook, a call-list line, redial and hang-up, and clearing the
// dialled calls.

#include <optional>
#include <string>

#include "foundation/Reporter.h"
#include "link/AtEngine.h"
#include "phonebook/Phonebook.h"

namespace vondrix::phonebook {

class CallService {
  public:
    CallService(AtEngine& engine, Reporter& reporter, PhonebookModel& model)
        : engine_(engine), reporter_(reporter), model_(model) {}

    // What the dial operations return: nothing when nothing was dialled,
    // else the dial's status; kDialled when the phone dialled.
    using DialResult = std::optional<AtEngine::Status>;
    static constexpr DialResult kNotDialled = std::nullopt;
    static constexpr DialResult kDialled = AtEngine::Status::Ok;
    // The answer to a call command the window reports nothing about.
    struct CallAnswer {
        std::string command;  // as sent, for a message of the caller's
        bool ok = false;
        std::string lastLine;  // the reply's last line, e.g. "ERROR"; empty without an answer
    };
    // Selects the current kind (kNotDialled, silently, when that fails) and
    // dials "ATD>n;"; the dial result, with its message (18 to 21).
    DialResult dialLocation(int location);
    // Dials the number of a call-list line ("name, number", taken after
    // its last comma); kNotDialled for an empty line or one without a comma.
    DialResult callBack(const std::string& line);
    CallAnswer hangUp();
    CallAnswer redial();
    bool clearDialledCalls();
    // The number to prefill a new entry with for a call-list line without a
    // name; message 73 for a line with a name; nothing for an empty line.
    std::optional<std::string> copyToPhonebook(const std::string& line);

  private:
    DialResult reportDial(AtEngine::Status status);  // shows the message of a dial status
    bool linkFailed() const { return engine_.failure() != AtEngine::Failure::None; }
    bool selectCurrent();

    AtEngine& engine_;
    Reporter& reporter_;
    PhonebookModel& model_;
};

}  // namespace vondrix::phonebook
