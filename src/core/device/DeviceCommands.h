#pragma once

#include <ctime>
#include <string>

#include "device/Device.h"
#include "foundation/Reporter.h"
#include "foundation/Settings.h"

namespace vondrix {

class AtEngine;

// The main window's device commands, spelled once: the operations below
// send them, and the command line's help and messages name them from here.
constexpr const char* kClockCommand = "AT+CCLK";  // set with "=yy/MM/dd,hh:mm:ss"
constexpr const char* kSwitchOffCommand = "AT^SMSO";
constexpr const char* kDeleteLogoCommand = "AT^SBNW=bmp,0,0";

// The settings the main window's opening sends first: extended errors off,
// the message service, and with SMSstat the status reports indicated to
// the computer ("AT+CNMI=1,0,0,2"). The answers are not examined: the
// window opens whatever the phone says.
void configurePhone(AtEngine& engine, const Settings& settings);
// The options dialog's SMSstat: the phone is told whether to keep status
// reports ("AT+CNMI=1,0,0,2") or not ("AT+CNMI=0,0,0,0"); the answer does
// not matter.
void setStatusReportRouting(AtEngine& engine, bool smsStat);
// The main window's closing with SMSstat on: status reports are routed back
// to the phone ("AT+CNMI=1,0,0,0").
void routeStatusReportsToPhone(AtEngine& engine);

// "AT+CCLK=yy/MM/dd,hh:mm:ss" for a local time.
std::string clockCommand(const std::tm& local);

// "AT^SRTC=tone,volume": sets the ring tone and volume a test plays.
std::string ringToneTestCommand(int tone, int volume);

// Sets the phone's clock; message 69 on success, 17 on failure.
bool setPhoneClock(AtEngine& engine, Reporter& reporter, const std::tm& local);

// kSwitchOffCommand; message 70 on success. The program ends either way.
bool switchPhoneOff(AtEngine& engine, Reporter& reporter);

// kDeleteLogoCommand; the result is not examined.
void deleteLogo(AtEngine& engine);

// The ring tone and hands-free commands of the main window, working on the
// audio state read at opening.
class AudioControls {
  public:
    AudioControls(AtEngine& engine, Reporter& reporter, AudioState& audio)
        : engine_(engine), reporter_(reporter), audio_(audio) {}

    // Test/Stop: starts playing `tone` at `volume`, or stops a running test.
    // Returns whether a test runs afterwards (the button then reads "Stop").
    bool toggleTest(int tone, int volume);
    bool testRunning() const { return testRunning_; }

    // The ring-tone-off box after a click; returns the state the box must show.
    bool setRingToneOff(bool checked);
    // The hands-free box after a click; returns the state the box must show.
    bool setHandsFree(bool checked);

  private:
    AtEngine& engine_;
    Reporter& reporter_;
    AudioState& audio_;
    bool testRunning_ = false;
};

// Appends the header line and the data line of the device information to a
// CSV file (created when missing; removed again when that first write
// fails). Message 104 when `path` is a FIFO, device or directory, 25 when
// the file cannot be opened or written.
bool appendDeviceInfo(const std::string& path, const DeviceInfo& info, Reporter& reporter);

constexpr const char* kDeviceInfoFile = "VondrixINF.csv";

}  // namespace vondrix
