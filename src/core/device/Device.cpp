#include "device/Device.h"

#include "device/Replies.h"
#include "link/AtEngine.h"

namespace vondrix {

void readAudioState(AtEngine& engine, AudioState& a) {
    if (const AtEngine::Result test = engine.standard("AT^SRTC=?")) {
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
