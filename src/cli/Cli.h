#pragma once

// vondrix-cli's shared pieces: the context every command gets, the one
// command table with a description per command, the one option reader, and
// the sessions a command asks for (a phone link, the main window, the
// phonebook window), opened before it runs and closed after.

#include <functional>
#include <iosfwd>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/ForwardingReporter.h"
#include "foundation/IniFile.h"
#include "foundation/Language.h"
#include "foundation/Settings.h"
#include "network/Network.h"
#include "organizer/Organizer.h"
#include "phonebook/Phonebook.h"
#include "session/MainWindowSession.h"
#include "session/PhonebookWindowSession.h"
#include "session/Startup.h"

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

// What a command needs opened before its work.
enum class Needs {
    Nothing,          // no phone (pdu)
    MainWindow,       // the link, the reset and the main window's opening and closing
    PhonebookWindow,  // that, plus the phonebook window's opening, --kind and its closing save
};

struct CommandEntry;

// A command's words: options with a value ("--NAME VALUE" or "--NAME=VALUE",
// the last of a repeated option wins), flags ("--NAME") and the other words
// in their order. "--" ends the options.
// A command asks only for the options its entry lists, as what they are
// (checked in debug builds): one it read but did not list could never be
// given.
struct CommandLine {
    std::map<std::string, std::string> values;
    std::set<std::string> flags;
    std::vector<std::string> words;
    const CommandEntry* entry = nullptr;  // whose options these are

    bool has(const std::string& flag) const;
    const std::string* value(const std::string& name) const;
};

// One run of a command: its context, its words, and once opened its sessions.
class Invocation {
  public:
    Invocation(CliContext& context, const CommandEntry& command, CommandLine words)
        : ctx(context), entry(command), line(std::move(words)) {}

    CliContext& ctx;
    const CommandEntry& entry;
    CommandLine line;

    // Set while withSession's body runs, as the command's Needs says.
    MainWindowSession* main = nullptr;
    PhonebookWindowSession* phonebook = nullptr;
    CountingReporter* reporter = nullptr;
    phonebook::Kind kind = phonebook::Kind::Sim;  // --kind of phonebook commands

    // Opens what the command needs, runs `body`, closes it all again;
    // body's status, or kExitNoLink when the phone could not be reached.
    int withSession(const std::function<int()>& body);

    // "vondrix-cli COMMAND: message" and a hint to --help; returns 2.
    int usageError(const std::string& message) const;
    // "vondrix-cli COMMAND: text" on stderr; returns 1.
    int fail(const std::string& text) const;
    // The status of an operation that returned `ok`, judged by what was
    // shown since `before`: 0 only when it worked and showed no error.
    // Where the desktop program fails without a word (PIN2 dialog
    // cancelled, selection command refused), a line of our own says why.
    int status(bool ok, const CountingReporter::Tally& before) const;
    // Whether an error message was shown since `before`: it said why.
    bool errorShownSince(const CountingReporter::Tally& before) const {
        return reporter->tally().errors != before.errors;
    }
    // That line for a refused selection of the current phonebook kind.
    int selectionRefused() const;
    // The phonebook model (PhonebookWindow commands).
    phonebook::PhonebookModel& model() const { return phonebook->model(); }
    phonebook::PhonebookWriter& writer() const { return phonebook->writer(); }
    phonebook::CallService& calls() const { return phonebook->calls(); }
};

// One option of a command: the option reader takes it; the help, the
// manual page and the completion list it.
struct CommandOption {
    const char* name;   // "--days"
    const char* value;  // the value's name ("N", "csv|xml"); "" for a flag
    const char* text;   // what it does: one line, wrapped by the help
    // The usage line shows it as the alternative of the option before it:
    // "[--log | --no-log]".
    bool orBefore = false;
};

struct CommandEntry {
    const char* name;     // the words that name it: "info", "phonebook read"
    const char* summary;  // one line of the overall help ("" for a subcommand)
    // The usage lines, each as the words after the name: the arguments, and
    // the options a form needs first ("--to NUMBER|NAME TEXT"); the help
    // puts the other options in brackets between the two. No line: the
    // entry shows only those of the entries that share its help.
    std::vector<const char*> forms;
    // The help after the usage lines; its options go before the paragraph
    // that begins with "Exit status:". Entries with one help text (a
    // family and its subcommands) show every one's usage lines and options.
    const char* help;
    std::vector<CommandOption> options;
    std::size_t minWords = 0, maxWords = 0;
    Needs needs = Needs::Nothing;
    // PhonebookWindow only: the phonebook must have been read, else status 1.
    bool needsTable = true;
    int (*run)(Invocation&) = nullptr;

    // The option of that name, or null when the command takes none so named.
    const CommandOption* option(std::string_view optionName) const;
};

// The command table: every family adds its descriptions.
const std::vector<CommandEntry>& commandTable();
std::vector<CommandEntry> deviceCommands();
std::vector<CommandEntry> phonebookCommands();
std::vector<CommandEntry> callCommands();
std::vector<CommandEntry> pduCommands();
std::vector<CommandEntry> mediaCommands();
std::vector<CommandEntry> organizerCommands();
std::vector<CommandEntry> networkCommands();  // net, forward, barring
std::vector<CommandEntry> smsCommands();
std::vector<CommandEntry> backupCommands();  // backup, restore

// The global options, as the help, the manual and the completion list them.
struct GlobalOption {
    const char* name;   // "--device"; "--yes, --no" for a pair
    const char* value;  // "PATH"; "[=FILE]" for an optional value; "" for a flag
    const char* text;   // lines after the first are indented under it
    bool link;          // one of the link options
};
const std::vector<GlobalOption>& globalOptions();

// What `COMMAND --help` prints: the usage lines, the description, the
// options and the exit status, written from the entry (and the entries that
// share its help).
std::string helpText(const CommandEntry& entry);

// The manual page vondrix-cli(1) (roff) and the bash completion script,
// written from the command table and the global options (--man,
// --completion bash: run at build time).
std::string manPage();
std::string bashCompletion();

// Reads `args`, the words after the command's name, as its options and
// words. Prints the help for "--help" (status 0) or a usage error (status
// 2); nothing when the command should go on.
std::optional<int> readCommandLine(CliContext& ctx, const CommandEntry& entry,
                                   const std::vector<std::string>& args, CommandLine& line);

// Finds the command named by the first words of `args` (the longest name
// wins) and runs it: --help, the one option reader, the word count, then
// the command. A family name without a subcommand ("phonebook") prints the
// family's help.
int runCommand(CliContext& ctx, const std::vector<std::string>& args);

// --- Values: the one set of validators ------------------------------------

// A location or position: 1 to 999999.
std::optional<int> locationValue(const std::string& text);
// A whole number from lo to hi.
std::optional<int> numberInRange(const std::string& text, int lo, int hi);
// A language code of --lang: de en es fr it nl no pt.
std::optional<Language> languageValue(const std::string& code);
// "on" (true) or "off" (false).
std::optional<bool> onOffValue(const std::string& text);
// "sim", "internal", "fixed".
std::optional<phonebook::Kind> kindValue(const std::string& name);
// A number as the phone stores it (digits, '*', '#', p, w, '+' first).
bool isNumberValue(const std::string& text);
// A text that may stand between quotes in a command (see at::isQuotable).
bool isQuotableValue(const std::string& text);
// What the phone may dial (see at::isDialString).
bool isDialValue(const std::string& text);
// A number a message's address field can carry: 1 to 20 digits, '+' first.
bool isAddressValue(std::string_view text);
// A calendar day "YYYY-MM-DD" (years 1601 to 9999, real days only).
std::optional<organizer::Date> dateValue(const std::string& text);
// A time of day "HH:MM" (00:00 to 23:59).
std::optional<organizer::TimeOfDay> timeValue(const std::string& text);
// An operator code: MCC and MNC as one number, 10000 to 999999.
std::optional<int> operatorCodeValue(const std::string& text);
// "always", "busy", "no-answer", "not-available", or 0 to 3.
std::optional<network::ForwardReason> forwardReasonValue(const std::string& text);
// "all", or a comma list of "voice", "data", "fax": the class boxes ticked.
std::optional<network::ClassTicks> classListValue(const std::string& text);
// A facility code of the barring window (CS, PS, SC, FD, AO, OI, OX, AI, IR;
// any case): its index.
std::optional<std::size_t> facilityValue(const std::string& text);
// A barring password: 1 to 9 digits.
bool isBarringPasswordValue(const std::string& text);

// A text of the PC character set as one line of UTF-8 output: a backslash,
// CR, LF and the other control characters as \\, \r, \n and \xHH.
std::string escapedText(std::string_view latin1);

// The ring tone and audio lines of the main window, as 'Label: value'; the
// ranges lines only with `withRanges`.
void printAudioState(std::ostream& out, const AudioState& audio, bool withRanges);

}  // namespace vondrix::cli
