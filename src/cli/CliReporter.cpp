#include "cli/CliReporter.h"

#include <algorithm>
#include <iostream>

#include "cli/Console.h"
#include "foundation/Catalogue.h"

namespace vondrix::cli {

namespace {

std::string clockText(int seconds) {
    const int s = seconds % 60;
    return std::to_string(seconds / 60) + (s < 10 ? ":0" : ":") + std::to_string(s);
}

}  // namespace

Answer CliReporter::message(msg::Id id, Caption caption, Buttons buttons) {
    clearProgress();  // a message never shares its line with the progress
    const std::string text(catalogueText(id, language_));
    if (buttons == Buttons::Ok) {
        err_ << captionText(caption) << ": " << text << '\n';
        err_.flush();
        drawProgress();
        return Answer::Ok;
    }
    const bool yes = askYes(std::string(captionText(caption)) + ": " + text);
    drawProgress();
    if (buttons == Buttons::RetryCancel)
        return yes ? Answer::Retry : Answer::Cancel;
    return yes ? Answer::Yes : Answer::No;
}

void CliReporter::text(const std::string& utf8Text, Caption caption) {
    clearProgress();
    err_ << captionText(caption) << ": " << utf8Text << '\n';
    err_.flush();
    drawProgress();
}
bool CliReporter::askYes(const std::string& question) {
    if (policy_ != Policy::Ask) {
        err_ << question << (policy_ == Policy::Yes ? " [yes]" : " [no]") << '\n';
        return policy_ == Policy::Yes;
    }
    if (!console::inputIsTerminal()) {
        err_ << question << " [no: no terminal to ask]" << '\n';
        return false;
    }
    err_ << question << " [y/N] ";
    err_.flush();
    std::string line;
    if (!std::getline(std::cin, line))
        return false;
    return !line.empty() && (line[0] == 'y' || line[0] == 'Y' || line[0] == 'j' || line[0] == 'J');
}

std::optional<std::string> CliReporter::askPin2() {
    if (pin2_)
        return pin2_;
    clearProgress();
    return askHidden(err_, "PIN2: ");
}

void announce(std::ostream& err, const std::string& utf8Line, std::optional<bool> onTerminal) {
    if (!onTerminal.value_or(console::errorIsTerminal()))
        return;
    err << utf8Line << '\n';
    err.flush();
}

std::optional<std::string> askHidden(std::ostream& err, const std::string& prompt) {
    if (!console::inputIsTerminal())
        return std::nullopt;  // no terminal: like Cancel
    err << prompt;
    err.flush();
    std::string secret;
    bool got = false;
    {
        const console::EchoOff hidden;
        got = static_cast<bool>(std::getline(std::cin, secret));
    }
    err << '\n';
    if (!got)
        return std::nullopt;
    return secret;
}

std::string CliReporter::progressLine(Task task, int percent) {
    const char* what = "Working";
    switch (task) {
        case Task::Reading:
            what = "Reading";
            break;
        case Task::ReadingSim:
            what = "Reading the SIM phonebook";
            break;
        case Task::ReadingInternal:
            what = "Reading the phone's phonebook";
            break;
        case Task::ReadingFixed:
            what = "Reading the fixed dialling numbers";
            break;
        case Task::ReadingOwnNumbers:
            what = "Reading the own numbers";
            break;
        case Task::ReadingRedbook:
            what = "Reading the Redbook";
            break;
        case Task::ReadingCallLists:
            what = "Reading the call lists";
            break;
        case Task::ReadingMessages:
            what = "Reading the messages";
            break;
        case Task::ReadingOrganizer:
            what = "Reading the organizer";
            break;
        case Task::Sending:
            what = "Sending";
            break;
        case Task::Transferring:
            what = "Transferring";
            break;
        case Task::Writing:
            what = "Writing";
            break;
    }
    return std::string(what) + "\u2026 " + std::to_string(percent) + "%";
}

void CliReporter::progressBegin(Display display, int total, Task task) {
    progressActive_ = forceProgress_ || console::errorIsTerminal();
    task_ = task;
    total_ = total;
    percent_ = 0;
    times_.clear();
    if (display == Display::Transfer && !catchingInterrupt_)
        catchingInterrupt_ = console::catchInterrupt();
    drawProgress();
}

void CliReporter::progressTimes(int elapsedSeconds, int estimatedSeconds) {
    times_ = " (" + clockText(elapsedSeconds) + " of " + clockText(estimatedSeconds) + ")";
    drawProgress();
}

bool CliReporter::cancelled() {
    return catchingInterrupt_ && console::interrupted();
}

void CliReporter::progressStep(int done) {
    if (!progressActive_)
        return;
    const long long percent = total_ > 0 ? 100LL * done / total_ : 0;
    const int clamped = static_cast<int>(std::clamp(percent, 0LL, 100LL));
    // The readers close with a step back to 0; the line keeps what was reached.
    if (clamped <= percent_)
        return;
    percent_ = clamped;
    drawProgress();
}

void CliReporter::progressEnd() {
    clearProgress();
    progressActive_ = false;
    if (catchingInterrupt_) {
        console::releaseInterrupt();
        catchingInterrupt_ = false;
    }
}

void CliReporter::drawProgress() {
    if (!progressActive_)
        return;
    // "\r" and erase-line, so that a shorter text leaves nothing behind.
    err_ << "\r\033[K" << progressLine(task_, percent_) << times_;
    err_.flush();
    progressShown_ = true;
}

void CliReporter::clearProgress() {
    if (!progressShown_)
        return;
    err_ << "\r\033[K";
    err_.flush();
    progressShown_ = false;
}

}  // namespace vondrix::cli
