#pragma once

#include <string>

#include "device/Device.h"
#include "foundation/Reporter.h"
#include "media/TransferService.h"
#include "session/Session.h"

namespace vondrix {

// After a melody upload the phone offers it as one more ring tone: a range
// that ends at 20 or 41 grows by one (to 21 or 42). Other ranges, and
// ranges not read, stay. True when it grew.
bool raiseRingToneRange(AudioState& audio);

// Whether the ringtone upload that ended with `result` reached the phone's
// store (also in part, after a failed segment), so the range grows.
bool melodyReachedPhone(media::TransferResult result);

// The main window's logo and ringtone commands, the same for the desktop
// program and the command line. `audio` is the main window's ring tone
// state, whose range a ringtone upload raises.
class TransferSession {
  public:
    TransferSession(Session& session, Reporter& reporter, AudioState& audio)
        : audio_(audio), service_(session.engine, reporter) {}

    // Send logo: a BMP, or a GIF by the ".gif"/".GIF" rule, converted first.
    media::TransferResult sendLogo(const std::string& path);
    // Send ring tone; afterwards the ring tone range may have grown.
    media::TransferResult sendRingtone(const std::string& path);
    media::TransferResult downloadLogo(const std::string& path);
    media::TransferResult downloadRingtone(const std::string& path);

    media::TransferService& service() { return service_; }

  private:
    AudioState& audio_;
    media::TransferService service_;
};

}  // namespace vondrix
