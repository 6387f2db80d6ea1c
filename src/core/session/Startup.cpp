#include "session/Startup.h"

#include <chrono>
#include <thread>

#include "foundation/Catalogue.h"
#include "link/IrdaStack.h"

namespace vondrix {
namespace {

void pause(int ms) {
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

enum class LinkResult { Open, NoLink, ResetFailed, NoPortChosen };

// The infrared stack's result as the user is told it; true when it worked.
bool reportIrda(IrdaStack::Result result, Reporter& reporter) {
    switch (result) {
        case IrdaStack::Result::Ok:
            return true;
        case IrdaStack::Result::NoNetworkStack:
            reporter.message(msg::NoNetworkStack, Caption::Error);
            break;
        case IrdaStack::Result::NoSocket:
            reporter.message(msg::SocketNotOpened, Caption::Error);
            break;
        case IrdaStack::Result::SearchFailed:
            reporter.message(msg::DeviceSearchFailed, Caption::Error);
            break;
        case IrdaStack::Result::NothingInRange:
            reporter.message(msg::NoDeviceFound, Caption::Error);
            break;
        case IrdaStack::Result::NoPhone:
            break;  // devices in range, but no Siemens phone: no message
        case IrdaStack::Result::OptionsRefused:
            reporter.message(msg::SocketNotConfigured, Caption::Error);
            break;
        case IrdaStack::Result::ConnectFailed:
            reporter.message(msg::ConnectFailed, Caption::Error);
            break;
    }
    return false;
}

LinkResult openSerialBranch(Session& s, Reporter& reporter, const StartupOptions& o,
                            const std::string& overrideDevice) {
    if (overrideDevice.empty()) {
        // Cancel ends the start: showing the dialog again would leave the
        // user no way out but killing the program.
        while (!s.settings.portChosen()) {
            if (!o.settingsDialog || !o.settingsDialog(s))
                return LinkResult::NoPortChosen;
        }
    }
    const std::string path =
        overrideDevice.empty() ? s.settings.serialDevicePath() : overrideDevice;
    SerialOpenError why;
    s.link = PhoneLink::openSerial(path, o.portSettleMs, &why);
    if (!s.link.isOpen()) {
        reporter.text(serialOpenFailureText(path, why, s.language), Caption::Error);
        return LinkResult::NoLink;
    }
    pause(o.resetDelayMs);
    if (!s.settings.noModem && !resetPhone(s.engine, reporter))
        return LinkResult::ResetFailed;
    return LinkResult::Open;
}

LinkResult chooseAndOpenLink(Session& s, Reporter& reporter, const StartupOptions& o) {
    switch (o.link.kind) {
        case LinkOverride::Kind::Tcp:
            s.link = PhoneLink::connectTcp(o.link.host, o.link.port);
            if (!s.link.isOpen()) {
                reporter.message(msg::ConnectFailed, Caption::Error);
                return LinkResult::NoLink;
            }
            if (o.link.serialStandIn && s.settings.noModem)
                return LinkResult::Open;
            return resetPhone(s.engine, reporter) ? LinkResult::Open : LinkResult::ResetFailed;
        case LinkOverride::Kind::Device:
            return openSerialBranch(s, reporter, o, o.link.device);
        case LinkOverride::Kind::None:
            break;
    }

    IrdaStack stack(s.settings.irDevices);
    s.socketStack = stack.available();
    if (s.socketStack && !s.settings.w2kCable) {
        if (reportIrda(stack.discover(), reporter) && reportIrda(stack.connect(s.link), reporter)) {
            // On the socket the reset is always sent, NoModem or not.
            return resetPhone(s.engine, reporter) ? LinkResult::Open : LinkResult::ResetFailed;
        }
    }
    return openSerialBranch(s, reporter, o, {});
}

}  // namespace

std::string serialOpenFailureText(const std::string& path, const SerialOpenError& error,
                                  Language language) {
    const auto text = [&](msg::Id id) {
        return fillIn(catalogueText(id, language), {path, error.group});
    };
    std::string reason;
    switch (error.reason) {
        case SerialOpenError::Reason::Missing:
            reason = text(msg::DeviceMissing);
            break;
        case SerialOpenError::Reason::Busy:
            reason = text(msg::DeviceBusy);
            break;
        case SerialOpenError::Reason::Permission:
            reason = text(error.group.empty() ? msg::DeviceNoPermission : msg::DeviceNeedsGroup);
            break;
        case SerialOpenError::Reason::NotSerial:
            reason = text(msg::DeviceNotSerial);
            break;
        case SerialOpenError::Reason::None:
        case SerialOpenError::Reason::Other:
            reason = path + ": " + error.detail;
            break;
    }
    return std::string(catalogueText(msg::ComPortNotOpened, language)) + ": " + reason;
}

bool resetPhone(AtEngine& engine, Reporter& reporter) {
    if (!engine.standard("ATZ")) {
        reporter.message(msg::NoDeviceFound, Caption::Error);
        return false;
    }
    engine.standard("ATE0");
    return true;
}

void useSimulatedPhone(StartupOptions& options, const std::string& device, const std::string& host,
                       int port) {
    if (device.empty()) {
        options.link.kind = LinkOverride::Kind::Tcp;
        options.link.host = host;
        options.link.port = port;
        options.link.serialStandIn = true;
    } else {
        options.link.kind = LinkOverride::Kind::Device;
        options.link.device = device;
    }
    options.portSettleMs = 0;
    options.resetDelayMs = 0;
}

StartupResult startUp(Session& s, Reporter& reporter, const StartupOptions& o) {
    // The language first: a link that cannot be opened is explained in it.
    s.language = detectLanguage(o.languageOverride);
    s.settings.readOptions(s.ini);
    // A FIFO or device in place of the settings file gives the defaults
    // (it is never read, so start-up cannot block on it); say why.
    if (s.ini.readError() == files::FileError::NotRegular)
        reporter.message(msg::NotARegularFile, Caption::Error);
    s.engine.setTimeouts(std::chrono::seconds(s.settings.timeoutSec),
                         std::chrono::seconds(s.settings.searchTimeoutSec));
    s.engine.watchUnsolicited(o.unsolicitedWatcher);

    const LinkResult link = chooseAndOpenLink(s, reporter, o);
    if (link == LinkResult::ResetFailed) {
        s.link.close();
        return StartupResult::ResetFailed;
    }
    if (link == LinkResult::NoPortChosen)
        return StartupResult::NoPortChosen;

    s.settings.readTextsAndColumns(s.ini);
    s.helpFile = helpFileName(s.language);
    s.shortDateFormat = detectShortDateFormat();
    return link == LinkResult::Open ? StartupResult::Ready : StartupResult::NoLink;
}

void shutDown(Session& session) {
    session.link.close();
}

}  // namespace vondrix
