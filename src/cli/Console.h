#pragma once

// The terminal the command line runs in: the calls that differ between a
// POSIX terminal and the Windows console (ConsolePosix.cpp,
// ConsoleWin32.cpp). Everything else writes to the streams as usual.

#include <memory>
#include <string>
#include <vector>

namespace vondrix::cli::console {

// Called first in main. On Windows the console then reads and writes UTF-8
// and takes the progress line's control sequences, and standard output and
// error pass every byte unchanged ("\n" stays "\n", as on Linux); the code
// pages and modes are put back when the program ends. Nothing on POSIX.
void setUp();

// The program's arguments in UTF-8, the program's name first (on Windows
// from the wide command line, since argv has the system's code page).
std::vector<std::string> arguments(int argc, char** argv);

// Standard input is a terminal to ask on.
bool inputIsTerminal();
// Standard error is a terminal that shows the progress line ("\r" and
// erase-line); on a Windows console too old for that, false.
bool errorIsTerminal();

// Ctrl-C during a transfer: between catchInterrupt() (false when Ctrl-C
// cannot be caught) and releaseInterrupt(), Ctrl-C sets interrupted()
// instead of ending the program; released, it ends the program again.
bool catchInterrupt();
void releaseInterrupt();
bool interrupted();

// While one lives, what is typed on the terminal is not shown (a secret).
class EchoOff {
  public:
    EchoOff();
    ~EchoOff();
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

  private:
    struct Saved;
    std::unique_ptr<Saved> saved_;  // empty when the echo was left alone
};

}  // namespace vondrix::cli::console
