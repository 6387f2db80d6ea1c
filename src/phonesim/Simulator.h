#pragma once

// The simulated phone as seen from outside: a Siemens C35/S35-style command
// interpreter served over a pty (the serial path) or a TCP port (the socket
// path), in a background thread of the calling process. The system calls
// under it are in Endpoint.h.

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "phonesim/Interpreter.h"
#include "phonesim/PhoneState.h"

namespace phonesim {

// How the simulated wire behaves.
struct WireOptions {
    int baud = 0;               // 0: no wire-time emulation; else 10 bit times per byte, both ways
    int latencyMs = 0;          // delay between a complete command line and its reply
    std::size_t chunkSize = 0;  // 0: replies written whole; else in pieces of this many bytes
    int chunkGapMs = 0;         // pause between those pieces
    // Unsolicited result codes (RING, +CMTI, +CDSI, +CREG, ...) slipped into
    // this many percent of the replies that end in a result code, each at a
    // line boundary picked at random: before, between or after the
    // information lines, between a header and its data line, after the
    // result. The same seed gives the same codes at the same places.
    int unsolicitedPercent = 0;
    unsigned unsolicitedSeed = 1;
};

// "PERCENT[:SEED]" (0 to 100) into `wire`; false when the text is not so.
bool parseUnsolicited(std::string_view text, WireOptions& wire);
// The wire of a simulator the programs start in-process: unsolicited codes
// as the environment variable VONDRIX_SIM_UNSOLICITED=PERCENT[:SEED] asks.
WireOptions wireFromEnvironment();

// A fault applied to the reply of the next command line that starts with
// `commandPrefix` (case-insensitive; empty matches any), once. Lines the phone
// does not answer (switched off, not a command) do not use up a fault.
// `afterBytes` counts reply bytes only, not the echo.
struct Fault {
    enum class Kind {
        Stall,      // write the first `afterBytes` bytes of the reply, then nothing more
                    // (the rest of that reply is lost; later commands are answered)
        Drop,       // write the first `afterBytes` bytes of the reply, then close the link:
                    // TCP closes the connection (the client reads end of file) and accepts
                    // the next one; a pty is hung up (the client's reads give end of file
                    // or EIO, poll gives POLLHUP) and stays gone until openPty() again
        Garbage,    // write `size` random bytes (never CR or LF; 0 means 64) before the reply
        Oversized,  // answer with an information line of `size` bytes (0 means 30000),
                    // then "OK", instead of the real reply (the command still takes effect)
        Late,       // the reply comes `size` milliseconds late (0 means 1000)
        Repeat,     // the reply, and the same reply again `size` ms later (0 means 50)
        StrayOk,    // the reply, and an "OK" nobody asked for `size` ms later (0 means 50)
    };
    Kind kind = Kind::Stall;
    std::string commandPrefix;
    std::size_t afterBytes = 0;
    std::size_t size = 0;
};

// Bounds that keep a careless or hostile client from exhausting the simulator.
//
// Output: replies and echo wait in a queue until the client takes them. Once
// `outputCap` bytes wait, the phone stops taking input, as a phone with
// hardware flow control holds its clear-to-send line down while the host does
// not read: bytes already read wait, the rest stays in the link (TCP or pty
// buffers) until the client has read enough. Nothing is lost unless the client
// is closed meanwhile. The cap is checked between lines, so the queue may
// exceed it by one line's reply; a cap of 0 counts as 1 (one line at a time).
//
// Input: the interpreter keeps at most Interpreter::kMaxLine bytes of a command
// line (Interpreter::kMaxData of prompt data) and discards the rest; a line cut
// short is answered with an error at its CR, like an overflowing command buffer.
//
// Idle: a TCP client from which nothing has arrived and which has taken none of
// the output for `idleLimit` is closed (with any output it has not taken), and
// the next waiting connection is served. Waiting connections are not served
// meanwhile: the phone has one interpreter and one line, so two clients would
// garble each other's commands. A client whose reply the phone is still pacing
// (latency, baud rate, chunk gaps) is not idle. A TCP client that has sent no
// command the phone answered for `commandLimit` is closed in the same way,
// however many bytes it keeps sending: a byte now and then keeps a client
// from being idle, but must not hold the one line for ever. A pty has neither
// limit: it cannot be closed without hanging it up for good.
//
// Record: receivedLines() keeps the newest `recordLines` lines whose sizes add
// up to at most `recordBytes`; older ones are dropped and counted.
struct Limits {
    std::size_t outputCap = 256 * 1024;                                // bytes
    std::chrono::milliseconds idleLimit = std::chrono::minutes(5);     // 0 (or over a year): none
    std::chrono::milliseconds commandLimit = std::chrono::minutes(5);  // the same
    std::size_t recordLines = 10000;
    std::size_t recordBytes = 16 * 1024 * 1024;
};

class Simulator {
  public:
    explicit Simulator(PhoneState state = PhoneState::demo(), WireOptions wire = {},
                       Limits limits = {});
    ~Simulator();  // stops serving and joins the thread
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Whether this system has ptys (Windows has none: the phone serves TCP there).
    static bool hasPty();

    // Starts serving a new pty; returns the slave's path (open it as a serial port).
    // Serves one endpoint at a time: this and listenTcp() stop the previous one.
    // Throws std::system_error when the pty cannot be made, or when there are
    // no ptys on this system.
    std::string openPty();

    // Starts serving TCP on host:port (port 0 picks a free one); returns the port.
    // Serves one connection at a time, accepting the next after a close or when
    // the current one has been idle too long (see Limits).
    // Throws std::system_error (or std::runtime_error for a bad host) on failure.
    int listenTcp(const std::string& host = "127.0.0.1", int port = 0);

    // Stops serving and closes the endpoint; the state and the recorded lines stay.
    void stop();

    void setWire(WireOptions wire);
    // Takes effect at once; lowering the record bounds drops the oldest lines.
    void setLimits(Limits limits);
    void injectFault(Fault fault);

    // Command lines received, without their CR, in arrival order (data sent
    // after a "> " prompt is recorded as one line, Ctrl-Z excluded): the newest
    // ones within the record bounds of Limits.
    std::vector<std::string> receivedLines() const;
    // How many received lines receivedLines() no longer holds; with it a test
    // can tell a complete record from a cut one.
    std::size_t droppedLines() const;
    // Forgets the recorded lines and the dropped count.
    void clearReceived();

    // The most output bytes that have waited for a client at once, since the
    // simulator was made: shows the output cap at work.
    std::size_t peakPendingOutput() const;

    // Called from the serving thread with each received line, as it is recorded
    // (outside the lock; the callback must not call stop()).
    void setRecorder(std::function<void(const std::string&)> recorder);

    // Reads or changes the phone's contents under the simulator's lock.
    void withState(const std::function<void(PhoneState&)>& fn);

    // Adds or replaces a command of the interpreter (see CommandTable::add).
    void addCommand(const std::string& name, Handler handler, ErrorClass errors = ErrorClass::Cme);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace phonesim
