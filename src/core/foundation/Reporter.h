#pragma once

#include <optional>
#include <string>

#include "foundation/Messages.h"

namespace vondrix {

// The two captions every message box of the program uses.
enum class Caption { Info, Error };

inline const char* captionText(Caption c) { return c == Caption::Info ? "Vondrix" : "Vondrix Error"; }

enum class Buttons { Ok, YesNo, RetryCancel };
enum class Answer { Ok, Yes, No, Retry, Cancel };

// Everything a core operation tells the user or asks of them goes through
// this interface; the GUI, the CLI and the tests each supply their own.
class Reporter {
public:
    virtual ~Reporter() = default;

    // Shows catalogue message `id` (in the run's language) and returns the
    // button the user chose.
    virtual Answer message(int id, Caption caption, Buttons buttons = Buttons::Ok) = 0;

    // Shows a text that is not in the catalogue (e.g. "Unable to activate help").
    virtual void text(const std::string& utf8Text, Caption caption) = 0;

    // Asks for the PIN2; nullopt means the user cancelled.
    virtual std::optional<std::string> askPin2() = 0;

    // Progress of a long operation. `dialogId` names the progress window
    // (111 transfer, 116 reading, 146 sending).
    virtual void progressBegin(int dialogId, int total) { (void)dialogId, (void)total; }
    virtual void progressStep(int done) { (void)done; }
    virtual void progressEnd() {}

    // Lets the user interface breathe between transactions of a long loop.
    virtual void pump() {}
};

}  // namespace vondrix
