// "dial", "redial", "hangup" and "calls": the phonebook window's call
// commands on the command line. Like the phonebook commands, each runs
// inside the opened phonebook window and ends with its closing save.

#include <ostream>

#include "cli/Cli.h"
#include "link/Parsers.h"
#include "text/Latin1.h"

namespace vondrix::cli {

using phonebook::Kind;
using phonebook::PhonebookService;

namespace {

constexpr const char* kDialUsage =
    R"(Usage: vondrix-cli [LINK OPTIONS] dial LOCATION [--kind sim|internal|fixed]
       vondrix-cli [LINK OPTIONS] dial --number NUMBER

  LOCATION         has the phone dial that location of the phonebook chosen
                   with --kind (default sim) as a voice call: ATD>LOCATION;
  --number NUMBER  dials NUMBER as a voice call, as the call lists' call back
                   does: ATDNUMBER; (exactly the number given). NUMBER may
                   hold digits, '+', '*', '#', A to D, the pause and wait
                   letters P and W, the modifiers I and G, and blanks.

Shows the window's message when the phone answers BUSY, NO CARRIER,
NO DIALTONE or ERROR.
Exit status: 0 dialled, 1 the phone did not dial, 2 usage error,
3 no link to the phone.
)";

constexpr const char* kRedialUsage = R"(Usage: vondrix-cli [LINK OPTIONS] redial

Has the phone dial the last number again (ATDL), as the window's redial
command does. The window reports nothing; here a refusal prints the phone's
answer.
Exit status: 0 dialled, 1 the phone did not dial, 2 usage error,
3 no link to the phone.
)";

constexpr const char* kHangupUsage = R"(Usage: vondrix-cli [LINK OPTIONS] hangup

Ends the call (AT+CHUP), whether or not it was started from here.
Exit status: 0 done, 1 the phone refused, 2 usage error,
3 no link to the phone.
)";

constexpr const char* kCallsUsage = R"(Usage: vondrix-cli [LINK OPTIONS] calls clear-dialled

  clear-dialled  empties the phone's dialled-calls list (AT^SDLD)

'vondrix-cli phonebook read' prints the call lists.
Exit status: 0 done, 1 the phone refused, 2 usage error,
3 no link to the phone.
)";

// The characters of a dial string that cannot end or extend the command
// line: ";" would end the dial command and let the rest run as commands.
bool isDialString(const std::string& text) {
    return !text.empty() &&
           text.find_first_not_of("0123456789+*#ABCDabcdPpWwIiGg ") == std::string::npos;
}

// The last line of the phone's reply, for a refusal the window keeps quiet about.
std::string lastReplyLine(std::string_view response) {
    const std::size_t end = response.find_last_not_of("\r\n");
    if (end == std::string_view::npos)
        return "no answer";
    const std::size_t begin = response.find_last_of("\r\n", end);
    const std::size_t from = begin == std::string_view::npos ? 0 : begin + 1;
    return latin1ToUtf8(response.substr(from, end + 1 - from));
}

// The window's silent call commands: whether the phone answered OK.
int answeredOk(PhonebookWindow& w, const char* command) {
    const std::string& response = w.service.engine().response();
    if (lastAnswerWord(response))
        return kExitOk;
    return w.fail(std::string("the phone refused ") + command + " (" + lastReplyLine(response) +
                  ")");
}

}  // namespace

int runDialCommand(CliContext& ctx, const std::vector<std::string>& args) {
    const char* command = "dial";
    CommandLine line;
    if (const auto s =
            readCommandLine(ctx, command, kDialUsage, args, {"--kind", "--number"}, {}, line))
        return *s;
    Kind kind = Kind::Sim;
    if (const std::string* name = line.value("--kind")) {
        const auto k = kindFromName(*name);
        if (!k)
            return commandUsageError(ctx, command, "--kind needs sim, internal or fixed");
        kind = *k;
    }
    const std::string* number = line.value("--number");
    int location = 0;
    if (number != nullptr) {
        if (!line.words.empty())
            return commandUsageError(ctx, command, "give a LOCATION or --number, not both");
        if (line.value("--kind") != nullptr)
            return commandUsageError(ctx, command, "--kind does not go with --number");
        if (!isDialString(*number))
            return commandUsageError(ctx, command, "not a number to dial: '" + *number + "'");
    } else {
        if (line.words.size() != 1) {
            return commandUsageError(
                ctx, command,
                line.words.empty() ? "a LOCATION or --number is missing" : "too many arguments");
        }
        const auto value = locationValue(line.words[0]);
        if (!value)
            return commandUsageError(ctx, command, "not a location: '" + line.words[0] + "'");
        location = *value;
    }

    return withPhonebookWindow(ctx, command, kind, false, [&](PhonebookWindow& w) {
        int result = PhonebookService::kNotDialled;
        if (number != nullptr) {
            // Call back dials what follows the line's last comma; the number
            // holds none, so exactly the number is dialled.
            result = w.service.callBack("," + *number);
        } else {
            result = w.service.dialLocation(location);
            if (result == PhonebookService::kNotDialled)
                return w.selectionRefused();
        }
        return result == AtEngine::kDialOk ? kExitOk : kExitFailed;  // the message is shown
    });
}

int runRedialCommand(CliContext& ctx, const std::vector<std::string>& args) {
    std::map<std::string, std::string> values;
    if (const auto s = readCommandOptions(ctx, "redial", kRedialUsage, args, {}, values))
        return *s;
    return withPhonebookWindow(ctx, "redial", Kind::Sim, false, [](PhonebookWindow& w) {
        w.service.redial();
        return answeredOk(w, "ATDL");
    });
}

int runHangupCommand(CliContext& ctx, const std::vector<std::string>& args) {
    std::map<std::string, std::string> values;
    if (const auto s = readCommandOptions(ctx, "hangup", kHangupUsage, args, {}, values))
        return *s;
    return withPhonebookWindow(ctx, "hangup", Kind::Sim, false, [](PhonebookWindow& w) {
        w.service.hangUp();
        return answeredOk(w, "AT+CHUP");
    });
}

int runCallsCommand(CliContext& ctx, const std::vector<std::string>& args) {
    const char* command = "calls";
    CommandLine line;
    if (const auto s = readCommandLine(ctx, command, kCallsUsage, args, {}, {}, line))
        return *s;
    if (line.words.size() != 1 || line.words[0] != "clear-dialled") {
        return commandUsageError(ctx, command,
                                 line.words.empty() ? "a subcommand is missing"
                                                    : "unknown subcommand '" + line.words[0] + "'");
    }
    return withPhonebookWindow(ctx, "calls clear-dialled", Kind::Sim, false,
                               [](PhonebookWindow& w) {
                                   if (w.service.clearDialledCalls())
                                       return kExitOk;
                                   return w.fail("the phone refused AT^SDLD");
                               });
}

}  // namespace vondrix::cli
