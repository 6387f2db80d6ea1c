#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "foundation/Reporter.h"

namespace vondrix::test {

// A reporter for tests: records every message and answers from queues.
class RecordingReporter : public Reporter {
  public:
    struct Shown {
        int id;  // 0 for a free text
        Caption caption;
        Buttons buttons;
        std::string text;
    };

    Answer message(msg::Id id, Caption caption, Buttons buttons) override;
    void text(const std::string& utf8Text, Caption caption) override;
    std::optional<std::string> askPin2() override;
    void progressBegin(Display display, int total, Task task) override;
    void progressStep(int done) override;
    void progressEnd() override;
    void progressTimes(int elapsedSeconds, int estimatedSeconds) override;
    bool cancelled() override;

    std::vector<int> ids() const;

    std::vector<Shown> shown;
    std::deque<Answer> answers;                   // next answers; empty: Yes/Retry/Ok
    std::deque<std::optional<std::string>> pins;  // next PIN2 answers; empty: cancel
    int pin2Asked = 0;
    std::vector<int> progress;  // every progressStep value
    int progressTotal = -1;
    std::optional<Display> progressDisplay;
    std::vector<Task> tasks;  // every progressBegin task
    bool progressOpen = false;
    struct Times {
        int step;  // the progressStep value it came with
        int elapsed;
        int estimated;
    };
    std::vector<Times> times;      // every progressTimes
    std::function<bool()> cancel;  // answers cancelled(); empty: never cancelled
};

}  // namespace vondrix::test
