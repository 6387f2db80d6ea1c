#include "link/PhoneLink.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>
#include <utility>

namespace vondrix {

PhoneLink::PhoneLink(PhoneLink&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), mode_(std::exchange(other.mode_, Mode::None)) {}

PhoneLink& PhoneLink::operator=(PhoneLink&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
        mode_ = std::exchange(other.mode_, Mode::None);
    }
    return *this;
}

void PhoneLink::close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    mode_ = Mode::None;
}

PhoneLink PhoneLink::openSerial(const std::string& path, int settleMs, std::string* error) {
    auto fail = [&](int fd, const char* what) {
        if (error)
            *error = std::string(what) + " " + path + ": " + std::strerror(errno);
        if (fd >= 0)
            ::close(fd);
        return PhoneLink{};
    };
    if (path.empty()) {
        errno = ENOENT;
        return fail(-1, "no serial device chosen");
    }
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return fail(fd, "cannot open");

    termios tio{};
    if (::tcgetattr(fd, &tio) != 0)
        return fail(fd, "not a serial device:");
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B19200);
    ::cfsetospeed(&tio, B19200);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 1;  // blocking reads; the engine bounds every wait with poll()
    tio.c_cc[VTIME] = 0;
    if (::tcsetattr(fd, TCSANOW, &tio) != 0)
        return fail(fd, "cannot configure");

    // RTS raised, DTR dropped. A pty or a USB adapter without modem lines
    // refuses these; that is no reason to give up the port.
    int rts = TIOCM_RTS;
    int dtr = TIOCM_DTR;
    (void)::ioctl(fd, TIOCMBIS, &rts);
    (void)::ioctl(fd, TIOCMBIC, &dtr);

    ::tcflush(fd, TCOFLUSH);
    ::tcflush(fd, TCIFLUSH);
    if (settleMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
    return PhoneLink(fd, Mode::Serial);
}

PhoneLink PhoneLink::adoptSocket(int fd) {
    return fd >= 0 ? PhoneLink(fd, Mode::Socket) : PhoneLink{};
}

PhoneLink PhoneLink::connectTcp(const std::string& host, int port, std::string* error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* res = nullptr;
    const std::string service = std::to_string(port);
    if (const int rc = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &res); rc != 0) {
        if (error)
            *error = "cannot resolve " + host + ": " + ::gai_strerror(rc);
        return {};
    }
    int fd = -1;
    std::string why = "no address";
    for (addrinfo* ai = res; ai; ai = ai->ai_next) {
        fd = ::socket(ai->ai_family, ai->ai_socktype | SOCK_CLOEXEC, ai->ai_protocol);
        if (fd < 0) {
            why = std::strerror(errno);
            continue;
        }
        if (::connect(fd, ai->ai_addr, ai->ai_addrlen) == 0)
            break;
        why = std::strerror(errno);
        ::close(fd);
        fd = -1;
    }
    ::freeaddrinfo(res);
    if (fd < 0) {
        if (error)
            *error = "cannot connect to " + host + ":" + service + ": " + why;
        return {};
    }
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return PhoneLink(fd, Mode::Socket);
}

}  // namespace vondrix
