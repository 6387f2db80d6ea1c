// Short messages in PDU mode (GSM 07.05): AT+CMGF, +CMGL, +CMGS, +CMGW,
// +CMGD, +CPMS and the phone's own AT^SMGO (memory state).

#include <string>

#include "phonesim/Commands.h"
#include "phonesim/GsmText.h"
#include "phonesim/SmsPdu.h"

namespace phonesim {

namespace {

using Form = Command::Form;

// GSM 07.05 3.2.5 codes beyond the shared ones.
constexpr int kInvalidPduParameter = 304;
constexpr int kInvalidIndex = 321;
constexpr int kMemoryFull = 322;
constexpr int kScAddressUnknown = 330;
constexpr int kNoNetworkService = 331;

// The octets a listed message's <length> counts: the PDU without its
// service-centre field. A PDU loaded from a state file may be malformed;
// the count is then taken from its length field as far as it goes.
int tpduLength(const std::string& pdu) {
    if (const auto layout = inspectPdu(pdu)) {
        return static_cast<int>(layout->tpduOctets);
    }
    const int octets = static_cast<int>(pdu.size() / 2);
    const int sca = 1 + hexByte(pdu, 0).value_or(0);
    return octets > sca ? octets - sca : 0;
}

std::string memoryFields(const SmsStore& m) {
    return std::to_string(m.used()) + "," + std::to_string(m.capacity);
}

Reply cmgf(Context&, const Command& cmd) {
    switch (cmd.form) {
        case Form::Query:
            return Reply::ok({"+CMGF: 0"});
        case Form::Test:
            return Reply::ok({"+CMGF: (0)"});
        case Form::Set: {
            // Text mode is not offered: the phone works in PDU mode only.
            const auto v = numbersInRanges(cmd.params(), {0}, {1}, 1);
            if (!v || (*v)[0] != 0) {
                return Reply::error(cms::OperationNotSupported);
            }
            return Reply::ok();
        }
        case Form::Action:
            break;
    }
    return Reply::error(cms::OperationNotSupported);
}

Reply cmgl(Context& ctx, const Command& cmd) {
    int wanted = 0;  // "received unread" when no status is given
    switch (cmd.form) {
        case Form::Test:
            return Reply::ok({"+CMGL: (0-4)"});
        case Form::Query:
            return Reply::error(cms::OperationNotSupported);
        case Form::Set: {
            const auto v = numbersInRanges(cmd.params(), {0}, {4}, 1);
            if (!v) {
                return Reply::error(kInvalidPduParameter);
            }
            wanted = (*v)[0];
            break;
        }
        case Form::Action:
            break;
    }
    std::vector<std::string> lines;
    for (auto& [index, message] : ctx.state.sms.messages) {
        if (wanted != 4 && message.status != wanted) {
            continue;
        }
        lines.push_back("+CMGL: " + std::to_string(index) + "," + std::to_string(message.status) +
                        ",," + std::to_string(tpduLength(message.pdu)));
        lines.push_back(message.pdu);
        // GSM 07.05 3.4.2: a listed unread message is read from now on.
        if (message.status == static_cast<int>(SmsStatus::ReceivedUnread)) {
            message.status = static_cast<int>(SmsStatus::ReceivedRead);
        }
    }
    return Reply::ok(std::move(lines));
}

// The <length> of AT+CMGS= and AT+CMGW=: at most the longest TPDU there is.
std::optional<int> pduLengthParameter(const Param& p) {
    const auto n = p.quoted ? std::nullopt : parseNumber(p.text);
    if (!n || *n < 1 || *n > 255) {
        return std::nullopt;
    }
    return n;
}

// The PDU after the prompt, checked against the announced length
// (GSM 07.05 3.5.1: <length> counts the TPDU octets only).
std::optional<PduLayout> checkedPdu(const std::string& data, int length) {
    const auto layout = inspectPdu(data);
    if (!layout || static_cast<int>(layout->tpduOctets) != length) {
        return std::nullopt;
    }
    return layout;
}

Reply cmgs(Context&, const Command& cmd) {
    if (cmd.form == Form::Test) {
        return Reply::ok();
    }
    const auto params = cmd.params();
    if (cmd.form != Form::Set || params.size() != 1) {
        return Reply::error(kInvalidPduParameter);
    }
    const auto length = pduLengthParameter(params[0]);
    if (!length) {
        return Reply::error(kInvalidPduParameter);
    }
    return Reply::prompt([length = *length](Context& ctx, const std::string& data) {
        const auto layout = checkedPdu(data, length);
        if (!layout || layout->type != PduType::Submit) {
            return Reply::error(kInvalidPduParameter);
        }
        PhoneState& s = ctx.state;
        if (s.regStatus != 1 && s.regStatus != 5) {
            return Reply::error(kNoNetworkService);
        }
        if (layout->scaOctets == 1 && s.serviceCentre.empty()) {
            return Reply::error(kScAddressUnknown);
        }
        s.sms.sent.push_back(data);
        const int reference = s.sms.nextReference;
        s.sms.nextReference = (reference + 1) % 256;
        return Reply::ok({"+CMGS: " + std::to_string(reference)});
    });
}

Reply cmgw(Context& ctx, const Command& cmd) {
    if (cmd.form == Form::Test) {
        return Reply::ok();
    }
    const auto params = cmd.params();
    if (cmd.form != Form::Set || params.empty() || params.size() > 2) {
        return Reply::error(kInvalidPduParameter);
    }
    const auto length = pduLengthParameter(params[0]);
    int status = static_cast<int>(SmsStatus::StoredUnsent);
    if (params.size() == 2 && !params[1].empty()) {
        const auto v = params[1].quoted ? std::nullopt : parseNumber(params[1].text);
        if (!v || *v > 3) {
            return Reply::error(kInvalidPduParameter);
        }
        status = *v;
    }
    if (!length) {
        return Reply::error(kInvalidPduParameter);
    }
    if (ctx.state.sms.firstFree() == 0) {
        return Reply::error(kMemoryFull);
    }
    return Reply::prompt([length = *length, status](Context& c, const std::string& data) {
        const auto layout = checkedPdu(data, length);
        if (!layout || layout->type == PduType::StatusReport) {
            return Reply::error(kInvalidPduParameter);
        }
        SmsStore& m = c.state.sms;
        const int index = m.firstFree();
        if (index == 0) {
            return Reply::error(kMemoryFull);
        }
        m.messages[index] = StoredMessage{status, data};
        return Reply::ok({"+CMGW: " + std::to_string(index)});
    });
}

Reply cmgd(Context& ctx, const Command& cmd) {
    SmsStore& m = ctx.state.sms;
    if (cmd.form == Form::Test) {
        return Reply::ok();
    }
    if (cmd.form != Form::Set) {
        return Reply::error(cms::OperationNotSupported);
    }
    // <index>[,<delflag>]; only the deletion of the one message is offered.
    const auto v = numbersInRanges(cmd.params(), {0, 0}, {SmsStore::kMaxCapacity, 0}, 1);
    if (!v) {
        return Reply::error(kInvalidIndex);
    }
    if (m.messages.erase((*v)[0]) == 0) {
        return Reply::error(kInvalidIndex);
    }
    return Reply::ok();
}

Reply cpms(Context& ctx, const Command& cmd) {
    const SmsStore& m = ctx.state.sms;
    switch (cmd.form) {
        case Form::Query: {
            const std::string one = "\"SM\"," + memoryFields(m);
            return Reply::ok({"+CPMS: " + one + "," + one + "," + one});
        }
        case Form::Test:
            return Reply::ok({"+CPMS: (\"SM\"),(\"SM\"),(\"SM\")"});
        case Form::Set: {
            const auto params = cmd.params();
            if (params.empty() || params.size() > 3) {
                return Reply::error(cms::OperationNotSupported);
            }
            for (const Param& p : params) {
                if (!p.empty() && p.text != "SM") {
                    return Reply::error(cms::OperationNotAllowed);
                }
            }
            const std::string one = memoryFields(m);
            return Reply::ok({"+CPMS: " + one + "," + one + "," + one});
        }
        case Form::Action:
            break;
    }
    return Reply::error(cms::OperationNotSupported);
}

Reply smgo(Context& ctx, const Command& cmd) {
    SmsStore& m = ctx.state.sms;
    switch (cmd.form) {
        case Form::Query:
            return Reply::ok({"^SMGO: " + std::to_string(m.presentation) + "," +
                              std::to_string(m.memoryState())});
        case Form::Test:
            return Reply::ok({"^SMGO: (0,1)"});
        case Form::Set: {
            const auto v = numbersInRanges(cmd.params(), {0}, {1}, 1);
            if (!v) {
                return Reply::error(cms::OperationNotSupported);
            }
            m.presentation = (*v)[0];
            return Reply::ok();
        }
        case Form::Action:
            break;
    }
    return Reply::error(cms::OperationNotSupported);
}

}  // namespace

void registerSmsCommands(CommandTable& table) {
    table.add("+CMGF", cmgf, ErrorClass::Cms);
    table.add("+CMGL", cmgl, ErrorClass::Cms);
    table.add("+CMGS", cmgs, ErrorClass::Cms);
    table.add("+CMGW", cmgw, ErrorClass::Cms);
    table.add("+CMGD", cmgd, ErrorClass::Cms);
    table.add("+CPMS", cpms, ErrorClass::Cms);
    table.add("^SMGO", smgo, ErrorClass::Cms);
}

}  // namespace phonesim
