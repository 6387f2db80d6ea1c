#pragma once

// The simulated phone as seen from outside: a Siemens C35/S35-style command
// interpreter served over a pty (the serial path) or a TCP port (the socket
// path), in a background thread of the calling process.

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
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
};

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
    };
    Kind kind = Kind::Stall;
    std::string commandPrefix;
    std::size_t afterBytes = 0;
    std::size_t size = 0;
};

class Simulator {
public:
    explicit Simulator(PhoneState state = PhoneState::demo(), WireOptions wire = {});
    ~Simulator();  // stops serving and joins the thread
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Starts serving a new pty; returns the slave's path (open it as a serial port).
    // Serves one endpoint at a time: this and listenTcp() stop the previous one.
    // Throws std::system_error when the pty cannot be made.
    std::string openPty();

    // Starts serving TCP on host:port (port 0 picks a free one); returns the port.
    // Serves one connection at a time, accepting the next after a close.
    // Throws std::system_error (or std::runtime_error for a bad host) on failure.
    int listenTcp(const std::string& host = "127.0.0.1", int port = 0);

    // Stops serving and closes the endpoint; the state and the recorded lines stay.
    void stop();

    void setWire(WireOptions wire);
    void injectFault(Fault fault);

    // Command lines received so far, without their CR, in arrival order
    // (data sent after a "> " prompt is recorded as one line, Ctrl-Z excluded).
    std::vector<std::string> receivedLines() const;
    void clearReceived();

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
