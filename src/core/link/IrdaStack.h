#pragma once

// This platform's stand-in for the infrared stack: the devices "in range"
// are listed in the setting IrDevices as "NAME=HOST:PORT" entries separated
// by commas, and connecting to one opens a TCP connection to it.

#include <optional>
#include <string>
#include <vector>

#include "foundation/Reporter.h"
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
    ~IrdaStack() { closeSocket(); }
    IrdaStack(const IrdaStack&) = delete;
    IrdaStack& operator=(const IrdaStack&) = delete;

    // A socket stack is configured (the setting is not empty).
    bool available() const { return !setting_.empty(); }

    // Finds the first device whose name contains "SIEMENS". Shows message
    // 91 (no socket), 92 (search failed) or 57 (nothing in range); none when
    // devices are in range but none is a Siemens phone.
    bool discover(Reporter& reporter);

    // Connects to the discovered phone; message 93 or 94 on failure.
    bool connect(Reporter& reporter, PhoneLink& link);

    const std::optional<IrDevice>& phone() const { return phone_; }

private:
    std::string setting_;
    int socket_ = -1;
    std::optional<IrDevice> phone_;
    void closeSocket();
};

}  // namespace vondrix
