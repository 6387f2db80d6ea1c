#include "link/IrdaStack.h"

#include "text/Decimal.h"

namespace vondrix {
namespace {

std::string trimmed(const std::string& s) {
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

}  // namespace

std::optional<std::vector<IrDevice>> parseIrDevices(const std::string& setting) {
    std::vector<IrDevice> devices;
    std::size_t pos = 0;
    while (pos <= setting.size()) {
        auto comma = setting.find(',', pos);
        if (comma == std::string::npos)
            comma = setting.size();
        const std::string entry = trimmed(setting.substr(pos, comma - pos));
        pos = comma + 1;
        if (entry.empty())
            continue;
        const auto eq = entry.find('=');
        const auto colon = entry.rfind(':');
        if (eq == std::string::npos || colon == std::string::npos || colon < eq)
            return std::nullopt;
        IrDevice d{trimmed(entry.substr(0, eq)), trimmed(entry.substr(eq + 1, colon - eq - 1)),
                   decimalValue(entry.substr(colon + 1))};
        if (d.host.empty() || d.port <= 0 || d.port > 65535)
            return std::nullopt;
        if (devices.size() < kMaxIrDevices)
            devices.push_back(std::move(d));
    }
    return devices;
}

IrdaStack::Result IrdaStack::discover() {
    phone_.reset();
    if (!PhoneLink::networkStackReady())
        return Result::NoNetworkStack;
    if (!socket_.create())
        return Result::NoSocket;
    const auto devices = parseIrDevices(setting_);
    if (!devices) {
        socket_.close();
        return Result::SearchFailed;
    }
    if (devices->empty()) {
        socket_.close();
        return Result::NothingInRange;
    }
    for (const auto& d : *devices) {
        if (d.name.find("SIEMENS") != std::string::npos) {
            phone_ = d;
            return Result::Ok;
        }
    }
    socket_.close();
    return Result::NoPhone;
}

IrdaStack::Result IrdaStack::connect(PhoneLink& link) {
    if (!phone_ || !socket_.isOpen())
        return Result::ConnectFailed;
    if (!socket_.setOptions()) {
        socket_.close();
        return Result::OptionsRefused;
    }
    if (!socket_.connect(phone_->host, phone_->port)) {
        socket_.close();
        return Result::ConnectFailed;
    }
    socket_.handTo(link);
    return Result::Ok;
}

}  // namespace vondrix
