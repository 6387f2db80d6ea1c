// Dialling from the phonebook window and its call lists.

#include "phonebook/CallService.h"

#include "link/Command.h"
#include "link/LinkOperation.h"
#include "phonebook/CallCommands.h"
#include "phonebook/Shared.h"

namespace vondrix::phonebook {

bool CallService::selectCurrent() {
    return selectKind(engine_, reporter_, model_.current.kind);
}

CallService::DialResult CallService::reportDial(AtEngine::Status status) {
    if (linkFailed())
        return status;  // the link failure is shown instead
    switch (status) {
        case AtEngine::Status::Ok:
            break;
        case AtEngine::Status::NoCarrier:
            reporter_.message(msg::NoCarrier, Caption::Error);
            break;
        case AtEngine::Status::NoDialtone:
            reporter_.message(msg::NoDialTone, Caption::Error);
            break;
        case AtEngine::Status::Busy:
            reporter_.message(msg::Busy, Caption::Error);
            break;
        default:
            reporter_.message(msg::NotDialled, Caption::Error);
            break;
    }
    return status;
}

CallService::DialResult CallService::dialLocation(int location) {
    LinkOperation operation(engine_, reporter_);
    if (!selectCurrent())
        return kNotDialled;
    return reportDial(engine_.dial(dialLocationCommand(std::to_string(location))).status);
}

CallService::DialResult CallService::callBack(const std::string& line) {
    LinkOperation operation(engine_, reporter_);
    // The number follows the last comma: a name may hold commas, a number not.
    const std::size_t comma = line.rfind(',');
    if (line.empty() || comma == std::string::npos)
        return kNotDialled;
    const std::string number = line.substr(comma + 1);  // with the separator's blank
    if (!at::isDialString(number))
        return reportDial(AtEngine::Status::Refused);
    return reportDial(engine_.dial(dialNumberCommand(number)).status);
}

namespace {

// The last line of the reply, for a refusal the window keeps quiet about.
std::string lastLineOf(std::string_view response) {
    const std::size_t end = response.find_last_not_of("\r\n");
    if (end == std::string_view::npos)
        return {};
    const std::size_t begin = response.find_last_of("\r\n", end);
    const std::size_t from = begin == std::string_view::npos ? 0 : begin + 1;
    return std::string(response.substr(from, end + 1 - from));
}

}  // namespace

CallService::CallAnswer CallService::hangUp() {
    LinkOperation operation(engine_, reporter_);
    const AtEngine::Result hungUp = engine_.standard(kHangUpCommand);
    return {kHangUpCommand, hungUp.ok(), lastLineOf(hungUp.raw)};
}

CallService::CallAnswer CallService::redial() {
    LinkOperation operation(engine_, reporter_);
    const AtEngine::Result dialled = engine_.dial(kRedialCommand);
    return {kRedialCommand, dialled.ok(), lastLineOf(dialled.raw)};
}

bool CallService::clearDialledCalls() {
    LinkOperation operation(engine_, reporter_);
    if (!engine_.standard(kClearDialledCommand))
        return false;
    model_.dialled.lines.clear();  // the records stay until the next reading
    return true;
}

std::optional<std::string> CallService::copyToPhonebook(const std::string& line) {
    if (line.empty())
        return std::nullopt;
    if (line.front() == ',')
        return line.substr(1);
    reporter_.message(msg::EntryAlreadyPresent, Caption::Error);
    return std::nullopt;
}

}  // namespace vondrix::phonebook
