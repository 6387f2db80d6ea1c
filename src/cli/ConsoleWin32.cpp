#include "cli/Console.h"

#include <windows.h>
// shellapi.h needs windows.h before it.
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "files/WideText.h"

namespace vondrix::cli::console {
namespace {

std::atomic<bool> interruptSeen{false};
constexpr DWORD kSequences = 0x0004;  // ENABLE_VIRTUAL_TERMINAL_PROCESSING

// What setUp changed, put back at the end so that the console the user
// goes on with is as it was.
struct Before {
    UINT outputCp = 0;
    UINT inputCp = 0;
    DWORD outputMode = 0;
    DWORD errorMode = 0;
    bool outputModeSet = false;
    bool errorModeSet = false;
};
Before before;

void restore() {
    if (before.outputModeSet)
        ::SetConsoleMode(::GetStdHandle(STD_OUTPUT_HANDLE), before.outputMode);
    if (before.errorModeSet)
        ::SetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), before.errorMode);
    if (before.outputCp)
        ::SetConsoleOutputCP(before.outputCp);
    if (before.inputCp)
        ::SetConsoleCP(before.inputCp);
}

// Lets a console take "\r" with the erase-line sequence (Windows 10 and
// later); an older console refuses it.
void sequencesOn(DWORD handleId, DWORD& mode, bool& changed) {
    const HANDLE h = ::GetStdHandle(handleId);
    if (::GetConsoleMode(h, &mode) && (mode & kSequences) == 0)
        changed = ::SetConsoleMode(h, mode | kSequences) != 0;
}

BOOL WINAPI onControl(DWORD event) {
    if (event != CTRL_C_EVENT)
        return FALSE;  // the others end the program as before
    interruptSeen = true;
    return TRUE;
}

}  // namespace

void setUp() {
    before.outputCp = ::GetConsoleOutputCP();
    before.inputCp = ::GetConsoleCP();
    if (before.outputCp)
        ::SetConsoleOutputCP(CP_UTF8);
    if (before.inputCp)
        ::SetConsoleCP(CP_UTF8);
    sequencesOn(STD_OUTPUT_HANDLE, before.outputMode, before.outputModeSet);
    sequencesOn(STD_ERROR_HANDLE, before.errorMode, before.errorModeSet);
    std::atexit(restore);
    // The bytes as written: the program's output is the same as on Linux,
    // whether it goes to the console, a pipe or a file. Standard input stays
    // in text mode, so that an answer typed ends at "\n" without its "\r".
    std::fflush(stdout);
    std::fflush(stderr);
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
}

std::vector<std::string> arguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!wide)
        return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> args;
    for (int i = 0; i < count; ++i)
        args.push_back(files::utf8Text(wide[i]));
    ::LocalFree(wide);
    return args;
}

bool inputIsTerminal() {
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

bool errorIsTerminal() {
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &mode) && (mode & kSequences) != 0;
}

bool catchInterrupt() {
    interruptSeen = false;
    return ::SetConsoleCtrlHandler(onControl, TRUE) != 0;
}

void releaseInterrupt() {
    ::SetConsoleCtrlHandler(onControl, FALSE);
}

bool interrupted() {
    return interruptSeen;
}

struct EchoOff::Saved {
    DWORD mode = 0;
};

EchoOff::EchoOff() {
    const HANDLE in = ::GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (!::GetConsoleMode(in, &mode))
        return;
    saved_ = std::make_unique<Saved>(Saved{mode});
    ::SetConsoleMode(in, mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
}

EchoOff::~EchoOff() {
    if (saved_)
        ::SetConsoleMode(::GetStdHandle(STD_INPUT_HANDLE), saved_->mode);
}

}  // namespace vondrix::cli::console
