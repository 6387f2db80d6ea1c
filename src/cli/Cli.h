#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "app/IniFile.h"
#include "app/Language.h"
#include "app/Settings.h"
#include "app/Startup.h"

namespace vondrix::cli {

// Exit statuses of vondrix-cli.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNoLink = 3;

// What every command gets: the parsed global options and the settings read
// from the INI file. Text written to `out`/`err` is UTF-8.
struct CliContext {
    IniFile ini;
    Settings settings;
    Language language = Language::English;
    std::ostream& out;
    std::ostream& err;

    // Global options.
    std::string languageOverride;
    LinkOverride link;
    bool simulate = false;
    std::string simulateState;  // state file of the simulated phone ("" = demo contents)
    enum class Answers { Ask, Yes, No } answers = Answers::Ask;
};

// Runs `body` with the phone link open and reset, as the program starts up;
// closes everything afterwards. Returns body's status, or kExitNoLink.
int withPhone(CliContext& ctx, const std::function<int(Session&, Reporter&)>& body);

// Commands that talk to the phone.
int runInfoCommand(CliContext& ctx, const std::vector<std::string>& args);

// Commands that need no phone link. `args` are the words after the command
// name; each command handles its own "--help".
int runPduCommand(CliContext& ctx, const std::vector<std::string>& args);

}  // namespace vondrix::cli
