#include "link/IrdaStack.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

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

void IrdaStack::closeSocket() {
    if (socket_ >= 0)
        ::close(socket_);
    socket_ = -1;
}

IrdaStack::Result IrdaStack::discover() {
    phone_.reset();
    socket_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket_ < 0) {
        return Result::NoSocket;
    }
    const auto devices = parseIrDevices(setting_);
    if (!devices) {
        closeSocket();
        return Result::SearchFailed;
    }
    if (devices->empty()) {
        closeSocket();
        return Result::NothingInRange;
    }
    for (const auto& d : *devices) {
        if (d.name.find("SIEMENS") != std::string::npos) {
            phone_ = d;
            return Result::Ok;
        }
    }
    closeSocket();
    return Result::NoPhone;
}

IrdaStack::Result IrdaStack::connect(PhoneLink& link) {
    if (!phone_ || socket_ < 0)
        return Result::ConnectFailed;
    const int one = 1;
    if (::setsockopt(socket_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one) != 0 ||
        ::setsockopt(socket_, SOL_SOCKET, SO_KEEPALIVE, &one, sizeof one) != 0) {
        closeSocket();
        return Result::OptionsRefused;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* res = nullptr;
    bool connected = false;
    if (::getaddrinfo(phone_->host.c_str(), std::to_string(phone_->port).c_str(), &hints, &res) ==
        0) {
        for (addrinfo* ai = res; ai && !connected; ai = ai->ai_next)
            connected = ::connect(socket_, ai->ai_addr, ai->ai_addrlen) == 0;
        ::freeaddrinfo(res);
    }
    if (!connected) {
        closeSocket();
        return Result::ConnectFailed;
    }
    link = PhoneLink::adoptSocket(socket_);
    socket_ = -1;
    return Result::Ok;
}

}  // namespace vondrix
