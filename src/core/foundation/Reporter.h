#pragma once

#include <optional>
#include <string>

#include "foundation/Messages.h"

namespace vondrix {

// The two captions every message box of the program uses.
enum class Caption { Info, Error };

inline const char* captionText(Caption c) {
    return c == Caption::Info ? "Vondrix" : "Vondrix Error";
}

enum class Buttons { Ok, YesNo, RetryCancel };
enum class Answer { Ok, Yes, No, Retry, Cancel };

// Everything a core operation tells the user or asks of them goes through
// this interface; the GUI, the CLI and the tests each supply their own.
class Reporter {
  public:
    virtual ~Reporter() = default;

    // Shows catalogue message `id` (in the run's language) and returns the
    // button the user chose.
    virtual Answer message(msg::Id id, Caption caption, Buttons buttons = Buttons::Ok) = 0;

    // Shows a text that is not in the catalogue (e.g. "Unable to activate help").
    virtual void text(const std::string& utf8Text, Caption caption) = 0;

    // Asks for the PIN2; nullopt means the user cancelled.
    virtual std::optional<std::string> askPin2() = 0;

    // What a long operation is busy with, for a progress display that says it.
    enum class Task {
        Reading,     // something not named below
        ReadingSim,  // the phonebooks by kind
        ReadingInternal,
        ReadingFixed,
        ReadingOwnNumbers,
        ReadingRedbook,
        ReadingCallLists,
        ReadingMessages,
        ReadingOrganizer,
        Sending,
        Transferring,
        Writing,
    };

    // Where the progress of a long operation shows.
    enum class Display {
        Transfer,      // the transfer window: percentage, times, and a Cancel
        Reading,       // the reading window, with a Cancel
        Sending,       // the sending window: part k of n, no Cancel
        PhonebookBar,  // the phonebook window's own bar, once the window is open
    };

    // Progress of a long operation on `display`; steps count up to `total`.
    // A second progressBegin before progressEnd moves the same display on
    // to another task.
    virtual void progressBegin(Display display, int total, Task task = Task::Reading) {
        (void)display, (void)total, (void)task;
    }
    virtual void progressStep(int done) { (void)done; }
    virtual void progressEnd() {}
    // The times of a transfer beside its progress: seconds since it began
    // and the estimated seconds it takes in all.
    virtual void progressTimes(int elapsedSeconds, int estimatedSeconds) {
        (void)elapsedSeconds, (void)estimatedSeconds;
    }
    // Whether the user asked to stop the running long operation (the
    // transfer window's Cancel); the operation asks between its steps.
    virtual bool cancelled() { return false; }

    // Lets the user interface breathe between transactions of a long loop.
    virtual void pump() {}
};

}  // namespace vondrix
