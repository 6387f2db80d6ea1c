#include <winsock2.h>
#include <ws2tcpip.h>

#include <chrono>
#include <stdexcept>

#include "support/ScriptedPhone.h"

namespace vondrix::test {

namespace {

SOCKET socketOf(std::intptr_t handle) {
    return static_cast<SOCKET>(handle);
}

// A connected pair of loopback TCP sockets: Windows has neither pty nor
// socketpair.
void connectedPair(std::intptr_t& peer, std::intptr_t& client) {
    if (!PhoneLink::networkStackReady())
        throw std::runtime_error("WSAStartup");
    const SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof address;
    const SOCKET out = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    const bool listening =
        listener != INVALID_SOCKET && out != INVALID_SOCKET &&
        bind(listener, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) == 0 &&
        listen(listener, 1) == 0 && connect(out, reinterpret_cast<sockaddr*>(&address), size) == 0;
    const SOCKET in = listening ? accept(listener, nullptr, nullptr) : INVALID_SOCKET;
    closesocket(listener);
    if (in == INVALID_SOCKET) {
        closesocket(out);
        throw std::runtime_error("loopback pair");
    }
    BOOL on = TRUE;
    setsockopt(in, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    peer = static_cast<std::intptr_t>(in);
    client = static_cast<std::intptr_t>(out);
}

}  // namespace

ScriptedPhone::ScriptedPhone(Kind kind) : kind_(kind) {
    connectedPair(peerFd_, clientFd_);
    thread_ = std::thread([this] { serve(); });
}

ScriptedPhone::~ScriptedPhone() {
    stopping_ = true;
    thread_.join();
    for (const auto s : {peerFd_, clientFd_})
        if (s >= 0)
            closesocket(socketOf(s));
}

PhoneLink ScriptedPhone::clientLink() {
    const auto s = clientFd_;
    clientFd_ = -1;
    return PhoneLink::adoptSocket(s);
}

void ScriptedPhone::serve() {
    std::string pending;
    while (!stopping_) {
        // A short wait, so that the destructor's stop is seen soon.
        WSAPOLLFD p{socketOf(peerFd_), POLLRDNORM, 0};
        const int ready = WSAPoll(&p, 1, 50);
        if (ready <= 0)
            continue;
        char buf[256];
        const int n = recv(socketOf(peerFd_), buf, sizeof buf, 0);
        if (n <= 0 || !take(std::string_view(buf, static_cast<std::size_t>(n)), pending))
            return;
    }
}

void ScriptedPhone::send(const std::string& bytes) {
    // The engine may have given up and closed its end already.
    (void)::send(socketOf(peerFd_), bytes.data(), static_cast<int>(bytes.size()), 0);
}

void ScriptedPhone::hangUp() {
    shutdown(socketOf(peerFd_), SD_BOTH);
}

}  // namespace vondrix::test
