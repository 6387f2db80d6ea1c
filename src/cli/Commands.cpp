// The command table, the one option reader, the validators and the
// sessions a command runs in.

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <variant>

#include "cli/Cli.h"
#include "cli/CliReporter.h"
#include "link/Command.h"
#include "phonesim/Startup.h"
#include "text/Latin1.h"

namespace vondrix::cli {

namespace {

std::vector<std::string> wordsOf(const char* text) {
    std::vector<std::string> words;
    std::string_view rest(text);
    while (!rest.empty()) {
        const auto blank = rest.find(' ');
        if (blank != 0)
            words.emplace_back(rest.substr(0, blank));
        rest = blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
    }
    return words;
}

// The names of a command's words as its usage lines give them, options and
// their values left out: "--to NUMBER|NAME TEXT" names TEXT.
std::vector<std::string> wordNames(const CommandEntry& entry) {
    std::vector<std::string> names;
    for (const char* form : entry.forms) {
        int depth = 0;  // inside [...] or (...)
        bool optionValue = false;
        for (const std::string& word : wordsOf(form)) {
            const bool opens = word.front() == '[' || word.front() == '(';
            const bool closes = word.back() == ']' || word.back() == ')';
            const bool value = optionValue;
            const CommandOption* option = entry.option(word);
            optionValue = depth == 0 && option != nullptr && *option->value != '\0';
            if (opens || depth > 0) {
                depth += (opens ? 1 : 0) - (closes ? 1 : 0);
                continue;
            }
            if (!value && !word.starts_with("--"))
                names.emplace_back(word.substr(0, word.find("...")));  // "INDEX..." names INDEX
        }
    }
    return names;
}

// "missing TEXT", or "missing K and TEXT": the words not given.
std::string missingWords(const CommandEntry& entry, std::size_t given) {
    const std::vector<std::string> names = wordNames(entry);
    if (names.size() < entry.minWords)
        return "missing argument";
    std::string text = "missing ";
    for (std::size_t i = given; i < entry.minWords; ++i)
        text += (i == given ? "" : i + 1 == entry.minWords ? " and " : ", ") + names[i];
    return text;
}

}  // namespace

std::optional<int> readCommandLine(CliContext& ctx, const CommandEntry& entry,
                                   const std::vector<std::string>& args, CommandLine& line) {
    const auto usageError = [&](const std::string& message) {
        ctx.err << "vondrix-cli " << entry.name << ": " << message << "\n"
                << "Try 'vondrix-cli " << entry.name << " --help'.\n";
        return kExitUsage;
    };
    line.entry = &entry;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnded || !a.starts_with("--")) {
            line.words.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
            continue;
        }
        if (a == "--help") {
            ctx.out << helpText(entry);
            return kExitOk;
        }
        const auto eq = a.find('=');
        const std::string name = a.substr(0, eq);
        const CommandOption* option = entry.option(name);
        if (option == nullptr) {
            return usageError("unknown option " + name);
        } else if (*option->value == '\0') {
            if (eq != std::string::npos)
                return usageError(name + " takes no value");
            line.flags.insert(name);
        } else if (eq != std::string::npos) {
            line.values[name] = a.substr(eq + 1);
        } else if (i + 1 < args.size()) {
            line.values[name] = args[++i];
        } else {
            return usageError(name + " needs a value");
        }
    }
    if (line.words.size() < entry.minWords)
        return usageError(missingWords(entry, line.words.size()));
    if (line.words.size() > entry.maxWords) {
        return usageError(entry.maxWords == 0 ? "unexpected argument '" + line.words.front() + "'"
                                              : "too many arguments");
    }
    return std::nullopt;
}

namespace {

CliReporter::Policy policyOf(CliContext::Answers answers) {
    switch (answers) {
        case CliContext::Answers::Yes:
            return CliReporter::Policy::Yes;
        case CliContext::Answers::No:
            return CliReporter::Policy::No;
        case CliContext::Answers::Ask:
            break;
    }
    return CliReporter::Policy::Ask;
}

// The link open and the phone reset, as the program starts up; `body` runs
// with the session; everything is closed afterwards.
int withPhone(CliContext& ctx, const std::function<int(Session&, Reporter&)>& body) {
    CliReporter reporter(ctx.language, ctx.err, policyOf(ctx.answers));
    reporter.setPin2(ctx.pin2);
    StartupOptions options;
    options.link = ctx.link;
    options.languageOverride = ctx.languageOverride;

    // The simulated phone runs in this process behind a real pty, so the
    // real serial path is exercised; it needs no settling pauses. Where the
    // system has no ptys it listens on the loopback instead.
    std::optional<phonesim::RunningPhone> sim;
    if (ctx.simulate) {
        auto started = phonesim::startInProcessPhone(ctx.simulateState);
        if (const auto* failure = std::get_if<phonesim::StartFailure>(&started)) {
            // A state file the user named that is no phone's contents is
            // given wrong, like an option; a phone that cannot serve is none.
            if (failure->kind == phonesim::StartFailure::Kind::StateFile) {
                ctx.err << "vondrix-cli: cannot load simulated phone " << ctx.simulateState << ": "
                        << failure->message << '\n';
                return kExitUsage;
            }
            ctx.err << "vondrix-cli: cannot start the simulated phone: " << failure->message
                    << '\n';
            return kExitNoLink;
        }
        sim.emplace(std::move(std::get<phonesim::RunningPhone>(started)));
        useSimulatedPhone(options, sim->device(), phonesim::kInProcessHost, sim->port());
    }
    // With VONDRIX_VERBOSE the unsolicited codes the phone slipped into its
    // replies are shown as they are set aside (control bytes as '?').
    if (const char* verbose = std::getenv("VONDRIX_VERBOSE");
        verbose && *verbose && std::string_view(verbose) != "0")
        options.unsolicitedWatcher = [&err = ctx.err](std::string_view code) {
            std::string shown(code);
            for (char& c : shown)
                if (static_cast<unsigned char>(c) < 0x20 || c == '\x7f')
                    c = c == '\n' ? ' ' : '?';
            err << "vondrix-cli: unsolicited result code set aside: " << latin1ToUtf8(shown)
                << '\n';
        };

    Session session(ctx.ini.path());
    switch (startUp(session, reporter, options)) {
        case StartupResult::Ready:
            break;
        case StartupResult::NoPortChosen:
            ctx.err
                << "vondrix-cli: no port chosen: use --device, --tcp or --simulate, or set Port "
                   "or Device in "
                << ctx.ini.path() << '\n';
            return kExitNoLink;
        case StartupResult::NoLink:
        case StartupResult::ResetFailed:
            shutDown(session);
            return kExitNoLink;
    }
    const int status = body(session, reporter);
    shutDown(session);
    if (sim && !sim->stopAndSave())
        ctx.err << "vondrix-cli: cannot save " << ctx.simulateState << '\n';
    return status;
}

}  // namespace

bool CommandLine::has(const std::string& flag) const {
    assert(!entry || (entry->option(flag) && *entry->option(flag)->value == '\0'));
    return flags.count(flag) != 0;
}

const std::string* CommandLine::value(const std::string& name) const {
    assert(!entry || (entry->option(name) && *entry->option(name)->value != '\0'));
    const auto it = values.find(name);
    return it == values.end() ? nullptr : &it->second;
}

const CommandOption* CommandEntry::option(std::string_view optionName) const {
    for (const CommandOption& o : options) {
        if (o.name == optionName)
            return &o;
    }
    return nullptr;
}

const std::vector<CommandEntry>& commandTable() {
    static const std::vector<CommandEntry> table = [] {
        std::vector<CommandEntry> all;
        for (auto family :
             {deviceCommands, phonebookCommands, callCommands, pduCommands, mediaCommands,
              organizerCommands, networkCommands, smsCommands, backupCommands}) {
            auto entries = family();
            all.insert(all.end(), entries.begin(), entries.end());
        }
        return all;
    }();
    return table;
}

int runCommand(CliContext& ctx, const std::vector<std::string>& args) {
    const CommandEntry* found = nullptr;
    std::size_t foundWords = 0;
    for (const CommandEntry& entry : commandTable()) {
        const auto words = wordsOf(entry.name);
        if (words.size() <= foundWords || words.size() > args.size())
            continue;
        if (std::equal(words.begin(), words.end(), args.begin())) {
            found = &entry;
            foundWords = words.size();
        }
    }
    if (!found)
        return -1;  // the caller names the unknown command
    const std::vector<std::string> rest(args.begin() + static_cast<std::ptrdiff_t>(foundWords),
                                        args.end());
    CommandLine line;
    if (const auto status = readCommandLine(ctx, *found, rest, line))
        return *status;
    Invocation invocation(ctx, *found, std::move(line));
    if (found->needs == Needs::PhonebookWindow && found->option("--kind")) {
        if (const std::string* name = invocation.line.value("--kind")) {
            const auto kind = kindValue(*name);
            if (!kind)
                return invocation.usageError("--kind needs sim, internal or fixed");
            invocation.kind = *kind;
        }
    }
    return found->run(invocation);
}

int Invocation::usageError(const std::string& message) const {
    ctx.err << "vondrix-cli " << entry.name << ": " << message << "\n"
            << "Try 'vondrix-cli " << entry.name << " --help'.\n";
    return kExitUsage;
}

int Invocation::fail(const std::string& text) const {
    ctx.err << "vondrix-cli " << entry.name << ": " << text << '\n';
    ctx.err.flush();
    return kExitFailed;
}

int Invocation::status(bool ok, const CountingReporter::Tally& before) const {
    const CountingReporter::Tally now = reporter->tally();
    const bool cancelled = now.pinsCancelled != before.pinsCancelled;
    if (ok && now.errors == before.errors && !cancelled)
        return kExitOk;
    if (now.errors != before.errors)
        return kExitFailed;  // the message says it
    if (cancelled) {
        return fail(
            "PIN2 question cancelled: nothing was written to the fixed dialling "
            "numbers (give --pin2)");
    }
    if (now.declined != before.declined)
        return kExitFailed;  // the answer line says it
    return selectionRefused();
}

int Invocation::selectionRefused() const {
    return fail(std::string("the phone refused ") +
                phonebook::kindInfo(model().current.kind).selectCommand);
}

int Invocation::withSession(const std::function<int()>& body) {
    if (entry.needs == Needs::Nothing)
        return body();
    return withPhone(ctx, [&](Session& session, Reporter& base) {
        // --fast: the setting for this run, never written to the file.
        if (entry.option("--fast") && line.has("--fast"))
            session.settings.fastRead = true;
        CountingReporter counting(base);
        reporter = &counting;
        // The desktop program's buttons can only be pressed once the window
        // has run its opening traffic, so every command starts with it. A
        // link failure there ends the command (the message says so).
        MainWindowSession window(session, counting);
        main = &window;
        int status = kExitOk;
        if (!window.open()) {
            status = kExitFailed;
        } else if (entry.needs == Needs::MainWindow) {
            status = body();
        } else {
            PhonebookWindowSession book(session, counting);
            phonebook = &book;
            book.open();
            bool tableRead = book.model().current.complete;
            if (kind != book.model().current.kind)
                tableRead = book.switchKind(kind);
            if (tableRead || !entry.needsTable) {
                status = body();
            } else if (counting.tally().errors == 0) {
                status = fail(std::string("the phone did not give its ") +
                              phonebook::kindInfo(kind).label + " phonebook (" +
                              phonebook::kindInfo(kind).selectCommand + ", " +
                              phonebook::kRangeQuery + ")");
            } else {
                status = kExitFailed;  // the message said why
            }
            // The close box's save; a failed save (its message) fails the command.
            const int errors = counting.tally().errors;
            book.saveLocalFile();
            if (counting.tally().errors != errors && status == kExitOk)
                status = kExitFailed;
            phonebook = nullptr;
        }
        window.close();
        main = nullptr;
        reporter = nullptr;
        return status;
    });
}

// --- Values ------------------------------------------------------------------

std::optional<int> numberInRange(const std::string& text, int lo, int hi) {
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const int value = std::stoi(text);
    if (value < lo || value > hi)
        return std::nullopt;
    return value;
}

std::optional<int> locationValue(const std::string& text) {
    if (text.size() > 6)
        return std::nullopt;
    return numberInRange(text, 1, 999999);
}

std::optional<Language> languageValue(const std::string& code) {
    for (const Language lang :
         {Language::German, Language::English, Language::Spanish, Language::French,
          Language::Italian, Language::Dutch, Language::Norwegian, Language::Portuguese}) {
        if (languageCode(lang) == code)
            return lang;
    }
    return std::nullopt;
}

std::optional<bool> onOffValue(const std::string& text) {
    if (text == "on")
        return true;
    if (text == "off")
        return false;
    return std::nullopt;
}

std::optional<phonebook::Kind> kindValue(const std::string& name) {
    if (name == "sim")
        return phonebook::Kind::Sim;
    if (name == "internal")
        return phonebook::Kind::Internal;
    if (name == "fixed")
        return phonebook::Kind::Fixed;
    return std::nullopt;
}

bool isNumberValue(const std::string& text) {
    return !text.empty() && at::isPhoneNumber(text);
}

bool isQuotableValue(const std::string& text) {
    return at::isQuotable(text);
}

bool isDialValue(const std::string& text) {
    return !text.empty() && at::isDialString(text);
}

bool isAddressValue(std::string_view text) {
    return at::isAddress(text);
}

namespace {

// Exactly `digits` decimal digits.
std::optional<int> digitsValue(std::string_view text, std::size_t digits) {
    if (text.size() != digits ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return std::stoi(std::string(text));
}

}  // namespace

std::optional<organizer::Date> dateValue(const std::string& text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    const auto year = digitsValue(std::string_view(text).substr(0, 4), 4);
    const auto month = digitsValue(std::string_view(text).substr(5, 2), 2);
    const auto day = digitsValue(std::string_view(text).substr(8, 2), 2);
    if (!year || !month || !day)
        return std::nullopt;
    const organizer::Date date{*year, *month, *day};
    if (!organizer::isValidDate(date))
        return std::nullopt;
    return date;
}

std::optional<organizer::TimeOfDay> timeValue(const std::string& text) {
    if (text.size() != 5 || text[2] != ':')
        return std::nullopt;
    const auto hour = digitsValue(std::string_view(text).substr(0, 2), 2);
    const auto minute = digitsValue(std::string_view(text).substr(3, 2), 2);
    if (!hour || !minute)
        return std::nullopt;
    const organizer::TimeOfDay time{*hour, *minute};
    if (!organizer::isValidTime(time))
        return std::nullopt;
    return time;
}

// --- Output ------------------------------------------------------------------

std::string escapedText(std::string_view latin1) {
    std::string out;
    out.reserve(latin1.size());
    for (const char ch : latin1) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c < 0x20 || c == 0x7F) {
            char buf[5];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else {
            out.push_back(ch);
        }
    }
    return latin1ToUtf8(out);
}

}  // namespace vondrix::cli
