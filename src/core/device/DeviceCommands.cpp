#include "device/DeviceCommands.h"

#include <cstdio>

#include "files/Files.h"
#include "link/AtEngine.h"
#include "link/LinkOperation.h"

namespace vondrix {

void configurePhone(AtEngine& engine, const Settings& settings) {
    engine.standard("AT+CMEE=0");
    engine.standard("AT+CSMS=1");
    if (settings.smsStat)
        engine.standard("AT+CNMI=1,0,0,2");
}

void setStatusReportRouting(AtEngine& engine, bool smsStat) {
    engine.standard(smsStat ? "AT+CNMI=1,0,0,2" : "AT+CNMI=0,0,0,0");
}

void routeStatusReportsToPhone(AtEngine& engine) {
    engine.standard("AT+CNMI=1,0,0,0");
}

std::string clockCommand(const std::tm& local) {
    char text[64];
    std::snprintf(text, sizeof text, "=%02d/%02d/%02d,%02d:%02d:%02d", (local.tm_year + 1900) % 100,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return kClockCommand + std::string(text);
}

std::string ringToneTestCommand(int tone, int volume) {
    return "AT^SRTC=" + std::to_string(tone) + "," + std::to_string(volume);
}

bool setPhoneClock(AtEngine& engine, Reporter& reporter, const std::tm& local) {
    LinkOperation operation(engine, reporter);
    const bool ok = engine.standard(clockCommand(local)).ok();
    if (ok)
        reporter.message(msg::ClockSynchronised, Caption::Info);
    else if (!operation.failed())
        reporter.message(msg::ClockSyncFailed, Caption::Error);
    return ok;
}

bool switchPhoneOff(AtEngine& engine, Reporter& reporter) {
    LinkOperation operation(engine, reporter);
    const bool ok = engine.standard(kSwitchOffCommand).ok();
    if (ok)
        reporter.message(msg::Farewell, Caption::Info);
    return ok;
}

void deleteLogo(AtEngine& engine) {
    engine.standard(kDeleteLogoCommand);
}

bool AudioControls::toggleTest(int tone, int volume) {
    LinkOperation operation(engine_, reporter_);
    if (!testRunning_) {
        if (!engine_.standard(ringToneTestCommand(tone, volume)))
            return false;
        // The tone just set is the one "ring tone on" restores later.
        audio_.ringTone = tone;
        audio_.volume = volume;
        engine_.standard("AT^SRTC");  // starts playing
        testRunning_ = true;
    } else {
        engine_.standard("AT^SRTC");  // stops playing
        testRunning_ = false;
    }
    return testRunning_;
}

bool AudioControls::setRingToneOff(bool checked) {
    LinkOperation operation(engine_, reporter_);
    // After a link failure the operation's message says it all.
    const auto tell = [&](msg::Id id, Caption caption) {
        if (caption == Caption::Info || !operation.failed())
            reporter_.message(id, caption);
    };
    if (checked) {
        if (engine_.standard("AT^SRTC=0")) {
            tell(msg::RingToneOff, Caption::Info);
            return true;
        }
        tell(msg::RingToneNotOff, Caption::Error);
        return false;
    }
    if (engine_.standard("AT^SRTC=" + std::to_string(audio_.ringTone)))
        tell(msg::RingToneOn, Caption::Info);
    else
        tell(msg::RingToneNotSet, Caption::Error);
    return false;
}

bool AudioControls::setHandsFree(bool checked) {
    LinkOperation operation(engine_, reporter_);
    const auto tell = [&](msg::Id id, Caption caption) {
        if (caption == Caption::Info || !operation.failed())
            reporter_.message(id, caption);
    };
    engine_.standard("AT^SNFV=0");  // speaker quiet during the switch
    bool result = checked;
    if (checked) {
        if (engine_.standard("AT^SNFS=1")) {
            tell(msg::HandsFreeOn, Caption::Info);
        } else {
            tell(msg::HandsFreeNotOn, Caption::Error);
            result = false;
        }
    } else {
        const bool ok = engine_.standard("AT^SNFS=0").ok();
        tell(ok ? msg::HandsFreeOff : msg::HandsFreeNotOff, ok ? Caption::Info : Caption::Error);
    }
    engine_.standard("AT^SNFV=" + std::to_string(audio_.speakerVolume));
    audio_.handsFree = result;
    return result;
}

bool appendDeviceInfo(const std::string& path, const DeviceInfo& info, Reporter& reporter) {
    // Text mode on the original platform: every line ends in CR LF.
    auto cut = [](const std::string& s, std::size_t n) { return s.substr(0, n); };
    const std::string lines = "SERIAL,VERSION,SIMSERIAL\r\n'" + cut(info.imei, 29) + ",'" +
                              cut(info.revision, 19) + ",'" + cut(info.simSerial, 29) + "\r\n";
    const files::FileError error = files::appendToFile(path, lines);
    if (error == files::FileError::None)
        return true;
    reporter.message(msg::fileWriteMessage(error, msg::ExportFileNotOpened), Caption::Error);
    return false;
}

}  // namespace vondrix
