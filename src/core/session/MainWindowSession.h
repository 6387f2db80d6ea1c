#pragma once

#include <ctime>
#include <string>

#include "device/Device.h"
#include "device/DeviceCommands.h"
#include "foundation/Reporter.h"
#include "network/NetworkInfo.h"
#include "session/Session.h"

namespace vondrix {

// Every field of the main window. Fields whose transaction failed stay empty.
struct MainWindowState {
    DeviceInfo device;
    NetworkStatus network;
    AudioState audio;
};

// The main window's opening traffic: configure the phone (extended errors
// off, message service, optional status-report routing), then device
// information, network information, subscriber, SIM and audio state. After
// a link failure the remaining fields are not asked for.
MainWindowState runOpeningSequence(AtEngine& engine, const Settings& settings);

// What the options dialog hands over on OK.
struct OptionsForm {
    int port = 6;  // the first checked of COM1..COM6, else COM7
    bool readB = false, swapD = false, gsmConv = false, intPrefix = false, rem0 = false;
    bool noModem = false, w2kCable = false, smsStat = false;
    std::string tPref;
    std::string device, irDevices;  // this platform's keys
    bool fastRead = false;          // phonebooks read in ranges of locations
};

// The options dialog's OK (at start-up, or from the main window): each value
// into memory and the file at once, in the dialog's order; the SMSstat
// routing is sent to the phone when a link is open (its answer does not
// matter). Device and IrDevices are written only when they change.
void applyOptions(Session& session, Reporter& reporter, const OptionsForm& form);

// The main window's life and its commands, the same for the desktop program
// and the command line: its opening and closing traffic, the device
// commands and the options dialog's OK.
class MainWindowSession {
  public:
    MainWindowSession(Session& session, Reporter& reporter);

    // The opening traffic and every field. False when the link failed
    // (reported; the fields read before stay).
    bool open();
    const MainWindowState& state() const { return state_; }
    MainWindowState& state() { return state_; }

    // The refresh button and the two picture buttons.
    bool refreshNetwork();
    // Sets the phone's clock to `local`; messages 69 and 17.
    bool setClock(const std::tm& local);
    // "AT^SMSO": afterwards the window closes without its closing traffic.
    bool switchOff();
    void deleteLogo();
    // The ring tone test, ring-tone-off and hands-free controls.
    AudioControls& audio() { return audio_; }
    // Appends the three shown fields to a CSV file; message 25 on failure.
    bool saveDeviceInformation(const std::string& path, const DeviceInfo& shown);

    // The close box: with SMSstat on, status reports are routed back to the
    // phone ("AT+CNMI=1,0,0,0"). Nothing after a switch-off. Exit does not
    // call it.
    void close();
    bool phoneListens() const { return phoneListens_; }

    Session& session() { return session_; }
    Reporter& reporter() { return reporter_; }

  private:
    Session& session_;
    Reporter& reporter_;
    MainWindowState state_;
    AudioControls audio_;
    bool phoneListens_ = true;
};

}  // namespace vondrix
