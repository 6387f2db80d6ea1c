#pragma once

#include "foundation/Reporter.h"

namespace vondrix {

// Passes everything on to another reporter; a subclass overrides only what
// it wants to watch or change (count the errors, answer a question).
class ForwardingReporter : public Reporter {
  public:
    explicit ForwardingReporter(Reporter& inner) : inner_(inner) {}

    Answer message(msg::Id id, Caption caption, Buttons buttons) override {
        return inner_.message(id, caption, buttons);
    }
    void text(const std::string& utf8Text, Caption caption) override {
        inner_.text(utf8Text, caption);
    }
    std::optional<std::string> askPin2() override { return inner_.askPin2(); }
    void progressBegin(Display display, int total, Task task) override {
        inner_.progressBegin(display, total, task);
    }
    void progressStep(int done) override { inner_.progressStep(done); }
    void progressEnd() override { inner_.progressEnd(); }
    void progressTimes(int elapsedSeconds, int estimatedSeconds) override {
        inner_.progressTimes(elapsedSeconds, estimatedSeconds);
    }
    bool cancelled() override { return inner_.cancelled(); }
    void pump() override { inner_.pump(); }

  protected:
    Reporter& inner() { return inner_; }

  private:
    Reporter& inner_;
};

// Forwards everything and counts what tells a failure apart where the
// operation itself only shows a message: error messages, cancelled PIN2
// questions, questions answered No or Cancel.
class CountingReporter : public ForwardingReporter {
  public:
    struct Tally {
        int errors = 0;
        int pinsCancelled = 0;
        int declined = 0;
    };

    using ForwardingReporter::ForwardingReporter;

    Answer message(msg::Id id, Caption caption, Buttons buttons) override {
        if (caption == Caption::Error)
            ++tally_.errors;
        const Answer answer = ForwardingReporter::message(id, caption, buttons);
        if (answer == Answer::No || answer == Answer::Cancel)
            ++tally_.declined;
        return answer;
    }
    void text(const std::string& utf8Text, Caption caption) override {
        if (caption == Caption::Error)
            ++tally_.errors;
        ForwardingReporter::text(utf8Text, caption);
    }
    std::optional<std::string> askPin2() override {
        auto pin = ForwardingReporter::askPin2();
        if (!pin)
            ++tally_.pinsCancelled;
        return pin;
    }

    Tally tally() const { return tally_; }

  private:
    Tally tally_;
};

}  // namespace vondrix
