#include "cli/Console.h"

#include <termios.h>
#include <unistd.h>

#include <csignal>

namespace vondrix::cli::console {
namespace {

volatile std::sig_atomic_t interruptSeen = 0;
void (*previousInterrupt)(int) = nullptr;

void onInterrupt(int) {
    interruptSeen = 1;
}

}  // namespace

void setUp() {}

std::vector<std::string> arguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

bool inputIsTerminal() {
    return ::isatty(STDIN_FILENO) != 0;
}

bool errorIsTerminal() {
    return ::isatty(STDERR_FILENO) != 0;
}

bool catchInterrupt() {
    interruptSeen = 0;
    previousInterrupt = std::signal(SIGINT, onInterrupt);
    return previousInterrupt != SIG_ERR;
}

void releaseInterrupt() {
    std::signal(SIGINT, previousInterrupt);
}

bool interrupted() {
    return interruptSeen != 0;
}

struct EchoOff::Saved {
    termios old{};
};

EchoOff::EchoOff() {
    termios old{};
    if (::tcgetattr(STDIN_FILENO, &old) != 0)
        return;
    saved_ = std::make_unique<Saved>(Saved{old});
    termios quiet = old;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    ::tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
}

EchoOff::~EchoOff() {
    if (saved_)
        ::tcsetattr(STDIN_FILENO, TCSANOW, &saved_->old);
}

}  // namespace vondrix::cli::console
