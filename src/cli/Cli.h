#pragma once

#include <functional>
#include <initializer_list>
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/IniFile.h"
#include "app/Language.h"
#include "app/MainWindowModel.h"
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

// What a command run from the main window gets: the link, the reporter and the
// fields the window's opening traffic filled.
struct MainWindow {
    Session& session;
    Reporter& reporter;
    MainWindowState state;
    // Cleared by a command after which the phone no longer listens (switched
    // off), so that the closing traffic is not sent into the void.
    bool phoneListens = true;
};

// Runs `body` as a press of a main-window button: link open and reset, the
// window's opening traffic, `body`, then the closing traffic of the window's
// close box. Returns body's status, or kExitNoLink.
int withMainWindow(CliContext& ctx, const std::function<int(MainWindow&)>& body);

// The close box's traffic: with SMSstat on, message routing back to
// "AT+CNMI=1,0,0,0" (the opening set status reports to be routed).
void closeMainWindow(Session& session);

// The ring tone and audio lines of the main window, as 'Label: value'; the
// ranges lines only with `withRanges`.
void printAudioState(std::ostream& out, const AudioState& audio, bool withRanges);

// Reads a phone command's words: "--help", and "--NAME VALUE" or
// "--NAME=VALUE" for each NAME in `valued` (the last of a repeated option
// wins) into `values`. Prints `usage` to stdout for "--help" and returns 0,
// or prints a usage error and returns 2; returns nothing when the command
// should go on.
std::optional<int> readCommandOptions(CliContext& ctx, const char* command, const char* usage,
                                      const std::vector<std::string>& args,
                                      std::initializer_list<std::string_view> valued,
                                      std::map<std::string, std::string>& values);

// Prints "vondrix-cli COMMAND: message" and a hint to --help; returns 2.
int commandUsageError(CliContext& ctx, const char* command, const std::string& message);

// Commands that talk to the phone.
int runInfoCommand(CliContext& ctx, const std::vector<std::string>& args);
int runClockCommand(CliContext& ctx, const std::vector<std::string>& args);
int runOffCommand(CliContext& ctx, const std::vector<std::string>& args);
int runAudioCommand(CliContext& ctx, const std::vector<std::string>& args);

// Commands that need no phone link. `args` are the words after the command
// name; each command handles its own "--help".
int runPduCommand(CliContext& ctx, const std::vector<std::string>& args);

}  // namespace vondrix::cli
