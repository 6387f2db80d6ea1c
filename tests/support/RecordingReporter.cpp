#include "support/RecordingReporter.h"

namespace vondrix::test {

Answer RecordingReporter::message(msg::Id id, Caption caption, Buttons buttons) {
    shown.push_back({id, caption, buttons, {}});
    if (!answers.empty()) {
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    switch (buttons) {
        case Buttons::YesNo:
            return Answer::Yes;
        case Buttons::RetryCancel:
            return Answer::Retry;
        case Buttons::Ok:
            break;
    }
    return Answer::Ok;
}

void RecordingReporter::text(const std::string& utf8Text, Caption caption) {
    shown.push_back({0, caption, Buttons::Ok, utf8Text});
}

std::optional<std::string> RecordingReporter::askPin2() {
    ++pin2Asked;
    if (pins.empty())
        return std::nullopt;
    auto p = pins.front();
    pins.pop_front();
    return p;
}

void RecordingReporter::progressBegin(Display display, int total, Task task) {
    tasks.push_back(task);
    progressDisplay = display;
    progressTotal = total;
    progressOpen = true;
}

void RecordingReporter::progressStep(int done) {
    progress.push_back(done);
}

void RecordingReporter::progressEnd() {
    progressOpen = false;
}

void RecordingReporter::progressTimes(int elapsedSeconds, int estimatedSeconds) {
    times.push_back({progress.empty() ? -1 : progress.back(), elapsedSeconds, estimatedSeconds});
}

bool RecordingReporter::cancelled() {
    return cancel && cancel();
}

std::vector<int> RecordingReporter::ids() const {
    std::vector<int> out;
    for (const auto& s : shown)
        out.push_back(s.id);
    return out;
}

}  // namespace vondrix::test
