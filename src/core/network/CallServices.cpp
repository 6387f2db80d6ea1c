#include "network/CallServices.h"

#include "link/Command.h"
#include "link/LinkOperation.h"
#include "network/Replies.h"

namespace vondrix::network {

// --- Forwarding -------------------------------------------------------------------

int forwardNumberType(std::string_view number) {
    return !number.empty() && number.front() == '+' ? 145 : 129;
}

std::optional<std::string> forwardingCommand(ForwardReason reason, ForwardMode mode,
                                             std::string_view number, int time, int classValue) {
    if (time < 0 || time > kMaxForwardTime)
        return std::nullopt;
    const int rounded = time / 5 * 5;
    at::Command command("AT+CCFC=");
    command.number(static_cast<int>(reason))
        .number(static_cast<int>(mode))
        .phoneNumber(number, kMaxForwardNumber)
        .number(forwardNumberType(number))
        .number(classValue);
    if (rounded != 0)
        command.omitted().omitted().number(rounded);
    if (!command.valid())
        return std::nullopt;
    return command.text();
}

bool ForwardingService::query(ForwardReason reason) {
    LinkOperation operation(engine_, reporter_);
    model_.reason = reason;
    model_.status = ForwardingStatus{};
    const std::string command =
        at::Command("AT+CCFC=").number(static_cast<int>(reason)).number(2).text();
    const AtEngine::Result ccfc = engine_.standard(command);
    if (!ccfc)
        return false;
    model_.status = parseCcfcQuery(ccfc.raw);
    return true;
}

std::vector<ClassOutcome> ForwardingService::request(ForwardReason reason, ForwardMode mode,
                                                     const ForwardingRequest& form) {
    LinkOperation operation(engine_, reporter_);
    ClassTicks ticks{};
    for (std::size_t i = 0; i < form.size(); ++i)
        ticks[i] = form[i].ticked;
    std::vector<ClassOutcome> outcomes;
    for (const int classValue : requestedClasses(ticks)) {
        const ForwardClassRequest& r = form[*classIndexOf(classValue)];
        if (operation.failed()) {
            outcomes.push_back({classValue, Outcome::LinkFailed});
            continue;
        }
        if (r.number.empty()) {
            reporter_.message(msg::EnterNumber, Caption::Error);
            outcomes.push_back({classValue, Outcome::NoNumber});
            continue;
        }
        const auto command = forwardingCommand(reason, mode, r.number, r.time, classValue);
        if (!command) {
            reporter_.message(msg::ValueRefused, Caption::Error);
            outcomes.push_back({classValue, Outcome::Refused});
            continue;
        }
        if (engine_.standard(*command)) {
            outcomes.push_back({classValue, Outcome::Done});
        } else if (operation.failed()) {
            outcomes.push_back({classValue, Outcome::LinkFailed});
        } else {
            reporter_.message(mode == ForwardMode::Deactivate ? msg::ForwardingNotDeactivated
                                                              : msg::ForwardingNotActivated,
                              Caption::Error);
            outcomes.push_back({classValue, Outcome::Failed});
        }
    }
    return outcomes;
}

// --- Barring ------------------------------------------------------------------------

bool BarringService::query(std::size_t facility) {
    LinkOperation operation(engine_, reporter_);
    if (facility >= kFacilityCodes.size())
        return false;
    model_.facility = facility;
    model_.status = BarringStatus{};
    const std::string command =
        at::Command("AT+CLCK=").word(kFacilityCodes[facility]).number(2).text();
    const AtEngine::Result clck = engine_.standard(command);
    if (!clck)
        return false;
    if (isBarringService(facility))
        model_.status.classes = parseClckClasses(clck.raw);
    else
        model_.status.lockActive = parseClckLock(clck.raw);
    return true;
}

bool BarringService::run(const std::string& command, bool activate, int classValue,
                         std::vector<ClassOutcome>& outcomes) {
    if (engine_.failure() != AtEngine::Failure::None) {
        outcomes.push_back({classValue, Outcome::LinkFailed});
        return false;
    }
    if (engine_.standard(command)) {
        outcomes.push_back({classValue, Outcome::Done});
        return true;
    }
    if (engine_.failure() != AtEngine::Failure::None) {
        outcomes.push_back({classValue, Outcome::LinkFailed});
        return false;
    }
    reporter_.message(activate ? msg::LockNotActivated : msg::LockNotDeactivated, Caption::Error);
    outcomes.push_back({classValue, Outcome::Failed});
    return false;
}

std::vector<ClassOutcome> BarringService::request(std::size_t facility, bool activate,
                                                  const ClassTicks& ticks,
                                                  std::string_view password) {
    LinkOperation operation(engine_, reporter_);
    std::vector<ClassOutcome> outcomes;
    if (facility >= kFacilityCodes.size())
        return outcomes;
    const int mode = activate ? 1 : 0;
    const std::string_view code = kFacilityCodes[facility];

    if (!isBarringService(facility)) {
        if (run(at::Command("AT+CLCK=").word(code).number(mode).text(), activate, 0, outcomes))
            model_.status.lockActive = activate;
        return outcomes;
    }

    const std::vector<int> classes = requestedClasses(ticks);
    if (classes.empty())
        return outcomes;
    // Checked once, before anything is sent: the message names no value.
    if (password.size() > kMaxBarringPassword ||
        !at::Command("AT+CLCK=")
             .digits(password.empty() ? "0" : password, kMaxBarringPassword)
             .valid()) {
        reporter_.message(msg::ValueRefused, Caption::Error);
        for (const int c : classes)
            outcomes.push_back({c, Outcome::Refused});
        return outcomes;
    }
    for (const int classValue : classes) {
        at::Command command("AT+CLCK=");
        command.word(code).number(mode);
        // An empty password is sent as an empty field; the network judges it.
        if (password.empty())
            command.omitted();
        else
            command.digits(password, kMaxBarringPassword);
        command.number(classValue);
        run(command.text(), activate, classValue, outcomes);
    }
    return outcomes;
}

}  // namespace vondrix::network
