#include "network/NetworkInfo.h"

#include <cmath>
#include <cstdio>

#include "link/AtEngine.h"
#include "network/Replies.h"

namespace vondrix {

int batteryBitmapFor(int charge) {
    if (charge < 25)
        return 127;
    if (charge < 50)
        return 128;
    if (charge < 75)
        return 129;
    if (charge < 100)
        return 130;
    return 131;
}

int signalBitmapFor(int qualityPercent) {
    if (qualityPercent < 20)
        return 132;
    if (qualityPercent < 40)
        return 133;
    if (qualityPercent < 60)
        return 134;
    if (qualityPercent < 80)
        return 135;
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
    const auto battery = network::parseCbc(reply);
    if (!battery)
        return;
    status.batteryCharge = battery->charge;
    status.batteryText = battery->text + "%";
    status.batteryBitmap = batteryBitmapFor(battery->charge);
}

void applyRegistrationReply(NetworkStatus& status, std::string_view reply) {
    if (auto word = network::parseCregWord(reply))
        status.registration = std::move(*word);
}

void applySignalReply(NetworkStatus& status, std::string_view reply) {
    if (const auto rssi = network::parseCsq(reply))
        applyRssi(status, *rssi);
}

void applyOperatorReply(NetworkStatus& status, std::string_view reply) {
    if (auto text = network::parseCopsText(reply))
        status.operatorText = std::move(*text);
}

void refreshNetworkInfo(AtEngine& engine, NetworkStatus& status) {
    if (const AtEngine::Result r = engine.standard("AT+CBC"))
        applyBatteryReply(status, r.raw);
    if (const AtEngine::Result r = engine.standard("AT+CREG?"))
        applyRegistrationReply(status, r.raw);
    if (const AtEngine::Result r = engine.standard("AT+CSQ"))
        applySignalReply(status, r.raw);
    if (const AtEngine::Result r = engine.standard("AT+COPS?"))
        applyOperatorReply(status, r.raw);
}

void refreshOperatorAndRegistration(AtEngine& engine, NetworkStatus& status) {
    if (const AtEngine::Result r = engine.standard("AT+COPS?"))
        applyOperatorReply(status, r.raw);
    if (const AtEngine::Result r = engine.standard("AT+CREG?"))
        applyRegistrationReply(status, r.raw);
}

}  // namespace vondrix
