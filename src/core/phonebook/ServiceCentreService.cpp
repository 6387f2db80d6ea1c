#include "phonebook/ServiceCentreService.h"

#include "link/Command.h"
#include "link/LinkOperation.h"
#include "link/SharedReplies.h"

namespace vondrix::phonebook {

bool ServiceCentreService::read() {
    LinkOperation operation(engine_, reporter_);
    model_.serviceCentre = PhonebookEntry{};
    const AtEngine::Result csca = engine_.standard("AT+CSCA?");
    if (!csca)
        return false;
    model_.serviceCentre.number = fitField(at::parseCscaQuery(csca.raw));
    model_.serviceCentre.type = numberType(model_.serviceCentre.number);
    return true;
}

bool ServiceCentreService::set(const std::string& number) {
    LinkOperation operation(engine_, reporter_);
    const std::string text = number.substr(0, 49);
    if (text.empty()) {
        reporter_.message(msg::EnterServiceCentre, Caption::Error);
        return false;
    }
    const int type = numberType(text);
    const at::Command command = at::Command("AT+CSCA=").phoneNumber(text).number(type);
    if (!command.valid()) {
        reporter_.message(msg::ValueRefused, Caption::Error);
        return false;
    }
    if (!engine_.standard(command.text())) {
        if (!linkFailed())
            reporter_.message(msg::ServiceCentreNotSet, Caption::Error);
        return false;
    }
    model_.serviceCentre.number = fitField(text);
    model_.serviceCentre.type = type;
    return true;
}

}  // namespace vondrix::phonebook
