#include "device/Device.h"

#include "link/AtEngine.h"
#include "link/Parsers.h"
#include "text/Decimal.h"

namespace vondrix {

// "(a-b),(c-d)": a missing delimiter leaves the values as they were.
void applyToneRangesReply(AudioState& a, std::string_view text) {
    std::size_t pos = 0;
    auto numberAfterNext = [&](char delimiter, int& out) {
        const auto at = text.find(delimiter, pos);
        if (at == std::string_view::npos) return;
        out = decimalValue(text.substr(at + 1));
        pos = at + 1;
    };
    numberAfterNext('(', a.toneMin);
    numberAfterNext('-', a.toneMax);
    numberAfterNext('(', a.volumeMin);
    numberAfterNext('-', a.volumeMax);
}

void applyRingToneReply(AudioState& a, std::string_view r) {
    const auto tag = r.find("^SRTC:");
    if (tag == std::string_view::npos) return;
    a.ringTone = decimalValue(r.substr(tag + 6));
    a.ringOff = a.ringTone == 0;
    if (const auto comma = r.find(',', tag); comma != std::string_view::npos)
        a.volume = decimalValue(r.substr(comma + 1));
}

void readAudioState(AtEngine& engine, AudioState& a) {
    if (engine.standard("AT^SRTC=?") == 1) {
        applyToneRangesReply(a, engine.response());
        a.rangesRead = true;
        a.ringTone = 0;
        a.volume = 0;
        if (engine.standard("AT^SRTC?") == 1) applyRingToneReply(a, engine.response());
    }
    if (engine.standard("AT^SNFS?") == 1) {
        if (const auto v = numberAfter(engine.response(), "^SNFS:")) a.handsFree = *v != 0;
    }
    if (engine.standard("AT^SNFV?") == 1) {
        if (const auto v = numberAfter(engine.response(), "^SNFV:")) a.speakerVolume = *v;
    }
}

std::string formatImsi(const std::string& imsi) {
    return imsi.substr(0, 5) + "-" + (imsi.size() > 5 ? imsi.substr(5, 10) : std::string());
}

}  // namespace vondrix
