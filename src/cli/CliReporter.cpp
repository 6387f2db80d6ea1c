#include "cli/CliReporter.h"

#include <termios.h>
#include <unistd.h>

#include <iostream>

#include "foundation/Catalogue.h"

namespace vondrix::cli {

Answer CliReporter::message(int id, Caption caption, Buttons buttons) {
    const std::string text(catalogueText(id, language_));
    if (caption == Caption::Error) ++errorsShown_;
    if (buttons == Buttons::Ok) {
        err_ << captionText(caption) << ": " << text << '\n';
        err_.flush();
        return Answer::Ok;
    }
    const bool yes = askYes(std::string(captionText(caption)) + ": " + text);
    if (buttons == Buttons::RetryCancel) return yes ? Answer::Retry : Answer::Cancel;
    return yes ? Answer::Yes : Answer::No;
}

void CliReporter::text(const std::string& utf8Text, Caption caption) {
    if (caption == Caption::Error) ++errorsShown_;
    err_ << captionText(caption) << ": " << utf8Text << '\n';
    err_.flush();
}

bool CliReporter::askYes(const std::string& question) {
    if (policy_ != Policy::Ask) {
        err_ << question << (policy_ == Policy::Yes ? " [yes]" : " [no]") << '\n';
        return policy_ == Policy::Yes;
    }
    if (!::isatty(STDIN_FILENO)) {
        err_ << question << " [no: no terminal to ask]" << '\n';
        return false;
    }
    err_ << question << " [y/N] ";
    err_.flush();
    std::string line;
    if (!std::getline(std::cin, line)) return false;
    return !line.empty() && (line[0] == 'y' || line[0] == 'Y' || line[0] == 'j' || line[0] == 'J');
}

std::optional<std::string> CliReporter::askPin2() {
    if (pin2_) return pin2_;
    if (!::isatty(STDIN_FILENO)) return std::nullopt;  // no terminal: like Cancel
    err_ << "PIN2: ";
    err_.flush();
    termios old{};
    const bool haveTermios = ::tcgetattr(STDIN_FILENO, &old) == 0;
    if (haveTermios) {
        termios quiet = old;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    std::string pin;
    const bool got = static_cast<bool>(std::getline(std::cin, pin));
    if (haveTermios) ::tcsetattr(STDIN_FILENO, TCSANOW, &old);
    err_ << '\n';
    if (!got) return std::nullopt;
    return pin;
}

void CliReporter::progressBegin(int, int total) {
    progressTotal_ = total;
    progressOnTerminal_ = ::isatty(STDERR_FILENO) != 0;
}

void CliReporter::progressStep(int done) {
    if (!progressOnTerminal_) return;
    err_ << '\r' << done << '/' << progressTotal_;
    err_.flush();
}

void CliReporter::progressEnd() {
    if (progressOnTerminal_) err_ << '\n';
    progressOnTerminal_ = false;
}

}  // namespace vondrix::cli
