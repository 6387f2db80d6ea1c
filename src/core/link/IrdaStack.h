#pragma once

// This platform's stand-in for the infrared stack: the devices "in range"
// are listed in the setting IrDevices as "NAME=HOST:PORT" entries separated
// by commas, and connecting to one opens a TCP connection to it.

#include <optional>
#include <string>
#include <vector>

#include "link/IrdaSocket.h"
#include "link/PhoneLink.h"

namespace vondrix {

struct IrDevice {
    std::string name;
    std::string host;
    int port = 0;
};

// The device list as the stack reports it. nullopt when the list cannot be
// read (a malformed entry): the device search failed.
std::optional<std::vector<IrDevice>> parseIrDevices(const std::string& setting);

// The list holds at most this many devices, like the platform's device list.
constexpr std::size_t kMaxIrDevices = 5;

class IrdaStack {
  public:
    explicit IrdaStack(std::string setting) : setting_(std::move(setting)) {}
    IrdaStack(const IrdaStack&) = delete;
    IrdaStack& operator=(const IrdaStack&) = delete;

    // A socket stack is configured (the setting is not empty).
    bool available() const { return !setting_.empty(); }

    enum class Result {
        Ok,
        NoNetworkStack,  // the system's network stack could not be started
        NoSocket,        // the socket could not be created
        SearchFailed,    // the device list could not be read
        NothingInRange,  // no device at all
        NoPhone,         // devices, but none is a Siemens phone
        OptionsRefused,  // the socket options could not be set
        ConnectFailed,
    };

    // Finds the first device whose name contains "SIEMENS".
    Result discover();

    // Connects to the discovered phone.
    Result connect(PhoneLink& link);

    const std::optional<IrDevice>& phone() const { return phone_; }

  private:
    std::string setting_;
    IrdaSocket socket_;
    std::optional<IrDevice> phone_;
};

}  // namespace vondrix
