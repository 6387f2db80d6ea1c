#include "session/CallForwardingSession.h"

#include <algorithm>

namespace vondrix {

using network::ForwardReason;

CallForwardingSession::CallForwardingSession(Session& session, Reporter& reporter)
    : service_(session.engine, reporter, session.settings, model_) {}

void CallForwardingSession::choose(ForwardReason reason) {
    model_.reason = reason;
    model_.status = network::ForwardingStatus{};
    form_ = network::ForwardingRequest{};
}

bool CallForwardingSession::show(ForwardReason reason) {
    choose(reason);
    if (!service_.query(reason))
        return false;
    for (std::size_t i = 0; i < form_.size(); ++i) {
        const network::ForwardClassStatus& s = model_.status[i];
        form_[i] = {s.active, s.number, s.time};
    }
    return true;
}

void CallForwardingSession::changeReason(ForwardReason reason) {
    if (reason != model_.reason)
        show(reason);
}

void CallForwardingSession::tick(std::size_t index, bool on) {
    if (index >= form_.size())
        return;
    network::ClassTicks ticks{};
    for (std::size_t i = 0; i < form_.size(); ++i)
        ticks[i] = form_[i].ticked;
    network::tickClass(ticks, index, on);
    for (std::size_t i = 0; i < form_.size(); ++i)
        form_[i].ticked = ticks[i];
    if (index == network::kAll && on) {
        for (const std::size_t i : {network::kVoice, network::kData, network::kFax}) {
            form_[i].number.clear();
            form_[i].time = 0;
        }
    }
}

void CallForwardingSession::setNumber(std::size_t index, const std::string& number) {
    if (index < form_.size())
        form_[index].number = number.substr(0, network::kMaxForwardNumber);
}

void CallForwardingSession::setTime(std::size_t index, int seconds) {
    if (index < form_.size())
        form_[index].time = std::clamp(seconds, 0, network::kMaxForwardTime);
}

std::vector<network::ClassOutcome> CallForwardingSession::request(network::ForwardMode mode) {
    return service_.request(model_.reason, mode, form_);
}

}  // namespace vondrix
