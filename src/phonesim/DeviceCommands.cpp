// What the phone tells about itself and its simple settings: identification,
// battery, network status, ring tone, audio, clock and switch-off.

#include <string>

#include "phonesim/Commands.h"

namespace phonesim {

namespace {

using Form = Command::Form;

std::string range(int lo, int hi) {
    return "(" + std::to_string(lo) + "-" + std::to_string(hi) + ")";
}

// A command that answers an action with one line and a test with OK.
Handler infoCommand(std::string (*line)(const PhoneState&)) {
    return [line](Context& ctx, const Command& cmd) {
        if (cmd.form == Form::Action) {
            return Reply::ok({line(ctx.state)});
        }
        if (cmd.form == Form::Test) {
            return Reply::ok();
        }
        return Reply::error(cme::OperationNotSupported);
    };
}

Reply creg(Context& ctx, const Command& cmd) {
    PhoneState& s = ctx.state;
    switch (cmd.form) {
        case Form::Query:
            return Reply::ok(
                {"+CREG: " + std::to_string(s.regMode) + "," + std::to_string(s.regStatus)});
        case Form::Set: {
            const auto v = numbersInRanges(cmd.params(), {0}, {2}, 0);
            if (!v) {
                return Reply::error(cme::OperationNotSupported);
            }
            s.regMode = (*v)[0] < 0 ? 0 : (*v)[0];
            return Reply::ok();
        }
        case Form::Test:
            return Reply::ok({"+CREG: (0-2)"});
        case Form::Action:
            break;
    }
    return Reply::error(cme::OperationNotSupported);
}

Reply cops(Context& ctx, const Command& cmd) {
    const PhoneState& s = ctx.state;
    if (cmd.form == Form::Query) {
        std::string line = "+COPS: " + std::to_string(s.copsMode);
        // Without a network the phone reports the mode alone.
        if (!s.operatorName.empty()) {
            line += "," + std::to_string(s.copsFormat) + ",\"" + s.operatorName + "\"";
        }
        return Reply::ok({line});
    }
    return Reply::error(cme::OperationNotSupported);
}

Reply srtc(Context& ctx, const Command& cmd) {
    PhoneState& s = ctx.state;
    switch (cmd.form) {
        case Form::Test:
            return Reply::ok({"^SRTC: " + range(s.ringToneMin, s.ringToneMax) + "," +
                              range(s.ringVolumeMin, s.ringVolumeMax)});
        case Form::Query:
            return Reply::ok({"^SRTC: " + std::to_string(s.ringTone) + "," +
                              std::to_string(s.ringVolume) + "," + (s.ringing ? "1" : "0")});
        case Form::Set: {
            const auto v = numbersInRanges(cmd.params(), {s.ringToneMin, s.ringVolumeMin},
                                           {s.ringToneMax, s.ringVolumeMax}, 1);
            if (!v) {
                return Reply::error(cme::OperationNotSupported);
            }
            s.ringTone = (*v)[0];
            if ((*v)[1] >= 0) {
                s.ringVolume = (*v)[1];
            }
            return Reply::ok();
        }
        case Form::Action:
            // Starts playing the ring tone, or stops it when it is playing.
            s.ringing = !s.ringing;
            return Reply::ok();
    }
    return Reply::error(cme::OperationNotSupported);
}

// A setting read with "?" and written with "=<n>" within [lo, hi].
Handler numberSetting(std::string prefix, int PhoneState::*field, int lo, int hi) {
    return [prefix = std::move(prefix), field, lo, hi](Context& ctx, const Command& cmd) {
        switch (cmd.form) {
            case Form::Query:
                return Reply::ok({prefix + ": " + std::to_string(ctx.state.*field)});
            case Form::Test:
                return Reply::ok({prefix + ": " + range(lo, hi)});
            case Form::Set: {
                const auto v = numbersInRanges(cmd.params(), {lo}, {hi}, 1);
                if (!v) {
                    return Reply::error(cme::OperationNotSupported);
                }
                ctx.state.*field = (*v)[0];
                return Reply::ok();
            }
            case Form::Action:
                break;
        }
        return Reply::error(cme::OperationNotSupported);
    };
}

Reply cclk(Context& ctx, const Command& cmd) {
    switch (cmd.form) {
        case Form::Set: {
            // The phone takes the time quoted, as GSM 07.07 writes it, or bare.
            std::string_view text = cmd.args;
            if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
                text = text.substr(1, text.size() - 2);
            }
            if (!isValidClock(text)) {
                return Reply::error(cme::OperationNotSupported);
            }
            ctx.state.clock = std::string(text);
            return Reply::ok();
        }
        case Form::Query:
            return Reply::ok({"+CCLK: \"" + ctx.state.clock + "\""});
        case Form::Test:
            return Reply::ok();
        case Form::Action:
            break;
    }
    return Reply::error(cme::OperationNotSupported);
}

Reply smso(Context& ctx, const Command& cmd) {
    if (cmd.form == Form::Test) {
        return Reply::ok();
    }
    if (cmd.form != Form::Action) {
        return Reply::error(cme::OperationNotSupported);
    }
    // The reply still goes out; from the next byte on the phone is silent.
    ctx.state.poweredOff = true;
    return Reply::ok({"^SMSO: MS OFF"});
}

}  // namespace

void registerDeviceCommands(CommandTable& table) {
    table.add("+CGMI", infoCommand([](const PhoneState& s) { return s.manufacturer; }));
    table.add("+CGMM", infoCommand([](const PhoneState& s) { return s.model; }));
    table.add("+CGMR", infoCommand([](const PhoneState& s) { return s.revision; }));
    table.add("+CGSN", infoCommand([](const PhoneState& s) { return s.imei; }));
    table.add("+CIMI", infoCommand([](const PhoneState& s) { return s.imsi; }));
    table.add("^SCID", infoCommand([](const PhoneState& s) { return "^SCID: " + s.simSerial; }));
    table.add("+CBC", [](Context& ctx, const Command& cmd) {
        if (cmd.form == Form::Test) {
            return Reply::ok({"+CBC: (0-3),(0-100)"});
        }
        return infoCommand([](const PhoneState& s) {
            return "+CBC: " + std::to_string(s.batteryStatus) + "," +
                   std::to_string(s.batteryCharge);
        })(ctx, cmd);
    });
    table.add("+CSQ", [](Context& ctx, const Command& cmd) {
        if (cmd.form == Form::Test) {
            return Reply::ok({"+CSQ: (0-31,99),(0-7,99)"});
        }
        return infoCommand([](const PhoneState& s) {
            return "+CSQ: " + std::to_string(s.rssi) + "," + std::to_string(s.ber);
        })(ctx, cmd);
    });
    table.add("+CREG", creg);
    table.add("+COPS", cops);
    table.add("^SRTC", srtc);
    table.add("^SNFS", numberSetting("^SNFS", &PhoneState::handsFree, 0, 1));
    table.add("^SNFV", numberSetting("^SNFV", &PhoneState::speakerVolume, 0, 4));
    table.add("+CCLK", cclk);
    table.add("^SMSO", smso);
}

}  // namespace phonesim
