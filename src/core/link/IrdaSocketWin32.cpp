#include <winsock2.h>
#include <ws2tcpip.h>

#include "link/IrdaSocket.h"

namespace vondrix {
namespace {

SOCKET socketOf(PhoneLink::NativeHandle handle) {
    return static_cast<SOCKET>(handle);
}

}  // namespace

void IrdaSocket::close() {
    if (handle_ >= 0)
        closesocket(socketOf(handle_));
    handle_ = PhoneLink::kNoHandle;
}

bool IrdaSocket::create() {
    close();
    const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        return false;
    // Not inherited by programs started meanwhile.
    SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
    handle_ = static_cast<PhoneLink::NativeHandle>(s);
    return true;
}

bool IrdaSocket::setOptions() {
    const BOOL one = TRUE;
    const auto* value = reinterpret_cast<const char*>(&one);
    return setsockopt(socketOf(handle_), IPPROTO_TCP, TCP_NODELAY, value, sizeof one) == 0 &&
           setsockopt(socketOf(handle_), SOL_SOCKET, SO_KEEPALIVE, value, sizeof one) == 0;
}

bool IrdaSocket::connect(const std::string& host, int port) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* res = nullptr;
    bool connected = false;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &res) == 0) {
        for (addrinfo* ai = res; ai && !connected; ai = ai->ai_next)
            connected =
                ::connect(socketOf(handle_), ai->ai_addr, static_cast<int>(ai->ai_addrlen)) == 0;
        freeaddrinfo(res);
    }
    return connected;
}

}  // namespace vondrix
