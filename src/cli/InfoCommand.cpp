#include <ostream>

#include "app/MainWindowModel.h"
#include "cli/Cli.h"
#include "text/Latin1.h"

namespace vondrix::cli {

int runInfoCommand(CliContext& ctx, const std::vector<std::string>& args) {
    if (!args.empty()) {
        const bool help = args.front() == "--help";
        (help ? ctx.out : ctx.err)
            << "Usage: vondrix-cli [LINK OPTIONS] info\n\n"
               "Runs the main window's opening traffic and prints each field as\n"
               "'Label: value'. A field whose command failed is printed empty.\n";
        return help ? kExitOk : kExitUsage;
    }
    return withPhone(ctx, [&](Session& session, Reporter&) {
        const MainWindowState s = runOpeningSequence(session.engine, session.settings);
        const auto yesNo = [](bool b) { return b ? "yes" : "no"; };
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
        line("Ring tone", s.audio.rangesRead ? std::to_string(s.audio.ringTone) : "");
        line("Volume", s.audio.rangesRead ? std::to_string(s.audio.volume) : "");
        line("Ring tone off", yesNo(s.audio.ringOff));
        line("Hands-free", yesNo(s.audio.handsFree));
        // Leave the phone as the desktop program does when its window closes.
        if (session.settings.smsStat) session.engine.standard("AT+CNMI=1,0,0,0");
        return kExitOk;
    });
}

}  // namespace vondrix::cli
