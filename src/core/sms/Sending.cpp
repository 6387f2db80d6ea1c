// Sending a text in parts, storing a part or a predefined text.

#include <algorithm>

#include "link/Command.h"
#include "link/LinkOperation.h"
#include "sms/SmsService.h"
#include "text/Hex.h"

namespace vondrix::sms {
namespace {

constexpr char kCtrlZ = '\x1A';
// A command-mode answer whose data transaction fails is tried this often.
constexpr int kSilentAttempts = 3;

}  // namespace

PartCounters partCounters(std::size_t length, bool eightBit) {
    const std::size_t size = partSize(eightBit);
    const std::size_t parts = (length + size - 1) / size;
    return {length, parts * size - length, parts};
}

PartCounters partCounters(std::string_view text, bool eightBit) {
    const std::vector<std::string> parts = splitIntoParts(text, eightBit);
    const std::size_t last = parts.empty() ? 0 : partUnits(parts.back(), eightBit);
    return {partUnits(text, eightBit), parts.empty() ? 0 : partSize(eightBit) - last, parts.size()};
}

int tpduLength(std::string_view pdu) {
    if (pdu.size() < 2)
        return 0;
    const int octets = static_cast<int>(pdu.size() / 2);
    const int sca = 1 + std::max(0, hexDigit(pdu[0])) * 16 + std::max(0, hexDigit(pdu[1]));
    return std::max(0, octets - sca);
}

SmsService::PartOutcome SmsService::sendPart(const std::string& pdu, int part, int parts,
                                             SendKind kind) {
    reporter_.progressBegin(Reporter::Display::Sending, parts, Reporter::Task::Sending);
    reporter_.progressStep(part + 1);
    const std::string command = at::Command("AT+CMGS=").number(tpduLength(pdu)).text();
    int dataAttempts = 0;
    for (;;) {
        if (engine_.prompt(command).status == AtEngine::Status::Prompt) {
            if (engine_.withLateAnswer(engine_.prompt(pdu + kCtrlZ, true)).status ==
                AtEngine::Status::Ok) {
                reporter_.progressEnd();
                return PartOutcome::Sent;
            }
            // The phone took the command but not the message: an answer of
            // the command mode is simply tried again.
            if (kind == SendKind::CommandMode && !linkFailed()) {
                if (++dataAttempts < kSilentAttempts)
                    continue;
                reporter_.progressEnd();
                return PartOutcome::Dropped;
            }
        }
        if (linkFailed()) {
            reporter_.progressEnd();
            return PartOutcome::LinkFailed;
        }
        if (reporter_.message(msg::MessagesNotSent, Caption::Error, Buttons::RetryCancel) ==
            Answer::Retry)
            continue;
        reporter_.progressEnd();
        return PartOutcome::Cancelled;
    }
}

SendReport SmsService::send(const Outgoing& message, SendKind kind) {
    LinkOperation operation(engine_, reporter_);
    SendReport report;
    if (message.text.empty())
        return report;

    SubmitOptions options = kind == SendKind::CommandMode ? SubmitOptions{} : message.options;
    // The whole recipient is checked, never a cut of it: a number cut to
    // fit would send the message to someone else.
    const std::string& recipient = message.recipient;
    const std::vector<std::string> parts = splitIntoParts(message.text, options.eightBit);
    report.parts = static_cast<int>(parts.size());
    if (!at::isAddress(recipient)) {
        const std::string_view digits =
            std::string_view(recipient).substr(recipient.starts_with('+') ? 1 : 0);
        const bool tooLong =
            std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
        reporter_.message(recipient.empty() ? msg::EnterNumber
                          : tooLong         ? msg::AddressTooLong
                                            : msg::ValueRefused,
                          Caption::Error);
        report.refused = true;
        return report;
    }

    const CodecSettings settings = codec();
    for (std::size_t k = 0; k < parts.size(); ++k) {
        SubmitPart part;
        part.serviceCentre = model_.serviceCentre;
        part.recipient = recipient;
        part.text = parts[k];
        part.index = static_cast<int>(k);
        part.options = options;
        const std::string pdu = buildSubmitPdu(part, settings);
        if (pdu.empty() || pdu.size() % 2 != 0 || !allHexDigits(pdu)) {
            // A service centre that is no number cannot be encoded.
            reporter_.message(msg::ValueRefused, Caption::Error);
            report.refused = true;
            return report;
        }
        switch (sendPart(pdu, static_cast<int>(k), report.parts, kind)) {
            case PartOutcome::Sent:
                ++report.sent;
                break;
            case PartOutcome::Dropped:
                break;
            case PartOutcome::LinkFailed:
                report.linkFailed = true;
                return report;
            case PartOutcome::Cancelled:
                if (reporter_.message(msg::StoreUnsentMessage, Caption::Info, Buttons::YesNo) ==
                    Answer::Yes) {
                    MessageRow row;
                    if (kind == SendKind::Dialog) {
                        row.number = recipient.substr(0, kStoredNumberMax);
                        row.text = message.text.substr(0, kStoredTextMax);
                    }
                    if (store(pdu, std::move(row)))
                        ++report.stored;
                }
                if (linkFailed()) {
                    report.linkFailed = true;
                    return report;
                }
                break;
        }
    }
    return report;
}

SendReport SmsService::storePredefined(std::string_view text) {
    LinkOperation operation(engine_, reporter_);
    SendReport report;
    const std::vector<std::string> parts = splitIntoParts(text, false);
    report.parts = static_cast<int>(parts.size());
    const CodecSettings settings = codec();
    for (std::size_t k = 0; k < parts.size() && !linkFailed(); ++k) {
        MessageRow row;
        row.text = std::string(text.substr(0, kStoredTextMax));
        if (store(buildStoredPredefinedPdu(parts[k], static_cast<int>(k), settings),
                  std::move(row)))
            ++report.stored;
    }
    report.linkFailed = linkFailed();
    return report;
}

std::optional<int> SmsService::store(const std::string& pdu, MessageRow row) {
    LinkOperation operation(engine_, reporter_);
    const std::string command = at::Command("AT+CMGW=").number(tpduLength(pdu)).number(2).text();
    AtEngine::Result sent;
    if (engine_.prompt(command).status == AtEngine::Status::Prompt)
        sent = engine_.withLateAnswer(engine_.prompt(pdu + kCtrlZ, true));
    if (sent.status != AtEngine::Status::Ok) {
        if (!linkFailed())
            reporter_.message(msg::MessageNotStored, Caption::Error);
        return std::nullopt;
    }
    const auto index = parseCmgwReply(sent.raw);
    if (!index)
        return std::nullopt;
    MessageList& list = model_.list;
    row.index = std::to_string(*index);
    row.kind = MessageKind::Stored;
    row.position = list.nextPosition++;
    list.rows.push_back(std::move(row));
    list.memory.used = static_cast<int>(list.count());
    return index;
}

}  // namespace vondrix::sms
