#include "device/Device.h"

#include "device/Replies.h"
#include "link/AtEngine.h"
#include "link/Parsers.h"

namespace vondrix {
namespace {

// Runs `command` and gives its last answer word, or nothing on failure.
std::string answerWord(AtEngine& engine, const char* command) {
    const AtEngine::Result answer = engine.standard(command);
    if (!answer)
        return {};
    return lastAnswerWord(answer.raw).value_or(std::string());
}

}  // namespace

void readIdentity(AtEngine& engine, DeviceInfo& info) {
    info.manufacturer = answerWord(engine, "AT+CGMI");
    info.model = answerWord(engine, "AT+CGMM");
    info.revision = answerWord(engine, "AT+CGMR");
    info.imei = answerWord(engine, "AT+CGSN");
}

void readSubscriber(AtEngine& engine, DeviceInfo& info) {
    if (const AtEngine::Result cimi = engine.standard("AT+CIMI")) {
        if (const auto word = lastAnswerWord(cimi.raw))
            info.imsi = formatImsi(*word);
    }
    info.simSerial = answerWord(engine, "AT^SCID");
}

void readAudioState(AtEngine& engine, AudioState& a) {
    if (const AtEngine::Result test = engine.standard(kRingToneRangesQuery)) {
        parseSrtcTest(a, test.raw);
        a.rangesRead = true;
        a.ringTone = 0;
        a.volume = 0;
        if (const AtEngine::Result query = engine.standard("AT^SRTC?"))
            parseSrtcQuery(a, query.raw);
    }
    if (const AtEngine::Result snfs = engine.standard("AT^SNFS?")) {
        if (const auto v = parseSnfsQuery(snfs.raw))
            a.handsFree = *v != 0;
    }
    if (const AtEngine::Result snfv = engine.standard("AT^SNFV?")) {
        if (const auto v = parseSnfvQuery(snfv.raw))
            a.speakerVolume = *v;
    }
}

std::string formatImsi(const std::string& imsi) {
    return imsi.substr(0, 5) + "-" + (imsi.size() > 5 ? imsi.substr(5, 10) : std::string());
}

}  // namespace vondrix
