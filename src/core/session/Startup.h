#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "foundation/Reporter.h"
#include "session/Session.h"

namespace vondrix {

// A link chosen on the command line instead of the settings.
struct LinkOverride {
    enum class Kind { None, Device, Tcp };
    Kind kind = Kind::None;
    std::string device;
    std::string host;
    int port = 0;
    // A TCP link standing in for the serial port (the in-process simulated
    // phone where the system has no ptys): started up as the serial port
    // is, so NoModem skips the reset there too.
    bool serialStandIn = false;
};

struct StartupOptions {
    LinkOverride link;
    std::string languageOverride;
    // Pauses for a real phone: after the port is configured, and before the
    // reset. A simulated phone needs neither.
    int portSettleMs = 100;
    int resetDelayMs = 2000;
    // The settings dialog, shown while no port is chosen: true when the user
    // confirmed (settings stored), false on Cancel, which stops start-up with
    // NoPortChosen. Empty: no dialog exists (the command line), and start-up
    // stops the same way.
    std::function<bool(Session&)> settingsDialog;
    // Sees each unsolicited result code set aside from the phone's replies
    // (a front end that shows them on request); empty: none is shown.
    std::function<void(std::string_view)> unsolicitedWatcher;
};

// The link to a simulated phone running in this program: its pty `device`,
// or where the system has none ("") TCP to `host`:`port`, started up as the
// serial port is. A simulated phone needs no pauses.
void useSimulatedPhone(StartupOptions& options, const std::string& device, const std::string& host,
                       int port);

enum class StartupResult {
    Ready,         // link open and phone reset (or reset skipped for NoModem)
    NoLink,        // the port could not be opened (message 16 and why); the program may go on
    ResetFailed,   // "ATZ" failed (message 57): the program ends
    NoPortChosen,  // no port chosen: no dialog to choose one, or the user cancelled it
};

// The start-up sequence up to the main window, in its fixed order: options,
// link and reset, predefined texts and column widths, language, help file,
// short date format.
StartupResult startUp(Session& session, Reporter& reporter, const StartupOptions& options);

// Message 16 with the device and the reason it could not be opened, in
// `language`: "The COM port could not be opened: The device /dev/ttyUSB0
// does not exist or is not connected".
std::string serialOpenFailureText(const std::string& path, const SerialOpenError& error,
                                  Language language);

// "ATZ" then "ATE0"; false (after message 57) when "ATZ" fails.
bool resetPhone(AtEngine& engine, Reporter& reporter);

// After the main window has closed.
void shutDown(Session& session);

}  // namespace vondrix
