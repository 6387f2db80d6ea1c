// The V.25ter basics and error reporting: ATZ, ATE, AT+CMEE.

#include "phonesim/Commands.h"

namespace phonesim {

namespace {

// Basic commands take an optional single digit; missing means 0.
std::optional<int> basicValue(const Command& cmd, int max) {
    if (cmd.form != Command::Form::Action) {
        return std::nullopt;
    }
    if (cmd.args.empty()) {
        return 0;
    }
    const auto v = parseNumber(cmd.args);
    if (!v || *v > max) {
        return std::nullopt;
    }
    return v;
}

Reply reset(Context& ctx, const Command& cmd) {
    if (!basicValue(cmd, 0)) {
        return Reply::error(cme::OperationNotSupported);
    }
    ctx.modes = Modes{};
    return Reply::ok();
}

Reply echo(Context& ctx, const Command& cmd) {
    const auto v = basicValue(cmd, 1);
    if (!v) {
        return Reply::error(cme::OperationNotSupported);
    }
    ctx.modes.echo = (*v == 1);
    return Reply::ok();
}

Reply cmee(Context& ctx, const Command& cmd) {
    switch (cmd.form) {
        case Command::Form::Set: {
            // "AT+CMEE=" alone means 0.
            const auto v = numbersInRanges(cmd.params(), {0}, {2}, 0);
            if (!v) {
                return Reply::error(cme::OperationNotSupported);
            }
            ctx.modes.cmee = (*v)[0] < 0 ? 0 : (*v)[0];
            return Reply::ok();
        }
        case Command::Form::Query:
            return Reply::ok({"+CMEE: " + std::to_string(ctx.modes.cmee)});
        case Command::Form::Test:
            return Reply::ok({"+CMEE: (0-2)"});
        case Command::Form::Action:
            break;
    }
    return Reply::error(cme::OperationNotSupported);
}

}  // namespace

void registerBasicCommands(CommandTable& table) {
    table.add("Z", reset);
    table.add("E", echo);
    table.add("+CMEE", cmee);
}

}  // namespace phonesim
