#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "foundation/Language.h"
#include "foundation/Reporter.h"

namespace vondrix::cli {

// Messages go to stderr as "Caption: text" in the run's language; questions
// are answered by --yes/--no, else asked on the terminal, else answered No.
class CliReporter : public Reporter {
public:
    enum class Policy { Ask, Yes, No };

    CliReporter(Language language, std::ostream& err, Policy policy)
        : language_(language), err_(err), policy_(policy) {}

    Answer message(int id, Caption caption, Buttons buttons) override;
    void text(const std::string& utf8Text, Caption caption) override;
    std::optional<std::string> askPin2() override;
    void progressBegin(int dialogId, int total) override;
    void progressStep(int done) override;
    void progressEnd() override;

    void setPin2(std::optional<std::string> pin) { pin2_ = std::move(pin); }
    int errorsShown() const { return errorsShown_; }

private:
    bool askYes(const std::string& question);

    Language language_;
    std::ostream& err_;
    Policy policy_;
    std::optional<std::string> pin2_;
    int errorsShown_ = 0;
    int progressTotal_ = 0;
    bool progressOnTerminal_ = false;
};

}  // namespace vondrix::cli
