#include "session/CommandModeSession.h"

#include <algorithm>

#include "session/SmsNames.h"

namespace vondrix {

CommandModeSession::CommandModeSession(Session& session, std::unique_ptr<sms::SmsService> service)
    : session_(session), service_(std::move(service)) {}

std::unique_ptr<CommandModeSession> CommandModeSession::open(Session& session, Reporter& reporter,
                                                             Options options) {
    auto service =
        std::make_unique<sms::SmsService>(session.engine, reporter, session.settings, session.sms);
    std::unique_ptr<CommandModeSession> s(new CommandModeSession(session, std::move(service)));
    options.mode.language = session.language;
    // The module sees the names of the local phonebook file as they are now.
    s->mode_ =
        sms::CommandMode::open(*s->service_, session.settings, session.ini,
                               loadSmsNameDirectory(options.localFile), std::move(options.mode));
    if (!s->mode_)
        return nullptr;
    return s;
}

void CommandModeSession::setInterval(int seconds) {
    session_.settings.waitSec = std::clamp(seconds, kMinInterval, kMaxInterval);
}

void CommandModeSession::close(int intervalPosition) {
    setInterval(intervalPosition);
    mode_->close();
}

}  // namespace vondrix
