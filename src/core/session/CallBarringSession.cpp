#include "session/CallBarringSession.h"

namespace vondrix {

CallBarringSession::CallBarringSession(Session& session, Reporter& reporter)
    : service_(session.engine, reporter, session.settings, model_) {}

void CallBarringSession::choose(std::size_t facility) {
    if (facility >= network::kFacilityCodes.size())
        return;
    model_.facility = facility;
    model_.status = network::BarringStatus{};
}

bool CallBarringSession::show(std::size_t facility) {
    if (facility >= network::kFacilityCodes.size())
        return false;
    choose(facility);
    return service_.query(facility);
}

void CallBarringSession::changeFacility(std::size_t facility) {
    if (facility != model_.facility)
        show(facility);
}

void CallBarringSession::tick(std::size_t index, bool on) {
    if (classesEnabled())
        network::tickClass(model_.status.classes, index, on);
}

std::vector<network::ClassOutcome> CallBarringSession::request(bool activate,
                                                               std::string_view password) {
    return service_.request(model_.facility, activate, model_.status.classes, password);
}

}  // namespace vondrix
