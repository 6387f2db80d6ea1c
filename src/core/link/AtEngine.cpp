#include "link/AtEngine.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>

namespace vondrix {
namespace {

constexpr std::string_view kOk = "OK\r\n";
constexpr std::string_view kError = "ERROR\r\n";
constexpr std::string_view kExtendedError = "ERROR:";
constexpr std::size_t kLongestResult = 13;  // "NO DIALTONE\r\n"
constexpr std::size_t kChunk = 20480;

bool writeAll(int fd, std::string_view data, bool socket) {
    std::size_t off = 0;
    while (off < data.size()) {
        // The serial path writes one byte per call, as a slow phone wants it.
        const std::size_t want = socket ? data.size() - off : 1;
        const ssize_t n = socket ? ::send(fd, data.data() + off, want, MSG_NOSIGNAL)
                                 : ::write(fd, data.data() + off, want);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        off += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

int AtEngine::standard(std::string_view command) { return run(Variant::Standard, command, false); }
int AtEngine::dial(std::string_view command) { return run(Variant::Dial, command, false); }
int AtEngine::prompt(std::string_view command, bool raw) { return run(Variant::Prompt, command, raw); }
int AtEngine::list(std::string_view command) { return run(Variant::List, command, false); }

bool AtEngine::waitReadable(std::chrono::milliseconds limit) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + limit;
    pollfd p{link_.fd(), POLLIN, 0};
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() < 0) return false;
        const int rc = ::poll(&p, 1, static_cast<int>(left.count()));
        if (rc > 0) return true;  // data, or a hang-up that the read will report
        if (rc == 0) return false;
        if (errno != EINTR) return false;
    }
}

int AtEngine::run(Variant v, std::string_view command, bool raw) {
    current_ = v == Variant::List ? searchTimeout_ : timeout_;
    std::string line(command);
    if (!(v == Variant::Prompt && raw)) line += '\r';
    if (!link_.isOpen()) return 0;
    const bool socket = link_.isSocket();
    if (!writeAll(link_.fd(), line, socket)) return 0;

    response_.clear();
    searchedUpTo_ = 0;
    std::array<char, kChunk> buf{};
    for (;;) {
        if (!waitReadable(current_)) return 0;
        // The serial path reads byte by byte so that nothing after the
        // final result (such as the blank after a prompt) is taken early.
        const ssize_t n = socket ? ::recv(link_.fd(), buf.data(), buf.size(), 0)
                                 : ::read(link_.fd(), buf.data(), 1);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) return 0;  // error, or the phone closed the link
        const auto count = static_cast<std::size_t>(n);
        if (response_.size() + count > kMaxResponse) return 0;
        if (v == Variant::Standard) std::replace(buf.begin(), buf.begin() + n, '\0', '@');
        const std::size_t from = response_.size();
        response_.append(buf.data(), count);
        if (const int r = test(v, from, buf[count - 1] == '\n', socket); r >= 0) return r;
    }
}

int AtEngine::test(Variant v, std::size_t from, bool atLineEnd, bool socketChunk) {
    // A result text seen before the previous test would already have ended
    // the transaction, so only text reaching into the new bytes is searched.
    const std::size_t start = searchedUpTo_ > kLongestResult ? searchedUpTo_ - kLongestResult : 0;
    const std::string_view window = std::string_view(response_).substr(start);
    auto found = [&](std::string_view text) { return window.find(text) != std::string_view::npos; };

    switch (v) {
        case Variant::Standard:
            if (!atLineEnd) return -1;
            searchedUpTo_ = response_.size();
            if (found(kOk)) return 1;
            if (found(kError) || found(kExtendedError)) return 0;
            return -1;
        case Variant::Dial:
            searchedUpTo_ = response_.size();
            if (found(kOk)) return kDialOk;
            if (found(kError)) return kDialFailed;
            if (found("NO CARRIER\r\n")) return kNoCarrier;
            if (found("NO DIALTONE\r\n")) return kNoDialtone;
            if (found("BUSY\r\n")) return kBusy;
            return -1;
        case Variant::Prompt:
            searchedUpTo_ = response_.size();
            if (found(kOk)) return 1;
            if (response_.find('>', from) != std::string::npos) return 1;
            if (found(kError)) return 0;
            return -1;
        case Variant::List:
            if (!atLineEnd) return -1;
            searchedUpTo_ = response_.size();
            // On the serial link the bare letters "OK" end the listing; over a
            // socket a chunk can end at any line, so the full "OK\r\n" is needed.
            if (found(socketChunk ? kOk : std::string_view("OK"))) return 1;
            if (found(kError)) return 0;
            return -1;
    }
    return -1;
}

}  // namespace vondrix
