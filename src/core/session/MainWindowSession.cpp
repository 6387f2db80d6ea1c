#include "session/MainWindowSession.h"

#include "device/Device.h"

#include "foundation/Settings.h"
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
    readAudioState(engine, s.audio);
    return s;
}

}  // namespace vondrix
