#include "device/Device.h"

#include "device/Replies.h"
#include "link/AtEngine.h"

namespace vondrix {

void readAudioState(AtEngine& engine, AudioState& a) {
    if (engine.standard(kRingToneRangesQuery) == 1) {
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
