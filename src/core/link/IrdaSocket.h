#pragma once

// The socket the infrared stack stands in with: an IPv4 TCP stream socket,
// made, configured and connected in separate steps so that each failing
// step has its own message. The system calls live in IrdaSocketPosix.cpp
// and IrdaSocketWin32.cpp.

#include <string>
#include <utility>

#include "link/PhoneLink.h"

namespace vondrix {

class IrdaSocket {
  public:
    IrdaSocket() = default;
    ~IrdaSocket() { close(); }
    IrdaSocket(const IrdaSocket&) = delete;
    IrdaSocket& operator=(const IrdaSocket&) = delete;

    bool create();
    // TCP_NODELAY and SO_KEEPALIVE.
    bool setOptions();
    bool connect(const std::string& host, int port);
    // Gives the connected socket to `link`.
    void handTo(PhoneLink& link) {
        link = PhoneLink::adoptSocket(std::exchange(handle_, PhoneLink::kNoHandle));
    }

    bool isOpen() const { return handle_ >= 0; }
    void close();

  private:
    PhoneLink::NativeHandle handle_ = PhoneLink::kNoHandle;
};

}  // namespace vondrix
