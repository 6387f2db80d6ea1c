#include "support/ScriptedPhone.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace vondrix::test {

ScriptedPhone::ScriptedPhone(Kind kind) : kind_(kind) {
    if (::pipe2(wakeFds_, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe");
    if (kind == Kind::Socket) {
        int sv[2];
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sv) != 0)
            throw std::runtime_error("socketpair");
        peerFd_ = sv[0];
        clientFd_ = sv[1];
    } else {
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        peerFd_ = master;
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
            throw std::runtime_error("pty");
        slavePath_ = ::ptsname(master);
        // Keep the slave open and raw so nothing is echoed or translated.
        clientFd_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios t{};
        ::tcgetattr(static_cast<int>(clientFd_), &t);
        ::cfmakeraw(&t);
        ::tcsetattr(static_cast<int>(clientFd_), TCSANOW, &t);
    }
    thread_ = std::thread([this] { serve(); });
}

ScriptedPhone::~ScriptedPhone() {
    (void)!::write(wakeFds_[1], "x", 1);
    thread_.join();
    for (const auto fd :
         {peerFd_, clientFd_, std::intptr_t{wakeFds_[0]}, std::intptr_t{wakeFds_[1]}})
        if (fd >= 0)
            ::close(static_cast<int>(fd));
}

PhoneLink ScriptedPhone::clientLink() {
    if (kind_ == Kind::Socket) {
        const auto fd = clientFd_;
        clientFd_ = -1;
        return PhoneLink::adoptSocket(fd);
    }
    return PhoneLink::openSerial(slavePath_, 0);
}

void ScriptedPhone::serve() {
    std::string pending;
    for (;;) {
        pollfd p[2] = {{static_cast<int>(peerFd_), POLLIN, 0}, {wakeFds_[0], POLLIN, 0}};
        if (::poll(p, 2, -1) < 0)
            continue;
        if (p[1].revents)
            return;
        if (!(p[0].revents & POLLIN)) {
            if (p[0].revents)
                return;
            continue;
        }
        char buf[256];
        const ssize_t n = ::read(static_cast<int>(peerFd_), buf, sizeof buf);
        if (n <= 0 || !take(std::string_view(buf, static_cast<std::size_t>(n)), pending))
            return;
    }
}

void ScriptedPhone::send(const std::string& bytes) {
    // The engine may have given up and closed its end already.
    if (kind_ == Kind::Socket)
        (void)!::send(static_cast<int>(peerFd_), bytes.data(), bytes.size(), MSG_NOSIGNAL);
    else
        (void)!::write(static_cast<int>(peerFd_), bytes.data(), bytes.size());
}

void ScriptedPhone::hangUp() {
    if (kind_ == Kind::Socket) {
        ::shutdown(static_cast<int>(peerFd_), SHUT_RDWR);
    } else {
        ::close(static_cast<int>(peerFd_));
        peerFd_ = -1;
    }
}

}  // namespace vondrix::test
