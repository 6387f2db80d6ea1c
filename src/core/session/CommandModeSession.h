#pragma once

// The command mode's life, the same for the desktop program and the command
// line: opening (service centre, the module, the name directory from the
// local phonebook file, the log), the timer's start, stop and interval, the
// ticks with their busy flag, the check boxes, and the closing that writes
// WaitSec, MonProt and CheckSMS. The caller owns the timer and calls tick().

#include <memory>
#include <string>

#include "foundation/Reporter.h"
#include "phonebook/LocalFile.h"
#include "session/Session.h"
#include "sms/CommandMode.h"
#include "sms/SmsService.h"

namespace vondrix {

struct CommandModeOptions {
    std::string localFile = phonebook::kLocalFileName;
    // Where the module is looked for, the log, the clock (see
    // sms::CommandMode::Options); the language comes from the session.
    sms::CommandMode::Options mode;
};

class CommandModeSession {
  public:
    using Options = CommandModeOptions;

    // Nothing (after message 96 or 97) when the module cannot be used: the
    // dialog does not open.
    static std::unique_ptr<CommandModeSession> open(Session& session, Reporter& reporter,
                                                    Options options = {});

    sms::CommandMode& mode() { return *mode_; }
    const sms::CommandMode& mode() const { return *mode_; }

    // The interval up-down's range and the position it starts at.
    static constexpr int kMinInterval = sms::kMinInterval;
    static constexpr int kMaxInterval = sms::kMaxInterval;
    int interval() const { return mode_->intervalSeconds(); }
    // Sets the interval directly (the command line); the timer is not touched.
    void setInterval(int seconds);

    // The check box for new messages shows and changes "CheckSMS".
    bool checkSms() const { return session_.settings.checkSms; }
    void setCheckSms(bool on) { session_.settings.checkSms = on; }

    // The closing: the up-down's position becomes WaitSec; then the timer
    // stops, WaitSec, MonProt and CheckSMS are written, the log closes and
    // the module is unloaded.
    void close(int intervalPosition);

  private:
    CommandModeSession(Session& session, std::unique_ptr<sms::SmsService> service);

    Session& session_;
    std::unique_ptr<sms::SmsService> service_;
    std::unique_ptr<sms::CommandMode> mode_;
};

}  // namespace vondrix
