// "dial", "redial", "hangup" and "calls": the phonebook window's call
// commands on the command line. Like the phonebook commands, each runs
// inside the opened phonebook window and ends with its closing save.

#include <ostream>

#include "cli/Cli.h"
#include "phonebook/CallCommands.h"
#include "text/Latin1.h"

namespace vondrix::cli {

using phonebook::CallService;
using phonebook::Kind;

namespace {

const std::string kDialHelp =
    std::string(R"(  LOCATION         has the phone dial that location of the phonebook chosen
                   with --kind (default sim) as a voice call: )") +
    phonebook::dialLocationCommand("LOCATION") + R"(

Shows the window's message when the phone answers BUSY, NO CARRIER,
NO DIALTONE or ERROR.
Exit status: 0 dialled, 1 the phone did not dial, 2 usage error,
3 no link to the phone.
)";

const std::string kNumberText =
    "dial NUMBER as a voice call, as the call lists' call back does: " +
    phonebook::dialNumberCommand("NUMBER") +
    " (exactly the number given). NUMBER may hold digits, '+', '*', '#', A to D, the pause and "
    "wait letters P and W, the modifiers I and G, and blanks.";

const std::string kRedialHelp = std::string(R"(Has the phone dial the last number again ()") +
                                phonebook::kRedialCommand + R"(), as the window's redial
command does. The window reports nothing; here a refusal prints the phone's
answer.
Exit status: 0 dialled, 1 the phone did not dial, 2 usage error,
3 no link to the phone.
)";

const std::string kHangupHelp = std::string(R"(Ends the call ()") + phonebook::kHangUpCommand +
                                R"(), whether or not it was started from here.
Exit status: 0 done, 1 the phone refused, 2 usage error,
3 no link to the phone.
)";

const std::string kCallsHelp =
    std::string(R"(  clear-dialled  empties the phone's dialled-calls list ()") +
    phonebook::kClearDialledCommand + R"()

'vondrix-cli phonebook read' prints the call lists.
Exit status: 0 done, 1 the phone refused, 2 usage error,
3 no link to the phone.
)";

int runDial(Invocation& inv) {
    const std::string* number = inv.line.value("--number");
    int location = 0;
    if (number != nullptr) {
        if (!inv.line.words.empty())
            return inv.usageError("give a LOCATION or --number, not both");
        if (inv.line.value("--kind") != nullptr)
            return inv.usageError("--kind does not go with --number");
        if (!isDialValue(*number))
            return inv.usageError("not a number to dial: '" + *number + "'");
    } else {
        if (inv.line.words.size() != 1) {
            return inv.usageError(inv.line.words.empty() ? "a LOCATION or --number is missing"
                                                         : "too many arguments");
        }
        const auto value = locationValue(inv.line.words[0]);
        if (!value)
            return inv.usageError("not a location: '" + inv.line.words[0] + "'");
        location = *value;
    }

    return inv.withSession([&] {
        CallService& calls = inv.calls();
        CallService::DialResult result = CallService::kNotDialled;
        if (number != nullptr) {
            // Call back dials what follows the line's last comma; the number
            // holds none, so exactly the number is dialled.
            result = calls.callBack("," + *number);
        } else {
            result = calls.dialLocation(location);
            if (result == CallService::kNotDialled)
                return inv.selectionRefused();
        }
        // The message is shown for every other result.
        return result == CallService::kDialled ? kExitOk : kExitFailed;
    });
}

// The window's silent call commands: whether the phone answered OK.
int answered(Invocation& inv, const CallService::CallAnswer& answer) {
    if (answer.ok)
        return kExitOk;
    return inv.fail("the phone refused " + answer.command + " (" +
                    (answer.lastLine.empty() ? "no answer" : escapedText(answer.lastLine)) + ")");
}

int runRedial(Invocation& inv) {
    return inv.withSession([&] { return answered(inv, inv.calls().redial()); });
}

int runHangup(Invocation& inv) {
    return inv.withSession([&] { return answered(inv, inv.calls().hangUp()); });
}

int runCallsFamily(Invocation& inv) {
    if (inv.line.words.empty())
        return inv.usageError("a subcommand is missing");
    return inv.usageError("unknown subcommand '" + inv.line.words.front() + "'");
}

int runClearDialled(Invocation& inv) {
    return inv.withSession([&] {
        if (inv.calls().clearDialledCalls())
            return kExitOk;
        return inv.fail("the phone refused to clear the dialled calls");
    });
}

}  // namespace

std::vector<CommandEntry> callCommands() {
    const Needs W = Needs::PhonebookWindow;
    return {
        {"dial",
         "dial a phonebook location or a number",
         {"[--kind sim|internal|fixed] LOCATION", "--number NUMBER"},
         kDialHelp.c_str(),
         {{"--kind", "sim|internal|fixed",
           "the phonebook of LOCATION (default sim): the SIM, the phone's memory, the fixed "
           "dialling numbers"},
          {"--number", "NUMBER", kNumberText.c_str()}},
         0,
         99,
         W,
         false,
         runDial},
        {"redial",
         "dial the last number again",
         {""},
         kRedialHelp.c_str(),
         {},
         0,
         0,
         W,
         false,
         runRedial},
        {"hangup", "end the call", {""}, kHangupHelp.c_str(), {}, 0, 0, W, false, runHangup},
        {"calls",
         "clear the dialled-calls list",
         {},
         kCallsHelp.c_str(),
         {},
         0,
         99,
         Needs::Nothing,
         false,
         runCallsFamily},
        {"calls clear-dialled", "", {""}, kCallsHelp.c_str(), {}, 0, 0, W, false, runClearDialled},
    };
}

}  // namespace vondrix::cli
