#pragma once

// The system calls under the simulator's serving loop: making its endpoint (a
// pty or a listening TCP socket), moving bytes without blocking, waiting on
// several handles at once and waking that wait from another thread. POSIX
// has all of it; Windows has no pty, so there the phone serves TCP only.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace phonesim::endpoint {

// A descriptor (POSIX) or a socket (Windows); kNone when there is none.
using Handle = std::intptr_t;
inline constexpr Handle kNone = -1;

// Closes `h` (if any) and sets it to kNone.
void close(Handle& h);

// Whether this system has ptys at all.
bool hasPty();

// A new raw pty, non-blocking on the master. The slave stays open, so the
// master never sees the last slave close. Throws std::system_error.
struct Pty {
    Handle master = kNone;
    Handle slave = kNone;
    std::string path;  // the slave's path, to be opened as a serial port
};
Pty openPty();

// Whether the pty's client has read everything written to the master.
bool ptyDrained(Handle slave);

// A non-blocking socket listening on host:port (port 0: any free one), with
// send and receive buffers of `bufferBytes`, which accepted connections
// inherit. Throws std::system_error, or std::runtime_error for a host that
// does not resolve.
struct Listener {
    Handle socket = kNone;
    int port = 0;  // as bound
};
Listener listenTcp(const std::string& host, int port, int bufferBytes);

// The next waiting connection, non-blocking and without send delay; kNone
// when none waits.
Handle accept(Handle listener);

// What readSome and writeSome return besides a count of bytes.
inline constexpr std::ptrdiff_t kWouldBlock = -1;  // nothing moved; wait and try again
inline constexpr std::ptrdiff_t kGone = -2;        // the peer closed or the link failed

// At most `size` bytes into `buf`: how many (never 0), kWouldBlock or kGone
// (end of file included).
std::ptrdiff_t readSome(Handle h, char* buf, std::size_t size);
// At most `size` bytes of `data`: how many, kWouldBlock or kGone. `socket`
// tells a connection from a pty master.
std::ptrdiff_t writeSome(Handle h, const char* data, std::size_t size, bool socket);

// One handle of a wait: what to wait for, and what was found.
struct Watch {
    Handle handle = kNone;
    bool read = false;
    bool write = false;
    bool readable = false;
    bool writable = false;
    bool broken = false;  // hung up or failed; reported even when neither was asked for
};

// Waits until a watched handle is ready or `timeout` (none: no limit) has
// passed. False when the wait itself failed; an interrupted wait returns true
// with nothing found.
bool wait(std::vector<Watch>& watches, std::optional<std::chrono::nanoseconds> timeout);

// A handle that another thread makes readable, to end a wait early.
class Waker {
  public:
    Waker() = default;
    ~Waker() { close(); }
    Waker(const Waker&) = delete;
    Waker& operator=(const Waker&) = delete;

    void open();  // throws std::system_error
    void close();
    bool isOpen() const { return handle_ != kNone; }
    Handle handle() const { return handle_; }
    void wake();   // any thread
    void drain();  // the waiting thread, once woken

  private:
    Handle handle_ = kNone;
};

}  // namespace phonesim::endpoint
