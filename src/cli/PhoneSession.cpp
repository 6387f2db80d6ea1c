#include <iostream>
#include <memory>

#include "cli/Cli.h"
#include "cli/CliReporter.h"
#include "phonesim/Simulator.h"

namespace vondrix::cli {

int withPhone(CliContext& ctx, const std::function<int(Session&, Reporter&)>& body) {
    const auto policy = ctx.answers == CliContext::Answers::Yes  ? CliReporter::Policy::Yes
                        : ctx.answers == CliContext::Answers::No ? CliReporter::Policy::No
                                                                 : CliReporter::Policy::Ask;
    CliReporter reporter(ctx.language, ctx.err, policy);
    reporter.setPin2(ctx.pin2);
    StartupOptions options;
    options.link = ctx.link;
    options.languageOverride = ctx.languageOverride;

    // The simulated phone runs in this process behind a real pty, so the
    // real serial path is exercised; it needs no settling pauses.
    std::unique_ptr<phonesim::Simulator> sim;
    if (ctx.simulate) {
        phonesim::PhoneState state = phonesim::PhoneState::demo();
        std::string error;
        if (!ctx.simulateState.empty() &&
            !phonesim::PhoneState::load(ctx.simulateState, state, &error)) {
            ctx.err << "vondrix-cli: cannot load simulated phone " << ctx.simulateState << ": "
                    << error << '\n';
            return kExitNoLink;
        }
        sim = std::make_unique<phonesim::Simulator>(std::move(state));
        options.link.kind = LinkOverride::Kind::Device;
        options.link.device = sim->openPty();
        options.portSettleMs = 0;
        options.resetDelayMs = 0;
    }

    Session session(ctx.ini.path());
    switch (startUp(session, reporter, options)) {
        case StartupResult::Ready:
            break;
        case StartupResult::NoPortChosen:
            ctx.err << "vondrix-cli: no port chosen: use --device, --tcp or --simulate, or set Port "
                       "or Device in "
                    << ctx.ini.path() << '\n';
            return kExitNoLink;
        case StartupResult::NoLink:
        case StartupResult::ResetFailed:
            shutDown(session);
            return kExitNoLink;
    }
    const int status = body(session, reporter);
    shutDown(session);
    if (sim) {
        sim->stop();
        if (!ctx.simulateState.empty()) {
            sim->withState([&](phonesim::PhoneState& s) {
                if (!s.save(ctx.simulateState))
                    ctx.err << "vondrix-cli: cannot save " << ctx.simulateState << '\n';
            });
        }
    }
    return status;
}

void closeMainWindow(Session& session) {
    if (session.settings.smsStat) session.engine.standard("AT+CNMI=1,0,0,0");
}

int withMainWindow(CliContext& ctx, const std::function<int(MainWindow&)>& body) {
    return withPhone(ctx, [&](Session& session, Reporter& reporter) {
        // The desktop program's buttons can only be pressed once the window
        // has run its opening traffic, so every command starts with it.
        MainWindow window{session, reporter, runOpeningSequence(session.engine, session.settings)};
        const int status = body(window);
        if (window.phoneListens) closeMainWindow(session);
        return status;
    });
}

}  // namespace vondrix::cli
