// Phone replies through the shared parsers.
#include <cstdint>
#include <string>

#include "session/MainWindowSession.h"
#include "link/Parsers.h"
#include "network/NetworkInfo.h"
#include "text/Decimal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string reply(reinterpret_cast<const char*>(data), size);
    const auto word = vondrix::lastAnswerWord(reply);
    if (word && word->size() > reply.size()) __builtin_trap();
    int a = 0, b = 0, c = 0, d = 0;
    vondrix::parseRangeAndLengths(reply, a, b, c, d);
    (void)vondrix::numberAfter(reply, "^SRTC:");
    vondrix::NetworkStatus status;
    vondrix::applyBatteryReply(status, reply);
    vondrix::applyRegistrationReply(status, reply);
    vondrix::applySignalReply(status, reply);
    vondrix::applyOperatorReply(status, reply);
    vondrix::AudioState audio;
    vondrix::applyToneRangesReply(audio, reply);
    vondrix::applyRingToneReply(audio, reply);
    (void)vondrix::batteryBitmapFor(vondrix::decimalValue(reply));
    return 0;
}
