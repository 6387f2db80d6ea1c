#include "phonesim/Simulator.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace phonesim {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const std::string kCgmiReply = "\r\nSIEMENS\r\n\r\nOK\r\n";

// The client end of a link: a pty slave or a TCP connection.
class Client {
  public:
    static Client pty(const std::string& path) {
        Client c(::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
        termios tio{};
        if (c.fd_ >= 0 && ::tcgetattr(c.fd_, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::tcsetattr(c.fd_, TCSANOW, &tio);
        }
        return c;
    }
    // `buffer` > 0: small kernel buffers, so a client that stops reading
    // fills them after a few kilobytes.
    static Client tcp(int port, int buffer = 0) {
        Client c(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
        c.socket_ = true;
        if (buffer > 0) {
            ::setsockopt(c.fd_, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
            ::setsockopt(c.fd_, SOL_SOCKET, SO_SNDBUF, &buffer, sizeof buffer);
        }
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(static_cast<std::uint16_t>(port));
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(c.fd_, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
            c.close();
        }
        return c;
    }
    Client(Client&& other) noexcept : fd_(other.fd_), socket_(other.socket_) { other.fd_ = -1; }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;
    ~Client() { close(); }

    bool ok() const { return fd_ >= 0; }
    void close() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    void send(const std::string& bytes) const {
        ASSERT_EQ(put(bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    // Reads until what was read is `enough`, or `timeout` passes, or the link ends.
    std::string read(const std::function<bool(const std::string&)>& enough,
                     std::chrono::milliseconds timeout) {
        std::string got;
        const auto deadline = Clock::now() + timeout;
        while (!enough(got)) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left <= 0ms) {
                break;
            }
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) {
                break;
            }
            char buf[4096];
            const ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n <= 0) {
                ended = true;
                readError = n < 0 ? errno : 0;
                break;
            }
            got.append(buf, static_cast<std::size_t>(n));
        }
        return got;
    }
    // Until `end` has arrived at the end of what was read.
    std::string readUntil(const std::string& end, std::chrono::milliseconds timeout = 5000ms) {
        return read([&](const std::string& got) { return got.ends_with(end); }, timeout);
    }
    // Everything that arrives within `window`.
    std::string readFor(std::chrono::milliseconds window) {
        return readUntil("\x01\x02\x03", window);
    }

    std::string exchange(const std::string& command) {
        send(command + "\r");
        return readUntil("\r\nOK\r\n");
    }

    // Until `count` bytes have arrived.
    std::string readBytes(std::size_t count) {
        return read([&](const std::string& got) { return got.size() >= count; }, 10000ms);
    }

    // Sends `line` over and over without reading, until `held()` says the far
    // end holds back and it has taken nothing for a while. Returns how many
    // bytes went out (the last line may be cut), or nothing if the far end
    // never pushed back within a generous amount.
    std::optional<std::size_t> floodUntilHeld(const std::string& line,
                                              const std::function<bool()>& held) {
        std::string block;
        while (block.size() < 4096) {
            block += line;
        }
        const int flags = ::fcntl(fd_, F_GETFL);
        ::fcntl(fd_, F_SETFL, flags | O_NONBLOCK);
        std::size_t sent = 0;
        bool blocked = false;
        while (!blocked && sent < (64u << 20)) {
            const std::size_t from = sent % block.size();
            const ssize_t n = put(block.data() + from, block.size() - from);
            if (n > 0) {
                sent += static_cast<std::size_t>(n);
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
                break;
            }
            pollfd p{fd_, POLLOUT, 0};
            blocked = ::poll(&p, 1, 200) == 0 && held();
        }
        ::fcntl(fd_, F_SETFL, flags);
        if (!blocked) {
            return std::nullopt;
        }
        return sent;
    }

    // Sends what the far end still takes: it may have closed meanwhile.
    void trySend(const std::string& bytes) const { put(bytes.data(), bytes.size()); }

    bool ended = false;  // the far end closed or hung up
    int readError = 0;

  private:
    explicit Client(int fd) : fd_(fd) {}
    ssize_t put(const char* data, std::size_t size) const {
        return socket_ ? ::send(fd_, data, size, MSG_NOSIGNAL) : ::write(fd_, data, size);
    }
    int fd_ = -1;
    bool socket_ = false;
};

constexpr int kSmallBuffer = 4096;

// A simulator serving TCP with echo already off.
struct TcpPhone {
    Simulator sim;
    int port = 0;
    explicit TcpPhone(WireOptions wire = {}, Limits limits = {})
        : sim(PhoneState::demo(), wire, limits) {
        port = sim.listenTcp();
    }
    Client connect() {
        Client c = Client::tcp(port);
        EXPECT_TRUE(c.ok());
        EXPECT_EQ(c.exchange("ATE0"), "ATE0\r\r\nOK\r\n");
        return c;
    }
};

TEST(SimulatorPty, AnswersSurvivesClientReopeningAndHangsUpOnADrop) {
    Simulator sim;
    const std::string path = sim.openPty();
    {
        Client c = Client::pty(path);
        ASSERT_TRUE(c.ok());
        EXPECT_EQ(c.exchange("AT"), "AT\r\r\nOK\r\n");
        EXPECT_EQ(c.exchange("ATE0"), "ATE0\r\r\nOK\r\n");
    }
    Client again = Client::pty(path);
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(again.exchange("AT+CGMI"), kCgmiReply);
    sim.injectFault({Fault::Kind::Drop, "AT+CGMI", 6, 0});
    again.send("AT+CGMI\r");
    EXPECT_EQ(again.readUntil("never"), "\r\nSIEM");
    EXPECT_TRUE(again.ended);
}

TEST(SimulatorTcp, ServesOneConnectionAfterAnotherAndForgetsAHalfLine) {
    TcpPhone phone;
    {
        Client first = phone.connect();
        EXPECT_EQ(first.exchange("AT+CGMI"), kCgmiReply);
        // A second client waits until the first has gone.
        Client second = Client::tcp(phone.port);
        second.send("AT\r");
        EXPECT_EQ(second.readFor(200ms), "");
        first.close();
        EXPECT_EQ(second.readUntil("\r\nOK\r\n"), "\r\nOK\r\n");
        second.send("AT+CG");
    }
    Client third = Client::tcp(phone.port);
    third.send("MI\r");  // does not complete the second client's "AT+CG"
    EXPECT_EQ(third.readFor(200ms), "");
    EXPECT_EQ(third.exchange("AT+CGMM"), "\r\nS35i\r\n\r\nOK\r\n");
}

TEST(SimulatorWire, ReplyTakesAtLeastItsWireTime) {
    const struct {
        const char* situation;
        WireOptions wire;
        double seconds;
    } cases[] = {
        // 8 command bytes in, 17 reply bytes out, 10 bits each.
        {"baud rate", {2400, 0, 0, 0}, (8.0 + 17.0) * 10.0 / 2400.0},
        {"latency", {0, 150, 0, 0}, 0.150},
        // 17 bytes in pieces of 3 reassemble: six pieces, five gaps.
        {"chunks", {0, 0, 3, 20}, 5 * 0.020},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.situation);
        TcpPhone phone;
        Client client = phone.connect();
        phone.sim.setWire(c.wire);
        const auto start = Clock::now();
        EXPECT_EQ(client.exchange("AT+CGMI"), kCgmiReply);
        EXPECT_GE(std::chrono::duration<double>(Clock::now() - start).count(), c.seconds);
    }
}

// Each fault shapes one reply: `head`, `filler` bytes without line ends, `tail`;
// then, used up, it leaves the command answered as usual (after a drop, on the next connection).
TEST(SimulatorFaults, ShapeOneReplyThenTheCommandIsAnsweredAsUsual) {
    using K = Fault::Kind;
    const struct {
        const char* situation;
        K kind;
        const char* prefix;
        std::size_t afterBytes;
        std::size_t size;
        std::string head;
        std::size_t filler;
        std::string tail;
    } rows[] = {
        {"stall, the prefix in any case", K::Stall, "at+cgmi", 4, 0, "\r\nSI", 0, ""},
        {"drop, any command", K::Drop, "", 2, 0, "\r\n", 0, ""},
        {"garbage before the reply", K::Garbage, "AT+CGMI", 0, 50, "", 50, kCgmiReply},
        {"an oversized line", K::Oversized, "AT+CGMI", 0, 0, "\r\n", 30000, "\r\n\r\nOK\r\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.situation);
        TcpPhone phone;
        Client c = phone.connect();
        phone.sim.injectFault({row.kind, row.prefix, row.afterBytes, row.size});
        if (*row.prefix != '\0') {  // another command is not touched
            EXPECT_EQ(c.exchange("AT+CGMM"), "\r\nS35i\r\n\r\nOK\r\n");
        }
        c.send("AT+CGMI\r");
        const std::string got = c.readUntil("\r\nOK\r\n", 500ms);
        ASSERT_EQ(got.size(), row.head.size() + row.filler + row.tail.size());
        EXPECT_EQ(got.substr(0, row.head.size()), row.head);
        EXPECT_EQ(got.substr(row.head.size(), row.filler).find_first_of("\r\n"), std::string::npos);
        EXPECT_EQ(got.substr(row.head.size() + row.filler), row.tail);
        const bool dropped = row.kind == K::Drop;
        EXPECT_EQ(c.ended, dropped);
        EXPECT_EQ(c.readError, 0);  // a drop is an orderly end of file
        Client next = dropped ? Client::tcp(phone.port) : std::move(c);
        EXPECT_EQ(next.exchange("AT+CGMI"), kCgmiReply);
    }
}

TEST(SimulatorRecorder, RecordsCommandLinesAndPromptData) {
    TcpPhone phone;
    std::mutex mu;
    std::vector<std::string> seen;
    phone.sim.setRecorder([&](const std::string& line) {
        std::lock_guard lock(mu);
        seen.push_back(line);
    });
    phone.sim.addCommand("+TEST", [](Context&, const Command&) {
        return Reply::prompt(
            [](Context&, const std::string& data) { return Reply::ok({"+TEST: " + data}); });
    });
    Client c = phone.connect();
    phone.sim.clearReceived();
    EXPECT_EQ(c.exchange("AT+CSQ"), "\r\n+CSQ: 17,99\r\n\r\nOK\r\n");
    c.send("AT+TEST=1\r");
    EXPECT_EQ(c.readUntil("> "), "\r\n> ");
    c.send("0011\x1a");
    EXPECT_EQ(c.readUntil("OK\r\n"), "\r\n+TEST: 0011\r\n\r\nOK\r\n");
    const std::vector<std::string> expected = {"AT+CSQ", "AT+TEST=1", "0011"};
    EXPECT_EQ(phone.sim.receivedLines(), expected);
    std::lock_guard lock(mu);
    EXPECT_EQ(seen, (std::vector<std::string>{"ATE0", "AT+CSQ", "AT+TEST=1", "0011"}));
}

TEST(SimulatorState, ChangesAreSeenOnBothSides) {
    TcpPhone phone;
    Client c = phone.connect();
    phone.sim.withState([](PhoneState& s) { s.rssi = 25; });
    EXPECT_EQ(c.exchange("AT+CSQ"), "\r\n+CSQ: 25,99\r\n\r\nOK\r\n");
    EXPECT_EQ(c.exchange("AT^SMSO"), "\r\n^SMSO: MS OFF\r\n\r\nOK\r\n");
    bool off = false;
    phone.sim.withState([&](PhoneState& s) { off = s.poweredOff; });
    EXPECT_TRUE(off);
}

TEST(SimulatorLifecycle, StopEndsTheLinkAndServingCanRestart) {
    Simulator sim;
    const int port = sim.listenTcp();
    Client c = Client::tcp(port);
    ASSERT_TRUE(c.ok());
    sim.stop();
    EXPECT_EQ(c.readUntil("never", 2000ms), "");
    EXPECT_TRUE(c.ended);
    Client pty = Client::pty(sim.openPty());
    EXPECT_EQ(pty.exchange("AT"), "AT\r\r\nOK\r\n");
}

TEST(SimulatorLimits, ClientThatStopsReadingIsHeldBackAndLosesNothing) {
    for (const bool tcp : {false, true}) {
        SCOPED_TRACE(tcp ? "tcp" : "pty");
        Limits limits;
        limits.outputCap = 4096;
        Simulator sim(PhoneState::demo(), {}, limits);
        Client c = tcp ? Client::tcp(sim.listenTcp(), kSmallBuffer) : Client::pty(sim.openPty());
        ASSERT_TRUE(c.ok());
        ASSERT_EQ(c.exchange("ATE0"), "ATE0\r\r\nOK\r\n");
        const std::string line = "AT+CGMI\r";
        const auto sent =
            c.floodUntilHeld(line, [&] { return sim.peakPendingOutput() >= limits.outputCap; });
        ASSERT_TRUE(sent.has_value()) << "the phone never stopped taking input";
        // Held at the cap, give or take the reply of the line that reached it.
        EXPECT_GE(sim.peakPendingOutput(), limits.outputCap);
        EXPECT_LT(sim.peakPendingOutput(), limits.outputCap + kCgmiReply.size());
        // Once the client reads, every command is answered, in order.
        std::string expected;
        for (std::size_t i = 0; i < *sent / line.size(); ++i) {
            expected += kCgmiReply;
        }
        const std::string got = c.readBytes(expected.size());
        EXPECT_EQ(got.size(), expected.size());
        EXPECT_TRUE(got == expected);
        if (const std::size_t part = *sent % line.size(); part != 0) {
            c.send(line.substr(part));
            EXPECT_EQ(c.readUntil("\r\nOK\r\n"), kCgmiReply);
        }
        EXPECT_EQ(c.exchange("AT+CGMM"), "\r\nS35i\r\n\r\nOK\r\n");
    }
}

TEST(SimulatorLimits, FloodingClientThatNeverReadsIsClosedWhenIdle) {
    Limits limits;
    limits.outputCap = 4096;
    TcpPhone phone({}, limits);
    Client flooder = Client::tcp(phone.port, kSmallBuffer);
    ASSERT_EQ(flooder.exchange("ATE0"), "ATE0\r\r\nOK\r\n");
    const auto held = [&] { return phone.sim.peakPendingOutput() >= limits.outputCap; };
    ASSERT_TRUE(flooder.floodUntilHeld("AT+CSQ\r", held).has_value());
    EXPECT_LT(phone.sim.peakPendingOutput(), limits.outputCap + 64);

    limits.idleLimit = 300ms;
    phone.sim.setLimits(limits);
    Client next = Client::tcp(phone.port);
    EXPECT_EQ(next.exchange("AT+CGMM"), "\r\nS35i\r\n\r\nOK\r\n");
    flooder.readUntil("never");
    EXPECT_TRUE(flooder.ended);
}

TEST(SimulatorLimits, IdleClientIsClosedAndTheWaitingOneServed) {
    Limits limits;
    limits.idleLimit = 300ms;
    TcpPhone phone({}, limits);
    Client first = phone.connect();
    Client second = Client::tcp(phone.port);
    second.send("AT+CGMI\r");
    EXPECT_EQ(second.readUntil("\r\nOK\r\n"), kCgmiReply);
    EXPECT_EQ(first.readUntil("never", 2000ms), "");
    EXPECT_TRUE(first.ended);
}

TEST(SimulatorLimits, ClientIsNotIdleWhileItKeepsTyping) {
    Limits limits;
    limits.idleLimit = 600ms;
    TcpPhone phone({}, limits);
    Client c = phone.connect();  // echo off: only the final CR brings an answer
    // Together the pauses are longer than the idle limit, each one well inside it.
    for (const char* piece : {"AT", "+C", "GM", "I"}) {
        c.send(piece);
        std::this_thread::sleep_for(200ms);
    }
    c.send("\r");
    EXPECT_EQ(c.readUntil("\r\nOK\r\n"), kCgmiReply);
    EXPECT_FALSE(c.ended);
}

TEST(SimulatorLimits, ClientThatSendsNoCommandIsClosedThoughBytesKeepComing) {
    Limits limits;
    limits.idleLimit = 300ms;
    limits.commandLimit = 600ms;
    TcpPhone phone({}, limits);
    Client dripper = phone.connect();
    Client next = Client::tcp(phone.port);
    // A byte well within the idle limit, again and again, but never a command.
    for (int i = 0; i < 20 && !dripper.ended; ++i) {
        dripper.trySend("A");
        dripper.readUntil("never", 100ms);
    }
    EXPECT_TRUE(dripper.ended);
    EXPECT_EQ(next.exchange("AT+CGMM"), "\r\nS35i\r\n\r\nOK\r\n");
}

TEST(SimulatorLimits, ClientIsNotIdleWhileThePhonePacesItsReply) {
    Limits limits;
    limits.idleLimit = 200ms;
    TcpPhone phone({}, limits);
    Client c = phone.connect();
    phone.sim.setWire({0, 500, 0, 0});  // replies held back far longer than the idle limit
    EXPECT_EQ(c.exchange("AT+CGMI"), kCgmiReply);
    EXPECT_FALSE(c.ended);
}

TEST(SimulatorLimits, RecordKeepsTheNewestLinesAndCountsTheRest) {
    const std::vector<std::string> sent = {"AT+CGMI", "AT+CGMM", "AT+CSQ", "AT"};
    struct Row {
        const char* situation;
        std::size_t lines;
        std::size_t bytes;
        std::vector<std::string> kept;
    };
    const Row rows[] = {
        {"within both bounds", 10, 1000, sent},
        {"line count bound", 3, 1000, {"AT+CGMM", "AT+CSQ", "AT"}},
        {"byte bound", 10, 14, {"AT+CSQ", "AT"}},
        {"nothing kept", 0, 1000, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.situation);
        Limits limits;
        limits.recordLines = row.lines;
        limits.recordBytes = row.bytes;
        TcpPhone phone({}, limits);
        Client c = phone.connect();
        phone.sim.clearReceived();
        for (const std::string& line : sent) {
            c.exchange(line);
        }
        EXPECT_EQ(phone.sim.receivedLines(), row.kept);
        EXPECT_EQ(phone.sim.droppedLines(), sent.size() - row.kept.size());
    }
}

TEST(SimulatorLimits, LoweringTheRecordBoundCutsAtOnceAndClearingResetsTheCount) {
    TcpPhone phone;
    Client c = phone.connect();
    phone.sim.clearReceived();
    c.exchange("AT+CGMI");
    c.exchange("AT+CGMM");
    Limits limits;
    limits.recordLines = 1;
    phone.sim.setLimits(limits);
    EXPECT_EQ(phone.sim.receivedLines(), std::vector<std::string>{"AT+CGMM"});
    EXPECT_EQ(phone.sim.droppedLines(), 1u);
    phone.sim.clearReceived();
    EXPECT_EQ(phone.sim.receivedLines(), std::vector<std::string>{});
    EXPECT_EQ(phone.sim.droppedLines(), 0u);
}

TEST(SimulatorLimits, OverlongInputIsCutAndAnsweredWithAnError) {
    TcpPhone phone;
    phone.sim.addCommand("+TEST", [](Context&, const Command&) {
        return Reply::prompt([](Context&, const std::string&) { return Reply::ok(); });
    });
    Client c = phone.connect();
    // A command line far beyond the phone's buffer, sent in one go.
    c.send("AT+CGMI" + std::string(200000, 'A') + "\r");
    EXPECT_EQ(c.readUntil("\r\nERROR\r\n"), "\r\nERROR\r\n");
    EXPECT_EQ(phone.sim.receivedLines().back().size(), Interpreter::kMaxLine);
    // Prompt data beyond its buffer.
    c.send("AT+TEST\r");
    EXPECT_EQ(c.readUntil("> "), "\r\n> ");
    c.send(std::string(Interpreter::kMaxData + 1000, '0') + "\x1a");
    EXPECT_EQ(c.readUntil("\r\nERROR\r\n"), "\r\nERROR\r\n");
    EXPECT_EQ(phone.sim.receivedLines().back().size(), Interpreter::kMaxData);
    EXPECT_EQ(c.exchange("AT+CGMI"), kCgmiReply);
}

}  // namespace
}  // namespace phonesim
