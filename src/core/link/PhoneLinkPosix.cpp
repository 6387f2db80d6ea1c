#include "link/PhoneLink.h"

#include <fcntl.h>
#include <grp.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>
#include <vector>

namespace vondrix {

void PhoneLink::close() {
    if (handle_ >= 0)
        ::close(static_cast<int>(handle_));
    handle_ = kNoHandle;
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

PhoneLink PhoneLink::adoptSocket(NativeHandle socket) {
    return socket >= 0 ? PhoneLink(socket, Mode::Socket) : PhoneLink{};
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

bool PhoneLink::networkStackReady() {
    return true;
}

bool PhoneLink::writeAll(std::string_view data) {
    const int fd = static_cast<int>(handle_);
    const bool socket = isSocket();
    std::size_t off = 0;
    while (off < data.size()) {
        // The serial path writes one byte per call, as a slow phone wants it.
        const std::size_t want = socket ? data.size() - off : 1;
        const ssize_t n = socket ? ::send(fd, data.data() + off, want, MSG_NOSIGNAL)
                                 : ::write(fd, data.data() + off, want);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        off += static_cast<std::size_t>(n);
    }
    return true;
}

bool PhoneLink::waitReadable(std::chrono::milliseconds wait) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + wait;
    pollfd p{static_cast<int>(handle_), POLLIN, 0};
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        const int rc =
            ::poll(&p, 1, static_cast<int>(std::clamp<long long>(left.count(), 0, 1 << 30)));
        if (rc > 0)
            return true;  // data, or a hang-up that the read will report
        if (rc == 0 || errno != EINTR)
            return false;
    }
}

std::optional<std::size_t> PhoneLink::read(char* into, std::size_t size) {
    const int fd = static_cast<int>(handle_);
    const ssize_t n = isSocket() ? ::recv(fd, into, size, 0) : ::read(fd, into, size);
    if (n < 0 && (errno == EINTR || errno == EAGAIN))
        return 0;
    if (n <= 0)
        return std::nullopt;
    return static_cast<std::size_t>(n);
}

}  // namespace vondrix
