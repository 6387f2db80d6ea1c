#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vondrix {

// Why a serial device could not be opened, so that the user can be told
// what to do about it.
struct SerialOpenError {
    enum class Reason {
        None,
        Missing,     // no such device, or no hardware behind it
        Busy,        // another program holds it
        Permission,  // this user may not open it
        NotSerial,   // not a terminal device
        Other,
    };
    Reason reason = Reason::None;
    // Permission: the group that owns the device when its members may read
    // and write it, so that joining it helps ("dialout" on Debian); else empty.
    std::string group;
    std::string detail;  // the system's own words
};

// The one connection to the phone for the whole run: a serial device or a
// connected stream socket, or nothing when none could be opened. The mode
// tells the transaction engine which path to take. The system calls live
// in PhoneLinkPosix.cpp and PhoneLinkWin32.cpp.
class PhoneLink {
  public:
    enum class Mode { None, Serial, Socket };

    // An open device or socket as the system names it: a file descriptor,
    // a Windows HANDLE or SOCKET. Negative: none.
    using NativeHandle = std::intptr_t;
    static constexpr NativeHandle kNoHandle = -1;

    PhoneLink() = default;
    ~PhoneLink() { close(); }
    PhoneLink(PhoneLink&& other) noexcept;
    PhoneLink& operator=(PhoneLink&& other) noexcept;
    PhoneLink(const PhoneLink&) = delete;
    PhoneLink& operator=(const PhoneLink&) = delete;

    // Opens and configures a serial device: 19200 baud, 8N1, raw, no flow
    // control, RTS raised, DTR dropped, both buffers purged, then waits
    // `settleMs`. The device is held exclusively while the link holds it,
    // so that a second program, or a second run of this one, finds it in
    // use. Returns an empty link (mode None) on failure, with the reason in
    // *error.
    static PhoneLink openSerial(const std::string& path, int settleMs = 100,
                                SerialOpenError* error = nullptr);

    // Takes ownership of a connected stream socket.
    static PhoneLink adoptSocket(NativeHandle socket);

    // Connects a TCP stream socket to host:port; mode None on failure.
    static PhoneLink connectTcp(const std::string& host, int port, std::string* error = nullptr);

    // Whether the system's network stack is there to make sockets with
    // (Windows Sockets must be started; always on POSIX).
    static bool networkStackReady();

    Mode mode() const { return mode_; }
    bool isOpen() const { return handle_ >= 0; }
    bool isSocket() const { return mode_ == Mode::Socket; }
    void close();

    // Sends all of `data`: the serial path one byte per call, as a slow
    // phone wants it, the socket path at once. False when the link failed.
    bool writeAll(std::string_view data);

    // Waits at most `wait` for something to read. True on data, or on a
    // hang-up that the next read() reports; false on time-out or error.
    bool waitReadable(std::chrono::milliseconds wait);

    // Takes what has arrived, at most `size` bytes, into `into`; call it
    // after waitReadable(). The count read, 0 when there was nothing after
    // all (interrupted: try again), nullopt when the link is closed or
    // failed.
    std::optional<std::size_t> read(char* into, std::size_t size);

    // Appends what is there to `into` without waiting, at most about
    // `limit` bytes; false when the link is closed. A phone that never
    // stops talking is not drained for ever.
    bool readAvailable(std::string& into, std::size_t limit);

  private:
    PhoneLink(NativeHandle handle, Mode mode) : handle_(handle), mode_(mode) {}
    NativeHandle handle_ = kNoHandle;
    Mode mode_ = Mode::None;
    // Where waiting means reading (a Windows serial port), the bytes the
    // wait took, which the next read() returns first; and a failure it met,
    // which that read reports.
    std::string waited_;
    bool failed_ = false;
    // Where the system does not keep a second program off the port (Wine
    // lets two open one COM port), a lock of our own held with it.
    NativeHandle lock_ = kNoHandle;
};

}  // namespace vondrix
