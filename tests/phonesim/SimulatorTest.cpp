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
#include <mutex>
#include <string>
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
    static Client tcp(int port) {
        Client c(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(static_cast<std::uint16_t>(port));
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(c.fd_, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
            c.close();
        }
        return c;
    }
    Client(Client&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
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
        ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    // Reads until `end` has arrived at the end of what was read, or `timeout`
    // passes, or the link ends.
    std::string readUntil(const std::string& end, std::chrono::milliseconds timeout = 5000ms) {
        std::string got;
        const auto deadline = Clock::now() + timeout;
        while (got.size() < end.size() ||
               got.compare(got.size() - end.size(), end.size(), end) != 0) {
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
    // Everything that arrives within `window`.
    std::string readFor(std::chrono::milliseconds window) {
        return readUntil("\x01\x02\x03", window);
    }

    std::string exchange(const std::string& command) {
        send(command + "\r");
        return readUntil("\r\nOK\r\n");
    }

    bool ended = false;  // the far end closed or hung up
    int readError = 0;

  private:
    explicit Client(int fd) : fd_(fd) {}
    int fd_ = -1;
};

// A simulator serving TCP with echo already off.
struct TcpPhone {
    Simulator sim;
    int port = 0;
    explicit TcpPhone(WireOptions wire = {}) : sim(PhoneState::demo(), wire) {
        port = sim.listenTcp();
    }
    Client connect() {
        Client c = Client::tcp(port);
        EXPECT_TRUE(c.ok());
        EXPECT_EQ(c.exchange("ATE0"), "ATE0\r\r\nOK\r\n");
        return c;
    }
};

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

TEST(SimulatorPty, AnswersAndSurvivesClientReopening) {
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
}

TEST(SimulatorPty, DropHangsUpTheClient) {
    Simulator sim;
    Client c = Client::pty(sim.openPty());
    ASSERT_TRUE(c.ok());
    sim.injectFault({Fault::Kind::Drop, "AT+CGMI", 6, 0});
    c.send("ATE0\r");
    c.readUntil("OK\r\n");
    c.send("AT+CGMI\r");
    EXPECT_EQ(c.readUntil("never", 5000ms), "\r\nSIEM");
    EXPECT_TRUE(c.ended);
}

TEST(SimulatorTcp, ServesOneConnectionAfterAnother) {
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
    }
    Client third = Client::tcp(phone.port);
    EXPECT_EQ(third.exchange("AT+CGMM"), "\r\nS35i\r\n\r\nOK\r\n");
}

TEST(SimulatorTcp, HalfLineIsForgottenWhenTheClientLeaves) {
    TcpPhone phone;
    {
        Client first = phone.connect();
        first.send("AT+CG");
    }
    Client second = Client::tcp(phone.port);
    second.send("MI\r");  // does not complete the earlier "AT+CG"
    EXPECT_EQ(second.readFor(200ms), "");
    EXPECT_EQ(second.exchange("AT"), "\r\nOK\r\n");
}

TEST(SimulatorWire, BaudRateGivesAtLeastTheWireTime) {
    TcpPhone phone;
    Client c = phone.connect();
    phone.sim.setWire({2400, 0, 0, 0});
    const auto start = Clock::now();
    c.send("AT+CGMI\r");
    EXPECT_EQ(c.readUntil("\r\nOK\r\n"), kCgmiReply);
    const double elapsed = seconds(Clock::now() - start);
    // 8 command bytes in, 17 reply bytes out, 10 bits each.
    EXPECT_GE(elapsed, (8.0 + 17.0) * 10.0 / 2400.0);
}

TEST(SimulatorWire, LatencyDelaysTheReply) {
    TcpPhone phone({0, 150, 0, 0});
    Client c = phone.connect();
    const auto start = Clock::now();
    EXPECT_EQ(c.exchange("AT+CGMI"), kCgmiReply);
    EXPECT_GE(seconds(Clock::now() - start), 0.150);
}

TEST(SimulatorWire, ChunkedReplyReassembles) {
    TcpPhone phone;
    Client c = phone.connect();
    phone.sim.setWire({0, 0, 3, 20});
    const auto start = Clock::now();
    EXPECT_EQ(c.exchange("AT+CGMI"), kCgmiReply);
    // 17 bytes in pieces of 3: six pieces, five gaps.
    EXPECT_GE(seconds(Clock::now() - start), 5 * 0.020);
}

TEST(SimulatorFaults, StallWritesThePrefixThenNothingForThatReply) {
    TcpPhone phone;
    Client c = phone.connect();
    phone.sim.injectFault({Fault::Kind::Stall, "at+cgmi", 4, 0});
    c.send("AT+CGMM\r");
    EXPECT_EQ(c.readUntil("\r\nOK\r\n"), "\r\nS35i\r\n\r\nOK\r\n");  // prefix does not match
    c.send("AT+CGMI\r");
    EXPECT_EQ(c.readFor(300ms), "\r\nSI");
    EXPECT_FALSE(c.ended);
    EXPECT_EQ(c.exchange("AT+CGMI"), kCgmiReply);  // used up once
}

TEST(SimulatorFaults, DropClosesTheConnectionAndTheNextOneIsServed) {
    TcpPhone phone;
    {
        Client c = phone.connect();
        phone.sim.injectFault({Fault::Kind::Drop, "", 2, 0});
        c.send("AT+CSQ\r");
        EXPECT_EQ(c.readUntil("never"), "\r\n");
        EXPECT_TRUE(c.ended);
        EXPECT_EQ(c.readError, 0);  // an orderly end of file
    }
    Client next = Client::tcp(phone.port);
    EXPECT_EQ(next.exchange("AT+CSQ"), "\r\n+CSQ: 17,99\r\n\r\nOK\r\n");
}

TEST(SimulatorFaults, GarbageComesBeforeTheReplyWithoutLineEnds) {
    TcpPhone phone;
    Client c = phone.connect();
    phone.sim.injectFault({Fault::Kind::Garbage, "AT+CGMI", 0, 50});
    const std::string got = c.exchange("AT+CGMI");
    ASSERT_EQ(got.size(), 50 + kCgmiReply.size());
    EXPECT_EQ(got.substr(50), kCgmiReply);
    EXPECT_EQ(got.substr(0, 50).find_first_of("\r\n"), std::string::npos);
}

TEST(SimulatorFaults, OversizedReplyIsOneLongLineThenOk) {
    TcpPhone phone;
    Client c = phone.connect();
    phone.sim.injectFault({Fault::Kind::Oversized, "AT+CBC", 0, 0});
    const std::string got = c.exchange("AT+CBC");
    ASSERT_EQ(got.size(), 2 + 30000 + 2 + 6u);
    EXPECT_EQ(got.substr(0, 2), "\r\n");
    EXPECT_EQ(got.find('\r', 2), 30002u);
    EXPECT_EQ(got.substr(30002), "\r\n\r\nOK\r\n");
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
    c.send("AT\r");
    EXPECT_EQ(c.readFor(200ms), "");
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

}  // namespace
}  // namespace phonesim
