#include "link/LinkOperation.h"

namespace vondrix {

LinkOperation::LinkOperation(AtEngine& engine, Reporter& reporter)
    : engine_(engine), reporter_(reporter) {
    if (engine_.operationDepth_++ == 0) {
        engine_.failure_ = AtEngine::Failure::None;
        engine_.sentInOperation_ = false;
    }
}

LinkOperation::~LinkOperation() {
    if (--engine_.operationDepth_ > 0)
        return;
    if (engine_.failure_ != AtEngine::Failure::None)
        reporter_.message(linkFailureMessage(engine_.failure_), Caption::Error);
    engine_.failure_ = AtEngine::Failure::None;
}

msg::Id linkFailureMessage(AtEngine::Failure failure) {
    switch (failure) {
        case AtEngine::Failure::LinkClosed:
            return msg::LinkLost;
        case AtEngine::Failure::Unreadable:
            return msg::ReplyUnreadable;
        case AtEngine::Failure::OutOfStep:
            return msg::RepliesOutOfStep;
        case AtEngine::Failure::NoAnswer:
        case AtEngine::Failure::None:
            break;
    }
    return msg::PhoneNotAnswering;
}

}  // namespace vondrix
