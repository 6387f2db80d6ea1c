#include "phonesim/Endpoint.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <stdexcept>
#include <system_error>

namespace phonesim::endpoint {

namespace {

int fdOf(Handle h) {
    return static_cast<int>(h);
}

bool setNonBlocking(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

}  // namespace

void close(Handle& h) {
    if (h != kNone) {
        ::close(fdOf(h));
        h = kNone;
    }
}

bool hasPty() {
    return true;
}

Pty openPty() {
    Pty pty;
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0) {
        throw std::system_error(errno, std::generic_category(), "posix_openpt");
    }
    pty.master = master;
    std::string path(256, '\0');
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
        ::ptsname_r(master, path.data(), path.size()) != 0 || !setNonBlocking(master)) {
        const int err = errno;
        close(pty.master);
        throw std::system_error(err, std::generic_category(), "pty setup");
    }
    path.resize(path.find('\0'));
    const int slave = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios tio{};
    if (slave < 0 || ::tcgetattr(slave, &tio) != 0) {
        const int err = errno;
        if (slave >= 0) {
            ::close(slave);
        }
        close(pty.master);
        throw std::system_error(err, std::generic_category(), "pty slave " + path);
    }
    // Raw: no echo, no line editing, no CR/LF translation by the tty layer;
    // the phone's own echo is the only one.
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B19200);
    ::cfsetospeed(&tio, B19200);
    ::tcsetattr(slave, TCSANOW, &tio);
    pty.slave = slave;
    pty.path = std::move(path);
    return pty;
}

bool ptyDrained(Handle slave) {
    int unread = 0;
    return ::ioctl(fdOf(slave), TIOCINQ, &unread) == 0 && unread == 0;
}

Listener listenTcp(const std::string& host, int port, int bufferBytes) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    const int rc =
        ::getaddrinfo(host.empty() ? nullptr : host.c_str(), service.c_str(), &hints, &found);
    if (rc != 0) {
        throw std::runtime_error("cannot resolve " + host + ": " + ::gai_strerror(rc));
    }
    const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> guard(found, ::freeaddrinfo);
    Listener l;
    int err = 0;
    for (const addrinfo* a = found; a != nullptr; a = a->ai_next) {
        const int fd =
            ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol);
        if (fd < 0) {
            err = errno;
            continue;
        }
        const int one = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &bufferBytes, sizeof bufferBytes);
        ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &bufferBytes, sizeof bufferBytes);
        if (::bind(fd, a->ai_addr, a->ai_addrlen) == 0 && ::listen(fd, 4) == 0) {
            l.socket = fd;
            break;
        }
        err = errno;
        ::close(fd);
    }
    if (l.socket == kNone) {
        throw std::system_error(err, std::generic_category(), "listen on " + host + ":" + service);
    }
    sockaddr_storage addr{};
    socklen_t len = sizeof addr;
    if (::getsockname(fdOf(l.socket), reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        const int e = errno;
        close(l.socket);
        throw std::system_error(e, std::generic_category(), "getsockname");
    }
    l.port = addr.ss_family == AF_INET6
                 ? ntohs(reinterpret_cast<const sockaddr_in6*>(&addr)->sin6_port)
                 : ntohs(reinterpret_cast<const sockaddr_in*>(&addr)->sin_port);
    return l;
}

Handle accept(Handle listener) {
    const int fd = ::accept4(fdOf(listener), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
        return kNone;
    }
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

std::ptrdiff_t readSome(Handle h, char* buf, std::size_t size) {
    const ssize_t n = ::read(fdOf(h), buf, size);
    if (n > 0) {
        return n;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
        return kWouldBlock;
    }
    return kGone;
}

std::ptrdiff_t writeSome(Handle h, const char* data, std::size_t size, bool socket) {
    for (;;) {
        const ssize_t n =
            socket ? ::send(fdOf(h), data, size, MSG_NOSIGNAL) : ::write(fdOf(h), data, size);
        if (n >= 0) {
            return n;
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            return kWouldBlock;
        }
        if (errno != EINTR) {
            return kGone;
        }
    }
}

bool wait(std::vector<Watch>& watches, std::optional<std::chrono::nanoseconds> timeout) {
    std::vector<pollfd> fds;
    fds.reserve(watches.size());
    for (const Watch& w : watches) {
        const auto events = (w.read ? POLLIN : 0) | (w.write ? POLLOUT : 0);
        fds.push_back({fdOf(w.handle), static_cast<short>(events), 0});
    }
    timespec limit{};
    if (timeout) {
        const auto ns = std::max<std::chrono::nanoseconds::rep>(timeout->count(), 0);
        limit.tv_sec = static_cast<time_t>(ns / 1000000000);
        limit.tv_nsec = static_cast<long>(ns % 1000000000);
    }
    // Sub-millisecond waits: a byte at 19200 baud takes 0.52 ms, and
    // rounding each wait to whole milliseconds would slow the wire down.
    if (::ppoll(fds.data(), static_cast<nfds_t>(fds.size()), timeout ? &limit : nullptr, nullptr) <
        0) {
        return errno == EINTR;
    }
    for (std::size_t i = 0; i < watches.size(); ++i) {
        const short r = fds[i].revents;
        watches[i].readable = (r & POLLIN) != 0;
        watches[i].writable = (r & POLLOUT) != 0;
        watches[i].broken = (r & (POLLHUP | POLLERR)) != 0;
    }
    return true;
}

void Waker::open() {
    const int fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (fd < 0) {
        throw std::system_error(errno, std::generic_category(), "eventfd");
    }
    handle_ = fd;
}

void Waker::close() {
    endpoint::close(handle_);
}

void Waker::wake() {
    if (handle_ != kNone) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(fdOf(handle_), &one, sizeof one);
    }
}

void Waker::drain() {
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t n = ::read(fdOf(handle_), &count, sizeof count);
}

}  // namespace phonesim::endpoint
