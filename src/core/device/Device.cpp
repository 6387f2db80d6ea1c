#include "device/Device.h"

#include "device/Replies.h"
#include "link/AtEngine.h"
#include "link/Parsers.h"

namespace vondrix {
namespace {

// Runs `command` and gives its last answer word, or nothing on failure.
std::string answerWord(AtEngine& engine, const char* command) {
    if (engine.standard(command) != 1)
        return {};
    return lastAnswerWord(engine.response()).value_or(std::string());
}

}  // namespace

void readIdentity(AtEngine& engine, DeviceInfo& info) {
    info.manufacturer = answerWord(engine, "AT+CGMI");
    info.model = answerWord(engine, "AT+CGMM");
    info.revision = answerWord(engine, "AT+CGMR");
    info.imei = answerWord(engine, "AT+CGSN");
}

void readSubscriber(AtEngine& engine, DeviceInfo& info) {
    if (engine.standard("AT+CIMI") == 1) {
        if (const auto word = lastAnswerWord(engine.response()))
            info.imsi = formatImsi(*word);
    }
    info.simSerial = answerWord(engine, "AT^SCID");
}

void readAudioState(AtEngine& engine, AudioState& a) {
    if (engine.standard("AT^SRTC=?") == 1) {
        parseSrtcTest(a, engine.response());
        a.rangesRead = true;
        a.ringTone = 0;
        a.volume = 0;
        if (engine.standard("AT^SRTC?") == 1)
            parseSrtcQuery(a, engine.response());
    }
    if (engine.standard("AT^SNFS?") == 1) {
        if (const auto v = parseSnfsQuery(engine.response()))
            a.handsFree = *v != 0;
    }
    if (engine.standard("AT^SNFV?") == 1) {
        if (const auto v = parseSnfvQuery(engine.response()))
            a.speakerVolume = *v;
    }
}

std::string formatImsi(const std::string& imsi) {
    return imsi.substr(0, 5) + "-" + (imsi.size() > 5 ? imsi.substr(5, 10) : std::string());
}

}  // namespace vondrix
