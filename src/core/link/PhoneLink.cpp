#include "link/PhoneLink.h"

#include <fcntl.h>
#include <grp.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>
#include <utility>
#include <vector>

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

namespace {

// The group that owns `path` when its members may read and write it.
std::string owningGroup(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || (st.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP))
        return {};
    std::vector<char> buffer(16384);
    group entry{};
    group* found = nullptr;
    if (::getgrgid_r(st.st_gid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return {};
    return found->gr_name;
}

SerialOpenError::Reason reasonOf(int error) {
    switch (error) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
        case EIO:
            return SerialOpenError::Reason::Missing;
        case EBUSY:
        case EWOULDBLOCK:
            return SerialOpenError::Reason::Busy;
        case EACCES:
        case EPERM:
            return SerialOpenError::Reason::Permission;
        case ENOTTY:
        case EINVAL:
            return SerialOpenError::Reason::NotSerial;
        default:
            return SerialOpenError::Reason::Other;
    }
}

}  // namespace

PhoneLink PhoneLink::openSerial(const std::string& path, int settleMs, SerialOpenError* error) {
    auto fail = [&](int fd, int why) {
        if (error) {
            error->reason = reasonOf(why);
            error->detail = std::strerror(why);
            if (error->reason == SerialOpenError::Reason::Permission)
                error->group = owningGroup(path);
        }
        if (fd >= 0)
            ::close(fd);
        return PhoneLink{};
    };
    if (path.empty())
        return fail(-1, ENOENT);
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return fail(fd, errno);
    // Another holder of the lock is using the phone; two programs talking
    // to it at once would take each other's replies.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
        return fail(fd, EWOULDBLOCK);

    termios tio{};
    if (::tcgetattr(fd, &tio) != 0)
        return fail(fd, errno);
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B19200);
    ::cfsetospeed(&tio, B19200);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 1;  // blocking reads; the engine bounds every wait with poll()
    tio.c_cc[VTIME] = 0;
    if (::tcsetattr(fd, TCSANOW, &tio) != 0)
        return fail(fd, errno);

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
