#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "foundation/Language.h"
#include "foundation/Reporter.h"

namespace vondrix::cli {

// Messages go to stderr as "Caption: text" in the run's language; questions
// are answered by --yes/--no, else asked on the terminal, else answered No.
// Long work shows one progress line on stderr when it is a terminal
// ("Reading the SIM phonebook… 42%"), cleared when the work ends.
class CliReporter : public Reporter {
  public:
    enum class Policy { Ask, Yes, No };

    CliReporter(Language language, std::ostream& err, Policy policy)
        : language_(language), err_(err), policy_(policy) {}
    ~CliReporter() override { progressEnd(); }

    Answer message(msg::Id id, Caption caption, Buttons buttons) override;
    void text(const std::string& utf8Text, Caption caption) override;
    std::optional<std::string> askPin2() override;
    void progressBegin(Display display, int total, Task task) override;
    void progressStep(int done) override;
    void progressEnd() override;
    void progressTimes(int elapsedSeconds, int estimatedSeconds) override;
    // During a transfer, Ctrl-C (SIGINT; on Windows the console's Ctrl-C)
    // asks it to stop after the current segment instead of ending the
    // program.
    bool cancelled() override;

    void setPin2(std::optional<std::string> pin) { pin2_ = std::move(pin); }
    // Tests: draw the progress line even when stderr is no terminal.
    void setProgressOnTerminal(bool on) { forceProgress_ = on; }

    // The line shown for a task at `percent`.
    static std::string progressLine(Task task, int percent);

  private:
    bool askYes(const std::string& question);
    void drawProgress();
    void clearProgress();

    Language language_;
    std::ostream& err_;
    Policy policy_;
    std::optional<std::string> pin2_;
    bool forceProgress_ = false;
    bool progressActive_ = false;
    bool progressShown_ = false;  // a line is on the screen
    Task task_ = Task::Reading;
    int total_ = 0;
    int percent_ = -1;
    std::string times_;  // " (0:12 of 0:30)" once a transfer has told them
    bool catchingInterrupt_ = false;
};

// A first line for work that keeps the phone busy before anything else
// shows ("Asking the phone for its operator list…"): on stderr at once when
// it is a terminal (or `onTerminal` says so), else nothing.
void announce(std::ostream& err, const std::string& utf8Line, std::optional<bool> onTerminal = {});

// Asks for a secret on the terminal with echo off ("PIN2: "); nothing when
// standard input is no terminal or ends.
std::optional<std::string> askHidden(std::ostream& err, const std::string& prompt);

}  // namespace vondrix::cli
