#pragma once

#include <functional>
#include <initializer_list>
#include <iosfwd>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/IniFile.h"
#include "foundation/Language.h"
#include "session/MainWindowSession.h"
#include "foundation/Settings.h"
#include "session/Startup.h"
#include "phonebook/PhonebookService.h"

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
    std::optional<std::string> pin2;  // --pin2: answers the PIN2 dialog
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

// A command's words: options with a value ("--NAME VALUE" or
// "--NAME=VALUE", the last of a repeated option wins), flags ("--NAME") and
// the other words in their order. "--" ends the options.
struct CommandLine {
    std::map<std::string, std::string> values;
    std::set<std::string> flags;
    std::vector<std::string> words;

    bool has(const std::string& flag) const { return flags.count(flag) != 0; }
    const std::string* value(const std::string& name) const;
};

// Reads `args` into `line`. Prints `usage` to stdout for "--help" and
// returns 0, or prints a usage error and returns 2; returns nothing when the
// command should go on.
std::optional<int> readCommandLine(CliContext& ctx, const char* command, const char* usage,
                                   const std::vector<std::string>& args,
                                   std::initializer_list<std::string_view> valued,
                                   std::initializer_list<std::string_view> flags,
                                   CommandLine& line);

// A location or position given on the command line: 1 to 999999.
std::optional<int> locationValue(const std::string& text);

// --- The phonebook window --------------------------------------------------

// Passes everything on to the run's reporter and keeps count of what tells
// the desktop program's silent failures apart: error messages, cancelled
// PIN2 dialogs, questions answered No.
class CountingReporter : public Reporter {
  public:
    struct Tally {
        int errors = 0;
        int pinsCancelled = 0;
        int declined = 0;
    };

    explicit CountingReporter(Reporter& inner) : inner_(inner) {}

    Answer message(int id, Caption caption, Buttons buttons) override {
        if (caption == Caption::Error)
            ++tally_.errors;
        const Answer answer = inner_.message(id, caption, buttons);
        if (answer == Answer::No || answer == Answer::Cancel)
            ++tally_.declined;
        return answer;
    }
    void text(const std::string& utf8Text, Caption caption) override {
        if (caption == Caption::Error)
            ++tally_.errors;
        inner_.text(utf8Text, caption);
    }
    std::optional<std::string> askPin2() override {
        auto pin = inner_.askPin2();
        if (!pin)
            ++tally_.pinsCancelled;
        return pin;
    }
    void progressBegin(int dialogId, int total) override { inner_.progressBegin(dialogId, total); }
    void progressStep(int done) override { inner_.progressStep(done); }
    void progressEnd() override { inner_.progressEnd(); }
    void pump() override { inner_.pump(); }

    Tally tally() const { return tally_; }

  private:
    Reporter& inner_;
    Tally tally_;
};

// What a command run from the phonebook window gets.
struct PhonebookWindow {
    CliContext& ctx;
    const char* command;  // as named in the command's own lines: "phonebook write"
    MainWindow& main;
    CountingReporter& reporter;
    phonebook::PhonebookModel& model;
    phonebook::PhonebookService& service;

    // "vondrix-cli COMMAND: text" on stderr; returns kExitFailed.
    int fail(const std::string& text) const;
    // The status of an operation that returned `ok`, judged by what was
    // shown since `before`: 0 only when it worked and showed no error. Where
    // the desktop program fails without a word (PIN2 dialog cancelled,
    // selection command refused), a line of our own says why.
    int status(bool ok, const CountingReporter::Tally& before) const;
    // That line for a refused selection of the current kind.
    int selectionRefused() const;
};

// Runs `body` as a command of the phonebook window: the main window's
// opening, the phonebook window's opening (PhonebookService::open), a
// switch to `kind` as the selector makes it, `body`, and the window's
// closing save of the current phonebook to Vondrix.phb. With `needsTable`
// a phonebook that could not be read ends the command with status 1. A
// table that was not read is never saved over its section of the file.
int withPhonebookWindow(CliContext& ctx, const char* command, phonebook::Kind kind, bool needsTable,
                        const std::function<int(PhonebookWindow&)>& body);

// "sim", "internal", "fixed".
std::optional<phonebook::Kind> kindFromName(const std::string& name);

// Commands that talk to the phone.
int runInfoCommand(CliContext& ctx, const std::vector<std::string>& args);
int runClockCommand(CliContext& ctx, const std::vector<std::string>& args);
int runOffCommand(CliContext& ctx, const std::vector<std::string>& args);
int runAudioCommand(CliContext& ctx, const std::vector<std::string>& args);
// The phonebook window's commands.
int runPhonebookCommand(CliContext& ctx, const std::vector<std::string>& args);
int runDialCommand(CliContext& ctx, const std::vector<std::string>& args);
int runRedialCommand(CliContext& ctx, const std::vector<std::string>& args);
int runHangupCommand(CliContext& ctx, const std::vector<std::string>& args);
int runCallsCommand(CliContext& ctx, const std::vector<std::string>& args);

// Commands that need no phone link. `args` are the words after the command
// name; each command handles its own "--help".
int runPduCommand(CliContext& ctx, const std::vector<std::string>& args);

}  // namespace vondrix::cli
