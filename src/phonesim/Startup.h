#pragma once

// Starting a simulated phone, the one way every program does it: its
// contents from a state file (the demo's without one), then a pty or a TCP
// port to serve. Either step can fail (an unreadable or malformed state
// file; no pty left, the port in use); the caller gets the reason instead
// of an exception and turns it into its own message and exit status.

#include <functional>
#include <memory>
#include <string>
#include <variant>

#include "phonesim/Simulator.h"

namespace phonesim {

struct StartOptions {
    std::string stateFile;  // "": the demo contents
    WireOptions wire;
    Limits limits;
    // Set on the simulator before it serves (see Simulator::setRecorder).
    std::function<void(const std::string&)> recorder;
    bool tcp = false;  // else a new pty
    std::string host = "127.0.0.1";
    int port = 0;  // 0: any free port
};

// Why a simulated phone did not start.
struct StartFailure {
    enum class Kind {
        StateFile,  // the state file cannot be read or is not a phone's contents
        Serving,    // no pty, no thread, the port in use or the host unknown
    };
    Kind kind;
    std::string message;  // "phone.txt: line 3: unknown section [x]", "posix_openpt: ..."
};

// A simulated phone that serves until stopped or destroyed.
class RunningPhone {
  public:
    RunningPhone(std::unique_ptr<Simulator> simulator, std::string stateFile, std::string device,
                 int port)
        : simulator_(std::move(simulator)),
          stateFile_(std::move(stateFile)),
          device_(std::move(device)),
          port_(port) {}

    Simulator& simulator() { return *simulator_; }
    const std::string& device() const { return device_; }  // the pty's path ("" on TCP)
    int port() const { return port_; }                     // the TCP port (0 on a pty)

    // Stops serving and writes the contents back to the state file the phone
    // started from (none: nothing written); false when that write failed.
    bool stopAndSave();

  private:
    std::unique_ptr<Simulator> simulator_;
    std::string stateFile_;
    std::string device_;
    int port_;
};

std::variant<RunningPhone, StartFailure> startPhone(const StartOptions& options);

// The host the in-process phone listens on where it serves TCP.
inline constexpr const char* kInProcessHost = "127.0.0.1";

// The desktop program's and the command line's --simulate[=STATEFILE]: the
// phone on a new pty, or where the system has none (Windows) on a free TCP
// port of kInProcessHost (device() is then ""); unsolicited codes as the
// environment asks (wireFromEnvironment).
std::variant<RunningPhone, StartFailure> startInProcessPhone(const std::string& stateFile);

}  // namespace phonesim
