#pragma once

#include <string>

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

// The one connection to the phone for the whole run: a serial device
// (termios) or a connected stream socket, or nothing when none could be
// opened. The mode tells the transaction engine which path to take.
class PhoneLink {
  public:
    enum class Mode { None, Serial, Socket };

    PhoneLink() = default;
    ~PhoneLink() { close(); }
    PhoneLink(PhoneLink&& other) noexcept;
    PhoneLink& operator=(PhoneLink&& other) noexcept;
    PhoneLink(const PhoneLink&) = delete;
    PhoneLink& operator=(const PhoneLink&) = delete;

    // Opens and configures a serial device: 19200 baud, 8N1, raw, RTS
    // raised, DTR dropped, both buffers purged, then waits `settleMs`. The
    // device is locked (flock) while the link holds it, so that a second
    // program, or a second run of this one, finds it in use.
    // Returns an empty link (mode None) on failure, with the reason in *error.
    static PhoneLink openSerial(const std::string& path, int settleMs = 100,
                                SerialOpenError* error = nullptr);

    // Takes ownership of a connected stream socket.
    static PhoneLink adoptSocket(int fd);

    // Connects a TCP stream socket to host:port; mode None on failure.
    static PhoneLink connectTcp(const std::string& host, int port, std::string* error = nullptr);

    Mode mode() const { return mode_; }
    bool isOpen() const { return fd_ >= 0; }
    bool isSocket() const { return mode_ == Mode::Socket; }
    int fd() const { return fd_; }
    void close();

  private:
    PhoneLink(int fd, Mode mode) : fd_(fd), mode_(mode) {}
    int fd_ = -1;
    Mode mode_ = Mode::None;
};

}  // namespace vondrix
