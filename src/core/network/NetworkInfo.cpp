#include "network/NetworkInfo.h"

#include <cmath>
#include <algorithm>
#include <cstdio>

#include "link/AtEngine.h"
#include "link/Parsers.h"
#include "text/Decimal.h"

namespace vondrix {

int batteryBitmapFor(int charge) {
    if (charge < 25) return 127;
    if (charge < 50) return 128;
    if (charge < 75) return 129;
    if (charge < 100) return 130;
    return 131;
}

int signalBitmapFor(int qualityPercent) {
    if (qualityPercent < 20) return 132;
    if (qualityPercent < 40) return 133;
    if (qualityPercent < 60) return 134;
    if (qualityPercent < 80) return 135;
    return 136;
}

void applyRssi(NetworkStatus& status, int rssi) {
    status.rssi = rssi;
    status.signalKnown = rssi >= 0 && rssi <= 31;
    if (!status.signalKnown) {
        status.signalText.clear();
        status.dbm = 0;
        status.qualityPercent = 0;
        status.powerWatts = 0;
        status.signalBitmap = 132;
        return;
    }
    status.dbm = 113 - 2 * rssi;
    status.qualityPercent = rssi * 100 / 30;
    // P = 10^(-d/10) mW, shown in nanowatts.
    status.powerWatts = static_cast<float>(std::pow(10.0, -status.dbm / 10.0) / 1000.0);
    char text[64];
    std::snprintf(text, sizeof text, "-%d dBm / %1.3f nW", status.dbm,
                  static_cast<double>(status.powerWatts) * 1e9);
    status.signalText = text;
    status.signalBitmap = signalBitmapFor(status.qualityPercent);
}

void applyBatteryReply(NetworkStatus& status, std::string_view reply) {
    const auto word = lastAnswerWord(reply);
    if (!word) return;
    const auto comma = word->find(',');
    if (comma == std::string::npos) return;
    const std::string after = word->substr(comma + 1);
    status.batteryCharge = decimalValue(after);
    status.batteryText = after + "%";
    status.batteryBitmap = batteryBitmapFor(*status.batteryCharge);
}

void applyRegistrationReply(NetworkStatus& status, std::string_view reply) {
    if (auto word = lastAnswerWord(reply)) status.registration = std::move(*word);
}

void applySignalReply(NetworkStatus& status, std::string_view reply) {
    if (const auto word = lastAnswerWord(reply)) applyRssi(status, decimalValue(*word));
}

void applyOperatorReply(NetworkStatus& status, std::string_view reply) {
    const auto tag = reply.find("+COPS:");
    if (tag == std::string_view::npos) return;
    std::size_t i = std::min(tag + 7, reply.size());  // one character after the tag
    const std::size_t begin = i;
    while (i < reply.size() && static_cast<signed char>(reply[i]) >= 0x20) ++i;
    status.operatorText = std::string(reply.substr(begin, i - begin));
}

void refreshNetworkInfo(AtEngine& engine, NetworkStatus& status) {
    if (engine.standard("AT+CBC") == 1) applyBatteryReply(status, engine.response());
    if (engine.standard("AT+CREG?") == 1) applyRegistrationReply(status, engine.response());
    if (engine.standard("AT+CSQ") == 1) applySignalReply(status, engine.response());
    if (engine.standard("AT+COPS?") == 1) applyOperatorReply(status, engine.response());
}

}  // namespace vondrix
