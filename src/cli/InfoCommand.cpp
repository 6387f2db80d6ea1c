#include <ostream>

#include "device/DeviceCommands.h"
#include "session/MainWindowSession.h"
#include "cli/Cli.h"
#include "text/Latin1.h"

namespace vondrix::cli {

namespace {

constexpr const char* kInfoUsage = R"(Usage: vondrix-cli [LINK OPTIONS] info [--csv FILE]

Runs the main window's opening traffic and prints each field as
'Label: value'. A field whose command failed is printed empty.

  --csv FILE  afterwards append the device information (a header line and a
              line with serial number, revision and SIM serial number) to
              FILE, as the desktop program's "save device information" does

Exit status: 0 success, 1 FILE could not be opened, 2 usage error,
3 no link to the phone.
)";

}  // namespace

int runInfoCommand(CliContext& ctx, const std::vector<std::string>& args) {
    std::map<std::string, std::string> values;
    if (const auto status = readCommandOptions(ctx, "info", kInfoUsage, args, {"--csv"}, values))
        return *status;
    const auto csv = values.find("--csv");
    if (csv != values.end() && csv->second.empty())
        return commandUsageError(ctx, "info", "--csv needs a file name");

    return withMainWindow(ctx, [&](MainWindow& window) {
        const MainWindowState& s = window.state;
        const auto line = [&](const char* label, const std::string& latin1) {
            ctx.out << label << ": " << latin1ToUtf8(latin1) << '\n';
        };
        line("Manufacturer", s.device.manufacturer);
        line("Model", s.device.model);
        line("Revision", s.device.revision);
        line("IMEI", s.device.imei);
        line("IMSI", s.device.imsi);
        line("SIM serial", s.device.simSerial);
        line("Battery", s.network.batteryText);
        line("Registration", s.network.registration.value_or(""));
        line("Signal", s.network.rssi && !s.network.signalKnown ? "unknown" : s.network.signalText);
        line("Operator", s.network.operatorText.value_or(""));
        printAudioState(ctx.out, s.audio, false);
        ctx.out.flush();
        if (csv != values.end() && !appendDeviceInfo(csv->second, s.device, window.reporter))
            return kExitFailed;
        return kExitOk;
    });
}

}  // namespace vondrix::cli
