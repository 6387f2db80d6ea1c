// vondrix-cli: the phone manager's operations on the command line, with the
// same phone traffic and messages as the desktop program.

#include <algorithm>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "cli/Console.h"
#include "text/Decimal.h"

namespace {

using namespace vondrix;
using namespace vondrix::cli;

// The overall help: the command list comes from the command table.
std::string usage() {
    std::string text = R"(Usage: vondrix-cli [OPTIONS] COMMAND [ARGS]

Manage a Siemens C35/S35-generation phone.

Commands:
)";
    for (const CommandEntry& c : commandTable()) {
        if (*c.summary == '\0')
            continue;  // subcommands appear in their family's help
        std::string name = std::string("  ") + c.name;
        name.resize(std::max<std::size_t>(name.size() + 1, 18), ' ');
        text += name + c.summary + "\n";
    }
    const auto options = [&text](bool link) {
        for (const GlobalOption& o : globalOptions()) {
            if (o.link != link)
                continue;
            std::string left = std::string("  ") + o.name;
            if (*o.value)
                left += (*o.value == '[' ? "" : " ") + std::string(o.value);
            left.resize(std::max<std::size_t>(left.size() + 1, 24), ' ');
            std::string body(o.text);
            for (std::size_t nl = body.find('\n'); nl != std::string::npos;
                 nl = body.find('\n', nl + 1))
                body.insert(nl + 1, 24, ' ');
            text += left + body + "\n";
        }
    };
    text += "\nLink options (default: the link configured in the INI file):\n";
    options(true);
    text += "Other options:\n";
    options(false);
    text += R"(
Environment:
  VONDRIX_SIM_UNSOLICITED=PERCENT[:SEED]
                        the simulated phone slips unsolicited result codes
                        (RING, +CMTI, +CREG, ...) into PERCENT % of its replies
  VONDRIX_VERBOSE=1     show on stderr each unsolicited code set aside

Exit status: 0 success, 1 the operation failed, 2 usage error,
3 no link to the phone or the phone did not answer the reset.
)";
    return text;
}

constexpr const char* kHelpHint = "Try 'vondrix-cli --help'.\n";

bool takeValue(const std::vector<std::string>& args, std::size_t& i, const std::string& name,
               std::string& value) {
    const std::string& a = args[i];
    if (a.rfind(name + "=", 0) == 0) {
        value = a.substr(name.size() + 1);
        return true;
    }
    if (a == name && i + 1 < args.size()) {
        value = args[++i];
        return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    console::setUp();
    std::vector<std::string> args = console::arguments(argc, argv);
    if (!args.empty())
        args.erase(args.begin());  // the program's name
    std::string iniPath = "Vondrix.ini";
    std::string lang, device, tcp, simulateState;
    std::optional<std::string> pin2;
    bool simulate = false, help = false;
    auto answers = CliContext::Answers::Ask;
    std::string commandName;
    std::vector<std::string> rest;

    // Global options may stand anywhere before a lone "--".
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string v;
        if (a == "--") {
            rest.insert(rest.end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
            break;
        }
        if (takeValue(args, i, "--ini", v)) {
            if (v.empty()) {
                std::cerr << "vondrix-cli: --ini needs a file name\n";
                return kExitUsage;
            }
            iniPath = v;
        } else if (takeValue(args, i, "--lang", v)) {
            if (!languageValue(v)) {
                std::cerr << "vondrix-cli: --lang needs one of de en es fr it nl no pt, not '" << v
                          << "'\n";
                return kExitUsage;
            }
            lang = v;
        } else if (takeValue(args, i, "--device", v)) {
            device = v;
        } else if (takeValue(args, i, "--tcp", v)) {
            tcp = v;
        } else if (takeValue(args, i, "--pin2", v)) {
            // The PIN2 dialog's field takes digits only, at most kMaxPin2.
            if (v.empty() || v.size() > phonebook::kMaxPin2 ||
                v.find_first_not_of("0123456789") != std::string::npos) {
                std::cerr << "vondrix-cli: --pin2 needs 1 to " << phonebook::kMaxPin2
                          << " digits\n";
                return kExitUsage;
            }
            pin2 = v;
        } else if (a == "--simulate") {
            simulate = true;
        } else if (a.rfind("--simulate=", 0) == 0) {
            simulate = true;
            simulateState = a.substr(11);
        } else if (a == "--yes" || a == "--no") {
            const auto answer = a == "--yes" ? CliContext::Answers::Yes : CliContext::Answers::No;
            if (answers != CliContext::Answers::Ask && answers != answer) {
                std::cerr << "vondrix-cli: give one of --yes and --no\n";
                return kExitUsage;
            }
            answers = answer;
        } else if (a == "--ini" || a == "--lang" || a == "--device" || a == "--tcp" ||
                   a == "--pin2") {
            std::cerr << "vondrix-cli: " << a << " needs a value\n";
            return kExitUsage;
        } else if (commandName.empty() && a == "--help") {
            help = true;
        } else if (commandName.empty() && a == "--version") {
            std::cout << "vondrix-cli " VONDRIX_VERSION "\n";
            return kExitOk;
        } else if (commandName.empty() && a == "--man") {
            std::cout << manPage();  // for the build: not in the help
            return kExitOk;
        } else if (commandName.empty() && a == "--completion" && i + 1 < args.size() &&
                   args[i + 1] == "bash") {
            std::cout << bashCompletion();  // for the build: not in the help
            return kExitOk;
        } else if (commandName.empty() && a.rfind("--", 0) == 0) {
            std::cerr << "vondrix-cli: unknown option " << a << "\n" << kHelpHint;
            return kExitUsage;
        } else if (commandName.empty()) {
            commandName = a;
        } else {
            rest.push_back(a);
        }
    }
    if (help || commandName.empty()) {
        (help ? std::cout : std::cerr) << usage();
        return help ? kExitOk : kExitUsage;
    }
    if (static_cast<int>(!device.empty()) + static_cast<int>(!tcp.empty()) +
            static_cast<int>(simulate) >
        1) {
        std::cerr << "vondrix-cli: choose one of --device, --tcp and --simulate\n";
        return kExitUsage;
    }

    CliContext ctx{IniFile(iniPath),
                   Settings{},
                   Language::English,
                   std::cout,
                   std::cerr,
                   lang,
                   {},
                   false,
                   {},
                   CliContext::Answers::Ask,
                   {}};
    ctx.language = detectLanguage(lang);
    ctx.answers = answers;
    ctx.simulate = simulate;
    ctx.simulateState = simulateState;
    ctx.pin2 = pin2;
    if (!device.empty()) {
        ctx.link.kind = LinkOverride::Kind::Device;
        ctx.link.device = device;
    } else if (!tcp.empty()) {
        const auto colon = tcp.rfind(':');
        const int port = colon == std::string::npos ? 0 : decimalValue(tcp.substr(colon + 1));
        if (colon == std::string::npos || colon == 0 || port <= 0 || port > 65535) {
            std::cerr << "vondrix-cli: --tcp needs HOST:PORT\n";
            return kExitUsage;
        }
        ctx.link.kind = LinkOverride::Kind::Tcp;
        ctx.link.host = tcp.substr(0, colon);
        ctx.link.port = port;
    }
    ctx.settings.readOptions(ctx.ini);

    std::vector<std::string> words{commandName};
    words.insert(words.end(), rest.begin(), rest.end());
    if (const int status = runCommand(ctx, words); status >= 0)
        return status;
    std::cerr << "vondrix-cli: unknown command " << commandName << "\n" << kHelpHint;
    return kExitUsage;
}
