// Windows: Winsock only. There is no pty, so the phone serves TCP; the wait is
// WSAPoll, which has poll's level-triggered meaning, so the serving loop is
// the same as on POSIX. The waker is a loopback UDP socket connected to
// itself: a datagram it sends itself makes it readable inside that same
// WSAPoll. (WSAEventSelect with WaitForMultipleObjects would need a second
// loop shape: its write event fires only after a send would have blocked.)

#include "phonesim/Endpoint.h"

// Winsock before the rest of Windows.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <windows.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <system_error>

namespace phonesim::endpoint {

namespace {

SOCKET sockOf(Handle h) {
    return static_cast<SOCKET>(h);
}

[[noreturn]] void throwWsa(int err, const std::string& what) {
    throw std::system_error(err, std::system_category(), what);
}

void startWinsock() {
    static std::once_flag once;
    static int result = 0;
    std::call_once(once, [] {
        WSADATA data{};
        result = ::WSAStartup(MAKEWORD(2, 2), &data);
    });
    if (result != 0) {
        throwWsa(result, "WSAStartup");
    }
}

// Not inherited by child processes, and never blocking.
bool prepare(SOCKET s) {
    ::SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
    u_long on = 1;
    return ::ioctlsocket(s, FIONBIO, &on) == 0;
}

int clampedSize(std::size_t size) {
    return static_cast<int>(std::min<std::size_t>(size, INT_MAX));
}

}  // namespace

void close(Handle& h) {
    if (h != kNone) {
        ::closesocket(sockOf(h));
        h = kNone;
    }
}

bool hasPty() {
    return false;
}

Pty openPty() {
    throw std::system_error(std::make_error_code(std::errc::function_not_supported),
                            "no pty on this system");
}

bool ptyDrained(Handle) {
    return true;
}

Listener listenTcp(const std::string& host, int port, int bufferBytes) {
    startWinsock();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    const int rc =
        ::getaddrinfo(host.empty() ? nullptr : host.c_str(), service.c_str(), &hints, &found);
    if (rc != 0) {
        throw std::runtime_error("cannot resolve " + host + ": " +
                                 std::system_category().message(rc));
    }
    const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> guard(found, ::freeaddrinfo);
    Listener l;
    int err = 0;
    for (const addrinfo* a = found; a != nullptr; a = a->ai_next) {
        const SOCKET s = ::socket(a->ai_family, a->ai_socktype, a->ai_protocol);
        if (s == INVALID_SOCKET) {
            err = ::WSAGetLastError();
            continue;
        }
        // Windows' SO_REUSEADDR would let another program take the port
        // over; exclusive use is what a listener wants there.
        const BOOL on = TRUE;
        ::setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&on),
                     sizeof on);
        ::setsockopt(s, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&bufferBytes),
                     sizeof bufferBytes);
        ::setsockopt(s, SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&bufferBytes),
                     sizeof bufferBytes);
        if (prepare(s) && ::bind(s, a->ai_addr, static_cast<int>(a->ai_addrlen)) == 0 &&
            ::listen(s, 4) == 0) {
            l.socket = static_cast<Handle>(s);
            break;
        }
        err = ::WSAGetLastError();
        ::closesocket(s);
    }
    if (l.socket == kNone) {
        throwWsa(err, "listen on " + host + ":" + service);
    }
    sockaddr_storage addr{};
    int len = sizeof addr;
    if (::getsockname(sockOf(l.socket), reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        const int e = ::WSAGetLastError();
        close(l.socket);
        throwWsa(e, "getsockname");
    }
    l.port = addr.ss_family == AF_INET6
                 ? ntohs(reinterpret_cast<const sockaddr_in6*>(&addr)->sin6_port)
                 : ntohs(reinterpret_cast<const sockaddr_in*>(&addr)->sin_port);
    return l;
}

Handle accept(Handle listener) {
    const SOCKET s = ::accept(sockOf(listener), nullptr, nullptr);
    if (s == INVALID_SOCKET) {
        return kNone;
    }
    if (!prepare(s)) {
        ::closesocket(s);
        return kNone;
    }
    const BOOL on = TRUE;
    ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    return static_cast<Handle>(s);
}

std::ptrdiff_t readSome(Handle h, char* buf, std::size_t size) {
    const int n = ::recv(sockOf(h), buf, clampedSize(size), 0);
    if (n > 0) {
        return n;
    }
    if (n < 0) {
        const int err = ::WSAGetLastError();
        if (err == WSAEWOULDBLOCK || err == WSAEINTR) {
            return kWouldBlock;
        }
    }
    return kGone;
}

std::ptrdiff_t writeSome(Handle h, const char* data, std::size_t size, bool) {
    const int n = ::send(sockOf(h), data, clampedSize(size), 0);
    if (n >= 0) {
        return n;
    }
    return ::WSAGetLastError() == WSAEWOULDBLOCK ? kWouldBlock : kGone;
}

bool wait(std::vector<Watch>& watches, std::optional<std::chrono::nanoseconds> timeout) {
    std::vector<WSAPOLLFD> fds;
    fds.reserve(watches.size());
    for (const Watch& w : watches) {
        const auto events = (w.read ? POLLRDNORM : 0) | (w.write ? POLLWRNORM : 0);
        fds.push_back({sockOf(w.handle), static_cast<SHORT>(events), 0});
    }
    // Whole milliseconds, rounded up: a wait that ends early would only spin.
    // Late wake-ups cost no wire time: output is paced by absolute deadlines.
    INT ms = -1;
    if (timeout) {
        const auto whole = std::chrono::ceil<std::chrono::milliseconds>(
            std::max(*timeout, std::chrono::nanoseconds::zero()));
        ms = static_cast<INT>(std::min<std::chrono::milliseconds::rep>(whole.count(), INT_MAX));
    }
    if (::WSAPoll(fds.data(), static_cast<ULONG>(fds.size()), ms) == SOCKET_ERROR) {
        return ::WSAGetLastError() == WSAEINTR;
    }
    for (std::size_t i = 0; i < watches.size(); ++i) {
        const SHORT r = fds[i].revents;
        watches[i].readable = (r & (POLLRDNORM | POLLRDBAND)) != 0;
        watches[i].writable = (r & POLLWRNORM) != 0;
        watches[i].broken = (r & (POLLHUP | POLLERR)) != 0;
    }
    return true;
}

void Waker::open() {
    startWinsock();
    const SOCKET s = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET) {
        throwWsa(::WSAGetLastError(), "wake-up socket");
    }
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int len = sizeof addr;
    if (!prepare(s) || ::bind(s, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 ||
        ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len) != 0 ||
        ::connect(s, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        const int err = ::WSAGetLastError();
        ::closesocket(s);
        throwWsa(err, "wake-up socket");
    }
    handle_ = static_cast<Handle>(s);
}

void Waker::close() {
    endpoint::close(handle_);
}

void Waker::wake() {
    if (handle_ != kNone) {
        const char one = 1;
        // A full buffer means wake-ups are already pending.
        ::send(sockOf(handle_), &one, 1, 0);
    }
}

void Waker::drain() {
    char buf[64];
    while (::recv(sockOf(handle_), buf, sizeof buf, 0) > 0) {
    }
}

}  // namespace phonesim::endpoint
