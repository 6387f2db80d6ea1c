// vondrix-phonesim: the simulated phone as a stand-alone program, served on a
// pty or a TCP port until SIGINT or SIGTERM (Windows: TCP only, until Ctrl-C
// or the console closes).

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "phonesim/Commands.h"
#include "phonesim/Startup.h"
#include "phonesim/StopSignal.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

constexpr std::string_view kUsage =
    "usage: vondrix-phonesim [--pty | --tcp [HOST:]PORT] [--state FILE [--save]]\n"
    "                        [--baud N] [--latency MS] [--chunk N] [--chunk-gap MS]\n"
    "                        [--record FILE] [--idle SECONDS]\n"
    "                        [--unsolicited PERCENT[:SEED]]\n"
    "       vondrix-phonesim --dump-demo | --help | --version\n"
    "\n"
    "Simulates a Siemens C35/S35 phone's AT command interpreter.\n"
    "  --pty            serve a pseudo terminal (default); prints its path\n"
    "  --tcp [HOST:]PORT serve TCP, one connection at a time (PORT 0: any free\n"
    "                   port; HOST defaults to 127.0.0.1); prints the port\n"
    "  --state FILE     load the phone's contents from FILE\n"
    "  --save           write the contents back to the --state FILE at exit\n"
    "  --dump-demo      print the demo contents in the state file format\n"
    "  --baud N         emulate the wire time of N baud (10 bits a byte)\n"
    "  --latency MS     delay each reply by MS milliseconds\n"
    "  --chunk N        write replies in pieces of N bytes\n"
    "  --chunk-gap MS   pause MS milliseconds between those pieces\n"
    "  --record FILE    append every received command line to FILE\n"
    "  --idle SECONDS   close a TCP client that sends and reads nothing, or\n"
    "                   sends no command, for SECONDS (default 300; 0: never)\n"
    "  --unsolicited PERCENT[:SEED]\n"
    "                   slip an unsolicited result code (RING, +CMTI, +CDSI,\n"
    "                   +CREG, ...) into PERCENT % of the replies, at random\n"
    "                   line boundaries; SEED (default 1) repeats a run\n";

int usageError(const std::string& message) {
    std::cerr << "vondrix-phonesim: " << message << "\n" << kUsage;
    return kExitUsage;
}

struct Options {
    bool tcp = false;
    std::string host = "127.0.0.1";
    int port = 0;
    std::string statePath;
    bool save = false;
    std::string recordPath;
    phonesim::WireOptions wire;
    int idleSeconds = 300;
};

}  // namespace

int main(int argc, char** argv) {
    Options opt;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const auto value = [&]() -> std::optional<std::string_view> {
            if (i + 1 >= argc) {
                return std::nullopt;
            }
            return std::string_view(argv[++i]);
        };
        const auto number = [&](int& target) {
            const auto text = value();
            const auto n = text ? phonesim::parseNumber(*text) : std::nullopt;
            if (!n) {
                return false;
            }
            target = *n;
            return true;
        };
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return kExitOk;
        }
        if (arg == "--version") {
            std::cout << "vondrix-phonesim " VONDRIX_VERSION "\n";
            return kExitOk;
        }
        if (arg == "--dump-demo") {
            std::cout << phonesim::PhoneState::demo().toText() << std::flush;
            return kExitOk;
        }
        if (arg == "--pty") {
            opt.tcp = false;
        } else if (arg == "--tcp") {
            const auto text = value();
            if (!text) {
                return usageError("--tcp needs [HOST:]PORT");
            }
            std::string_view portText = *text;
            if (const auto colon = text->rfind(':'); colon != std::string_view::npos) {
                std::string_view host = text->substr(0, colon);
                if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
                    host = host.substr(1, host.size() - 2);  // [::1]:port
                }
                opt.host = std::string(host);
                portText = text->substr(colon + 1);
            }
            const auto port = phonesim::parseNumber(portText);
            if (!port || *port > 65535) {
                return usageError("bad port '" + std::string(portText) + "'");
            }
            opt.tcp = true;
            opt.port = *port;
        } else if (arg == "--state") {
            const auto text = value();
            if (!text) {
                return usageError("--state needs a file");
            }
            opt.statePath = std::string(*text);
        } else if (arg == "--save") {
            opt.save = true;
        } else if (arg == "--record") {
            const auto text = value();
            if (!text) {
                return usageError("--record needs a file");
            }
            opt.recordPath = std::string(*text);
        } else if (arg == "--baud") {
            if (!number(opt.wire.baud)) {
                return usageError("--baud needs a number");
            }
        } else if (arg == "--latency") {
            if (!number(opt.wire.latencyMs)) {
                return usageError("--latency needs a number of milliseconds");
            }
        } else if (arg == "--chunk") {
            int chunk = 0;
            if (!number(chunk)) {
                return usageError("--chunk needs a number of bytes");
            }
            opt.wire.chunkSize = static_cast<std::size_t>(chunk);
        } else if (arg == "--chunk-gap") {
            if (!number(opt.wire.chunkGapMs)) {
                return usageError("--chunk-gap needs a number of milliseconds");
            }
        } else if (arg == "--unsolicited") {
            const auto text = value();
            if (!text || !phonesim::parseUnsolicited(*text, opt.wire)) {
                return usageError("--unsolicited needs PERCENT (0 to 100) and an optional :SEED");
            }
        } else if (arg == "--idle") {
            if (!number(opt.idleSeconds)) {
                return usageError("--idle needs a number of seconds");
            }
        } else {
            return usageError("unknown argument '" + std::string(arg) + "'");
        }
    }
    if (opt.save && opt.statePath.empty()) {
        return usageError("--save needs --state FILE");
    }
    if (!opt.tcp && !phonesim::Simulator::hasPty()) {
        std::cerr << "vondrix-phonesim: this system has no pseudo terminals; serve TCP with "
                     "--tcp [HOST:]PORT\n";
        return kExitFailure;
    }

    std::ofstream record;
    if (!opt.recordPath.empty()) {
        record.open(opt.recordPath, std::ios::binary | std::ios::app);
        if (!record) {
            std::cerr << "vondrix-phonesim: " << opt.recordPath << ": cannot open\n";
            return kExitUsage;
        }
    }

    // Before the serving thread starts, so only the wait below sees them.
    phonesim::catchStopSignals();

    phonesim::StartOptions start;
    start.stateFile = opt.statePath;
    start.wire = opt.wire;
    start.limits.idleLimit = std::chrono::seconds(opt.idleSeconds);
    start.limits.commandLimit = start.limits.idleLimit;
    // Nothing here reads the in-memory record; --record keeps the lines.
    start.limits.recordLines = 0;
    if (record.is_open()) {
        start.recorder = [&record](const std::string& line) {
            record << line << '\n' << std::flush;
        };
    }
    start.tcp = opt.tcp;
    start.host = opt.host;
    start.port = opt.port;
    auto started = phonesim::startPhone(start);
    if (const auto* failure = std::get_if<phonesim::StartFailure>(&started)) {
        std::cerr << "vondrix-phonesim: " << failure->message << "\n";
        return failure->kind == phonesim::StartFailure::Kind::StateFile ? kExitUsage : kExitFailure;
    }
    auto& phone = std::get<phonesim::RunningPhone>(started);
    if (opt.tcp) {
        std::cout << phone.port() << std::endl;
    } else {
        std::cout << phone.device() << std::endl;
    }

    phonesim::waitForStopSignal();
    if (!opt.save) {
        phone.simulator().stop();
    } else if (!phone.stopAndSave()) {
        std::cerr << "vondrix-phonesim: " << opt.statePath << ": cannot write\n";
        return kExitFailure;
    }
    return kExitOk;
}
