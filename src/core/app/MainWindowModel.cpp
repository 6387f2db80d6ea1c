#include "app/MainWindowModel.h"

#include "app/Settings.h"
#include "link/AtEngine.h"
#include "link/Parsers.h"
#include "text/Decimal.h"

namespace vondrix {
namespace {

// Runs `command` and gives its last answer word, or nothing on failure.
std::string answerWord(AtEngine& engine, const char* command) {
    if (engine.standard(command) != 1) return {};
    return lastAnswerWord(engine.response()).value_or(std::string());
}

}  // namespace

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

namespace {

void readAudio(AtEngine& engine, AudioState& a) {
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

}  // namespace

std::string formatImsi(const std::string& imsi) {
    return imsi.substr(0, 5) + "-" + (imsi.size() > 5 ? imsi.substr(5, 10) : std::string());
}

MainWindowState runOpeningSequence(AtEngine& engine, const Settings& settings) {
    MainWindowState s;
    // Results not examined: the window opens whatever the phone says.
    engine.standard("AT+CMEE=0");
    engine.standard("AT+CSMS=1");
    if (settings.smsStat) engine.standard("AT+CNMI=1,0,0,2");

    s.device.manufacturer = answerWord(engine, "AT+CGMI");
    s.device.model = answerWord(engine, "AT+CGMM");
    s.device.revision = answerWord(engine, "AT+CGMR");
    s.device.imei = answerWord(engine, "AT+CGSN");

    refreshNetworkInfo(engine, s.network);

    if (engine.standard("AT+CIMI") == 1) {
        if (const auto word = lastAnswerWord(engine.response())) s.device.imsi = formatImsi(*word);
    }
    s.device.simSerial = answerWord(engine, "AT^SCID");
    readAudio(engine, s.audio);
    return s;
}

}  // namespace vondrix
