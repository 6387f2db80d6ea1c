// Message service settings of GSM 07.05: AT+CSMS, AT+CNMI.

#include <string>

#include "phonesim/Commands.h"

namespace phonesim {

namespace {

Reply csms(Context& ctx, const Command& cmd) {
    switch (cmd.form) {
        case Command::Form::Set: {
            const auto v = numbersInRanges(cmd.params(), {0}, {1}, 1);
            if (!v) {
                return Reply::error(cms::OperationNotSupported);
            }
            ctx.state.smsService = (*v)[0];
            // Mobile terminated, mobile originated and broadcast messages all supported.
            return Reply::ok({"+CSMS: 1,1,1"});
        }
        case Command::Form::Query:
            return Reply::ok({"+CSMS: " + std::to_string(ctx.state.smsService) + ",1,1,1"});
        case Command::Form::Test:
            return Reply::ok({"+CSMS: (0,1)"});
        case Command::Form::Action:
            break;
    }
    return Reply::error(cms::OperationNotSupported);
}

Reply cnmi(Context& ctx, const Command& cmd) {
    switch (cmd.form) {
        case Command::Form::Set: {
            // <mode>,<mt>,<bm>,<ds> are required here, <bfr> may follow.
            const auto v = numbersInRanges(cmd.params(), {0, 0, 0, 0, 0}, {3, 3, 3, 2, 1}, 4);
            if (!v) {
                return Reply::error(cms::OperationNotSupported);
            }
            std::string text;
            for (std::size_t i = 0; i < v->size(); ++i) {
                text += (i == 0 ? "" : ",") + std::to_string((*v)[i] < 0 ? 0 : (*v)[i]);
            }
            ctx.state.cnmi = text;
            return Reply::ok();
        }
        case Command::Form::Query:
            return Reply::ok({"+CNMI: " + ctx.state.cnmi});
        case Command::Form::Test:
            return Reply::ok({"+CNMI: (0-3),(0-3),(0-3),(0-2),(0,1)"});
        case Command::Form::Action:
            break;
    }
    return Reply::error(cms::OperationNotSupported);
}

}  // namespace

void registerSmsSettingsCommands(CommandTable& table) {
    table.add("+CSMS", csms, ErrorClass::Cms);
    table.add("+CNMI", cnmi, ErrorClass::Cms);
}

}  // namespace phonesim
