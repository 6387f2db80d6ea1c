#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "link/PhoneLink.h"

namespace vondrix::test {

// A peer that answers each received line (ended by CR or Ctrl-Z) with the
// next scripted reply, byte for byte, for tests of the transaction engine
// that need replies no well-behaved phone would send. Windows has no pty:
// there both kinds are a loopback TCP connection.
class ScriptedPhone {
  public:
    enum class Kind { Pty, Socket };
    struct Piece {
        std::string bytes;
        int delayMs = 0;  // before these bytes are written
    };
    static constexpr const char* kHangUp = "\x01HANGUP";  // a piece that closes the link

    explicit ScriptedPhone(Kind kind);
    ~ScriptedPhone();

    // The engine's end: a serial link on the pty slave, or the socket.
    PhoneLink clientLink();

    void reply(std::vector<Piece> pieces);
    void reply(const std::string& bytes) { reply({Piece{bytes, 0}}); }

    std::vector<std::string> lines() const;

  private:
    void serve();
    // Takes received bytes: each line ended by CR or Ctrl-Z is recorded and
    // answered with the next script; false once a script hung up.
    bool take(std::string_view bytes, std::string& pending);
    void send(const std::string& bytes);  // to the engine's end
    void hangUp();
    Kind kind_;
    // File descriptors, or Windows sockets.
    std::intptr_t peerFd_ = -1;
    std::intptr_t clientFd_ = -1;  // socket end, or the pty slave kept open
    std::string slavePath_;
    int wakeFds_[2] = {-1, -1};
    std::atomic<bool> stopping_{false};  // where no wake-up pipe is used
    mutable std::mutex mutex_;
    std::deque<std::vector<Piece>> replies_;
    std::vector<std::string> lines_;
    std::thread thread_;
};

}  // namespace vondrix::test
