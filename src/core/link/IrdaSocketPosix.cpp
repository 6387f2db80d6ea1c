#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include "link/IrdaSocket.h"

namespace vondrix {

void IrdaSocket::close() {
    if (handle_ >= 0)
        ::close(static_cast<int>(handle_));
    handle_ = PhoneLink::kNoHandle;
}

bool IrdaSocket::create() {
    close();
    handle_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    return isOpen();
}

bool IrdaSocket::setOptions() {
    const int fd = static_cast<int>(handle_);
    const int one = 1;
    return ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one) == 0 &&
           ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &one, sizeof one) == 0;
}

bool IrdaSocket::connect(const std::string& host, int port) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* res = nullptr;
    bool connected = false;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &res) == 0) {
        for (addrinfo* ai = res; ai && !connected; ai = ai->ai_next)
            connected = ::connect(static_cast<int>(handle_), ai->ai_addr, ai->ai_addrlen) == 0;
        ::freeaddrinfo(res);
    }
    return connected;
}

}  // namespace vondrix
