// Dialling from the phonebook window and its call lists.

#include "link/Command.h"
#include "phonebook/CallCommands.h"
#include "phonebook/PhonebookService.h"

namespace vondrix::phonebook {

int PhonebookService::reportDial(int result) {
    if (linkFailed())
        return result;  // the link failure is shown instead
    switch (result) {
        case AtEngine::kDialOk:
            break;
        case AtEngine::kNoCarrier:
            reporter_.message(msg::NoCarrier, Caption::Error);
            break;
        case AtEngine::kNoDialtone:
            reporter_.message(msg::NoDialTone, Caption::Error);
            break;
        case AtEngine::kBusy:
            reporter_.message(msg::Busy, Caption::Error);
            break;
        default:
            reporter_.message(msg::NotDialled, Caption::Error);
            break;
    }
    return result;
}

int PhonebookService::dialLocation(int location) {
    LinkOperation operation(engine_, reporter_);
    if (!selectCurrent())
        return kNotDialled;
    return reportDial(engine_.dial(dialLocationCommand(std::to_string(location))));
}

int PhonebookService::callBack(const std::string& line) {
    LinkOperation operation(engine_, reporter_);
    // The number follows the last comma: a name may hold commas, a number not.
    const std::size_t comma = line.rfind(',');
    if (line.empty() || comma == std::string::npos)
        return kNotDialled;
    const std::string number = line.substr(comma + 1);  // with the separator's blank
    if (!at::isDialString(number))
        return reportDial(AtEngine::kDialFailed);
    return reportDial(engine_.dial(dialNumberCommand(number)));
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

PhonebookService::CallAnswer PhonebookService::hangUp() {
    LinkOperation operation(engine_, reporter_);
    const bool ok = engine_.standard(kHangUpCommand) == 1;
    return {kHangUpCommand, ok, lastLineOf(engine_.response())};
}

PhonebookService::CallAnswer PhonebookService::redial() {
    LinkOperation operation(engine_, reporter_);
    const bool ok = engine_.dial(kRedialCommand) == AtEngine::kDialOk;
    return {kRedialCommand, ok, lastLineOf(engine_.response())};
}

bool PhonebookService::clearDialledCalls() {
    LinkOperation operation(engine_, reporter_);
    if (engine_.standard(kClearDialledCommand) != 1)
        return false;
    model_.dialled.lines.clear();  // the records stay until the next reading
    return true;
}

std::optional<std::string> PhonebookService::copyToPhonebook(const std::string& line) {
    if (line.empty())
        return std::nullopt;
    if (line.front() == ',')
        return line.substr(1);
    reporter_.message(msg::EntryAlreadyPresent, Caption::Error);
    return std::nullopt;
}

}  // namespace vondrix::phonebook
