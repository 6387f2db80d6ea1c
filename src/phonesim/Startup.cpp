#include "phonesim/Startup.h"

#include <exception>

namespace phonesim {

bool RunningPhone::stopAndSave() {
    simulator_->stop();
    if (stateFile_.empty())
        return true;
    bool saved = false;
    simulator_->withState([&](PhoneState& s) { saved = s.save(stateFile_); });
    return saved;
}

std::variant<RunningPhone, StartFailure> startPhone(const StartOptions& options) {
    PhoneState state = PhoneState::demo();
    std::string error;
    if (!options.stateFile.empty() && !PhoneState::load(options.stateFile, state, &error))
        return StartFailure{StartFailure::Kind::StateFile, error};
    // The simulator reports what the system refused (eventfd, the thread,
    // the pty, the socket) by throwing; a program would end in terminate.
    try {
        auto simulator =
            std::make_unique<Simulator>(std::move(state), options.wire, options.limits);
        if (options.recorder)
            simulator->setRecorder(options.recorder);
        std::string device;
        int port = 0;
        if (options.tcp)
            port = simulator->listenTcp(options.host, options.port);
        else
            device = simulator->openPty();
        return RunningPhone(std::move(simulator), options.stateFile, std::move(device), port);
    } catch (const std::exception& e) {
        return StartFailure{StartFailure::Kind::Serving, e.what()};
    }
}

std::variant<RunningPhone, StartFailure> startInProcessPhone(const std::string& stateFile) {
    StartOptions options;
    options.stateFile = stateFile;
    options.wire = wireFromEnvironment();
    options.tcp = !Simulator::hasPty();
    options.host = kInProcessHost;
    return startPhone(options);
}

}  // namespace phonesim
