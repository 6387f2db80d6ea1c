#pragma once

// The command mode: on every tick of its timer the received messages are
// handed, one by one, to the communication module; what it answers is sent
// and a message it has handled is deleted once its answer, if any, went out
// whole (else it stays and is handed over again). Without "CheckSMS" the module
// is only polled. Each hand-over can be logged to "Vondrix.log".
//
// The window (or the command line) owns the timer: it calls tick() every
// intervalSeconds() while running(). A tick that comes while a check is
// still running (a message box of the send routine lets the timer fire)
// does nothing.

#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/IniFile.h"
#include "foundation/Language.h"
#include "foundation/Settings.h"
#include "sms/Module.h"
#include "sms/NameDirectory.h"
#include "sms/SmsService.h"
#include "sms/Texts.h"

namespace vondrix::sms {

constexpr const char* kLogFileName = "Vondrix.log";
constexpr int kMinInterval = 2;
constexpr int kMaxInterval = 600;

class CommandMode {
  public:
    struct Options {
        std::vector<std::string> moduleDirectories = CommunicationModule::defaultDirectories();
        std::string logPath = kLogFileName;
        Language language = Language::English;
        // The local time for the log lines; empty: the system clock.
        std::function<std::tm()> now;
    };

    // Opening: reads the service centre, loads the module (message 96 when
    // there is none, 97 when it lacks its entry point: nothing is returned
    // then), takes the name directory, and opens the log when "MonProt" is
    // on (message 68 and logging off when it cannot be opened). The timer
    // is not started.
    static std::unique_ptr<CommandMode> open(SmsService& service, Settings& settings, IniFile& ini,
                                             NameDirectory names, Options options);

    void start();
    void stop();
    bool running() const { return running_; }
    int intervalSeconds() const { return settings_.waitSec; }
    // The interval arrows: WaitSec changes by `delta` (kept within 2 … 600)
    // and the timer restarts, even when it was stopped.
    void changeInterval(int delta);

    // One timer tick: the check, unless one is running.
    void tick();
    bool busy() const { return busy_; }

    // The log check box: true when logging is on afterwards (message 68
    // when the log cannot be opened).
    bool setLogging(bool on);
    bool logging() const { return settings_.monProt; }

    CommandModeState state() const { return state_; }
    std::string stateText() const { return commandModeStateText(options_.language, state_); }
    // The module's status text as last shown.
    const std::string& moduleStatus() const { return moduleStatus_; }
    // Told every change of the state field, e.g. to repaint it during a check.
    std::function<void(CommandModeState)> onStateChange;

    // Closing: stops the timer, writes WaitSec, MonProt and CheckSMS, and
    // unloads the module. Nothing works afterwards.
    void close();

    // The "%4d/%02d/%02d %02d:%02d:%02d" stamp of the log lines.
    static std::string timeStamp(const std::tm& t);

  private:
    CommandMode(SmsService& service, Settings& settings, IniFile& ini, NameDirectory names,
                Options options, CommunicationModule module);
    void setState(CommandModeState s);
    void checkMessages();
    void pollModule();
    // Sends the module's answer; true when there was none or every part went.
    bool answer(const std::string& replyNumber);
    bool openLog();
    void log(const std::string& line);
    std::string now() const;

    SmsService& service_;
    Settings& settings_;
    IniFile& ini_;
    NameDirectory names_;
    Options options_;
    CommunicationModule module_;
    bool running_ = false;
    bool busy_ = false;
    bool closed_ = false;
    CommandModeState state_ = CommandModeState::Idle;
    std::string moduleStatus_;
};

}  // namespace vondrix::sms
